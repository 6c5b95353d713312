#pragma once
// The storm-intensity formula fitted to an intensity-duration-frequency table:
// the total formula i = A1(1 + C lg P)/(t + b)^n (or ln P) over the whole table, and
// i = A/(t + b)^n for each return period, both by nonlinear least squares on the
// intensities themselves.
#include "IdfTable.h"
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

struct TExpressionObject;

// The formula coefficients as they are published and entered: four decimals. Rounding
// them changes an intensity by far less than the accuracy limits below.
constexpr int FormulaDecimals = 4;

// The design code's accuracy limits, over the return periods of 2 to 20 years.
constexpr double MaxMeanAbsoluteDeviation = 0.05;   // mm/min
constexpr double MaxMeanRelativeDeviation = 5;      // percent
constexpr double AccuracyPeriodLow = 2;
constexpr double AccuracyPeriodHigh = 20;

struct TotalFormula {
    double A1 = 0, C = 0, b = 0, n = 0;
    uint8_t LG_LN = 0;      // 0: lg P, 1: ln P, as in the storm model
    double intensity(double t, double P) const;   // mm/min
};

struct PeriodFormula {
    double P = 0;
    bool fitted = false;    // false: `note` says why there is no formula for this period
    QString note;
    double A = 0, b = 0, n = 0;
    double intensity(double t) const;
};

struct IdfCellFit {
    double t = 0, P = 0;
    double given = 0, fitted = 0;   // mm/min
};

struct IdfAccuracy {
    int cells = 0;                  // cells with P from 2 to 20 years; 0: not assessed
    double meanAbsolute = 0;        // mm/min
    double meanRelative = 0;        // percent
    bool absoluteHolds() const { return cells > 0 && meanAbsolute <= MaxMeanAbsoluteDeviation; }
    bool relativeHolds() const { return cells > 0 && meanRelative <= MaxMeanRelativeDeviation; }
};

struct IdfFitResult {
    TotalFormula optimum;           // the least-squares optimum, every digit
    // The optimum as it is written and entered: each coefficient to FormulaDecimals. Every
    // figure below is of this formula, the one a person uses, not of the optimum.
    TotalFormula formula;
    double sumOfSquares = 0;        // (mm/min)^2
    double standardError = 0;       // mm/min, sqrt(sum / (cells - 4))
    int iterations = 0;
    std::vector<IdfCellFit> cells;  // in table order
    IdfAccuracy accuracy;
    std::vector<PeriodFormula> periods;
};

// Throws TavrelError (reason only) when the table holds too little to fit, or when the
// fit does not converge.
IdfFitResult FitIdfTable(const IdfTable &table, uint8_t lgLn);

// The value rounded as the formula is shown and entered.
double FormulaRound(double value);

// Puts the fitted formula into the storm model as it is written (`IdfFitResult::formula`),
// in the i form, and clears the totals computed from the old one, so the dialog and the
// command line make the same storm of one table. `intensityToFlow` is the q-i conversion
// in force, which gives 166.7A1 from A1.
void ApplyFittedFormula(TExpressionObject &model, const TotalFormula &formula,
                        const std::function<double(double)> &intensityToFlow);

// The two accuracy lines, each with its limit and whether it holds.
QStringList AccuracyLines(const IdfAccuracy &accuracy);
