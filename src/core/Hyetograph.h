#pragma once
#include "StormModel.h"
#include <QString>
#include <vector>

// One computed row: the minute it is labelled with, the intensity (mm/min or mm/h) and
// the rain fallen up to and including that minute (mm).
struct HyetographPoint {
    double minute = 0;
    double intensity = 0;
    double cumulative = 0;
};

// The settings the computation reads.
struct ComputeSettings {
    int StormUnit = 1;      // 0: mm/h, anything else: mm/min
    bool CalcByShow = false;
    int Precision = 4;
};

struct HyetographResult {
    bool ok = false;
    QString message;        // on failure: the reason (shown after ErrorPrefix)
    std::vector<HyetographPoint> points;
    double overall = 0;     // total rainfall, mm
    double average = 0;     // average intensity in the chosen unit
};

// Longest storm the program computes, in minutes.
constexpr double MaxStormMinutes = 100000;

// Why a storm cannot be made from this model, before anything is computed: a formula that
// gives no positive rain (a depth factor 1 + C lg P, or ln P, that is not above 0; an A1
// not above 0; an exponent n above 1 whose storm is long enough for the intensity far from
// the peak to turn negative). Such a storm would put negative rain into every table and
// every model it reaches. `field` names the input at fault; None: the storm may be made
// (other faults, a P of 0 or a step of 0, are the computation's to report).
struct StormRuleProblem {
    enum Field { None, A1, ReturnPeriod, Exponent };
    Field field = None;
    QString message;
    explicit operator bool() const { return field != None; }
};
StormRuleProblem CheckStormRules(const TExpressionObject &model);

// The value a = A1 (1 + C lg P) of the intensity formula (ln P with LG_LN 1, 0 with any
// other LG_LN). Throws TavrelError for a P that has no logarithm or an overflow.
double FormulaA(const TExpressionObject &model);

// The intensity of one whole minute of the storm.
struct StormMinute {
    int minute = 0;
    double intensity = 0;
};

// The intensity of every whole minute 0 … trunc(T), in the unit and rounding of
// `settings`; the peak minute of a b = 0 storm has no intensity and no entry. Unlike the
// rows, the minutes are the minutes themselves, never shifted labels. Throws TavrelError.
std::vector<StormMinute> StormMinuteIntensities(const TExpressionObject &model, const ComputeSettings &settings);

// The Chicago design storm after Keifer and Chu, minute by minute. On failure the
// result carries no rows and the model is not touched.
HyetographResult ComputeHyetographRows(const TExpressionObject &model, const ComputeSettings &settings);
