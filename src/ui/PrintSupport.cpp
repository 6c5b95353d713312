#include "PrintSupport.h"

#include <qcustomplot.h>

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace {

// Paper wants sizes in points, not the window's pixels. The face is the chart's own
// (Arial, the desktop's Chinese face for the ideographs): text copied out of a PDF file of
// it reads as printed, which Noto Sans CJK's shared glyphs (雨 read back as ⾬) spoil.
QFont PrintFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct TableLayout {
    qreal rowHeight = 0;
    qreal padding = 0;
    std::array<qreal, 3> widths{};
    qreal width() const { return widths[0] + widths[1] + widths[2]; }
};

TableLayout LayOutTable(const GridTable &table, const QFontMetricsF &metrics, qreal pageWidth)
{
    TableLayout layout;
    layout.rowHeight = metrics.height() * 1.45;
    layout.padding = metrics.averageCharWidth() * 1.5;
    std::array<qreal, 3> widest{};
    const auto measure = [&](const GridRow &row) {
        for (size_t c = 0; c < 3; ++c)
            widest[c] = std::max(widest[c], metrics.horizontalAdvance(row[c]));
    };
    measure(table.heading());
    for (size_t r = 0; r < table.size(); ++r)
        measure(table.row(r));
    for (size_t c = 0; c < 3; ++c)
        layout.widths[c] = widest[c] + 2 * layout.padding;
    // A table wider than the paper is squeezed to it rather than cut off.
    if (layout.width() > pageWidth)
        for (qreal &w : layout.widths)
            w *= pageWidth / layout.width();
    return layout;
}

void DrawRow(QPainter &painter, const TableLayout &layout, qreal left, qreal top, const GridRow &row, bool heading)
{
    qreal x = left;
    for (int c = 0; c < 3; ++c) {
        const QRectF cell(x, top, layout.widths[c], layout.rowHeight);
        if (heading)
            painter.fillRect(cell, QColor(230, 236, 244));
        painter.drawRect(cell);
        // Times in the middle, numbers to the right, as the window's table shows them.
        const int align = Qt::AlignVCenter | (heading || c == 0 ? Qt::AlignHCenter : Qt::AlignRight);
        painter.drawText(cell.adjusted(layout.padding, 0, -layout.padding, 0), align, row[c]);
        x += layout.widths[c];
    }
}

} // namespace

std::vector<int> RowsPerPage(int rowCount, int firstPageRows, int pageRows)
{
    std::vector<int> pages;
    pageRows = std::max(pageRows, 1);
    int left = rowCount;
    int take = std::clamp(firstPageRows, 0, left);
    pages.push_back(take);
    left -= take;
    while (left > 0) {
        take = std::min(left, pageRows);
        pages.push_back(take);
        left -= take;
    }
    return pages;
}

int RowsUnderHeading(double height, double rowHeight)
{
    return std::max(0, static_cast<int>(height / rowHeight) - 1);
}

void PaintStormPrintout(QPrinter &printer, const StormPrintout &printout)
{
    QCPPainter painter;
    if (!painter.begin(&printer))
        return;   // the printer said why, or the print was stopped
    const qreal dpi = printer.resolution();
    const qreal mm = dpi / 25.4;
    const QRectF area(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());

    const QFont titleFont = PrintFont(14, true);
    const QFont bodyFont = PrintFont(10);
    const QFont footFont = PrintFont(8);
    const QFontMetricsF title(titleFont, &printer), body(bodyFont, &printer), foot(footFont, &printer);

    const qreal footHeight = foot.height() * 2;
    const qreal bottom = area.bottom() - footHeight;
    const qreal titleHeight = title.height() * 1.6;

    // The chart across the page, in its own proportions, at most half the page high.
    QSizeF chart = printout.chartSize;
    if (!chart.isEmpty())
        chart.scale(area.width(), area.height() * 0.5, Qt::KeepAspectRatio);
    const qreal tableTopFirst = titleHeight + chart.height() + (chart.isEmpty() ? 0 : 6 * mm);

    const TableLayout table = LayOutTable(printout.table, body, area.width());
    const int rows = static_cast<int>(printout.table.size());
    const std::vector<int> pages =
        RowsPerPage(rows, RowsUnderHeading(bottom - tableTopFirst, table.rowHeight), RowsUnderHeading(bottom, table.rowHeight));
    const int pageCount = static_cast<int>(pages.size());

    const int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int to = printer.toPage() > 0 ? std::min(printer.toPage(), pageCount) : pageCount;
    const qreal tableLeft = area.left() + (area.width() - table.width()) / 2;
    painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * mm)));

    int next = 0;   // first row of the page
    bool first = true;
    for (int page = 1; page <= pageCount; ++page) {
        const int count = pages[static_cast<size_t>(page - 1)];
        const int start = next;
        next += count;
        if (page < from || page > to)
            continue;
        if (!first)
            printer.newPage();
        first = false;

        qreal top = 0;
        if (page == 1) {
            painter.setFont(titleFont);
            painter.drawText(QRectF(area.left(), 0, area.width(), titleHeight), Qt::AlignHCenter | Qt::AlignTop,
                             printout.title);
            if (!chart.isEmpty() && printout.drawChart)
                printout.drawChart(painter, QRectF(QPointF(area.left() + (area.width() - chart.width()) / 2, titleHeight), chart));
            top = tableTopFirst;
        }
        if (count > 0) {
            painter.setFont(bodyFont);
            DrawRow(painter, table, tableLeft, top, printout.table.heading(), true);
            for (int r = 0; r < count; ++r)
                DrawRow(painter, table, tableLeft, top + (r + 1) * table.rowHeight,
                        printout.table.row(static_cast<size_t>(start + r)), false);
        }
        painter.setFont(footFont);
        painter.drawText(QRectF(area.left(), bottom, area.width(), footHeight), Qt::AlignLeft | Qt::AlignBottom,
                         printout.title);
        painter.drawText(QRectF(area.left(), bottom, area.width(), footHeight), Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("第 %1 页，共 %2 页").arg(page).arg(pageCount));
    }
    painter.end();
}
