#include "DesignStormCheck.h"
#include "Storm.h"
#include "Failure.h"
#include "Numbers.h"

#include <algorithm>
#include <cmath>

std::vector<int> DesignStormCheckDurations(double stormMinutes)
{
    std::vector<int> durations;
    if (!(stormMinutes >= 1))
        return durations;
    const int last = static_cast<int>(std::min(std::trunc(stormMinutes), MaxStormMinutes));
    for (int d : {5, 10, 15, 20, 30, 45, 60, 90, 120, 180, 240, 360, 720})
        if (d <= last)
            durations.push_back(d);
    for (int d = 1440; d <= last; d += 1440)
        durations.push_back(d);
    if (durations.empty() || durations.back() != last)
        durations.push_back(last);
    return durations;
}

namespace {

void Check(const TExpressionObject &model, const ComputeSettings &settings, DesignStormCheckResult &out)
{
    TExpressionObject everyMinute = model;
    everyMinute.Storm_Step = 1;
    const Storm storm = ComputeStorm(everyMinute, settings);
    if (!storm.ok)
        throw TavrelError(storm.message);
    out.a = FormulaA(model);

    // Rain of each minute in mm, summed once so every window is a difference of two sums.
    const double perMinute = settings.StormUnit == 0 ? 60 : 1;
    std::vector<double> sums(storm.points.size() + 1, 0.0);
    for (size_t i = 0; i < storm.points.size(); ++i)
        sums[i + 1] = sums[i] + storm.points[i].intensity / perMinute;

    for (int d : DesignStormCheckDurations(model.Storm_Time)) {
        const auto length = static_cast<size_t>(d);
        if (length > storm.points.size())
            break;
        DesignStormCheckRow row;
        row.minutes = d;
        row.formulaDepth = CheckedDiv(CheckedFinite(out.a * d), CheckedPow(d + model.b, model.n));
        row.stormDepth = sums[length] - sums[0];
        for (size_t start = 1; start + length < sums.size(); ++start)
            row.stormDepth = std::max(row.stormDepth, sums[start + length] - sums[start]);
        if (row.formulaDepth != 0) {
            row.hasRelative = true;
            row.relative = CheckedDiv(row.stormDepth - row.formulaDepth, row.formulaDepth);
        }
        out.rows.push_back(row);
    }
}
} // namespace

DesignStormCheckResult CheckDesignStorm(const TExpressionObject &model, const ComputeSettings &settings)
{
    DesignStormCheckResult result;
    try {
        Check(model, settings, result);
        result.ok = true;
    } catch (const std::exception &e) {
        result = DesignStormCheckResult{};
        result.message = FailureMessage(e);
    }
    return result;
}

QStringList DesignStormCheckHeading()
{
    return {QStringLiteral("历时(min)"), QStringLiteral("公式雨量a·d/(d+b)^n(mm)"), QStringLiteral("雨型最大雨量(mm)"),
            QStringLiteral("相对差(%)")};
}

std::vector<QStringList> DesignStormCheckTexts(const DesignStormCheckResult &check, int decimals)
{
    std::vector<QStringList> rows;
    rows.reserve(check.rows.size());
    for (const DesignStormCheckRow &row : check.rows) {
        rows.push_back({QString::number(row.minutes), FormatFixed(row.formulaDepth, decimals),
                        FormatFixed(row.stormDepth, decimals),
                        row.hasRelative ? FormatFixed(row.relative * 100, 2) : QStringLiteral("-")});
    }
    return rows;
}
