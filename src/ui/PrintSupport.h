#pragma once
// The storm on paper: a heading, the chart with its labels, and the table with every row,
// its heading row repeated at the top of each page the table runs over, and the page
// numbers at the foot. Drawn for any printer, a PDF file or the preview alike.
#include "core/GridText.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

class QCPPainter;
class QPrinter;

struct StormPrintout {
    QString title;        // the first page's heading and the foot of every page
    QSizeF chartSize;     // the chart's proportions
    std::function<void(QCPPainter &, const QRectF &)> drawChart;   // into a rectangle of them
    const GridTable &table;
};

// How the table's rows fall on the pages: the number of rows on each page, the first page
// holding `firstPageRows` of them (perhaps none, below the chart), every other `pageRows`.
std::vector<int> RowsPerPage(int rowCount, int firstPageRows, int pageRows);
// The rows that fit in `height` under the table's heading row, so that none runs into
// the page's foot (0 when not even the heading fits).
int RowsUnderHeading(double height, double rowHeight);

// Draws the printout on the printer's pages (those of its page range, when it has one).
// The printer must have the screen's resolution (QPrinter::ScreenResolution), which the
// chart's texts are measured in.
void PaintStormPrintout(QPrinter &printer, const StormPrintout &printout);
