#pragma once
// Frequency curves of an annual-maximum series: the depth of each return period by
// Pearson type III (moments or curve fitting), Gumbel or the exponential distribution.
#include <QString>
#include <array>
#include <vector>

enum class Distribution { P3, P3Moments, Gumbel, Exponential };

inline constexpr std::array<double, 8> TablePeriods{2, 3, 5, 10, 20, 30, 50, 100};
// Cs = k Cv in the curve fitting; the value that rainstorm series usually take.
constexpr double DefaultCsCv = 3.5;

// Reads "p3", "p3-moments", "gumbel", "exponential"; throws TavrelError otherwise.
Distribution ParseDistribution(const QString &name);
QString DistributionName(Distribution d);

// The standardised Pearson type III frequency factor: the value exceeded with
// probability p by a variable of mean 0, standard deviation 1 and skew cs.
double PearsonFactor(double cs, double p);

struct FrequencyCurve {
    Distribution distribution = Distribution::P3;
    double mean = 0, cv = 0, cs = 0;   // Pearson III (and mean, Cv of the sample otherwise)
    double s = 0;                      // sample standard deviation (n - 1)
    double u = 0, alpha = 0;           // Gumbel location and scale
    double depth(double T) const;      // mm of the return period T years
};

// Throws TavrelError when the sample cannot carry the curve (fewer than four values, all
// equal, or a mean of zero).
FrequencyCurve FitFrequencyCurve(const std::vector<double> &sample, Distribution distribution,
                                 double csCv = DefaultCsCv);

// The i-t-P table: i = depth / duration in mm/min, durations down, TablePeriods across,
// numbers to every digit that reads back, as the fit of a table reads it.
QString IdfTableText(const std::vector<int> &durations, const std::vector<FrequencyCurve> &curves);
