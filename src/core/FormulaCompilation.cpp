#include "FormulaCompilation.h"

#include "Failure.h"

#include <algorithm>
#include <cmath>

FormulaCompilation CompileFormula(const std::vector<YearMaxima> &years, Distribution distribution,
                                  double csCv, double qiRatio)
{
    FormulaCompilation c;
    c.durations.assign(MaximaDurations.begin(), MaximaDurations.end());
    std::vector<double> sample(years.size());
    for (size_t d = 0; d < c.durations.size(); ++d) {
        for (size_t y = 0; y < years.size(); ++y)
            sample[y] = years[y].depth[d];
        try {
            c.curves.push_back(FitFrequencyCurve(sample, distribution, csCv));
        } catch (const TavrelError &e) {
            throw TavrelError(QStringLiteral("%1分钟年最大值：%2").arg(c.durations[d]).arg(e.message()));
        }
    }
    c.tableText = IdfTableText(c.durations, c.curves);
    // The formula is fitted to the table as written, so a fit of the written table gives it again.
    c.table = ParseIdfTable(c.tableText, IdfUnit::MmPerMin, qiRatio);
    c.fit = FitIdfTable(c.table, 0);
    c.hasRatio = !years.empty() && std::all_of(years.begin(), years.end(), [](const YearMaxima &y) {
        return !std::isnan(y.ratio.front());
    });
    if (c.hasRatio)
        c.ratio = MeanPeakRatio(years);
    return c;
}
