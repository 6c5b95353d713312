// The computation over any model a file or the dialog can produce, and more: it either
// fails with its reason and no rows, or gives finite rows in time order whose
// last cumulative is the total.
#include "FuzzCheck.h"
#include "core/Failure.h"
#include "core/Hyetograph.h"

#include <cmath>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

namespace {
// Mostly values a storm has, sometimes any float at all.
double Value(FuzzedDataProvider &in, double typical)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return typical;
    case 1:
        return in.ConsumeFloatingPointInRange(-2 * std::fabs(typical) - 1, 2 * std::fabs(typical) + 1);
    case 2:
        return static_cast<double>(in.ConsumeIntegralInRange(-3, 3));
    default: {
        const auto bits = in.ConsumeIntegral<uint64_t>();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        return any;
    }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    TExpressionObject m;
    SetStartValues(m);
    m.a1 = Value(in, 9.5981);
    m.c = Value(in, 0.846);
    m.b = Value(in, 7);
    m.n = Value(in, 0.656);
    m.LG_LN = in.ConsumeIntegralInRange<uint8_t>(0, 3);
    m.Storm_RepeatYear = Value(in, 2);
    // Long storms take milliseconds each; most runs stay short.
    m.Storm_Time = in.ConsumeBool() ? in.ConsumeIntegralInRange(-5, 400) + in.ConsumeProbability<double>() : Value(in, 120);
    m.Storm_Percent = Value(in, 0.4);
    m.Storm_Step = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 60) : in.ConsumeIntegral<int32_t>();
    ComputeSettings s;
    s.StormUnit = in.ConsumeIntegralInRange(-1, 2);
    s.CalcByShow = in.ConsumeBool();
    s.Precision = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 12) : in.ConsumeIntegral<int>();

    const HyetographResult r = ComputeHyetographRows(m, s);
    if (!r.ok) {
        FUZZ_CHECK(!r.message.isEmpty() && !r.message.startsWith(ErrorPrefix) && r.points.empty(), r.message);
        return 0;
    }
    FUZZ_CHECK(!r.points.empty(), QString());
    FUZZ_CHECK(r.points.size() <= static_cast<size_t>(std::trunc(m.Storm_Time)) + 1, QString::number(r.points.size()));
    double previous = -1;
    for (const HyetographPoint &p : r.points) {
        FUZZ_CHECK(std::isfinite(p.minute) && std::isfinite(p.intensity) && std::isfinite(p.cumulative), QString());
        FUZZ_CHECK(p.minute >= previous, QString::number(p.minute));
        previous = p.minute;
    }
    FUZZ_CHECK(r.overall == r.points.back().cumulative, QString());
    FUZZ_CHECK(std::isfinite(r.average), QString());
    return 0;
}
