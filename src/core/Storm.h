#pragma once
// A storm: what every part of the program makes from a rain model and the settings. The
// window, tavrel-cli, the family of storms and the design-storm check all make their
// storms here, so the rules every storm obeys (a formula that gives positive rain, the
// longest storm computed) and its results have one home.
#include "Hyetograph.h"
#include "StormModel.h"

#include <QString>
#include <vector>

struct Storm {
    bool ok = false;
    QString message;                    // why there is no storm: the rules' or the computation's reason
    TExpressionObject model;            // the inputs, with the two results of the computation (0 when not ok)
    std::vector<HyetographPoint> points;
    double largestIntensity = 0;        // of the rows, in the unit of the settings; 0 without rows
    double largestCumulative = 0;       // mm

    double overall() const { return model.Strom_Overall_Rainfall; }
    double average() const { return model.Strom_Average_Rainfall_Intensity; }
};

// The storm of `model` under `settings`; a storm that cannot be made has no rows and says why.
Storm ComputeStorm(const TExpressionObject &model, const ComputeSettings &settings);
