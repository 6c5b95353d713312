#include "CliTool.h"
#include "CliOutput.h"

#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"

#include <QFileInfo>
#include <optional>

std::map<QString, CliWriter> &CliWriters()
{
    static std::map<QString, CliWriter> writers;
    return writers;
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
        "  --P X                  设计重现期（年）/ return period in years\n"
        "  --T X                  降雨历时（分钟）/ duration in minutes (at most 100000)\n"
        "  --r X                  峰值比例（0-1）/ peak ratio between 0 and 1\n"
        "  --step N               计算步长（分钟）/ step in minutes\n"
        "\n"
        "  -o FILE                写入文件，格式由扩展名决定 / write FILE, format by extension:\n"
        "%1"
        "  -h, --help             显示本说明 / show this help\n"
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
        {QStringLiteral(".docx"), QStringLiteral("Word雨型数据表格 / Word table of the rows")},
        {QStringLiteral(".xlsx"), QStringLiteral("Excel工作簿，含雨型图表 / Excel workbook with the chart")},
        {QStringLiteral(".png"), QStringLiteral("雨型图片 / chart picture")},
        {QStringLiteral(".jpg"), QStringLiteral("雨型图片 / chart picture")},
        {QStringLiteral(".bmp"), QStringLiteral("雨型图片 / chart picture")},
    };
    QString text = QStringLiteral("                         .txt   雨型文件 / rain-model file\n");
    for (const auto &[extension, writer] : CliWriters()) {
        Q_UNUSED(writer);
        const auto found = descriptions.find(extension);
        text += QStringLiteral("                         %1  %2\n")
                    .arg(extension.leftJustified(5), found != descriptions.end() ? found->second : QString());
    }
    return text;
}

struct Arguments {
    bool help = false;
    std::optional<QString> unit, time, precision, P, T, r, step, output, model;
    bool calcByShow = false;
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
            a.output = valueFor(i, arg, inlineValue);
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

int Run(const QStringList &arguments, CliStreams &streams)
{
    const Arguments a = ParseArguments(arguments);
    if (a.help) {
        streams.out = CliHelpText().arg(FormatsHelp());
        return 0;
    }

    CliOutputContext context;
    TOptions &o = context.options;
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

    TExpressionObject &m = context.model;
    SetStartValues(m);
    if (a.model) {
        const RainModelRead read = ReadRainModelFile(*a.model, m);
        if (read.status != RainModelRead::Ok)
            throw TavrelError(QStringLiteral("%1：%2").arg(*a.model, read.message));
        m = read.model;
    }
    if (a.P)
        m.Storm_RepeatYear = NumberOption(QStringLiteral("--P"), *a.P);
    if (a.T)
        m.Storm_Time = NumberOption(QStringLiteral("--T"), *a.T);
    if (a.r)
        m.Storm_Percent = NumberOption(QStringLiteral("--r"), *a.r);
    if (a.step)
        m.Storm_Step = WholeOption(QStringLiteral("--step"), *a.step);

    const QString extension = a.output ? QLatin1Char('.') + QFileInfo(*a.output).suffix().toLower() : QString();
    if (a.output && extension == QLatin1String(".txt")) {
        // The model file holds the inputs only, so it needs no computation.
        WriteRainModelFile(*a.output, m);
        return 0;
    }
    CliWriter writer;
    if (a.output) {
        auto found = CliWriters().find(extension);
        if (found == CliWriters().end())
            throw TavrelError(QStringLiteral("不支持的输出格式“%1” / unsupported output format").arg(extension));
        writer = found->second;
    }

    context.result = ComputeHyetographRows(m, {o.Int_StormUnitidx, o.Bool_CalcByShow, o.Int_Precision});
    if (!context.result.ok)
        throw TavrelError(context.result.message);
    m.Strom_Overall_Rainfall = context.result.overall;
    m.Strom_Average_Rainfall_Intensity = context.result.average;
    context.grid = MakeGridTexts(context.result.points, {o.Int_TimeForamtidx, o.Int_StormUnitidx, o.Int_Precision});

    if (writer) {
        writer(context, *a.output);
        return 0;
    }

    QString &out = streams.out;
    out.reserve(static_cast<qsizetype>(context.grid.rows.size()) * 24 + 200);
    out += CsvHeaderLine(o.Int_TimeForamtidx, o.Int_StormUnitidx);
    out += QLatin1Char('\n');
    for (const GridRow &row : context.grid.rows) {
        out += CsvDataLine(row);
        out += QLatin1Char('\n');
    }
    out += TotalLabel(m, o) + QLatin1Char('\n');
    out += AverageLabel(m, o) + QLatin1Char('\n');
    return 0;
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
