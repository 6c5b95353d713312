#pragma once
// The design-storm check: a Chicago storm is built so that its heaviest window of any
// length d holds the rain the intensity formula gives for a storm of that duration,
// a · d / (d + b)^n. The check puts the two side by side for the usual durations.
#include "Hyetograph.h"
#include "StormModel.h"
#include <QString>
#include <QStringList>
#include <vector>

struct DesignStormCheckRow {
    int minutes = 0;            // the duration d
    double formulaDepth = 0;    // a · d / (d + b)^n, mm
    double stormDepth = 0;      // the most rain of the storm in any d consecutive minutes, mm
    bool hasRelative = false;   // false when the formula gives no rain
    double relative = 0;        // (stormDepth - formulaDepth) / formulaDepth
};

struct DesignStormCheckResult {
    bool ok = false;
    QString message;            // on failure: the reason (shown after ErrorPrefix)
    double a = 0;               // A1 · (1 + C · lg P) (or ln P), mm/min
    std::vector<DesignStormCheckRow> rows;
};

// 5, 10, 15, 20, 30, 45, 60, 90, 120, 180, 240, 360, 720, 1440 and then every further day,
// as far as the storm's whole minutes reach; the storm's own length closes the list when it
// is not one of them.
std::vector<int> DesignStormCheckDurations(double stormMinutes);

// The storm is computed minute by minute (step 1, whatever the model's step is), with the
// unit and rounding of `settings`; every computed minute counts as one minute of rain.
DesignStormCheckResult CheckDesignStorm(const TExpressionObject &model, const ComputeSettings &settings);

// The check as a table, as tavrel-cli --check prints it and the window shows it: the
// heading, then per duration its minutes, both depths with `decimals` decimals and the
// relative difference in percent with two ("-" where the formula gives no rain).
QStringList DesignStormCheckHeading();
std::vector<QStringList> DesignStormCheckTexts(const DesignStormCheckResult &check, int decimals);
