#include "FitCommand.h"

#include "core/Failure.h"
#include "core/Hyetograph.h"
#include "core/IdfFit.h"
#include "core/Numbers.h"
#include "core/RainModelFile.h"

#include <QFileInfo>

namespace {

IdfUnit UnitOption(const QString &text)
{
    if (text == QLatin1String("mm/min"))
        return IdfUnit::MmPerMin;
    if (text == QLatin1String("mm/h"))
        return IdfUnit::MmPerHour;
    // The flow unit as printed on tables and as typed on a plain keyboard.
    for (const char *flow : {"L/(s·hm²)", "L/(s.hm²)", "L/(s.hm2)", "L/(s*hm2)", "L/(s·hm2)"})
        if (text.compare(QString::fromUtf8(flow), Qt::CaseInsensitive) == 0)
            return IdfUnit::LitrePerSecondHectare;
    throw TavrelError(QStringLiteral("--fit-unit 只能是 mm/min、mm/h 或 L/(s.hm2) / must be mm/min, mm/h or L/(s.hm2)"));
}

uint8_t LogOption(const QString &text)
{
    if (text == QLatin1String("lg"))
        return 0;
    if (text == QLatin1String("ln"))
        return 1;
    throw TavrelError(QStringLiteral("--fit-log 只能是 lg 或 ln / must be lg or ln"));
}

QString Csv(const QStringList &cells)
{
    return cells.join(QLatin1Char(','));
}

QStringList Report(const QString &path, const IdfTable &table, IdfUnit unit, const IdfFitResult &fit)
{
    const TotalFormula &f = fit.optimum;
    const QString log = f.LG_LN == 0 ? QStringLiteral("lg") : QStringLiteral("ln");
    QStringList lines;
    lines.append(QStringLiteral("暴雨强度公式拟合 / formula fitted to %1: %2个历时 × %3个重现期，%4个数值")
                     .arg(path).arg(table.durations.size()).arg(table.periods.size()).arg(table.cells.size()));
    lines.append(QStringLiteral("i = A1(1 + C %1P)/(t + b)^n  (mm/min)").arg(log));
    lines.append(QStringLiteral("参数/parameter,拟合值/fitted,取%1位小数/rounded").arg(FormulaDecimals));
    const std::pair<const char *, double> parameters[] = {{"A1", f.A1}, {"C", f.C}, {"b", f.b}, {"n", f.n}};
    for (const auto &[name, value] : parameters)
        lines.append(Csv({QString::fromLatin1(name), FormatGeneral(value), FormatGeneral(FormulaRound(value))}));
    lines.append(QStringLiteral("以下各值按取%1位小数的参数计算 / the figures below are of the rounded parameters, as written")
                     .arg(FormulaDecimals));
    lines.append(QStringLiteral("偏差平方和/sum of squares %1 (mm/min)²，标准差/standard error %2 mm/min，迭代/iterations %3")
                     .arg(FormatGeneral(fit.sumOfSquares), FormatGeneral(fit.standardError)).arg(fit.iterations));

    lines.append(QString());
    lines.append(QStringLiteral("精度（重现期%1~%2年的%3个数值）/ accuracy over the cells with P from %1 to %2 years:")
                     .arg(FormatGeneral(AccuracyPeriodLow), FormatGeneral(AccuracyPeriodHigh)).arg(fit.accuracy.cells));
    lines.append(AccuracyLines(fit.accuracy));

    lines.append(QString());
    lines.append(QStringLiteral("各重现期公式 / per return period: i = A/(t + b)^n"));
    lines.append(QStringLiteral("P(年),A,b,n"));
    for (const PeriodFormula &p : fit.periods) {
        if (p.fitted)
            lines.append(Csv({FormatGeneral(p.P), FormatGeneral(FormulaRound(p.A)), FormatGeneral(FormulaRound(p.b)),
                              FormatGeneral(FormulaRound(p.n))}));
        else
            lines.append(Csv({FormatGeneral(p.P), p.note}));
    }

    lines.append(QString());
    lines.append(QStringLiteral("历时t(min),重现期P(年),给定值(mm/min),拟合值(mm/min),偏差(mm/min),相对偏差(%)"));
    for (size_t k = 0; k < fit.cells.size(); ++k) {
        const IdfCellFit &c = fit.cells[k];
        // A table in mm/min is quoted as written, "2.10" with its zero.
        const QString given = unit == IdfUnit::MmPerMin ? table.cells[k].text : FormatGeneral(c.given);
        lines.append(Csv({FormatGeneral(c.t), FormatGeneral(c.P), given, FormatFixed(c.fitted, 4),
                          FormatFixed(c.fitted - c.given, 4), FormatFixed((c.fitted - c.given) / c.given * 100, 2)}));
    }
    return lines;
}

} // namespace

int RunFitCommand(const FitRequest &request, CliStreams &streams)
{
    IdfUnit unit = IdfUnit::MmPerMin;
    uint8_t lgLn = 0;
    QString path;
    for (const auto &[option, value] : request.options) {
        if (option == QLatin1String("--fit"))
            path = value;
        else if (option == QLatin1String("--fit-unit"))
            unit = UnitOption(value);
        else if (option == QLatin1String("--fit-log"))
            lgLn = LogOption(value);
        else
            throw TavrelError(QStringLiteral("未知的选项 / unknown option: %1").arg(option));
    }
    if (path.isEmpty())
        throw TavrelError(QStringLiteral("--fit-unit 和 --fit-log 需要 --fit 表格文件 / need --fit TABLE"));
    if (request.otherWork)
        throw TavrelError(QStringLiteral("--fit 不能与 --book 或 --check 同用 / cannot be combined with --book or --check"));
    if (request.periods.size() != 1)
        throw TavrelError(QStringLiteral("--fit 只写一场暴雨，--P 只能给一个值 / --P takes one value with --fit"));
    for (const QString &name : request.outputs)
        if (QFileInfo(name).suffix().toLower() != QLatin1String("txt"))
            throw TavrelError(QStringLiteral("--fit 只输出雨型文件（.txt），“%1”不是 / writes rain-model files (.txt) only").arg(name));

    IdfFitResult fit;
    IdfTable table;
    try {
        table = ReadIdfTableFile(path, unit, request.settings.D_QI_ConversionRatio);
        fit = FitIdfTable(table, lgLn);
    } catch (const std::exception &e) {
        throw TavrelError(QStringLiteral("%1：%2").arg(path, FailureMessage(e)));
    }

    // The formula as written, as the dialog enters it; the other storm parameters as given.
    TExpressionObject model = request.storm;
    const double ratio = request.settings.D_QI_ConversionRatio;
    ApplyFittedFormula(model, fit.formula, [ratio](double a1) { return IntensityToFlow(a1, ratio); });
    model.Storm_RepeatYear = request.periods.front();
    // The fitted formula makes a storm like any other: one of negative rain is not written.
    if (!request.outputs.isEmpty())
        if (const StormRuleProblem problem = CheckStormRules(model))
            throw TavrelError(ErrorPrefix + problem.message);
    for (const QString &name : request.outputs)
        WriteRainModelFile(StormOutputName(name, model.Storm_RepeatYear, model.Storm_Time, model.Storm_Percent), model);

    const QString warning = ImplausibleUnitWarning(table, unit);
    if (!warning.isEmpty())
        streams.err += QStringLiteral("%1：注意 / warning: %2\n").arg(path, warning);
    streams.out = Report(path, table, unit, fit).join(QLatin1Char('\n')) + QLatin1Char('\n');
    return 0;
}
