#include "CompilationTables.h"

#include "Numbers.h"

CompilationTable MaximaRows(const std::vector<YearMaxima> &years)
{
    // Durations as bare minutes keep the twelve columns narrow; the caption names the unit.
    CompilationTable table;
    table.heading << QStringLiteral("年份");
    for (int d : MaximaDurations)
        table.heading << QString::number(d);
    for (const YearMaxima &y : years) {
        QStringList row{QString::number(y.year)};
        for (double depth : y.depth)
            row << FormatFixed(depth, 3);
        table.rows.push_back(row);
    }
    return table;
}

CompilationTable CurveParameterRows(const FormulaCompilation &c)
{
    CompilationTable table;
    const Distribution distribution = c.curves.empty() ? Distribution::P3 : c.curves.front().distribution;
    table.heading = {QStringLiteral("历时(min)"), QStringLiteral("均值(mm)")};
    if (distribution == Distribution::Gumbel)
        table.heading << QStringLiteral("u") << QStringLiteral("α");
    else if (distribution == Distribution::Exponential)
        table.heading << QStringLiteral("Cv") << QStringLiteral("s(mm)");
    else
        table.heading << QStringLiteral("Cv") << QStringLiteral("Cs");
    for (size_t d = 0; d < c.durations.size() && d < c.curves.size(); ++d) {
        const FrequencyCurve &k = c.curves[d];
        QStringList row{QString::number(c.durations[d]), FormatFixed(k.mean, 4)};
        if (distribution == Distribution::Gumbel)
            row << FormatFixed(k.u, 4) << FormatFixed(k.alpha, 4);
        else if (distribution == Distribution::Exponential)
            row << FormatFixed(k.cv, 4) << FormatFixed(k.s, 4);
        else
            row << FormatFixed(k.cv, 4) << FormatFixed(k.cs, 4);
        table.rows.push_back(row);
    }
    return table;
}

CompilationTable IntensityRows(const FormulaCompilation &c)
{
    // Four decimals as the table is read; the written table carries every digit.
    CompilationTable table;
    table.heading << QStringLiteral("历时(min)");
    for (double P : TablePeriods)
        table.heading << QStringLiteral("P=%1年").arg(FormatGeneral(P));
    for (size_t d = 0; d < c.durations.size() && d < c.curves.size(); ++d) {
        QStringList row{QString::number(c.durations[d])};
        for (double P : TablePeriods)
            row << FormatFixed(c.curves[d].depth(P) / c.durations[d], 4);
        table.rows.push_back(row);
    }
    return table;
}

CompilationTable PeakRatioRows(const FormulaCompilation &c)
{
    CompilationTable table;
    table.heading = {QStringLiteral("历时t(min)"), QStringLiteral("r_t")};
    if (!c.hasRatio)
        return table;
    for (size_t t = 0; t < PeakRatioDurations.size(); ++t)
        table.rows.push_back({QString::number(PeakRatioDurations[t]), FormatFixed(c.ratio.perDuration[t], 4)});
    table.rows.push_back({QStringLiteral("r"), FormatGeneral(FormulaRound(c.ratio.r))});
    return table;
}
