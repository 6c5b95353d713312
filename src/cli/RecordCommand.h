#pragma once
// tavrel-cli --record: from a rain gauge's record (or --maxima, a table of annual maxima)
// to the i-t-P table, the fitted formula and the peak ratio, written as a rain-model file
// with -o NAME.txt, and the compilation report with --report NAME.docx.
#include "CliOutput.h"
#include "CliTool.h"
#include "core/StormModel.h"
#include "settings/Options.h"

#include <map>
#include <vector>

struct RecordRequest {
    std::map<QString, QString> options;   // the options IsRecordOption accepts, as given
    TExpressionObject storm;              // storm parameters for the file: model file, overrides or defaults
    std::vector<double> periods;          // --P (one value) or the storm's
    QStringList outputs;                  // -o names
    bool otherWork = false;               // --fit, --book or --check, which have no meaning here
    TOptions settings;
    CliChartDrawer drawChart;             // for --report; empty without the desktop libraries
    CliFrequencyDrawer drawFrequency;
};

// --record, --maxima, --dist, --cs-cv, --min-coverage, --maxima-out, --table-out, --report.
bool IsRecordOption(const QString &option);

int RunRecordCommand(const RecordRequest &request, CliStreams &streams);
