#pragma once
// An intensity-duration-frequency table: the rain intensities that the meteorological
// office publishes (or a frequency analysis gives) for standard durations and return
// periods. Durations run down the first column, return periods along the first row.
#include <QString>
#include <vector>

// The unit the table's intensities are given in. Flow-form tables (L/(s*hm2)) are turned
// into mm/min with the q-i ratio of the settings.
enum class IdfUnit { MmPerMin, MmPerHour, LitrePerSecondHectare };

struct IdfCell {
    int row = 0;            // index into durations
    int column = 0;         // index into periods
    double intensity = 0;   // mm/min
    QString text;           // the value as the table writes it ("2.10"), shown as given
};

struct IdfTable {
    std::vector<double> durations;   // minutes, in table order
    std::vector<double> periods;     // years, in table order
    std::vector<IdfCell> cells;      // the given values; empty cells are left out
};

// Reads comma- or tab-separated text (a CSV file or cells pasted from a spreadsheet).
// The top-left cell is a free caption. `qiRatio` is the settings' q-i ratio, used only
// for L/(s*hm2). Bad input throws TavrelError naming the row and column (line and column
// of the text, from 1).
IdfTable ParseIdfTable(const QString &text, IdfUnit unit, double qiRatio);
// The text of a table file (UTF-8 or GBK, as DecodeText reads them); a file far larger
// than any table is refused unread. Throws TavrelError.
QString ReadIdfTableText(const QString &path);
// ParseIdfTable of that text.
IdfTable ReadIdfTableFile(const QString &path, IdfUnit unit, double qiRatio);

// The unit's name as the dialog and the command line show it.
QString IdfUnitName(IdfUnit unit);
// A warning when the table's largest intensity, read in `unit`, is no rain that a design
// table holds, naming the units in which it would be; empty when it is plausible. The fit
// runs all the same: the warning only points at a unit chosen by mistake.
QString ImplausibleUnitWarning(const IdfTable &table, IdfUnit unit);
