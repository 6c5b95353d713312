#include "CliTool.h"
#include "CliOutput.h"
#include "FitCommand.h"
#include "RecordCommand.h"

#include "core/ChartTexts.h"
#include "core/DesignStormCheck.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"
#include "core/StormFamily.h"
#include "export/ExportFormats.h"
#include "export/FamilyExports.h"
#include "export/SwmmInputSection.h"

#include <QDir>

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <optional>
#include <set>


namespace {

// The storms of the run as one family file (the SWMM input section), through the family's
// row of the export table. The storms SWMM refuses are left out and named; the others are
// written.
QStringList WriteSwmmInput(const std::vector<CliOutputContext> &storms, const QString &path)
{
    StormFamily family;
    for (const CliOutputContext &context : storms) {
        FamilyMember member;
        member.model = context.model;
        family.members.push_back(std::move(member));
    }
    const CliOutputContext &first = storms.front();
    const ExportInput input{first.model, first.options, first.grid, QDir::tempPath(), {}, &family};
    return FamilySwmmFormat().write(input, path).leftOut;
}

struct Arguments {
    bool help = false;
    std::optional<QString> unit, time, precision, P, T, r, step, model;
    QStringList outputs;
    QStringList books;
    bool calcByShow = false;
    bool check = false;
    std::map<QString, QString> fit;   // --fit, --fit-unit, --fit-log
    std::map<QString, QString> record;   // --record and its options
};

Arguments ParseArguments(const QStringList &args)
{
    Arguments a;
    auto valueFor = [&](qsizetype &i, const QString &name, const QString &inlineValue) -> QString {
        if (!inlineValue.isNull())
            return inlineValue;
        if (i + 1 >= args.size())
            throw TavrelError(QStringLiteral("选项 %1 缺少取值 / option %1 needs a value").arg(name));
        return args.at(++i);
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args.at(i);
        QString inlineValue;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(QLatin1Char('='))) {
            const qsizetype eq = arg.indexOf(QLatin1Char('='));
            inlineValue = arg.mid(eq + 1);
            arg = arg.left(eq);
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help"))
            a.help = true;
        else if (arg == QLatin1String("--unit"))
            a.unit = valueFor(i, arg, inlineValue);
        else if (arg == QLatin1String("--time"))
            a.time = valueFor(i, arg, inlineValue);
        else if (arg == QLatin1String("--precision"))
            a.precision = valueFor(i, arg, inlineValue);
        else if (arg == QLatin1String("--calc-by-show"))
            a.calcByShow = true;
        else if (arg == QLatin1String("--P"))
            a.P = valueFor(i, arg, inlineValue);
        else if (arg == QLatin1String("--T"))
            a.T = valueFor(i, arg, inlineValue);
        else if (arg == QLatin1String("--r"))
            a.r = valueFor(i, arg, inlineValue);
        else if (arg == QLatin1String("--step"))
            a.step = valueFor(i, arg, inlineValue);
        else if (arg == QLatin1String("-o") || arg == QLatin1String("--output"))
            a.outputs.append(valueFor(i, arg, inlineValue));
        else if (arg == QLatin1String("--book"))
            a.books.append(valueFor(i, arg, inlineValue));
        else if (arg == QLatin1String("--check"))
            a.check = true;
        else if (arg.startsWith(QLatin1String("--fit")))
            a.fit[arg] = valueFor(i, arg, inlineValue);
        else if (IsRecordOption(arg))
            a.record[arg] = valueFor(i, arg, inlineValue);
        else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1)
            throw TavrelError(QStringLiteral("未知的选项 / unknown option: %1").arg(arg));
        else if (a.model)
            throw TavrelError(QStringLiteral("只能给出一个雨型文件 / only one model file may be given"));
        else
            a.model = arg;
    }
    return a;
}

double NumberOption(const QString &name, const QString &text)
{
    double value = 0;
    if (!TryParseNumber(text, value))
        throw TavrelError(QStringLiteral("%1 的值“%2”不是有效的数字 / is not a number").arg(name, text));
    return value;
}

int WholeOption(const QString &name, const QString &text)
{
    int value = 0;
    if (!TryParseInteger(text, value))
        throw TavrelError(QStringLiteral("%1 的值“%2”不是有效的整数 / is not a whole number").arg(name, text));
    return value;
}

// The return periods of --P: one value or a comma-separated list, each different.
std::vector<double> PeriodList(const QString &text)
{
    std::vector<double> periods;
    QStringList seen;
    for (const QString &item : text.split(QLatin1Char(','))) {
        const double P = NumberOption(QStringLiteral("--P"), item.trimmed());
        if (seen.contains(FormatGeneral(P)))
            throw TavrelError(QStringLiteral("--P 中的重现期 %1 出现了两次 / is given twice").arg(FormatGeneral(P)));
        seen.append(FormatGeneral(P));
        periods.push_back(P);
    }
    return periods;
}

using StormWriter = std::function<void(const CliOutputContext &, const QString &path)>;
using FamilyWriter = std::function<QStringList(const std::vector<CliOutputContext> &, const QString &path)>;

// One output of the run, as named on the command line. Each runs once per storm (with
// the storm's {P}, {T}, {r} in its name), except a family writer given a name without
// {P}, which gets every storm at the end.
struct StormOutput {
    QString name;
    StormWriter write;
    FamilyWriter writeFamily;
    bool modelOnly = false;     // the rain-model file: the inputs, no computation
};

// A format of the export table for one storm. The Office packages are made in the
// temporary folder; a target that cannot be replaced is a failure of the tool.
StormWriter FormatWriter(const ExportFormat &format, const CliChartDrawer &drawChart)
{
    if (format.needsChart && !drawChart)
        throw TavrelError(QStringLiteral("图片和计算书需要图形界面库 / pictures and books need the desktop libraries"));
    return [&format, drawChart](const CliOutputContext &c, const QString &path) {
        const ExportInput input{c.model, c.options, c.grid, QDir::tempPath(),
                                [&](const QString &picture) { drawChart(c, picture, format.chartAtBookSize); }};
        if (format.write(input, path).placement != PackagePlacement::Placed)
            throw TavrelError(PackagePlacementFailedMessage);
    };
}

std::vector<StormOutput> OutputsFor(const QStringList &names, const QStringList &books, const CliChartDrawer &drawChart)
{
    std::vector<StormOutput> outputs;
    for (const QString &name : books) {
        // The desktop program's rule: whatever the name's extension, the book is a .docx.
        outputs.push_back({ReplaceExtension(name, CalcBookExtension), FormatWriter(CalcBookFormat(), drawChart), {}, false});
    }
    for (const QString &name : names) {
        StormOutput output;
        output.name = name;
        const QString extension = QLatin1Char('.') + QFileInfo(name).suffix().toLower();
        if (extension == QLatin1String(".txt")) {
            output.modelOnly = true;
            output.write = [](const CliOutputContext &context, const QString &path) { WriteRainModelFile(path, context.model); };
        } else if (const ExportFormat *format = FindExportFormat(extension)) {
            output.write = FormatWriter(*format, drawChart);
        } else if (extension == FamilySwmmFormat().extension) {
            output.writeFamily = WriteSwmmInput;
        } else {
            throw TavrelError(QStringLiteral("不支持的输出格式“%1” / unsupported output format").arg(extension));
        }
        outputs.push_back(std::move(output));
    }
    return outputs;
}

QString SummaryLine(const CliOutputContext &c)
{
    return FamilySummaryLine(FamilyBy::ReturnPeriod, c.model, c.storm.largestIntensity, c.options.Int_Precision);
}

// The rows as the CSV export writes them, then the total and the average.
QStringList TableLines(const CliOutputContext &c)
{
    const TOptions &o = c.options;
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(c.grid.size()) + 3);
    lines.append(CsvHeaderLine(o.Int_TimeForamtidx, o.Int_StormUnitidx));
    for (size_t r = 0; r < c.grid.size(); ++r)
        lines.append(CsvDataLine(c.grid.row(r)));
    // The chart's labels; the computation takes any unit but mm/h for mm/min.
    const StormChartTexts texts = ChartTextsOf(c.model, {o.Int_TimeForamtidx, o.Int_StormUnitidx == 0 ? 0 : 1, o.Int_Precision});
    lines.append(texts.labels[3]);
    lines.append(texts.labels[4]);
    return lines;
}

QStringList CheckLines(const CliOutputContext &c)
{
    const TOptions &o = c.options;
    const TExpressionObject &m = c.model;
    const DesignStormCheckResult check = CheckDesignStorm(m, ComputeSettingsOf(o));
    if (!check.ok)
        throw TavrelError(ErrorPrefix + check.message);
    QStringList lines;
    lines.append(QStringLiteral("设计暴雨校核 / design-storm check: P=%1年 T=%2分 r=%3, a=%4mm/min b=%5 n=%6")
                     .arg(FormatGeneral(m.Storm_RepeatYear), FormatGeneral(m.Storm_Time), FormatGeneral(m.Storm_Percent),
                          FormatFixed(check.a, o.Int_Precision), FormatGeneral(m.b), FormatGeneral(m.n)));
    lines.append(QStringLiteral("逐分钟计算（步长1分钟，与--step无关）/ computed minute by minute (step 1, whatever --step says)"));
    lines.append(DesignStormCheckHeading().join(QLatin1Char(',')));
    for (const QStringList &row : DesignStormCheckTexts(check, o.Int_Precision))
        lines.append(row.join(QLatin1Char(',')));
    return lines;
}

// Runs the steps of the storms. With one storm a failure ends the run, as it always has;
// in a family it is noted with the storm's name and the run goes on with the others.
struct StormRun {
    bool family = false;
    QStringList failures;
    QStringList summary;
    std::vector<QStringList> checks;

    bool attempt(const TExpressionObject &storm, const QString &file, const std::function<void()> &step, bool named = true)
    {
        if (!family) {
            step();
            return true;
        }
        try {
            step();
            return true;
        } catch (const std::exception &e) {
            QString where = named ? QStringLiteral("P=%1年").arg(FormatGeneral(storm.Storm_RepeatYear)) : QString();
            if (!file.isEmpty())
                where += (where.isEmpty() ? QString() : QStringLiteral("，")) + file;
            failures.append(where + QStringLiteral("：") + FailureMessage(e));
            return false;
        }
    }

    // Storms a family writer left out; with one storm that is the run's failure.
    void leftOut(const QStringList &messages)
    {
        if (messages.isEmpty())
            return;
        if (!family)
            throw TavrelError(messages.join(QLatin1Char('\n')));
        failures.append(messages);
    }
};

int Run(const QStringList &arguments, CliStreams &streams, const CliChartDrawer &drawChart,
        const CliFrequencyDrawer &drawFrequency)
{
    const Arguments a = ParseArguments(arguments);
    if (a.help) {
        streams.out = CliHelpText();
        return 0;
    }

    TOptions o;
    LoadOptions(SettingsFilePath(UserAppDataFolder(), false), o);
    if (a.unit) {
        if (*a.unit == QLatin1String("mm/min"))
            o.Int_StormUnitidx = 1;
        else if (*a.unit == QLatin1String("mm/h"))
            o.Int_StormUnitidx = 0;
        else
            throw TavrelError(QStringLiteral("--unit 只能是 mm/min 或 mm/h / must be mm/min or mm/h"));
    }
    if (a.time) {
        if (*a.time == QLatin1String("min"))
            o.Int_TimeForamtidx = 1;
        else if (*a.time == QLatin1String("hm"))
            o.Int_TimeForamtidx = 0;
        else
            throw TavrelError(QStringLiteral("--time 只能是 min 或 hm / must be min or hm"));
    }
    if (a.precision) {
        o.Int_Precision = WholeOption(QStringLiteral("--precision"), *a.precision);
        if (o.Int_Precision < 0 || o.Int_Precision > MaxDecimals)
            throw TavrelError(QStringLiteral("--precision 只能取 0 到 %1 / must be 0 to %1").arg(MaxDecimals));
    }
    if (a.calcByShow)
        o.Bool_CalcByShow = true;

    TExpressionObject m;
    SetStartValues(m);
    if (a.model) {
        const RainModelRead read = ReadRainModelFile(*a.model, m);
        if (read.status != RainModelRead::Ok)
            throw TavrelError(QStringLiteral("%1：%2").arg(*a.model, read.message));
        m = read.model;
    }
    const std::vector<double> periods = a.P ? PeriodList(*a.P) : std::vector<double>{m.Storm_RepeatYear};
    if (a.T)
        m.Storm_Time = NumberOption(QStringLiteral("--T"), *a.T);
    if (a.r)
        m.Storm_Percent = NumberOption(QStringLiteral("--r"), *a.r);
    if (a.step)
        m.Storm_Step = WholeOption(QStringLiteral("--step"), *a.step);

    if (!a.record.empty())
        return RunRecordCommand({a.record, m, periods, a.outputs, !a.fit.empty() || !a.books.isEmpty() || a.check, o,
                                 drawChart, drawFrequency},
                                streams);
    if (!a.fit.empty())
        return RunFitCommand({a.fit, m, periods, a.outputs, !a.books.isEmpty() || a.check, o}, streams);

    // Everything that could refuse the run is checked before the first file is written.
    const std::vector<StormOutput> outputs = OutputsFor(a.outputs, a.books, drawChart);
    const bool family = periods.size() > 1;
    if (family) {
        for (const StormOutput &output : outputs) {
            if (!output.writeFamily && !output.name.contains(QLatin1String("{P}")))
                throw TavrelError(QStringLiteral("有%1个重现期，输出文件名“%2”中却没有{P}，各场暴雨会写进同一个文件。"
                                                 " / several return periods need {P} in the name")
                                      .arg(periods.size())
                                      .arg(output.name));
        }
    }
    const bool modelFilesOnly = !outputs.empty() && std::all_of(outputs.begin(), outputs.end(),
                                                                [](const StormOutput &output) { return output.modelOnly; });

    StormRun run;
    run.family = family;
    std::vector<CliOutputContext> collected;   // for the files that take every storm at once
    for (double P : periods) {
        CliOutputContext context;
        context.options = o;
        context.model = m;
        context.model.Storm_RepeatYear = P;
        const TExpressionObject &storm = context.model;
        auto nameFor = [&](const StormOutput &output) {
            return StormOutputName(output.name, storm.Storm_RepeatYear, storm.Storm_Time, storm.Storm_Percent);
        };

        // A storm of negative rain is made nowhere, not even as a model file.
        if (!run.attempt(storm, QString(), [&] {
                if (const StormRuleProblem problem = CheckStormRules(storm))
                    throw TavrelError(ErrorPrefix + problem.message);
            }))
            continue;
        // The model file holds the inputs only, so it needs no computation.
        for (const StormOutput &output : outputs) {
            if (output.modelOnly)
                run.attempt(storm, nameFor(output), [&] { output.write(context, nameFor(output)); });
        }
        if (modelFilesOnly && !family && !a.check)
            return 0;

        const bool computed = run.attempt(storm, QString(), [&] {
            context.storm = ComputeStorm(storm, ComputeSettingsOf(o));
            if (!context.storm.ok)
                throw TavrelError(ErrorPrefix + context.storm.message);
            context.model = context.storm.model;
            context.grid = GridTable(context.storm.points, GridFormatOf(o));
        });
        if (!computed)
            continue;

        for (const StormOutput &output : outputs) {
            const QString path = nameFor(output);
            if (output.write && !output.modelOnly)
                run.attempt(storm, path, [&] { output.write(context, path); });
            else if (output.writeFamily && output.name.contains(QLatin1String("{P}")))
                run.attempt(storm, path, [&] { run.leftOut(output.writeFamily({context}, path)); });
        }
        run.summary.append(SummaryLine(context));
        if (a.check)
            run.attempt(storm, QString(), [&] { run.checks.push_back(CheckLines(context)); });
        if (!family && outputs.empty() && !a.check)
            run.checks.push_back(TableLines(context));
        collected.push_back(std::move(context));
    }
    for (const StormOutput &output : outputs) {
        if (output.writeFamily && !output.name.contains(QLatin1String("{P}")) && !collected.empty())
            run.attempt(collected.front().model, output.name,
                        [&] { run.leftOut(output.writeFamily(collected, output.name)); }, false);
    }

    QStringList printed;
    if (family) {
        printed.append(FamilySummaryHeading(FamilyBy::ReturnPeriod, o.Int_StormUnitidx));
        printed.append(run.summary);
    }
    for (const QStringList &block : run.checks) {
        if (!printed.isEmpty())
            printed.append(QString());
        printed.append(block);
    }
    if (!printed.isEmpty())
        streams.out = printed.join(QLatin1Char('\n')) + QLatin1Char('\n');
    if (run.failures.isEmpty())
        return 0;
    streams.err = run.failures.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return 1;
}

} // namespace

int RunCli(const QStringList &arguments, CliStreams &streams, const CliChartDrawer &drawChart,
           const CliFrequencyDrawer &drawFrequency)
{
    try {
        return Run(arguments, streams, drawChart, drawFrequency);
    } catch (const std::exception &e) {
        streams.out.clear();
        streams.err = FailureMessage(e) + QLatin1Char('\n');
        return 1;
    }
}
