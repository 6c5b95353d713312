#include "ExportTestSupport.h"
#include "TestSupport.h"
#include "core/TextFile.h"
#include "export/SwmmInputSection.h"

#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>

namespace {
ComputedStorm Storm(double P, double minutes, double peakRatio, int step, double b = 7)
{
    ComputedStorm s;
    SetStartValues(s.model);
    s.model.Storm_RepeatYear = P;
    s.model.Storm_Time = minutes;
    s.model.Storm_Percent = peakRatio;
    s.model.Storm_Step = step;
    s.model.b = b;
    s.result = ComputeHyetographRows(s.model, {0, false, 4});
    s.grid = GridTable(s.result.points, {0, 0, 4});
    return s;
}

SwmmInputSeries SeriesOf(const ComputedStorm &s)
{
    return MakeSwmmInputSeries(s.model, false, 4);
}

// An input file read the way SWMM reads one: "[...]" starts a section, ";" starts a
// comment, data items are separated by blanks; names are compared without letter case.
struct InpFile {
    QMap<QString, QList<QStringList>> sections;
};

InpFile ReadInp(const QString &text)
{
    InpFile file;
    QString section;
    for (const QString &line : SplitLines(text)) {
        const QStringList words = line.section(';', 0, 0).split(QRegularExpression("[ \t]+"), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        if (words[0].startsWith('['))
            section = words[0].toUpper();
        else
            file.sections[section].append(words);
    }
    return file;
}

// Elapsed time in minutes from decimal hours or hours:minutes (hours past 24 allowed).
std::optional<long> Minutes(const QString &text)
{
    const QRegularExpressionMatch hm = QRegularExpression("^(\\d+):([0-5]\\d)$").match(text);
    if (hm.hasMatch())
        return hm.captured(1).toLong() * 60 + hm.captured(2).toLong();
    bool ok = false;
    const double hours = text.toDouble(&ok);
    return ok ? std::optional<long>(std::lround(hours * 60)) : std::nullopt;
}

// What SWMM checks of rain gauges and their series before a run; the list of problems.
QStringList SwmmProblems(const InpFile &inp)
{
    QStringList problems;
    const QRegularExpression validName("^[^\\s;\"\\[][^\\s;\"]*$");
    QMap<QString, std::vector<long>> series;   // upper-case name -> times
    for (const QStringList &w : inp.sections.value("[TIMESERIES]")) {
        const std::optional<long> time = w.size() == 3 ? Minutes(w[1]) : std::nullopt;
        bool number = false;
        if (w.size() == 3)
            w[2].toDouble(&number);
        if (!time || !number || !validName.match(w[0]).hasMatch()) {
            problems.append("series line: " + w.join(' '));
            continue;
        }
        std::vector<long> &times = series[w[0].toUpper()];
        if (!times.empty() && *time <= times.back())
            problems.append("time not increasing: " + w.join(' '));
        times.push_back(*time);
    }
    QStringList gauges;
    for (const QStringList &w : inp.sections.value("[RAINGAGES]")) {
        const std::optional<long> interval = w.size() == 6 ? Minutes(w[2]) : std::nullopt;
        bool scf = false;
        if (w.size() == 6)
            w[3].toDouble(&scf);
        if (!interval || *interval <= 0 || !scf || w[1] != "INTENSITY" || w[4] != "TIMESERIES"
            || !validName.match(w[0]).hasMatch()) {
            problems.append("gauge line: " + w.join(' '));
            continue;
        }
        if (gauges.contains(w[0].toUpper()))
            problems.append("gauge named twice: " + w[0]);
        gauges.append(w[0].toUpper());
        const std::vector<long> times = series.value(w[5].toUpper());
        if (times.empty())
            problems.append("no series " + w[5]);
        for (size_t i = 1; i < times.size(); ++i) {
            if (times[i] - times[i - 1] < *interval)
                problems.append("gauge interval longer than its series' step: " + w[0]);
        }
    }
    for (const QStringList &w : inp.sections.value("[SUBCATCHMENTS]")) {
        if (w.size() < 2 || !gauges.contains(w[1].toUpper()))
            problems.append("subcatchment without its gauge: " + w.join(' '));
    }
    return problems;
}
} // namespace

TEST(SwmmInputSection, PastedIntoAModelMeetsSwmmsRules)
{
    const QString model = DecodeText(ReadBytes(TAVREL_TEST_DATA "/swmm/small_model.inp"));
    ASSERT_TRUE(SwmmProblems(ReadInp(model)).contains("subcatchment without its gauge: Yard RG_P2_T1500_R0.45 J1 0.45 35 60 1.5 0"));
    ASSERT_EQ(ReadInp(model).sections.value("[OPTIONS]").first(), QStringList({"FLOW_UNITS", "LPS"}));   // mm/h needs metric units

    const QByteArray bytes = SwmmInputFileBytes({SeriesOf(Storm(0.5, 1500, 0.45, 5)), SeriesOf(Storm(2, 1500, 0.45, 5))});
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0; }));   // ASCII only
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QString section = QString::fromLatin1(bytes);

    const InpFile pasted = ReadInp(model + "\r\n" + section);
    EXPECT_EQ(SwmmProblems(pasted), QStringList());
    const QList<QStringList> gauges = pasted.sections.value("[RAINGAGES]");
    ASSERT_EQ(gauges.size(), 3);
    EXPECT_EQ(gauges[1], QStringList({"RG_P0.5_T1500_R0.45", "INTENSITY", "00:05", "1.0", "TIMESERIES", "CHI_P0.5_T1500_R0.45"}));
    EXPECT_EQ(gauges[2][0], "RG_P2_T1500_R0.45");

    // Times count on from the start of the storm, past 24 hours.
    const QList<QStringList> entries = pasted.sections.value("[TIMESERIES]");
    ASSERT_EQ(entries.size(), 3 + 2 * 301);
    EXPECT_EQ(entries[3].mid(0, 2), QStringList({"CHI_P0.5_T1500_R0.45", "00:00"}));
    EXPECT_EQ(entries[3 + 288][1], "24:00");
    EXPECT_EQ(entries[3 + 300][1], "25:00");
    EXPECT_EQ(entries[3 + 301][0], "CHI_P2_T1500_R0.45");

    // The layout: a comment naming the storm above each series and gauge, columns aligned.
    const QStringList lines = SplitLines(section);
    const qsizetype first = lines.indexOf("[TIMESERIES]");
    ASSERT_GE(first, 0);
    EXPECT_EQ(lines[first + 3], ";P=0.5 T=1500 r=0.45 step 5 min, mean intensity of each 5 min");
    EXPECT_TRUE(lines[first + 4].startsWith("CHI_P0.5_T1500_R0.45 00:00      1.")) << lines[first + 4].toStdString();
    EXPECT_GT(lines.indexOf("[RAINGAGES]"), first);
}

// Storms whose rows would break SWMM's rules (a last row off the step, b = 0 moving the
// rising limb by a minute or repeating a time) all make series that meet them; a step
// below one minute is refused, naming the storm.
TEST(SwmmInputSection, EveryStormMeetsSwmmsRulesOrIsRefusedByName)
{
    std::vector<SwmmInputSeries> storms;
    for (const auto &[minutes, step, b, peak] : {std::tuple{121.0, 5, 7.0, 0.4}, std::tuple{120.0, 5, 0.0, 0.4},
                                                 std::tuple{10.0, 1, 0.0, 0.45}, std::tuple{10.0, 1, 0.0, 0.4}})
        storms.push_back(SeriesOf(Storm(minutes, minutes, peak, step, b)));   // P = T keeps the names apart
    EXPECT_EQ(SwmmProblems(ReadInp(QString::fromLatin1(SwmmInputFileBytes(storms)))), QStringList());

    try {
        SeriesOf(Storm(2, 120, 0.4, 0));
        ADD_FAILURE() << "a step of 0 was accepted";
    } catch (const TavrelError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("P=2 T=120 r=0.4"))) << e.message().toStdString();
    }
}

TEST(SwmmInputSection, RefusesTwoStormsOfOneName)
{
    // SWMM compares names without letter case; the same storm twice is one name twice.
    EXPECT_THROW(SwmmInputLines({SeriesOf(Storm(2, 120, 0.4, 1)), SeriesOf(Storm(2, 120, 0.4, 5))}), TavrelError);
}
