#pragma once
// Every file format the program writes from a computed storm, in one table: what the save
// dialog offers and proposes, what guards the export, and the one routine that writes it.
// The window runs every data export through this table, and tavrel-cli finds the formats
// of -o and --book in it by extension.
#include "CalcBook.h"
#include "TemplatePackage.h"

#include "core/FileType.h"
#include "core/GridText.h"
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
    const GridTexts &grid;
    QString tempFolder;                 // work folders of the Office packages
    // The chart as a picture file, its format by the path's extension (the book asks for
    // a PNG at its own size); needed by the formats with needsChart.
    ChartPictureWriter chartPicture;
};

struct ExportFormat {
    QString extension;                  // ".csv": forced on the chosen name
    QList<FileTypeEntry> types;         // the save dialog's list
    int selectedType = 0;               // preselected entry
    std::function<QString(const TExpressionObject &)> proposedName;
    QString emptyMessage;               // shown instead of exporting an empty result
    bool swmmUnits = false;             // needs hours:minutes and mm/h
    bool needsChart = false;            // draws the chart (pictures, the book)
    bool opensInTextEditor = false;     // else the desktop's program for the type
    QString description;                // for tavrel-cli --help
    // Writes the file at `path` exactly; TargetBusy when an Office package could not
    // replace the target. Other failures throw TavrelError.
    std::function<PackagePlacement(const ExportInput &, const QString &path)> write;
};

// The formats, each once.
const ExportFormat &CsvFormat();
const ExportFormat &SwmmFormat();
const ExportFormat &WordTableFormat();
const ExportFormat &ExcelChartFormat();
const ExportFormat &CalcBookFormat();

// The formats of single storms that tavrel-cli writes by extension, pictures included;
// nullptr for another extension (lower case, with the dot).
const ExportFormat *FindExportFormat(const QString &extension);
// Every such format, in the order --help lists them.
std::vector<const ExportFormat *> CliExportFormats();
