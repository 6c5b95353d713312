#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/TimeLabel.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

struct GeneralCase {
    double value;
    const char *text;
};

class GeneralText : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralText, RendersFifteenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(FormatGeneral(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, GeneralText,
    ::testing::Values(GeneralCase{2, "2"}, GeneralCase{0.40, "0.4"}, GeneralCase{7.0, "7"},
                      GeneralCase{9.5981 / 0.006, "1599.68333333333"}, GeneralCase{0.00005, "0.00005"},
                      GeneralCase{0.00001, "0.00001"}, GeneralCase{0.000001, "1E-6"}, GeneralCase{0, "0"},
                      GeneralCase{-0.0, "0"}, GeneralCase{-2.5, "-2.5"}, GeneralCase{166.6667, "166.6667"},
                      GeneralCase{123456789012345.0, "123456789012345"}, GeneralCase{1e15, "1E15"},
                      GeneralCase{0.1 + 0.2, "0.3"}, GeneralCase{9.5981 / 167, "0.0574736526946108"},
                      GeneralCase{99999999999999.99, "100000000000000"},
                      // Doubles whose shortest texts end on a half between two 15-digit
                      // numbers: the exact value lies below it, then above it. And a
                      // subnormal, whose shortest text has fewer digits than its 15.
                      GeneralCase{0.7672542562549735, "0.767254256254973"},
                      GeneralCase{0.2468429743296745, "0.246842974329675"},
                      GeneralCase{5.502521462198e-310, "5.50252146219799E-310"},
                      // Exactly half-way between two 15-digit numbers (the double holds
                      // the .5 exactly): to the even neighbour, as printf rounds ties.
                      GeneralCase{123456789012345.5, "123456789012346"},
                      GeneralCase{123456789012344.5, "123456789012344"}));

struct FixedCase {
    double value;
    int decimals;
    const char *text;
    double rounded;
};

class FixedText : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedText, RoundsHalvesAwayFromZeroOnTheDecimalDigits)
{
    const FixedCase c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.decimals).toStdString(), c.text);
    EXPECT_EQ(DisplayRound(c.decimals, c.value), c.rounded);
}

INSTANTIATE_TEST_SUITE_P(Values, FixedText,
    ::testing::Values(FixedCase{0.125, 2, "0.13", 0.13}, FixedCase{2.675, 2, "2.68", 2.68},
                      FixedCase{1.234567, 4, "1.2346", 1.2346}, FixedCase{1.234567, 1, "1.2", 1.2},
                      FixedCase{-0.125, 2, "-0.13", -0.13}, FixedCase{9.995, 2, "10.00", 10.0},
                      FixedCase{0.00005, 4, "0.0001", 0.0001}, FixedCase{0.00004, 4, "0.0000", 0.0},
                      FixedCase{60.634473, 4, "60.6345", 60.6345}, FixedCase{2, 0, "2", 2},
                      FixedCase{2.5, 0, "3", 3}, FixedCase{0.5, -1, "1", 1}, FixedCase{12.3456, 2, "12.35", 12.35},
                      FixedCase{1e20, 2, "100000000000000000000.00", 1e20}, FixedCase{0.1, 20, "0.10000000000000000000", 0.1},
                      FixedCase{-0.001, 2, "0.00", 0.0}));

TEST(FixedText, ManyDecimalsAreCapped)
{
    EXPECT_EQ(FormatFixed(1.5, 1000).size(), 2 + MaxDecimals);
}

TEST(TolerantComparison, AbsorbsTheRoundingOfProductsButNotRealDifferences)
{
    EXPECT_EQ(CompareValue(29, 0.29 * 100), 0);   // 28.999999999999996
    EXPECT_EQ(CompareValue(0.57 * 100, 57), 0);   // 56.99999999999999
    EXPECT_EQ(CompareValue(0, 1e-13), 0);
    EXPECT_EQ(CompareValue(48, 48.000001), -1);
    EXPECT_EQ(CompareValue(100000, 99999.999), 1);
    EXPECT_EQ(CompareValue(0, 1e-9), -1);
    EXPECT_EQ(CompareValue(0.006, 166), -1);
    EXPECT_EQ(CompareValue(166.6667, 166), 1);
    EXPECT_EQ(CompareValue(-1, 1), -1);
}

TEST(FixedText, TheLargestFloatsKeepTheirSize)
{
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(DisplayRound(4, largest), largest);
    EXPECT_EQ(DisplayRound(2, -largest), -largest);
    EXPECT_EQ(DisplayRound(0, 1.79769313486231e308), 1.79769313486231e308);
}

TEST(NumberParsing, UsesThePointWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(ParseNumber(" 0.4 "), 0.4);
    EXPECT_EQ(ParseNumber("+2"), 2);
    EXPECT_EQ(ParseNumber("-1.5e3"), -1500);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("1E-6"), 1e-6);
    QLocale::setDefault(QLocale::c());
}

class NotANumber : public ::testing::TestWithParam<const char *> {};

TEST_P(NotANumber, IsAConversionFailure)
{
    double value = 0;
    EXPECT_FALSE(TryParseNumber(QString::fromUtf8(GetParam()), value));
    EXPECT_THROW(ParseNumber(QString::fromUtf8(GetParam())), TavrelError);
}

// The last two would be written as 1.79769313486232E308, which reads back as no number.
INSTANTIATE_TEST_SUITE_P(Texts, NotANumber,
    ::testing::Values("", "  ", "0,4", "1.2.3", "nan", "inf", "-inf", "1e999", "abc", "0x10", "1 2", "++1", "４",
                      "1.7976931348623157e308", "-1.797693134862316e308"));

TEST(NumberParsing, EveryNumberReadIsWrittenSoThatItReadsBack)
{
    for (const char *text : {"1.79769313486231e308", "1.7976931348623149e308", "-1.79769313486231E308", "4.9e-324"}) {
        const double value = ParseNumber(QString::fromLatin1(text));
        double back = 0;
        EXPECT_TRUE(TryParseNumber(FormatGeneral(value), back)) << text << " -> " << FormatGeneral(value).toStdString();
    }
}

TEST(NumberParsing, WholeNumbersRefuseFractionsAndOverflow)
{
    EXPECT_EQ(ParseInteger(" 5 "), 5);
    EXPECT_EQ(ParseInteger("-3"), -3);
    EXPECT_EQ(ParseInteger("+7"), 7);
    for (const char *bad : {"1.0", "1e2", "2147483648", "", "x", "--1", "+-5", "-+5", "++5", "- 5"}) {
        int value = 0;
        EXPECT_FALSE(TryParseInteger(QString::fromUtf8(bad), value)) << bad;
    }
}

TEST(CheckedArithmetic, FailsInsteadOfYieldingNanOrInfinity)
{
    EXPECT_THROW(CheckedDiv(0, 0), TavrelError);
    EXPECT_THROW(CheckedDiv(1, 0), TavrelError);
    EXPECT_THROW(CheckedLog10(0), TavrelError);
    EXPECT_THROW(CheckedLn(-1), TavrelError);
    EXPECT_THROW(CheckedPow(-2, 0.5), TavrelError);
    EXPECT_THROW(CheckedPow(10, 400), TavrelError);
    EXPECT_EQ(CheckedPow(-2, 2), 4);
    EXPECT_THROW(CheckedFinite(std::numeric_limits<double>::quiet_NaN()), TavrelError);
}

struct LabelCase {
    double minute;
    const char *clock;
    const char *minutes;
};

class TimeLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(TimeLabels, ClockAndMinuteForms)
{
    EXPECT_EQ(TimeLabel(GetParam().minute, 0).toStdString(), GetParam().clock);
    EXPECT_EQ(TimeLabel(GetParam().minute, 1).toStdString(), GetParam().minutes);
}

INSTANTIATE_TEST_SUITE_P(Minutes, TimeLabels,
    ::testing::Values(LabelCase{0, "00:00", "00"}, LabelCase{5, "00:05", "05"}, LabelCase{60, "01:00", "60"},
                      LabelCase{65, "01:05", "65"}, LabelCase{120, "02:00", "120"}, LabelCase{1440, "00:00", "1440"},
                      LabelCase{1500, "01:00", "1500"}, LabelCase{5.7, "00:05", "06"}, LabelCase{2.5, "00:02", "03"},
                      LabelCase{5 - 1e-9, "00:05", "05"}));

TEST(TimeLabels, HugeMinutesStillGiveTheirLabels)
{
    const double minutes = 9223372036854775808.0;   // 2^63, beyond every integer type
    EXPECT_EQ(TimeLabel(minutes, 1).toStdString(), "9223372036854780000");
    // 2^63 = 1440 * 6405119470038038 + 1088 minutes: 18:08 on the clock.
    EXPECT_EQ(TimeLabel(minutes, 0).toStdString(), "18:08");
    EXPECT_EQ(TimeLabel(-minutes, 0).toStdString(), "05:52");
    EXPECT_EQ(ElapsedTimeLabel(1e13).toStdString(), "166666666666:40");
}

TEST(TimeLabels, OtherFormatsGiveNoText)
{
    EXPECT_TRUE(TimeLabel(5, 2).isEmpty());
    EXPECT_TRUE(TimeLabel(5, -1).isEmpty());
}

TEST(TimeLabels, ElapsedTimeCountsHoursOnPastOneDay)
{
    EXPECT_EQ(ElapsedTimeLabel(1439).toStdString(), "23:59");
    EXPECT_EQ(ElapsedTimeLabel(1440).toStdString(), "24:00");
    EXPECT_EQ(ElapsedTimeLabel(1441).toStdString(), "24:01");
    EXPECT_EQ(ElapsedTimeLabel(6000).toStdString(), "100:00");
    EXPECT_EQ(ElapsedTimeLabel(5).toStdString(), "00:05");
}
