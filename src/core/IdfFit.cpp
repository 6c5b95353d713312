#include "IdfFit.h"
#include "Failure.h"
#include "Numbers.h"
#include "StormModel.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/LevenbergMarquardt>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// One given value, ready for the model: log of the return period and the intensity.
struct Point {
    int row = 0;
    int column = 0;
    double t = 0;
    double L = 0;       // lg P or ln P
    double i = 0;       // mm/min
};

double LogOf(double P, uint8_t lgLn)
{
    return lgLn == 0 ? std::log10(P) : std::log(P);
}

// The shape (t + b)^-n is shared by every period, and for a fixed b and n the model is
// linear in the rest: A1 and A1*C for the total formula (i = A1 g + A1 C L g), A for one
// period. So the sum of squares depends on b and n alone once the linear part is solved,
// and a grid over b and n finds the valley of the global optimum without any guess;
// Levenberg-Marquardt then only has to polish the best of the grid.
class ShapeGrid {
public:
    ShapeGrid(const std::vector<Point> &points, const std::vector<double> &durations, bool withC)
        : durations(durations), withC(withC), sums(durations.size())
    {
        for (const Point &p : points) {
            RowSums &s = sums[size_t(p.row)];
            s.count += 1;
            s.L += p.L;
            s.LL += p.L * p.L;
            s.i += p.i;
            s.iL += p.i * p.L;
            total_ii += p.i * p.i;
        }
    }

    struct Start {
        double sumOfSquares = 0;
        double b = 0, n = 0, amplitude = 0, amplitudeL = 0;
    };

    // The best start of each basin the grid sees, best first.
    std::vector<Start> starts(size_t most) const
    {
        const double tMin = *std::min_element(durations.begin(), durations.end());
        // b from just above -t (where the formula breaks down) to well past published values;
        // n over every exponent a rain formula has.
        std::vector<double> bs, ns;
        for (double b = std::max(0.0, -0.9 * tMin); b <= 80.0 + 1e-9; b += 0.5)
            bs.push_back(b);
        for (double n = 0.2; n <= 1.6 + 1e-9; n += 0.01)
            ns.push_back(n);

        const size_t nb = bs.size(), nn = ns.size();
        std::vector<Start> grid(nb * nn);
        std::vector<double> logs(durations.size());
        for (size_t ib = 0; ib < nb; ++ib) {
            for (size_t r = 0; r < durations.size(); ++r)
                logs[r] = std::log(durations[r] + bs[ib]);
            for (size_t in = 0; in < nn; ++in)
                grid[ib * nn + in] = solve(bs[ib], ns[in], logs);
        }
        // Local minima of the grid (not above any neighbour), best first.
        std::vector<Start> minima;
        for (size_t ib = 0; ib < nb; ++ib)
            for (size_t in = 0; in < nn; ++in) {
                const double here = grid[ib * nn + in].sumOfSquares;
                if (!std::isfinite(here))
                    continue;
                bool lowest = true;
                for (int db = -1; db <= 1 && lowest; ++db)
                    for (int dn = -1; dn <= 1 && lowest; ++dn) {
                        const long jb = long(ib) + db, jn = long(in) + dn;
                        if ((db || dn) && jb >= 0 && jn >= 0 && jb < long(nb) && jn < long(nn))
                            lowest = !(grid[size_t(jb) * nn + size_t(jn)].sumOfSquares < here);
                    }
                if (lowest)
                    minima.push_back(grid[ib * nn + in]);
            }
        std::sort(minima.begin(), minima.end(),
                  [](const Start &x, const Start &y) { return x.sumOfSquares < y.sumOfSquares; });
        if (minima.size() > most)
            minima.resize(most);
        return minima;
    }

private:
    struct RowSums {
        double count = 0, L = 0, LL = 0, i = 0, iL = 0;
    };

    Start solve(double b, double n, const std::vector<double> &logs) const
    {
        Start s{std::numeric_limits<double>::infinity(), b, n, 0, 0};
        double m11 = 0, m12 = 0, m22 = 0, r1 = 0, r2 = 0;
        for (size_t r = 0; r < sums.size(); ++r) {
            const double g = std::exp(-n * logs[r]);
            const RowSums &row = sums[r];
            m11 += g * g * row.count;
            m12 += g * g * row.L;
            m22 += g * g * row.LL;
            r1 += g * row.i;
            r2 += g * row.iL;
        }
        if (!withC) {
            if (!(m11 > 0))
                return s;
            s.amplitude = r1 / m11;
            s.sumOfSquares = total_ii - s.amplitude * r1;
        } else {
            const double det = m11 * m22 - m12 * m12;
            if (!(det > 1e-14 * m11 * m22))
                return s;
            s.amplitude = (m22 * r1 - m12 * r2) / det;
            s.amplitudeL = (m11 * r2 - m12 * r1) / det;
            s.sumOfSquares = total_ii - s.amplitude * r1 - s.amplitudeL * r2;
        }
        if (!(s.amplitude > 0))
            s.sumOfSquares = std::numeric_limits<double>::infinity();
        return s;
    }

    const std::vector<double> &durations;
    bool withC;
    std::vector<RowSums> sums;
    double total_ii = 0;
};

// Residuals model - given; x = (A1, C, b, n) with C, or (A, b, n) without.
struct Residuals : Eigen::DenseFunctor<double> {
    Residuals(const std::vector<Point> &points, bool withC)
        : DenseFunctor<double>(withC ? 4 : 3, int(points.size())), points(points), withC(withC)
    {
        tMin = points.front().t;
        for (const Point &p : points)
            tMin = std::min(tMin, p.t);
    }

    int operator()(const InputType &x, ValueType &f) const
    {
        const double b = x[withC ? 2 : 1], n = x[withC ? 3 : 2];
        if (!(tMin + b > 0)) {
            // Outside the formula's domain: a step there is refused, never taken.
            f.setConstant(1e6);
            return 0;
        }
        for (size_t k = 0; k < points.size(); ++k) {
            const Point &p = points[k];
            const double a = withC ? x[0] * (1 + x[1] * p.L) : x[0];
            f[Eigen::Index(k)] = a * std::pow(p.t + b, -n) - p.i;
        }
        return 0;
    }

    int df(const InputType &x, JacobianType &J) const
    {
        const double b = x[withC ? 2 : 1], n = x[withC ? 3 : 2];
        for (size_t k = 0; k < points.size(); ++k) {
            const Point &p = points[k];
            const auto row = Eigen::Index(k);
            const double g = std::pow(p.t + b, -n);
            const double a = withC ? x[0] * (1 + x[1] * p.L) : x[0];
            int c = 0;
            J(row, c++) = withC ? (1 + x[1] * p.L) * g : g;
            if (withC)
                J(row, c++) = x[0] * p.L * g;
            J(row, c++) = -n * a * g / (p.t + b);
            J(row, c++) = -a * g * std::log(p.t + b);
        }
        return 0;
    }

    const std::vector<Point> &points;
    bool withC;
    double tMin = 0;
};

struct Polished {
    bool converged = false;
    Eigen::VectorXd x;
    double sumOfSquares = std::numeric_limits<double>::infinity();
    int iterations = 0;
};

// Levenberg-Marquardt from each start; the lowest converged sum of squares wins.
Polished Polish(const std::vector<Point> &points, const std::vector<ShapeGrid::Start> &starts, bool withC)
{
    Polished best;
    for (const ShapeGrid::Start &s : starts) {
        Residuals residuals(points, withC);
        Eigen::LevenbergMarquardt<Residuals> lm(residuals);
        lm.setXtol(1e-14);
        lm.setFtol(1e-14);
        lm.setGtol(0);
        lm.setMaxfev(2000);
        Eigen::VectorXd x(withC ? 4 : 3);
        if (withC)
            x << s.amplitude, s.amplitudeL / s.amplitude, s.b, s.n;
        else
            x << s.amplitude, s.b, s.n;
        const auto status = lm.minimize(x);
        using namespace Eigen::LevenbergMarquardtSpace;
        // The tolerances are set at the limit of the arithmetic, so "no further
        // reduction is possible" means arrived, like the regular stops.
        const bool stopped = status == RelativeReductionTooSmall || status == RelativeErrorTooSmall
            || status == RelativeErrorAndReductionTooSmall || status == CosinusTooSmall || status == FtolTooSmall
            || status == XtolTooSmall || status == GtolTooSmall;
        Eigen::VectorXd f(points.size());
        residuals(x, f);
        const double sum = f.squaredNorm();
        if (!stopped || !x.allFinite() || !std::isfinite(sum) || !(residuals.tMin + x[withC ? 2 : 1] > 0))
            continue;
        if (sum < best.sumOfSquares) {
            best = {true, x, sum, int(lm.iterations())};
        }
    }
    return best;
}

constexpr size_t StartsTried = 4;

} // namespace

double TotalFormula::intensity(double t, double P) const
{
    return A1 * (1 + C * LogOf(P, LG_LN)) / std::pow(t + b, n);
}

double PeriodFormula::intensity(double t) const
{
    return A / std::pow(t + b, n);
}

double FormulaRound(double value)
{
    return DisplayRound(FormulaDecimals, value);
}

void ApplyFittedFormula(TExpressionObject &model, const TotalFormula &formula,
                        const std::function<double(double)> &intensityToFlow)
{
    model.F_type = 0;
    model.a1 = FormulaRound(formula.A1);
    model.a1_167 = intensityToFlow(model.a1);
    model.c = FormulaRound(formula.C);
    model.b = FormulaRound(formula.b);
    model.n = FormulaRound(formula.n);
    model.LG_LN = formula.LG_LN;
    model.Strom_Average_Rainfall_Intensity = 0;
    model.Strom_Overall_Rainfall = 0;
}

IdfFitResult FitIdfTable(const IdfTable &table, uint8_t lgLn)
{
    constexpr int Parameters = 4;
    const int count = int(table.cells.size());
    if (count < Parameters)
        throw TavrelError(QStringLiteral("表中只有%1个雨强数值，拟合%2个参数至少需要%2个").arg(count).arg(Parameters));

    std::vector<Point> points;
    std::vector<int> perRow(table.durations.size()), perColumn(table.periods.size());
    for (const IdfCell &cell : table.cells) {
        points.push_back({cell.row, cell.column, table.durations[size_t(cell.row)], LogOf(table.periods[size_t(cell.column)], lgLn),
                          cell.intensity});
        ++perRow[size_t(cell.row)];
        ++perColumn[size_t(cell.column)];
    }
    const auto filled = [](const std::vector<int> &counts) {
        return std::count_if(counts.begin(), counts.end(), [](int c) { return c > 0; });
    };
    if (filled(perRow) < 3)
        throw TavrelError(QStringLiteral("只有%1个历时有雨强数值，拟合b和n至少需要3个历时").arg(filled(perRow)));
    if (filled(perColumn) < 2)
        throw TavrelError(QStringLiteral("只有%1个重现期有雨强数值，拟合C至少需要2个重现期").arg(filled(perColumn)));

    const std::vector<ShapeGrid::Start> starts = ShapeGrid(points, table.durations, true).starts(StartsTried);
    const Polished total = Polish(points, starts, true);
    if (!total.converged)
        throw TavrelError(QStringLiteral("拟合没有收敛：找不到使偏差平方和最小的参数，请检查表中的数值和单位"));

    IdfFitResult result;
    result.optimum = {total.x[0], total.x[1], total.x[2], total.x[3], lgLn};
    result.formula = {FormulaRound(total.x[0]), FormulaRound(total.x[1]), FormulaRound(total.x[2]),
                      FormulaRound(total.x[3]), lgLn};
    result.iterations = total.iterations;

    double absolute = 0, relative = 0;
    for (const IdfCell &cell : table.cells) {
        IdfCellFit fit{table.durations[size_t(cell.row)], table.periods[size_t(cell.column)], cell.intensity, 0};
        fit.fitted = result.formula.intensity(fit.t, fit.P);
        result.cells.push_back(fit);
        result.sumOfSquares += (fit.fitted - fit.given) * (fit.fitted - fit.given);
        if (CompareValue(fit.P, AccuracyPeriodLow) >= 0 && CompareValue(fit.P, AccuracyPeriodHigh) <= 0) {
            ++result.accuracy.cells;
            absolute += std::abs(fit.fitted - fit.given);
            relative += std::abs(fit.fitted - fit.given) / fit.given;
        }
    }
    // Four coefficients come from the table, so four of its values carry no error estimate.
    result.standardError = count > Parameters ? std::sqrt(result.sumOfSquares / (count - Parameters)) : 0;
    if (result.accuracy.cells > 0) {
        result.accuracy.meanAbsolute = absolute / result.accuracy.cells;
        result.accuracy.meanRelative = relative / result.accuracy.cells * 100;
    }

    for (size_t column = 0; column < table.periods.size(); ++column) {
        PeriodFormula period;
        period.P = table.periods[column];
        std::vector<Point> own;
        for (const Point &p : points)
            if (p.column == int(column))
                own.push_back(p);
        if (own.size() < 3) {
            period.note = QStringLiteral("只有%1个数值，至少需要3个").arg(own.size());
        } else {
            const Polished fit = Polish(own, ShapeGrid(own, table.durations, false).starts(StartsTried), false);
            period.fitted = fit.converged;
            if (fit.converged) {
                period.A = fit.x[0];
                period.b = fit.x[1];
                period.n = fit.x[2];
            } else {
                period.note = QStringLiteral("拟合没有收敛");
            }
        }
        result.periods.push_back(period);
    }
    return result;
}

QStringList AccuracyLines(const IdfAccuracy &accuracy)
{
    if (accuracy.cells == 0)
        return {QStringLiteral("表中没有重现期2~20年的数值，无法检验精度")};
    const auto verdict = [](bool holds) { return holds ? QStringLiteral("满足") : QStringLiteral("不满足"); };
    return {
        QStringLiteral("平均绝对均方差 %1 mm/min（限值 %2 mm/min）：%3")
            .arg(FormatFixed(accuracy.meanAbsolute, 4), FormatGeneral(MaxMeanAbsoluteDeviation), verdict(accuracy.absoluteHolds())),
        QStringLiteral("平均相对均方差 %1%（限值 %2%）：%3")
            .arg(FormatFixed(accuracy.meanRelative, 2), FormatGeneral(MaxMeanRelativeDeviation), verdict(accuracy.relativeHolds())),
    };
}
