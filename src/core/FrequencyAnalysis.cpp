#include "FrequencyAnalysis.h"

#include "Failure.h"
#include "Numbers.h"

#include <QStringList>
#include <algorithm>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/tools/minima.hpp>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

// Below this skew the gamma shape 4/Cs^2 is so large that the inverse loses digits; the
// first Cornish-Fisher term is then exact to far below any figure shown.
constexpr double NearNormalSkew = 1e-4;

double NormalQuantileAbove(double p)
{
    return std::numbers::sqrt2 * boost::math::erfc_inv(2 * p);
}

struct Moments {
    double mean = 0, s = 0, cv = 0, cs = 0;
};

Moments SampleMoments(const std::vector<double> &x)
{
    const double n = double(x.size());
    Moments m;
    for (double v : x)
        m.mean += v;
    m.mean /= n;
    if (m.mean <= 0)
        throw TavrelError(QStringLiteral("样本均值为零 / the sample mean is zero"));
    double s2 = 0, s3 = 0;
    for (double v : x) {
        const double k = v / m.mean - 1;
        s2 += k * k;
        s3 += k * k * k;
    }
    m.cv = std::sqrt(s2 / (n - 1));
    // Depths are read to 0.1 mm or so; a spread below this is rounding, not rain.
    if (m.cv < 1e-9)
        throw TavrelError(QStringLiteral("样本各值相同，定不出频率曲线 / all values are equal"));
    m.s = m.cv * m.mean;
    m.cs = s3 / ((n - 3) * m.cv * m.cv * m.cv);
    return m;
}

} // namespace

Distribution ParseDistribution(const QString &name)
{
    if (name == QLatin1String("p3"))
        return Distribution::P3;
    if (name == QLatin1String("p3-moments"))
        return Distribution::P3Moments;
    if (name == QLatin1String("gumbel"))
        return Distribution::Gumbel;
    if (name == QLatin1String("exponential"))
        return Distribution::Exponential;
    throw TavrelError(QStringLiteral("--dist 只能是 p3、p3-moments、gumbel 或 exponential / unknown distribution: %1").arg(name));
}

QString DistributionName(Distribution d)
{
    switch (d) {
    case Distribution::P3:
        return QStringLiteral("皮尔逊III型（适线）/ Pearson III, curve fitting");
    case Distribution::P3Moments:
        return QStringLiteral("皮尔逊III型（矩法）/ Pearson III, moments");
    case Distribution::Gumbel:
        return QStringLiteral("耿贝尔（矩法）/ Gumbel, moments");
    case Distribution::Exponential:
        return QStringLiteral("指数分布（矩法）/ exponential, moments");
    }
    return {};
}

double PearsonFactor(double cs, double p)
{
    if (!(p > 0 && p < 1))
        throw TavrelError(QStringLiteral("频率须在0与1之间 / the probability must lie between 0 and 1"));
    if (std::abs(cs) < NearNormalSkew) {
        const double z = NormalQuantileAbove(p);
        return z + (z * z - 1) * cs / 6;
    }
    if (cs < 0)
        return -PearsonFactor(-cs, 1 - p);
    // X = Cs/2 G - 2/Cs with G gamma of shape 4/Cs^2 has mean 0, variance 1 and skew Cs.
    const double shape = 4 / (cs * cs);
    return cs / 2 * boost::math::gamma_q_inv(shape, p) - 2 / cs;
}

double FrequencyCurve::depth(double T) const
{
    const double p = 1 / T;
    switch (distribution) {
    case Distribution::P3:
    case Distribution::P3Moments:
        return mean * (1 + cv * PearsonFactor(cs, p));
    case Distribution::Gumbel:
        return u - alpha * std::log(-std::log(1 - p));
    case Distribution::Exponential:
        return (mean - s) + s * std::log(T);
    }
    return 0;
}

FrequencyCurve FitFrequencyCurve(const std::vector<double> &sample, Distribution distribution, double csCv)
{
    if (sample.size() < 4)
        throw TavrelError(QStringLiteral("样本少于4个 / fewer than four values"));
    const Moments m = SampleMoments(sample);
    FrequencyCurve c;
    c.distribution = distribution;
    c.mean = m.mean;
    c.cv = m.cv;
    c.cs = m.cs;
    c.s = m.s;
    c.alpha = std::sqrt(6.0) * m.s / std::numbers::pi;
    c.u = m.mean - 0.5772157 * c.alpha;
    if (distribution != Distribution::P3)
        return c;

    // Curve fitting: for a given Cv (and Cs = k Cv) the curve is the mean times a fixed
    // shape, so the best mean is a linear least-squares value and only Cv is searched.
    std::vector<double> sorted = sample;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    const double n = double(sorted.size());
    std::vector<double> shape(sorted.size());
    auto bestMean = [&](double cv, double &sum) {
        double xg = 0, gg = 0;
        for (size_t k = 0; k < sorted.size(); ++k) {
            shape[k] = 1 + cv * PearsonFactor(csCv * cv, double(k + 1) / (n + 1));
            xg += sorted[k] * shape[k];
            gg += shape[k] * shape[k];
        }
        const double mean = xg / gg;
        sum = 0;
        for (size_t k = 0; k < sorted.size(); ++k)
            sum += (sorted[k] - mean * shape[k]) * (sorted[k] - mean * shape[k]);
        return mean;
    };
    auto squares = [&](double cv) {
        double sum = 0;
        bestMean(cv, sum);
        return sum;
    };
    // Searched around the moment estimate, which the optimum rarely leaves by a factor of
    // 4; an optimum on that bracket's edge is searched again over every Cv a rain series has.
    constexpr double LowestCv = 1e-3, HighestCv = 5;
    const double low = std::max(LowestCv, m.cv / 4), high = std::min(m.cv * 4, HighestCv);
    double cv = boost::math::tools::brent_find_minima(squares, low, high, 40).first;
    if ((cv - low < 1e-6 * low && low > LowestCv) || (high - cv < 1e-6 * high && high < HighestCv))
        cv = boost::math::tools::brent_find_minima(squares, LowestCv, HighestCv, 40).first;
    double ignored = 0;
    c.cv = cv;
    c.cs = csCv * cv;
    c.mean = bestMean(cv, ignored);
    return c;
}

QString IdfTableText(const std::vector<int> &durations, const std::vector<FrequencyCurve> &curves)
{
    QStringList header{QStringLiteral("历时(min)/重现期(年)")};
    for (double T : TablePeriods)
        header.append(FormatGeneral(T));
    QStringList lines{header.join(QLatin1Char(','))};
    for (size_t d = 0; d < durations.size(); ++d) {
        QStringList cells{QString::number(durations[d])};
        for (double T : TablePeriods)
            cells.append(FormatGeneral(curves[d].depth(T) / durations[d]));
        lines.append(cells.join(QLatin1Char(',')));
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}
