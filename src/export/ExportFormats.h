#pragma once
// Every file format the program writes from a computed storm, in one table: what the save
// dialog offers and proposes, what guards the export, and the one routine that writes it.
// The window runs every data export through this table, and tavrel-cli finds the formats
// of -o and --book in it by extension.
#include "CalcBook.h"
#include "TemplatePackage.h"

#include "core/FileType.h"
#include "core/GridText.h"
#include "core/StormFamily.h"
#include "core/StormModel.h"
#include "settings/Options.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>


// What one export reads: the storm, the settings in force, the table's texts as the
// screen shows them, and where a picture of the chart comes from.
struct ExportInput {
    const TExpressionObject &model;
    const TOptions &options;
    const GridTable &grid;
    QString tempFolder;                 // work folders of the Office packages
    // The chart as a picture file, its format by the path's extension: as shown, or at the
    // calculation book's size for the formats with chartAtBookSize; needed by the formats
    // with needsChart.
    ChartPictureWriter chartPicture;
    // The storms compared, for the formats of a whole family; nullptr when none is.
    const StormFamily *family = nullptr;
};

// What an export wrote beside its file.
struct ExportResult {
    PackagePlacement placement = PackagePlacement::Placed;
    QStringList leftOut;                // storms of a family the file could not take, with why
    bool written = true;                // false: every storm was left out, no file written
};

struct ExportFormat {
    QString title;                      // the save dialog's title
    QString extension;                  // ".csv": forced on the chosen name
    QList<FileTypeEntry> types;         // the save dialog's list
    int selectedType = 0;               // preselected entry
    bool typeDecidesFormat = false;     // pictures: the type chosen in the dialog, not the command
    std::function<QString(const ExportInput &)> proposedName;
    QString emptyMessage;               // shown instead of exporting an empty result
    bool wholeFamily = false;           // writes the storms compared, not the current storm
    bool swmmUnits = false;             // needs hours:minutes and mm/h
    bool needsChart = false;            // draws the chart (pictures, the book)
    bool chartAtBookSize = false;       // the book's picture size, the current storm alone
    bool opensInTextEditor = false;     // else the desktop's program for the type
    QString description;                // for tavrel-cli --help
    // Writes the file at `path` exactly; TargetBusy when an Office package could not
    // replace the target. Other failures throw TavrelError.
    std::function<ExportResult(const ExportInput &, const QString &path)> write;
};

// The formats, each once.
const ExportFormat &CsvFormat();
const ExportFormat &SwmmFormat();
const ExportFormat &WordTableFormat();
const ExportFormat &ExcelChartFormat();
const ExportFormat &CalcBookFormat();
// The chart as shown: 1 BMP, 2 JPG, 3 PNG preselected, as the menu entries' tags say.
const ExportFormat &PictureFormat(int tag);
// The storms compared: one SWMM input section, the side-by-side table, the summary, the
// chart with every storm.
const ExportFormat &FamilySwmmFormat();
const ExportFormat &FamilyCsvFormat();
const ExportFormat &FamilySummaryFormat();
const ExportFormat &FamilyPictureFormat();

// The extension a chosen name gets: the format's own, or for a format whose dialog type
// decides, the chosen type's ("*.*" keeps the format's own).
QString ExportExtension(const ExportFormat &format, int chosenType);

// The formats of single storms that tavrel-cli writes by extension, pictures included;
// nullptr for another extension (lower case, with the dot).
const ExportFormat *FindExportFormat(const QString &extension);
// Every such format, in the order --help lists them.
std::vector<const ExportFormat *> CliExportFormats();
