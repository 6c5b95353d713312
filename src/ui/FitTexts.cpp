#include "FitTexts.h"

#include "core/Numbers.h"

#include <QStringList>
#include <cmath>

QString RoundedCoefficient(double value)
{
    return FormatGeneral(FormulaRound(value));
}

namespace {
// "+ 0.846" or "- 0.2": the sign belongs to the formula, not to the number.
QString Signed(double value)
{
    return (value < 0 ? QStringLiteral(" - ") : QStringLiteral(" + ")) + RoundedCoefficient(std::abs(value));
}
} // namespace

QString FittedFormulaHtml(const IdfFitResult &fit)
{
    const TotalFormula &f = fit.formula;
    const QString log = f.LG_LN == 0 ? QStringLiteral("lg") : QStringLiteral("ln");
    return QStringLiteral("<b>i = %1(1%2 %3P) / (t%4)<sup>%5</sup></b> (mm/min)<br>"
                          "A1 = %1，C = %6，b = %7，n = %5；标准差 %8 mm/min")
        .arg(RoundedCoefficient(f.A1), Signed(f.C), log, Signed(f.b), RoundedCoefficient(f.n),
             RoundedCoefficient(f.C), RoundedCoefficient(f.b), FormatFixed(fit.standardError, 4));
}

QString FitAccuracyHtml(const IdfAccuracy &accuracy)
{
    QStringList lines{QStringLiteral("精度（重现期%1~%2年的%3个数值，按上列取%4位小数的参数）：")
                          .arg(FormatGeneral(AccuracyPeriodLow), FormatGeneral(AccuracyPeriodHigh))
                          .arg(accuracy.cells)
                          .arg(FormulaDecimals)};
    for (const QString &line : AccuracyLines(accuracy))
        lines.append(line.toHtmlEscaped());
    const bool holds = accuracy.absoluteHolds() && accuracy.relativeHolds();
    return QStringLiteral("<span style='color:%1'>%2</span>")
        .arg(holds ? QStringLiteral("#006000") : QStringLiteral("#c00000"), lines.join(QStringLiteral("<br>")));
}
