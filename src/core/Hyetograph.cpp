#include "Hyetograph.h"
#include "Failure.h"
#include "Numbers.h"

#include <cmath>

double FormulaA(const TExpressionObject &m)
{
    // Only the logarithm's forms need P; say what is wrong in the user's words.
    if ((m.LG_LN == 0 || m.LG_LN == 1) && !(m.Storm_RepeatYear > 0))
        throw TavrelError(QStringLiteral("重现期P必须大于0"));
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
// The Keifer-Chu intensity at a distance x (minutes, scaled by r or 1 - r) from the peak.
double ChicagoIntensity(double a, double b, double n, double x)
{
    return CheckedDiv(CheckedFinite(a * ((1 - n) * x + b)), CheckedPow(x + b, n + 1));
}
} // namespace

StormRuleProblem CheckStormRules(const TExpressionObject &m)
{
    StormRuleProblem problem;
    // Only the logarithm's forms have a depth factor; a P with no logarithm is the
    // computation's failure to report.
    if ((m.LG_LN != 0 && m.LG_LN != 1) || !(m.Storm_RepeatYear > 0) || !std::isfinite(m.Storm_RepeatYear))
        return problem;
    const bool lg = m.LG_LN == 0;
    const double factor = 1 + m.c * (lg ? std::log10(m.Storm_RepeatYear) : std::log(m.Storm_RepeatYear));
    if (!(factor > 0)) {
        problem.field = StormRuleProblem::ReturnPeriod;
        problem.message = QStringLiteral("重现期P=%1年时，1 + C·%2P = %3，不大于0：公式算不出正的雨量，无法生成暴雨")
                              .arg(FormatGeneral(m.Storm_RepeatYear), lg ? QStringLiteral("lg") : QStringLiteral("ln"),
                                   FormatGeneral(std::round(factor * 1e4) / 1e4));
        return problem;
    }
    if (!(m.a1 > 0)) {
        problem.field = StormRuleProblem::A1;
        problem.message = QStringLiteral("A1=%1，不大于0：公式算不出正的雨量，无法生成暴雨").arg(FormatGeneral(m.a1));
        return problem;
    }
    // With n above 1 the intensity a((1 - n)x + b)/(x + b)^(n + 1) falls below 0 once the
    // scaled distance x from the peak passes b / (n - 1); the farthest minute of a storm of
    // T minutes lies at x = T (minute 0, whatever r is).
    if (m.n > 1 && m.b >= 0 && m.Storm_Time > 0 && std::isfinite(m.Storm_Time)) {
        const double limit = m.b / (m.n - 1);
        if (m.Storm_Time > limit) {
            problem.field = StormRuleProblem::Exponent;
            problem.message = QStringLiteral("n=%1大于1，离雨峰超过b/(n-1)=%2分钟处雨强为负：公式算不出%3分钟的暴雨")
                                  .arg(FormatGeneral(m.n), FormatGeneral(std::round(limit * 1e4) / 1e4),
                                       FormatGeneral(m.Storm_Time));
        }
    }
    return problem;
}

namespace {

// The Keifer-Chu intensity of every whole minute 0 … trunc(T), in the unit and rounding of
// `s`, handed to `visit(minute, label, intensity)` in order. The peak minute of a b = 0
// storm has no defined intensity and is passed over.
template <class Visit>
void EachMinute(const TExpressionObject &m, const ComputeSettings &s, Visit &&visit)
{
    const double T = m.Storm_Time;
    if (T > MaxStormMinutes)
        throw TavrelError(QStringLiteral("降雨历时%1分钟太长，最长只能计算%2分钟")
                              .arg(FormatGeneral(T), FormatGeneral(MaxStormMinutes)));
    const double N = std::trunc(T);
    if (N < 0)
        return;
    if (const StormRuleProblem problem = CheckStormRules(m))
        throw TavrelError(problem.message);
    const double a = FormulaA(m);
    const double b = m.b;
    const double n = m.n;
    const double r = m.Storm_Percent;
    const bool perHour = s.StormUnit == 0;
    if (r == 0)
        throw TavrelError(QStringLiteral("峰值比例r必须大于0"));
    const double tp = CheckedFinite(r * T);
    const auto last = static_cast<int>(N);
    for (int i = 0; i <= last; ++i) {
        const double t = i;
        const int side = CompareValue(t, tp);
        const bool rising = side <= 0;
        if (side == 0 && b == 0)
            continue;   // with b = 0 the peak minute itself has no defined intensity
        // At the peak the distance is 0, also when r * T carries rounding.
        const double distance = side == 0 ? 0.0 : std::fabs(t - tp);
        const double x = rising ? CheckedDiv(distance, r) : CheckedDiv(distance, 1 - r);
        double I = ChicagoIntensity(a, b, n, x);
        // The rules above keep the rain positive; a minute that is not is never passed on.
        if (I < 0)
            throw TavrelError(QStringLiteral("第%1分钟的雨强为负，无法生成暴雨").arg(i));
        if (perHour)
            I = CheckedFinite(I * 60);
        if (s.CalcByShow)
            I = DisplayRound(s.Precision, I);
        visit(i, (rising && b == 0) ? t + 1 : t, I);
    }
}

void Compute(const TExpressionObject &m, const ComputeSettings &s, HyetographResult &out)
{
    const int step = m.Storm_Step;
    if (step == 0)
        throw TavrelError(QStringLiteral("计算步长不能为0"));
    const bool perHour = s.StormUnit == 0;
    const double N = std::trunc(m.Storm_Time);
    const int last = N >= 0 && N <= MaxStormMinutes ? static_cast<int>(N) : -1;
    if (last >= 0)
        out.points.reserve(static_cast<size_t>(step > 1 ? last / step + 2 : last + 1));
    double H = 0;
    int minutesSummed = 0;
    EachMinute(m, s, [&](int i, double label, double I) {
        H = CheckedFinite(H + I);
        ++minutesSummed;
        if (i % step == 0 || i == last)
            out.points.push_back({label, I, perHour ? H / 60 : H});
    });
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

std::vector<StormMinute> StormMinuteIntensities(const TExpressionObject &model, const ComputeSettings &settings)
{
    std::vector<StormMinute> minutes;
    if (model.Storm_Time >= 0 && model.Storm_Time <= MaxStormMinutes)
        minutes.reserve(static_cast<size_t>(model.Storm_Time) + 1);
    EachMinute(model, settings, [&](int i, double, double I) { minutes.push_back({i, I}); });
    return minutes;
}

HyetographResult ComputeHyetographRows(const TExpressionObject &model, const ComputeSettings &settings)
{
    HyetographResult result;
    try {
        Compute(model, settings, result);
        result.ok = true;
    } catch (const std::exception &e) {
        result = HyetographResult{};
        result.message = FailureMessage(e);
    }
    return result;
}
