#pragma once
// tavrel-cli --fit: the storm-intensity formula fitted to an intensity-duration-frequency
// table, printed, and written as a rain-model file with -o NAME.txt.
#include "CliOutput.h"
#include "core/StormModel.h"
#include "settings/Options.h"

#include <map>
#include <vector>

struct FitRequest {
    std::map<QString, QString> options;   // --fit, --fit-unit, --fit-log as given
    TExpressionObject storm;              // storm parameters for the file: model file, overrides or defaults
    std::vector<double> periods;          // --P (one value) or the storm's
    QStringList outputs;                  // -o names
    bool otherWork = false;               // --book or --check, which have no meaning here
    TOptions settings;
};

int RunFitCommand(const FitRequest &request, CliStreams &streams);
