#include "SwmmExport.h"
#include "DataFileName.h"

#include "core/Failure.h"
#include "core/TextFile.h"
#include "core/TimeLabel.h"

const QString SwmmSwitchMessage =
    QStringLiteral("SWMM的时间格式应该为(时:分)，降雨强度单位应该为(毫米/时)\r\n已经自动切换！");

namespace {
const QString HeadingLine = QStringLiteral(";;时间(时:分)  数值(毫米/时)");
const QString RuleLine = QStringLiteral(";;------------ ------------");

// Elapsed labels are zero-padded hours (at least two digits), ":" and two-digit minutes,
// so a longer label is a later time and labels of equal length compare as text.
bool StrictlyBefore(const QString &earlier, const QString &later)
{
    if (earlier.size() != later.size())
        return earlier.size() < later.size();
    return earlier < later;
}

QString RepeatedTimeMessage(const QString &time)
{
    return QStringLiteral("无法保存SWMM文件：时间“%1”出现了不止一次，而SWMM要求时间序列的时间逐行递增，"
                          "不接受这样的文件。\r\n"
                          "公式参数b为0且峰值时刻(r×T)不在整分钟上时会出现这种情况，"
                          "请调整峰值比例r或降雨历时T后再保存。")
        .arg(time);
}

QString LongValueMessage(size_t row, qsizetype length)
{
    return QStringLiteral("无法保存SWMM文件：第%1行的数值有%2个字符，而SWMM读取时间序列文件时，"
                          "每个数值最多只能有%3个字符。\r\n请在“设置”中减少小数位数后再保存。")
        .arg(row)
        .arg(length)
        .arg(SwmmMaxValueLength);
}

QString BackwardsTimeMessage(const QString &before, const QString &after)
{
    return QStringLiteral("无法保存SWMM文件：时间“%1”排在“%2”之后，而SWMM要求时间序列的时间逐行递增。")
        .arg(after, before);
}
} // namespace

QString SwmmProposedFileName(const TExpressionObject &model)
{
    return DataFileBaseName(model) + SwmmExtension;
}

bool SwmmNeedsSwitch(int timeFormat, int stormUnit)
{
    return timeFormat != 0 || stormUnit != 0;
}

std::vector<SwmmEntry> SwmmSeries(const GridTexts &grid, const std::vector<HyetographPoint> &points)
{
    if (grid.rows.size() != points.size())
        throw TavrelError(QStringLiteral("无法保存SWMM文件：表格有%1行，计算结果却有%2行。")
                              .arg(grid.rows.size())
                              .arg(points.size()));
    std::vector<SwmmEntry> series;
    series.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        QString time = ElapsedTimeLabel(points[i].minute);
        if (i > 0 && !StrictlyBefore(series.back().time, time)) {
            if (time == series.back().time)
                throw TavrelError(RepeatedTimeMessage(time));
            throw TavrelError(BackwardsTimeMessage(series.back().time, time));
        }
        const QString &value = grid.rows[i][1];
        if (value.size() > SwmmMaxValueLength)
            throw TavrelError(LongValueMessage(i + 1, value.size()));
        series.push_back({std::move(time), value});
    }
    return series;
}

QStringList SwmmLines(const GridTexts &grid, const std::vector<HyetographPoint> &points)
{
    const std::vector<SwmmEntry> series = SwmmSeries(grid, points);
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(series.size()) + 2);
    lines.append(HeadingLine);
    lines.append(RuleLine);
    // leftJustified pads to the width and leaves a longer text whole.
    for (const SwmmEntry &entry : series)
        lines.append(entry.time.leftJustified(SwmmTimeFieldWidth, QLatin1Char(' ')) + entry.value);
    return lines;
}

QByteArray SwmmFileBytes(const GridTexts &grid, const std::vector<HyetographPoint> &points)
{
    return GbkLines(SwmmLines(grid, points));
}

void WriteSwmmFile(const QString &path, const GridTexts &grid, const std::vector<HyetographPoint> &points)
{
    const QByteArray bytes = SwmmFileBytes(grid, points);
    WriteFileAtomically(path, bytes);
}
