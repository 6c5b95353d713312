#include "ChartTexts.h"
#include "Numbers.h"

StormChartTexts ChartTextsOf(const TExpressionObject &m, const GridFormat &format)
{
    StormChartTexts texts;
    const QString average = FormatFixed(m.Strom_Average_Rainfall_Intensity, format.Precision);
    texts.labels = {QStringLiteral("重现期  P=%1年").arg(FormatGeneral(m.Storm_RepeatYear)),
                    QStringLiteral("降雨历时t=%1min").arg(FormatGeneral(m.Storm_Time)),
                    QStringLiteral("峰值比例r=%1").arg(FormatGeneral(m.Storm_Percent)),
                    QStringLiteral("降雨总量H=%1mm").arg(FormatFixed(m.Strom_Overall_Rainfall, format.Precision)),
                    QString()};
    if (format.StormUnit == 0) {
        texts.labels[4] = QStringLiteral("平均雨强i=%1mm/h").arg(average);
        texts.leftTitle = QStringLiteral("降雨强度(mm/h)");
    } else if (format.StormUnit == 1) {
        texts.labels[4] = QStringLiteral("平均雨强i=%1mm/min").arg(average);
        texts.leftTitle = QStringLiteral("降雨强度(mm/min)");
    }
    if (format.TimeFormat == 0)
        texts.bottomTitle = QStringLiteral("降雨历时(H:M)");
    else if (format.TimeFormat == 1)
        texts.bottomTitle = QStringLiteral("降雨历时(min)");
    return texts;
}

StormAxisMaxima AxisMaximaOf(double largestIntensity, double largestCumulative, bool bars, bool line)
{
    // A storm of zero rain still needs an axis with some height.
    const auto positive = [](double value) { return value > 0 ? value : 1; };
    StormAxisMaxima maxima;
    if (bars && line) {
        maxima.left = positive(2 * largestIntensity);
        maxima.right = positive(2 * largestCumulative);
    } else if (bars) {
        maxima.right = positive(1.1 * largestCumulative);
    } else if (line) {
        maxima.left = positive(1.1 * largestIntensity);
    }
    return maxima;
}
