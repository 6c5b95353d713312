// Converting the formula coefficient between its flow form q and its depth form i.
#include "core/Failure.h"
#include "settings/Options.h"
#include <gtest/gtest.h>

namespace {

struct ConversionCase {
    const char *name;
    double (*convert)(double, double);
    double value;
    double ratio;
    double expected;
};
void PrintTo(const ConversionCase &c, std::ostream *os) { *os << c.name; }


class Conversions : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversions, FollowTheRatio)
{
    const ConversionCase &c = GetParam();
    EXPECT_DOUBLE_EQ(c.convert(c.value, c.ratio), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    QI, Conversions,
    ::testing::Values(
        ConversionCase{"FlowBy167", FlowToIntensity, 167, 167, 1},
        ConversionCase{"FlowExact", FlowToIntensity, 167, 0.006, 1.002},
        ConversionCase{"FlowBy166_7", FlowToIntensity, 1667, 166.7, 10},
        ConversionCase{"IntensityExact", IntensityToFlow, 1, 0.006, 1 / 0.006},
        ConversionCase{"IntensityBy166_7", IntensityToFlow, 1, 166.7, 166.7},
        ConversionCase{"IntensityBy166_6667", IntensityToFlow, 2, 166.6667, 333.3334},
        // 166 itself is a ratio, not the exact-conversion marker.
        ConversionCase{"FlowAtBoundary", FlowToIntensity, 332, 166, 2},
        ConversionCase{"IntensityAtBoundary", IntensityToFlow, 2, 166, 332}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QI, OverflowNamesTheTypedCoefficientAndTheRatioInForce)
{
    EXPECT_THROW(IntensityToFlow(1e308, 0.006), TavrelError);
    try {
        IntensityToFlow(1e308, 167);
        ADD_FAILURE();
    } catch (const TavrelError &e) {
        EXPECT_TRUE(e.message().contains("A1=1E308") && e.message().contains("167 ×")) << e.message().toStdString();
        EXPECT_FALSE(e.message().contains("166.7"));
    }
}


} // namespace
