#include "Hyetograph.h"
#include "Failure.h"
#include "Numbers.h"

#include <cmath>

double FormulaA(const TExpressionObject &m)
{
    switch (m.LG_LN) {
    case 0:
        return CheckedFinite(m.a1 * (1 + m.c * CheckedLog10(m.Storm_RepeatYear)));
    case 1:
        return CheckedFinite(m.a1 * (1 + m.c * CheckedLn(m.Storm_RepeatYear)));
    default:
        return 0;
    }
}

namespace {

void Compute(const TExpressionObject &m, const ComputeSettings &s, HyetographResult &out)
{
    const double T = m.Storm_Time;
    if (T > MaxStormMinutes)
        throw TavrelError(QStringLiteral("降雨历时%1分钟太长，最长只能计算%2分钟")
                              .arg(FormatGeneral(T), FormatGeneral(MaxStormMinutes)));
    const double a = FormulaA(m);
    const double b = m.b;
    const double n = m.n;
    const double r = m.Storm_Percent;
    const int step = m.Storm_Step;
    const bool perHour = s.StormUnit == 0;

    const double N = std::trunc(T);
    int minutesSummed = 0;
    if (N >= 0) {
        const double tp = CheckedFinite(r * T);
        const auto last = static_cast<int>(N);
        out.points.reserve(static_cast<size_t>(step > 1 ? last / step + 2 : last + 1));
        double H = 0;
        for (int i = 0; i <= last; ++i) {
            const double t = i;
            const int side = CompareValue(t, tp);
            const bool rising = side <= 0;
            if (side == 0 && b == 0)
                continue;   // with b = 0 the peak minute itself has no defined intensity
            // At the peak the distance is 0, also when r * T carries rounding.
            const double distance = side == 0 ? 0.0 : std::fabs(t - tp);
            const double x = rising ? CheckedDiv(distance, r) : CheckedDiv(distance, 1 - r);
            double I = CheckedDiv(CheckedFinite(a * ((1 - n) * x + b)), CheckedPow(x + b, n + 1));
            if (perHour)
                I = CheckedFinite(I * 60);
            if (s.CalcByShow)
                I = DisplayRound(s.Precision, I);
            const double label = (rising && b == 0) ? t + 1 : t;
            H = CheckedFinite(H + I);
            ++minutesSummed;
            if (step == 0)
                throw TavrelError(QStringLiteral("除数为零（计算步长为0）"));
            if (i % step == 0 || i == last)
                out.points.push_back({label, I, perHour ? H / 60 : H});
        }
    }
    if (out.points.empty())
        throw TavrelError(QStringLiteral("没有可计算的数据（降雨历时为负）"));
    out.overall = out.points.back().cumulative;
    // The rain of the minutes summed, spread over those minutes: the step only thins the
    // rows, it does not change how long it rains.
    out.average = CheckedDiv(out.overall, static_cast<double>(minutesSummed));
    if (perHour)
        out.average = CheckedFinite(out.average * 60);
}

} // namespace

HyetographResult ComputeHyetographRows(const TExpressionObject &model, const ComputeSettings &settings)
{
    HyetographResult result;
    try {
        Compute(model, settings, result);
        result.ok = true;
    } catch (const std::exception &e) {
        result = HyetographResult{};
        result.message = QStringLiteral("出错：") + FailureMessage(e);
    }
    return result;
}
