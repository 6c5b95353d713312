#include "SwmmInputSection.h"

#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "core/TimeLabel.h"

#include <QSet>
#include <algorithm>

namespace {
// SWMM reads data items as blank-separated words, so the columns only need one blank
// between them; the widths make the text read as a table, as SWMM writes its own files.
constexpr int NameWidth = 16;
constexpr int TimeWidth = 10;
constexpr int WordWidth = 9;

QString StormWords(const TExpressionObject &m)
{
    return QStringLiteral("P=%1 T=%2 r=%3")
        .arg(FormatGeneral(m.Storm_RepeatYear), FormatGeneral(m.Storm_Time), FormatGeneral(m.Storm_Percent));
}

QString Padded(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' ')) + QLatin1Char(' ');
}

} // namespace

QString SwmmSeriesName(const TExpressionObject &model)
{
    return QStringLiteral("CHI_P%1_T%2_R%3")
        .arg(FormatGeneral(model.Storm_RepeatYear), FormatGeneral(model.Storm_Time), FormatGeneral(model.Storm_Percent));
}

QString SwmmGaugeName(const TExpressionObject &model)
{
    return QStringLiteral("RG_P%1_T%2_R%3")
        .arg(FormatGeneral(model.Storm_RepeatYear), FormatGeneral(model.Storm_Time), FormatGeneral(model.Storm_Percent));
}

SwmmInputSeries MakeSwmmInputSeries(const TExpressionObject &model, bool calcByShow, int precision)
{
    const QString storm = StormWords(model);
    SwmmInputSeries series;
    try {
        series.entries = SwmmSeries(model, calcByShow, precision);
    } catch (const TavrelError &e) {
        throw TavrelError(QStringLiteral("（%1）").arg(storm) + e.message());
    }
    const int step = model.Storm_Step;
    series.seriesName = SwmmSeriesName(model);
    series.gaugeName = SwmmGaugeName(model);
    series.interval = ElapsedTimeLabel(step);
    series.description = storm + QStringLiteral(" step %1 min").arg(step);
    if (step > 1)
        series.description += QStringLiteral(", mean intensity of each %1 min").arg(step);
    return series;
}

QStringList SwmmInputLines(const std::vector<SwmmInputSeries> &storms)
{
    QSet<QString> seen;
    int nameWidth = NameWidth;
    qsizetype count = 16;
    for (const SwmmInputSeries &s : storms) {
        if (seen.contains(s.seriesName.toUpper()))
            throw TavrelError(QStringLiteral("无法写入SWMM输入文件：名称“%1”出现了两次，SWMM要求名称各不相同。").arg(s.seriesName));
        seen.insert(s.seriesName.toUpper());
        nameWidth = std::max({nameWidth, static_cast<int>(s.seriesName.size()), static_cast<int>(s.gaugeName.size())});
        count += static_cast<qsizetype>(s.entries.size()) + 4;
    }

    QStringList lines;
    lines.reserve(count);
    lines.append(QStringLiteral(";;Chicago design storms from Tavrel. Intensities are in mm/h, so the model"));
    lines.append(QStringLiteral(";;needs metric flow units (FLOW_UNITS CMS, LPS or MLD)."));
    lines.append(QStringLiteral("[TIMESERIES]"));
    lines.append(QStringLiteral(";;") + Padded(QStringLiteral("Name"), nameWidth - 2) + Padded(QStringLiteral("Time"), TimeWidth)
                 + QStringLiteral("Value"));
    lines.append(QStringLiteral(";;") + QString(nameWidth - 2, QLatin1Char('-')) + QLatin1Char(' ')
                 + QString(TimeWidth, QLatin1Char('-')) + QLatin1Char(' ') + QString(TimeWidth, QLatin1Char('-')));
    for (size_t k = 0; k < storms.size(); ++k) {
        const SwmmInputSeries &s = storms[k];
        if (k > 0)
            lines.append(QString());
        // A one-semicolon comment just above an object is its description in SWMM's editor.
        lines.append(QLatin1Char(';') + s.description);
        const QString name = Padded(s.seriesName, nameWidth);
        for (const SwmmEntry &entry : s.entries)
            lines.append(name + Padded(entry.time, TimeWidth) + entry.value);
    }
    lines.append(QString());
    lines.append(QStringLiteral("[RAINGAGES]"));
    lines.append(QStringLiteral(";;") + Padded(QStringLiteral("Name"), nameWidth - 2) + Padded(QStringLiteral("Format"), WordWidth)
                 + Padded(QStringLiteral("Interval"), WordWidth) + Padded(QStringLiteral("SCF"), WordWidth)
                 + Padded(QStringLiteral("Source"), WordWidth + 1) + QStringLiteral("Series"));
    lines.append(QStringLiteral(";;") + QString(nameWidth - 2, QLatin1Char('-')) + QLatin1Char(' ')
                 + QStringList(4, QString(WordWidth, QLatin1Char('-'))).join(QLatin1Char(' ')) + QStringLiteral("- ")
                 + QString(nameWidth, QLatin1Char('-')));
    for (const SwmmInputSeries &s : storms) {
        lines.append(QLatin1Char(';') + s.description);
        lines.append(Padded(s.gaugeName, nameWidth) + Padded(QStringLiteral("INTENSITY"), WordWidth)
                     + Padded(s.interval, WordWidth) + Padded(QStringLiteral("1.0"), WordWidth)
                     + Padded(QStringLiteral("TIMESERIES"), WordWidth + 1) + s.seriesName);
    }
    return lines;
}

QByteArray SwmmInputFileBytes(const std::vector<SwmmInputSeries> &storms)
{
    return GbkLines(SwmmInputLines(storms));
}

void WriteSwmmInputFile(const QString &path, const std::vector<SwmmInputSeries> &storms)
{
    const QByteArray bytes = SwmmInputFileBytes(storms);
    WriteFileAtomically(path, bytes);
}
