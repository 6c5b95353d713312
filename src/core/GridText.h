#pragma once
#include "Hyetograph.h"
#include <QString>
#include <array>
#include <memory>
#include <vector>

// The texts of the data table: the heading row and three cells per computed row. The
// exports write these texts, so every file shows what the table shows.
using GridRow = std::array<QString, 3>;

struct GridFormat {
    int TimeFormat = 1;
    int StormUnit = 1;
    int Precision = 4;
};

GridRow GridHeading(int stormUnit);
// The cells of one row: the one place a row's texts are made.
GridRow FormatGridRow(const HyetographPoint &point, const GridFormat &format);

// A storm's table: its rows' points and the format, each row's texts made when asked for.
// A long storm's table costs its points rather than a string per cell, and copies share
// the points.
class GridTable {
public:
    GridTable() = default;
    GridTable(std::vector<HyetographPoint> points, const GridFormat &format);

    GridRow heading() const { return GridHeading(format_.StormUnit); }
    size_t size() const { return points_ ? points_->size() : 0; }
    bool empty() const { return size() == 0; }
    GridRow row(size_t index) const { return FormatGridRow((*points_)[index], format_); }
    // The first cell of a row alone, for the chart's time axis.
    QString timeLabel(size_t index) const;
    const GridFormat &format() const { return format_; }

private:
    std::shared_ptr<const std::vector<HyetographPoint>> points_;
    GridFormat format_;
};

// The heading row and the given rows (indexes into the table, in that order) as
// tab-separated lines, each ended by "\n": what a spreadsheet pastes as three columns.
QString TabSeparatedRows(const GridTable &table, const std::vector<size_t> &rows);

// The CSV table's lines, without line ends.
QString CsvHeaderLine(int timeFormat, int stormUnit);
QString CsvDataLine(const GridRow &row);
