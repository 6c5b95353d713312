#pragma once
#include "Hyetograph.h"
#include <QString>
#include <array>
#include <vector>

// The texts of the data table: the heading row and three cells per computed row. The
// exports write these texts, so every file shows what the table shows.
using GridRow = std::array<QString, 3>;

struct GridTexts {
    GridRow heading;
    std::vector<GridRow> rows;
    // The characters of the cells made by MakeGridTexts, which the cells share.
    QString storage;
};

struct GridFormat {
    int TimeFormat = 1;
    int StormUnit = 1;
    int Precision = 4;
};

GridRow GridHeading(int stormUnit);
GridTexts MakeGridTexts(const std::vector<HyetographPoint> &points, const GridFormat &format);
// The same into `texts`, whose memory is used again where nothing else holds it: a table
// that is made anew for every change of a storm does not fetch megabytes of fresh memory
// each time.
void RemakeGridTexts(GridTexts &texts, const std::vector<HyetographPoint> &points, const GridFormat &format);

// The heading row and the given rows (indexes into texts.rows, in that order) as
// tab-separated lines, each ended by "\n": what a spreadsheet pastes as three columns.
QString TabSeparatedRows(const GridTexts &texts, const std::vector<size_t> &rows);

// The CSV table's lines, without line ends.
QString CsvHeaderLine(int timeFormat, int stormUnit);
QString CsvDataLine(const GridRow &row);
