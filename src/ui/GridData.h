#pragma once
// The data table: three columns of texts, each row formatted when the view asks for it,
// so that even 100,001 rows cost no more than their points.
#include "core/GridText.h"
#include <QAbstractTableModel>
#include <QTableView>

class GridTextModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(GridTable table);
    const GridTable &table() const { return grid; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    GridTable grid;
};

class GridDataView : public QTableView {
    Q_OBJECT
public:
    explicit GridDataView(QWidget *parent = nullptr);

    GridTextModel *textModel() const { return gridModel; }
    // The row (0 = first data row) framed in red, or -1.
    int framedRow() const { return frame; }
    void setFramedRow(int row);
    void setColumnWidths();
    // Selects this row alone and makes it the current row, whatever keys are held.
    void selectSingleRow(int row);
    // The heading row and the selected rows (every row when none is selected) as
    // tab-separated text.
    QString copyText() const;

signals:
    void rowClicked(int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    GridTextModel *gridModel;
    int frame = -1;
};
