#include "CliTool.h"
#include "CliOutput.h"
#include "FitCommand.h"

#include "core/DesignStormCheck.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <optional>
#include <set>

std::map<QString, CliWriter> &CliWriters()
{
    static std::map<QString, CliWriter> writers;
    return writers;
}

std::map<QString, CliFamilyWriter> &CliFamilyWriters()
{
    static std::map<QString, CliFamilyWriter> writers;
    return writers;
}

void RegisterPictureCliFormats(const CliWriter &writer)
{
    for (const char *extension : {".png", ".jpg", ".bmp"})
        CliWriters()[QString::fromLatin1(extension)] = writer;
}

CliWriter &CliBookWriter()
{
    static CliWriter writer;
    return writer;
}

QString StormOutputName(const QString &name, double P, double T, double r)
{
    QString result = name;
    result.replace(QLatin1String("{P}"), FormatGeneral(P));
    result.replace(QLatin1String("{T}"), FormatGeneral(T));
    result.replace(QLatin1String("{r}"), FormatGeneral(r));
    return result;
}

QString CliHelpText()
{
    return QStringLiteral(
        "用法 / Usage: tavrel-cli [选项/options] [雨型文件/MODEL.txt]\n"
        "\n"
        "计算芝加哥雨型（Keifer-Chu），打印CSV导出的各行（表头和每一行数据），\n"
        "然后打印降雨总量和平均雨强。不给雨型文件时使用默认雨型。\n"
        "Computes the Chicago design storm (Keifer and Chu) and prints the lines the CSV\n"
        "export writes (header, then one line per row), then the total and the average.\n"
        "Without MODEL.txt the default storm is used.\n"
        "\n"
        "显示设置默认取自用户的 options.ini，与桌面程序相同：\n"
        "Display settings come from the user's options.ini, as in the desktop program:\n"
        "  --unit mm/min|mm/h     降雨强度单位 / intensity unit\n"
        "  --time min|hm          时间格式：分钟或 时:分 / time as minutes or hours:minutes\n"
        "  --precision N          显示小数位数 / decimals shown\n"
        "  --calc-by-show         按显示精度计算 / compute with the rounded intensities\n"
        "\n"
        "覆盖雨型参数 / Override the storm parameters of the model:\n"
        "  --P X[,X...]           设计重现期（年），可给多个，如 1,2,3,5,10,20,50,100\n"
        "                         return period in years; a list gives a family of storms\n"
        "  --T X                  降雨历时（分钟）/ duration in minutes (at most 100000)\n"
        "  --r X                  峰值比例（0-1）/ peak ratio between 0 and 1\n"
        "  --step N               计算步长（分钟）/ step in minutes\n"
        "\n"
        "  -o FILE                写入文件，格式由扩展名决定，可重复 / write FILE, format by\n"
        "                         extension; may be repeated:\n"
        "%1"
        "                         文件名中的 {P}、{T}、{r} 换成各场暴雨的参数；多个重现期时\n"
        "                         除 .inp 外每个文件名都须含 {P}，每场暴雨写一个文件。\n"
        "                         {P}, {T}, {r} in a name become each storm's values; with\n"
        "                         several return periods every name but .inp needs {P}.\n"
        "  --book FILE.docx       计算书：计算依据、公式参数、雨型参数、曲线图、数据表格和\n"
        "                         总量（Word），可重复；扩展名总是 .docx，{P}、{T}、{r} 同 -o\n"
        "                         the calculation book (Word): basis, parameters, chart, table\n"
        "                         and totals; may be repeated; the name always gets .docx;\n"
        "                         {P}, {T}, {r} as with -o\n"
        "  --check                设计暴雨校核：各历时的公式雨量与雨型最大雨量对照（逐分钟）\n"
        "                         design-storm check: formula depth against the storm's\n"
        "                         heaviest window for each duration (minute by minute)\n"
        "  --fit TABLE.csv        由暴雨强度表（CSV或制表符分隔；首行重现期，首列历时）拟合\n"
        "                         公式参数A1、C、b、n，打印参数、精度和各数值；-o NAME.txt\n"
        "                         写出拟合公式的雨型文件（其余参数取自上述选项或默认值）\n"
        "                         fit A1, C, b, n to an intensity table (periods in the first\n"
        "                         row, durations in the first column) and print them, the\n"
        "                         accuracy and every cell; -o NAME.txt writes the rain model\n"
        "  --fit-unit U           表中雨强单位 / the table's unit: mm/min (默认), mm/h, L/(s.hm2)\n"
        "  --fit-log lg|ln        公式中用 lgP（默认）或 lnP / lg P (default) or ln P\n"
        "  -h, --help             显示本说明 / show this help\n"
        "\n"
        "多个重现期时打印汇总表（P、总雨量、峰值雨强、平均雨强）；某场暴雨出错时\n"
        "说明是哪一场，其余照常写出，返回非零值。\n"
        "Several return periods print a summary (P, total, peak and average intensity);\n"
        "a storm that fails is named, the others are still written, and the exit code\n"
        "is non-zero.\n"
        "\n"
        "出错时在标准错误输出中说明原因并返回非零值，不会留下写了一半的文件。\n"
        "On failure the reason goes to standard error and the exit code is non-zero;\n"
        "no file is left half-written.\n");
}

namespace {

QString FormatsHelp()
{
    static const std::map<QString, QString> descriptions = {
        {QStringLiteral(".csv"), QStringLiteral("CSV表格 / CSV table (GBK)")},
        {QStringLiteral(".dat"), QStringLiteral("SWMM降雨时间序列（时:分，mm/h）/ SWMM rainfall time series")},
        {QStringLiteral(".inp"), QStringLiteral("SWMM输入文件的[TIMESERIES]和[RAINGAGES]段，所有暴雨写在一起\n"
                                                "                               SWMM input sections, every storm in one file")},
        {QStringLiteral(".docx"), QStringLiteral("Word雨型数据表格 / Word table of the rows")},
        {QStringLiteral(".xlsx"), QStringLiteral("Excel工作簿，含雨型图表 / Excel workbook with the chart")},
        {QStringLiteral(".png"), QStringLiteral("雨型图片 / chart picture")},
        {QStringLiteral(".jpg"), QStringLiteral("雨型图片 / chart picture")},
        {QStringLiteral(".bmp"), QStringLiteral("雨型图片 / chart picture")},
    };
    QString text = QStringLiteral("                         .txt   雨型文件 / rain-model file\n");
    std::set<QString> extensions;
    for (const auto &entry : CliWriters())
        extensions.insert(entry.first);
    for (const auto &entry : CliFamilyWriters())
        extensions.insert(entry.first);
    for (const QString &extension : extensions) {
        const auto found = descriptions.find(extension);
        text += QStringLiteral("                         %1  %2\n")
                    .arg(extension.leftJustified(5), found != descriptions.end() ? found->second : QString());
    }
    return text;
}

struct Arguments {
    bool help = false;
    std::optional<QString> unit, time, precision, P, T, r, step, model;
    QStringList outputs;
    QStringList books;
    bool calcByShow = false;
    bool check = false;
    std::map<QString, QString> fit;   // --fit, --fit-unit, --fit-log
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

QString TotalLabel(const TExpressionObject &m, const TOptions &o)
{
    return QStringLiteral("降雨总量H=%1mm").arg(FormatFixed(m.Strom_Overall_Rainfall, o.Int_Precision));
}

QString AverageLabel(const TExpressionObject &m, const TOptions &o)
{
    const QString unit = o.Int_StormUnitidx == 0 ? QStringLiteral("mm/h") : QStringLiteral("mm/min");
    return QStringLiteral("平均雨强i=%1%2").arg(FormatFixed(m.Strom_Average_Rainfall_Intensity, o.Int_Precision), unit);
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

// One output of the run, as named on the command line. Each runs once per storm (with
// the storm's {P}, {T}, {r} in its name), except a family writer given a name without
// {P}, which gets every storm at the end.
struct StormOutput {
    QString name;
    CliWriter write;
    CliFamilyWriter writeFamily;
    bool modelOnly = false;     // the rain-model file: the inputs, no computation
};

std::vector<StormOutput> OutputsFor(const QStringList &names, const QStringList &books)
{
    std::vector<StormOutput> outputs;
    for (const QString &name : books) {
        if (!CliBookWriter())
            throw TavrelError(QStringLiteral("计算书需要图形界面库 / the calculation book needs the desktop libraries"));
        // The desktop program's rule: whatever the name's extension, the book is a .docx.
        outputs.push_back({ReplaceExtension(name, QStringLiteral(".docx")), CliBookWriter(), {}, false});
    }
    for (const QString &name : names) {
        StormOutput output;
        output.name = name;
        const QString extension = QLatin1Char('.') + QFileInfo(name).suffix().toLower();
        if (extension == QLatin1String(".txt")) {
            output.modelOnly = true;
            output.write = [](const CliOutputContext &context, const QString &path) { WriteRainModelFile(path, context.model); };
        } else if (const auto found = CliWriters().find(extension); found != CliWriters().end()) {
            output.write = found->second;
        } else if (const auto family = CliFamilyWriters().find(extension); family != CliFamilyWriters().end()) {
            output.writeFamily = family->second;
        } else {
            throw TavrelError(QStringLiteral("不支持的输出格式“%1” / unsupported output format").arg(extension));
        }
        outputs.push_back(std::move(output));
    }
    return outputs;
}

QString UnitText(const TOptions &o)
{
    return o.Int_StormUnitidx == 0 ? QStringLiteral("mm/h") : QStringLiteral("mm/min");
}

QString SummaryHeading(const TOptions &o)
{
    return QStringLiteral("重现期P(年),降雨总量H(mm),峰值雨强(%1),平均雨强(%1)").arg(UnitText(o));
}

QString SummaryLine(const CliOutputContext &c)
{
    const int decimals = c.options.Int_Precision;
    double peak = 0;
    for (const HyetographPoint &p : c.result.points)
        peak = std::max(peak, p.intensity);
    return QStringList{FormatGeneral(c.model.Storm_RepeatYear), FormatFixed(c.model.Strom_Overall_Rainfall, decimals),
                       FormatFixed(peak, decimals), FormatFixed(c.model.Strom_Average_Rainfall_Intensity, decimals)}
        .join(QLatin1Char(','));
}

// The rows as the CSV export writes them, then the total and the average.
QStringList TableLines(const CliOutputContext &c)
{
    const TOptions &o = c.options;
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(c.grid.rows.size()) + 3);
    lines.append(CsvHeaderLine(o.Int_TimeForamtidx, o.Int_StormUnitidx));
    for (const GridRow &row : c.grid.rows)
        lines.append(CsvDataLine(row));
    lines.append(TotalLabel(c.model, o));
    lines.append(AverageLabel(c.model, o));
    return lines;
}

QStringList CheckLines(const CliOutputContext &c)
{
    const TOptions &o = c.options;
    const TExpressionObject &m = c.model;
    const DesignStormCheckResult check = CheckDesignStorm(m, {o.Int_StormUnitidx, o.Bool_CalcByShow, o.Int_Precision});
    if (!check.ok)
        throw TavrelError(check.message);
    QStringList lines;
    lines.append(QStringLiteral("设计暴雨校核 / design-storm check: P=%1年 T=%2分 r=%3, a=%4mm/min b=%5 n=%6")
                     .arg(FormatGeneral(m.Storm_RepeatYear), FormatGeneral(m.Storm_Time), FormatGeneral(m.Storm_Percent),
                          FormatFixed(check.a, o.Int_Precision), FormatGeneral(m.b), FormatGeneral(m.n)));
    lines.append(QStringLiteral("逐分钟计算（步长1分钟，与--step无关）/ computed minute by minute (step 1, whatever --step says)"));
    lines.append(QStringLiteral("历时(min),公式雨量a·d/(d+b)^n(mm),雨型最大雨量(mm),相对差(%)"));
    for (const DesignStormCheckRow &row : check.rows) {
        lines.append(QStringList{QString::number(row.minutes), FormatFixed(row.formulaDepth, o.Int_Precision),
                                 FormatFixed(row.stormDepth, o.Int_Precision),
                                 row.hasRelative ? FormatFixed(row.relative * 100, 2) : QStringLiteral("-")}
                         .join(QLatin1Char(',')));
    }
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

int Run(const QStringList &arguments, CliStreams &streams)
{
    const Arguments a = ParseArguments(arguments);
    if (a.help) {
        streams.out = CliHelpText().arg(FormatsHelp());
        return 0;
    }

    TOptions o;
    LoadOptions(SettingsFilePath(false), o);
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

    if (!a.fit.empty())
        return RunFitCommand({a.fit, m, periods, a.outputs, !a.books.isEmpty() || a.check, o}, streams);

    // Everything that could refuse the run is checked before the first file is written.
    const std::vector<StormOutput> outputs = OutputsFor(a.outputs, a.books);
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

        // The model file holds the inputs only, so it needs no computation.
        for (const StormOutput &output : outputs) {
            if (output.modelOnly)
                run.attempt(storm, nameFor(output), [&] { output.write(context, nameFor(output)); });
        }
        if (modelFilesOnly && !family && !a.check)
            return 0;

        const bool computed = run.attempt(storm, QString(), [&] {
            context.result = ComputeHyetographRows(storm, {o.Int_StormUnitidx, o.Bool_CalcByShow, o.Int_Precision});
            if (!context.result.ok)
                throw TavrelError(context.result.message);
            context.model.Strom_Overall_Rainfall = context.result.overall;
            context.model.Strom_Average_Rainfall_Intensity = context.result.average;
            context.grid = MakeGridTexts(context.result.points, {o.Int_TimeForamtidx, o.Int_StormUnitidx, o.Int_Precision});
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
        printed.append(SummaryHeading(o));
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

int RunCli(const QStringList &arguments, CliStreams &streams)
{
    RegisterExportCliWriters();
    try {
        return Run(arguments, streams);
    } catch (const std::exception &e) {
        streams.out.clear();
        streams.err = FailureMessage(e) + QLatin1Char('\n');
        return 1;
    }
}
