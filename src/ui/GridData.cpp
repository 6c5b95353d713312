#include "GridData.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>
#include <numeric>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

void GridTextModel::setTable(GridTable table)
{
    beginResetModel();
    grid = std::move(table);
    endResetModel();
}

int GridTextModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(grid.size());
}

int GridTextModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant GridTextModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(grid.size()))
        return {};
    if (role == Qt::DisplayRole)
        return grid.row(static_cast<size_t>(index.row()))[static_cast<size_t>(index.column())];
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 ? int(Qt::AlignCenter) : int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::BackgroundRole && index.column() == 0)
        return QColor(240, 240, 240);   // the time column reads as a fixed column
    return {};
}

QVariant GridTextModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
        return grid.heading()[static_cast<size_t>(section)];
    return {};
}

namespace {
// The heading row, whose height is fixed. QHeaderView's own size hint measures every
// heading in bold, which would load the interface font's bold face at start-up only to be
// clamped to that height; the hint here is the same after the clamp. Fitting a column to
// its contents (a double-click on a divider) still measures the heading as before.
class FixedHeightHeader : public QHeaderView {
public:
    FixedHeightHeader(int height, QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setFixedHeight(height);
        setSectionsClickable(true);   // as the header QTableView makes for itself
    }
    QSize sizeHint() const override { return {length(), height()}; }

protected:
    // The columns' widths are fixed; a heading a pixel or two wider than the room its column
    // leaves for it (降雨强度mm/min in 98 pixels) is set a little tighter rather than cut.
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        const QString text = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
        const int room = rect.width() - 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) - 2;
        const int needed = painter->fontMetrics().horizontalAdvance(text);
        if (text.size() > 1 && needed > room) {
            QFont tighter = painter->font();
            tighter.setLetterSpacing(QFont::AbsoluteSpacing, double(room - needed) / double(text.size() - 1));
            painter->setFont(tighter);
        }
        QHeaderView::paintSection(painter, rect, logicalIndex);
    }
};
} // namespace

GridDataView::GridDataView(QWidget *parent) : QTableView(parent), gridModel(new GridTextModel(this))
{
    setHorizontalHeader(new FixedHeightHeader(22, this));
    setModel(gridModel);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be selected (shift- and control-click) for copying.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setMinimumSectionSize(22);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setColumnWidths();
}

void GridDataView::setColumnWidths()
{
    setColumnWidth(0, 40);
    setColumnWidth(1, 98);
    setColumnWidth(2, 78);
}

void GridDataView::selectSingleRow(int row)
{
    selectionModel()->setCurrentIndex(gridModel->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString GridDataView::copyText() const
{
    const GridTable &table = gridModel->table();
    std::vector<size_t> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows.push_back(static_cast<size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    if (rows.empty()) {
        rows.resize(table.size());
        std::iota(rows.begin(), rows.end(), size_t{0});
    }
    return TabSeparatedRows(table, rows);
}

void GridDataView::setFramedRow(int row)
{
    if (row == frame)
        return;
    frame = row;
    viewport()->update();
}

void GridDataView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (frame < 0 || frame >= gridModel->rowCount())
        return;
    const int top = rowViewportPosition(frame);
    if (top < -rowHeight(frame) || top > viewport()->height())
        return;
    const int left = columnViewportPosition(0) + 1;
    const int right = columnViewportPosition(2) + columnWidth(2);
    QPainter painter(viewport());
    painter.setPen(QPen(Qt::red, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(left, top + 1), QPoint(right - 1, top + rowHeight(frame) - 1)));
}

void GridDataView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        emit rowClicked(index.isValid() ? index.row() : -1);
    }
}

void GridDataView::scrollContentsBy(int dx, int dy)
{
    // The frame belongs to what was on screen; scrolling repaints it away.
    frame = -1;
    QTableView::scrollContentsBy(dx, dy);
}
