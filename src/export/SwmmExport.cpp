#include "SwmmExport.h"
#include "DataFileName.h"

#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "core/TimeLabel.h"

const QString SwmmSwitchMessage =
    QStringLiteral("SWMM的时间格式应该为(时:分)，降雨强度单位应该为(毫米/时)\r\n已经自动切换！");

namespace {
const QString HeadingLine = QStringLiteral(";;时间(时:分)  数值(毫米/时)");
const QString RuleLine = QStringLiteral(";;------------ ------------");

QString LongValueMessage(size_t row, qsizetype length)
{
    return QStringLiteral("无法保存SWMM文件：第%1行的数值有%2个字符，而SWMM读取时间序列文件时，"
                          "每个数值最多只能有%3个字符。\r\n请在“设置”中减少小数位数后再保存。")
        .arg(row)
        .arg(length)
        .arg(SwmmMaxValueLength);
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

std::vector<SwmmEntry> SwmmSeries(const TExpressionObject &model, bool calcByShow, int precision)
{
    const int step = model.Storm_Step;
    if (step < 1)
        throw TavrelError(QStringLiteral("无法保存SWMM文件：计算步长%1分钟不能作为时间序列的间隔，至少应为1分钟。").arg(step));
    const std::vector<StormMinute> minutes = StormMinuteIntensities(model, {0, calcByShow, precision});
    if (minutes.empty())
        throw TavrelError(QStringLiteral("没有可计算的数据（降雨历时为负）"));
    std::vector<SwmmEntry> series;
    series.reserve(minutes.size() / static_cast<size_t>(step) + 1);
    for (size_t i = 0; i < minutes.size();) {
        const int interval = minutes[i].minute / step;
        double rain = 0;   // mm/h summed over one-minute steps
        for (; i < minutes.size() && minutes[i].minute / step == interval; ++i)
            rain += minutes[i].intensity;
        QString value = FormatFixed(rain / step, precision);
        if (value.size() > SwmmMaxValueLength)
            throw TavrelError(LongValueMessage(series.size() + 1, value.size()));
        series.push_back({ElapsedTimeLabel(static_cast<double>(interval) * step), std::move(value)});
    }
    return series;
}

QStringList SwmmLines(const TExpressionObject &model, bool calcByShow, int precision)
{
    const std::vector<SwmmEntry> series = SwmmSeries(model, calcByShow, precision);
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(series.size()) + 3);
    lines.append(HeadingLine);
    lines.append(RuleLine);
    if (model.Storm_Step > 1)
        lines.append(QStringLiteral(";;每个数值为自该时刻起%1分钟内的平均降雨强度（这%1分钟的雨量除以%1分钟）").arg(model.Storm_Step));
    // leftJustified pads to the width and leaves a longer text whole.
    for (const SwmmEntry &entry : series)
        lines.append(entry.time.leftJustified(SwmmTimeFieldWidth, QLatin1Char(' ')) + entry.value);
    return lines;
}

QByteArray SwmmFileBytes(const TExpressionObject &model, bool calcByShow, int precision)
{
    return GbkLines(SwmmLines(model, calcByShow, precision));
}

void WriteSwmmFile(const QString &path, const TExpressionObject &model, bool calcByShow, int precision)
{
    const QByteArray bytes = SwmmFileBytes(model, calcByShow, precision);
    WriteFileAtomically(path, bytes);
}
