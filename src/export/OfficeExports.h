#pragma once
// The two Office exports of the data table, made from the built-in templates with
// TemplatePackage: the Word table ("CalcData", .docx) and the Excel workbook with a live
// chart ("ExcelPicData", .xlsx). Both take the table's texts as they stand, so the files
// show the time format, unit and decimals of the screen.
#include "TemplatePackage.h"

#include "core/GridText.h"
#include "core/StormModel.h"
#include <QString>

inline const QString WordTableExtension = QStringLiteral(".docx");
inline const QString ExcelChartExtension = QStringLiteral(".xlsx");

// "芝加哥雨型计算数据 P=2年 T=120分 R=0.4.docx", each number as general number text.
QString WordTableProposedFileName(const TExpressionObject &model);
// "Excel图表 P=2年 T=120分 R=0.4.xlsx".
QString ExcelChartProposedFileName(const TExpressionObject &model);

// The Word table's main part: the unit and time markers of the header row filled in
// (StormUnit 0 "mm/h", 1 "mm/min"; TimeFormat 0 "H:M", 1 "min"; any other value leaves
// its marker, an XML comment that shows nothing), then one copy of `rowTemplate` per
// table row in place of the table marker. Markers match case-sensitively. The part is
// returned encoded, as UTF-8.
QByteArray WordTableDocument(QString document, const QString &rowTemplate, const GridTable &grid, int timeFormat,
                             int stormUnit);

// The parts of the workbook that carry the storm, as the template has them ...
struct ExcelChartParts {
    QString sheet;           // "xl/worksheets/sheet2.xml", the data sheet
    QString sharedStrings;   // "xl/sharedStrings.xml"
    QString chart;           // "xl/charts/chart1.xml"
    QString styles;          // "xl/styles.xml", for the values' number format
};
// ... and filled in, encoded as UTF-8.
struct ExcelChartFiles {
    QByteArray sheet;
    QByteArray sharedStrings;
    QByteArray chart;
    QByteArray styles;
};
// Fills them in for the table: one sheet row per table row (the time label as a shared
// string, the two values as numbers shown with the decimals of the table's texts), the
// headings and axis titles for the unit and time format, every chart range ending at the
// last row, the shared-string counts and the chart's cached points set from the data.
// Markers match ignoring case.
ExcelChartFiles FillExcelChartParts(ExcelChartParts parts, const GridTable &grid, int timeFormat, int stormUnit);

// Write the finished package to `path` exactly (the caller forces the extension first).
// Work folders are made in `tempFolder`. TargetBusy: the file could not be replaced and
// is as it was; other failures throw TavrelError. Nothing is left in the temporary
// folder or beside the target either way. The workbook refuses an empty table.
PackagePlacement WriteWordTable(const QString &path, const GridTable &grid, int timeFormat, int stormUnit,
                                const QString &tempFolder);
PackagePlacement WriteExcelChart(const QString &path, const GridTable &grid, int timeFormat, int stormUnit,
                                 const QString &tempFolder);
