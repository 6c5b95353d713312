#include "RecordCommand.h"

#include "core/AnnualMaxima.h"
#include "core/Failure.h"
#include "core/FormulaCompilation.h"
#include "core/Hyetograph.h"
#include "core/IdfFit.h"
#include "core/Numbers.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"
#include "export/CompilationReport.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QStringList RecordOptions{QStringLiteral("--record"),       QStringLiteral("--maxima"),
                                QStringLiteral("--dist"),         QStringLiteral("--cs-cv"),
                                QStringLiteral("--min-coverage"), QStringLiteral("--maxima-out"),
                                QStringLiteral("--table-out"),    QStringLiteral("--report")};

double NumberValue(const QString &option, const QString &text)
{
    double value = 0;
    if (!TryParseNumber(text, value))
        throw TavrelError(QStringLiteral("%1 的值“%2”不是有效的数字 / is not a number").arg(option, text));
    return value;
}

// The lines of a written table, without the empty text after its last line break.
QStringList TextLines(const QString &text)
{
    QStringList lines = SplitLines(text);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString Join(const QStringList &cells)
{
    return cells.join(QLatin1Char(','));
}

void CheckTextOutput(const QString &option, const QString &name, const QString &suffix)
{
    if (QFileInfo(name).suffix().toLower() != suffix)
        throw TavrelError(QStringLiteral("%1 写.%2文件，“%3”不是 / writes .%2 files only").arg(option, suffix, name));
}

} // namespace

bool IsRecordOption(const QString &option)
{
    return RecordOptions.contains(option);
}

int RunRecordCommand(const RecordRequest &request, CliStreams &streams)
{
    const auto option = [&](const char *name) {
        const auto it = request.options.find(QString::fromLatin1(name));
        return it == request.options.end() ? QString() : it->second;
    };
    const QString recordPath = option("--record"), maximaPath = option("--maxima");
    if (recordPath.isEmpty() == maximaPath.isEmpty())
        throw TavrelError(QStringLiteral("需要 --record 降雨资料 或 --maxima 年最大值表，二者取一 / give --record or --maxima, one of them"));
    if (request.otherWork)
        throw TavrelError(QStringLiteral("--record 不能与 --fit、--book 或 --check 同用 / cannot be combined with --fit, --book or --check"));
    if (request.periods.size() != 1)
        throw TavrelError(QStringLiteral("--record 只写一场暴雨，--P 只能给一个值 / --P takes one value with --record"));
    const Distribution distribution = option("--dist").isEmpty() ? Distribution::P3 : ParseDistribution(option("--dist"));
    double csCv = DefaultCsCv;
    if (!option("--cs-cv").isEmpty()) {
        csCv = NumberValue(QStringLiteral("--cs-cv"), option("--cs-cv"));
        if (csCv <= 0 || csCv > 20)
            throw TavrelError(QStringLiteral("--cs-cv 须大于0且不大于20 / must lie in (0, 20]"));
    }
    double minCoverage = 0;
    if (!option("--min-coverage").isEmpty()) {
        if (!maximaPath.isEmpty())
            throw TavrelError(QStringLiteral("--min-coverage 只用于 --record / applies to --record only"));
        minCoverage = NumberValue(QStringLiteral("--min-coverage"), option("--min-coverage"));
        if (minCoverage < 0 || minCoverage > 1)
            throw TavrelError(QStringLiteral("--min-coverage 须在0到1之间 / must lie between 0 and 1"));
    }
    if (!option("--maxima-out").isEmpty())
        CheckTextOutput(QStringLiteral("--maxima-out"), option("--maxima-out"), QStringLiteral("csv"));
    if (!option("--table-out").isEmpty())
        CheckTextOutput(QStringLiteral("--table-out"), option("--table-out"), QStringLiteral("csv"));
    for (const QString &name : request.outputs)
        CheckTextOutput(QStringLiteral("--record"), name, QStringLiteral("txt"));
    const QString reportPath = option("--report");
    if (!reportPath.isEmpty()) {
        CheckTextOutput(QStringLiteral("--report"), reportPath, QStringLiteral("docx"));
        if (!request.drawChart || !request.drawFrequency)
            throw TavrelError(QStringLiteral("编制报告需要图形界面库 / the report needs the desktop libraries"));
    }

    // Everything is computed before the first file is written, so a refusal writes nothing.
    QStringList lines;
    RecordMaxima maxima;
    const QString source = recordPath.isEmpty() ? maximaPath : recordPath;
    try {
        if (!recordPath.isEmpty()) {
            const RainRecord record = ReadRainRecord(recordPath);
            maxima = ComputeAnnualMaxima(record, minCoverage);
        } else {
            maxima.years = ReadMaximaTable(maximaPath);
        }
    } catch (const std::exception &e) {
        throw TavrelError(QStringLiteral("%1：%2").arg(source, FailureMessage(e)));
    }

    FormulaCompilation compiled;
    try {
        compiled = CompileFormula(maxima.years, distribution, csCv, request.settings.D_QI_ConversionRatio);
    } catch (const std::exception &e) {
        throw TavrelError(QStringLiteral("%1：%2").arg(source, FailureMessage(e)));
    }
    const std::vector<int> &durations = compiled.durations;
    const std::vector<FrequencyCurve> &curves = compiled.curves;
    const IdfFitResult &fit = compiled.fit;
    const QString &tableText = compiled.tableText;

    const bool withRatio = compiled.hasRatio;
    TExpressionObject model = request.storm;
    const double ratio = request.settings.D_QI_ConversionRatio;
    ApplyFittedFormula(model, fit.formula, [ratio](double a1) { return IntensityToFlow(a1, ratio); });
    model.Storm_RepeatYear = request.periods.front();
    if (withRatio)
        model.Storm_Percent = FormulaRound(compiled.ratio.r);
    if (!request.outputs.isEmpty())
        if (const StormRuleProblem problem = CheckStormRules(model))
            throw TavrelError(ErrorPrefix + problem.message);
    // The report's storm is made before anything is written, so a storm that cannot be made
    // refuses the whole run.
    const Storm reportStorm = reportPath.isEmpty() ? Storm() : CompilationStorm(compiled, request.storm, request.settings);

    // The report.
    const size_t n = maxima.years.size();
    lines.append(QStringLiteral("降雨资料 / record: %1，%2年").arg(source).arg(n) +
                 (withRatio ? QStringLiteral("，时段%1分钟 / step %1 min").arg(maxima.step) : QString()));
    if (n < size_t(CodeYears))
        streams.err += QStringLiteral("%1：注意 / warning: 只有%2年资料，GB 50014 要求至少%3年 / GB 50014 asks for %3 years\n")
                           .arg(source)
                           .arg(n)
                           .arg(CodeYears);
    if (withRatio) {
        lines.append(QStringLiteral("年份/year,完整率/coverage"));
        for (const YearMaxima &y : maxima.years)
            lines.append(Join({QString::number(y.year), FormatFixed(y.coverage, 4)}));
        for (const YearMaxima &y : maxima.leftOut)
            lines.append(Join({QString::number(y.year), FormatFixed(y.coverage, 4),
                               QStringLiteral("低于--min-coverage，不用 / left out")}));
    }
    lines.append(QString());
    lines.append(QStringLiteral("年最大值 / annual maxima (mm)"));
    const QString maximaText = MaximaTableText(maxima.years);
    lines.append(TextLines(maximaText));

    lines.append(QString());
    lines.append(QStringLiteral("频率分布 / distribution: %1").arg(DistributionName(distribution)));
    if (distribution == Distribution::Gumbel)
        lines.append(QStringLiteral("历时(min),均值,u,α"));
    else
        lines.append(QStringLiteral("历时(min),均值,Cv,Cs"));
    for (size_t d = 0; d < durations.size(); ++d) {
        const FrequencyCurve &c = curves[d];
        if (distribution == Distribution::Gumbel)
            lines.append(Join({QString::number(durations[d]), FormatFixed(c.mean, 4), FormatFixed(c.u, 4), FormatFixed(c.alpha, 4)}));
        else if (distribution == Distribution::Exponential)
            lines.append(Join({QString::number(durations[d]), FormatFixed(c.mean, 4), FormatFixed(c.cv, 4), QStringLiteral("-")}));
        else
            lines.append(Join({QString::number(durations[d]), FormatFixed(c.mean, 4), FormatFixed(c.cv, 4), FormatFixed(c.cs, 4)}));
    }

    lines.append(QString());
    lines.append(QStringLiteral("暴雨强度表 / i-t-P table (mm/min)"));
    lines.append(TextLines(tableText));

    lines.append(QString());
    const TotalFormula &f = fit.optimum;
    lines.append(QStringLiteral("暴雨强度公式 / formula: i = A1(1 + C lgP)/(t + b)^n  (mm/min)"));
    lines.append(QStringLiteral("参数/parameter,拟合值/fitted,取%1位小数/rounded").arg(FormulaDecimals));
    const std::pair<const char *, double> parameters[] = {{"A1", f.A1}, {"C", f.C}, {"b", f.b}, {"n", f.n}};
    for (const auto &[name, value] : parameters)
        lines.append(Join({QString::fromLatin1(name), FormatGeneral(value), FormatGeneral(FormulaRound(value))}));
    lines.append(QStringLiteral("精度（重现期%1~%2年的%3个数值）/ accuracy over the cells with P from %1 to %2 years:")
                     .arg(FormatGeneral(AccuracyPeriodLow), FormatGeneral(AccuracyPeriodHigh))
                     .arg(fit.accuracy.cells));
    lines.append(AccuracyLines(fit.accuracy));

    if (withRatio) {
        lines.append(QString());
        lines.append(QStringLiteral("雨峰位置 / peak ratio"));
        lines.append(QStringLiteral("历时t(min),r_t"));
        for (size_t t = 0; t < PeakRatioDurations.size(); ++t)
            lines.append(Join({QString::number(PeakRatioDurations[t]), FormatFixed(compiled.ratio.perDuration[t], 4)}));
        lines.append(Join({QStringLiteral("r"), FormatGeneral(compiled.ratio.r)}));
    }

    if (!option("--maxima-out").isEmpty())
        WriteFileAtomically(option("--maxima-out"), EncodeGbk(maximaText));
    if (!option("--table-out").isEmpty())
        WriteFileAtomically(option("--table-out"), EncodeGbk(tableText));
    for (const QString &name : request.outputs)
        WriteRainModelFile(StormOutputName(name, model.Storm_RepeatYear, model.Storm_Time, model.Storm_Percent), model);
    // The report last: it draws twelve pictures, and is written only when all else has been.
    if (!reportPath.isEmpty()) {
        const CompilationReportInput input{source,      maxima,   !recordPath.isEmpty(), distribution,
                                           csCv,        compiled, reportStorm,           request.settings};
        const CliOutputContext context{reportStorm.model, request.settings, reportStorm,
                                       GridTable(reportStorm.points, GridFormatOf(request.settings))};
        CompilationReportPictures pictures;
        pictures.frequency = [&](size_t d, const QString &png) {
            std::vector<double> sample;
            for (const YearMaxima &y : maxima.years)
                sample.push_back(y.depth[d]);
            request.drawFrequency(sample, compiled.curves[d], compiled.durations[d], png);
        };
        pictures.storm = [&](const QString &png) { request.drawChart(context, png, true); };
        if (WriteCompilationReport(reportPath, input, pictures, QDir::tempPath()) != PackagePlacement::Placed)
            throw TavrelError(PackagePlacementFailedMessage);
    }

    streams.out = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return 0;
}
