#pragma once
// The calculation book: a complete Word report of one design storm, made from the built-in
// template "CalcBook" with TemplatePackage. The basis of the method is fixed template text;
// the book fills in the formula's coefficients, the storm parameters, the table rows as the
// screen shows them, the two totals and the chart picture.
#include "TemplatePackage.h"

#include "core/GridText.h"
#include "core/StormModel.h"
#include "settings/Options.h"

#include <QSize>
#include <QString>
#include <functional>

inline const QString CalcBookExtension = QStringLiteral(".docx");

// "雨型计算书 P=2年 T=120分 R=0.4.docx", each number as general number text.
QString CalcBookProposedFileName(const TExpressionObject &model);

// The chart picture's size in pixels for a window of `pixelsPerInch`: 14.64 cm wide (553
// pixels at 96, the document's picture frame), always 400 high. At other densities the
// document stretches the picture into the frame.
QSize CalcBookPictureSize(int pixelsPerInch);

// The book's main part from the template's `document` and its three-line `subrows` part
// (CR LF between the lines: the q-from-i paragraph, the i-from-q paragraph, the table
// row). Reads the model's coefficients, logarithm (lg P, or ln P with LG_LN 1),
// parameters and results and the settings' unit, time format, precision and q-i ratio;
// the table rows are the grid's texts. Throws TavrelError when `subrows` has fewer than
// three lines.
QString CalcBookDocument(QString document, const QString &subrows, const TExpressionObject &model,
                         const TOptions &options, const GridTable &grid);

// Writes the chart as a PNG file at the given path.
using ChartPictureWriter = std::function<void(const QString &path)>;

// Writes the finished book to `path` exactly (the caller forces the extension first); the
// chart picture comes from `drawChart`. Work folders are made in `tempFolder`. TargetBusy:
// the file could not be replaced and is as it was; any other failure, the picture's
// included, throws, leaves the target untouched and removes the work folder.
PackagePlacement WriteCalcBook(const QString &path, const TExpressionObject &model, const TOptions &options,
                               const GridTable &grid, const ChartPictureWriter &drawChart, const QString &tempFolder);
