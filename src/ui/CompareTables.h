#pragma once
// The window beside the main window that shows a family side by side, its summary, and
// the design-storm check of the current storm. Every table copies with Ctrl+C (the
// selected rows, or all, with the heading) as tab-separated text for a spreadsheet.
#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QTabWidget;

// Rows of texts under a heading; the texts are shared, not copied.
class TextTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setTable(QStringList heading, std::vector<QStringList> rows);
    const QStringList &heading() const { return head; }
    const std::vector<QStringList> &rows() const { return body; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList head;
    std::vector<QStringList> body;
};

class TextTableView : public QTableView {
    Q_OBJECT
public:
    // `copy` takes the text Ctrl+C copies.
    TextTableView(const std::function<void(const QString &)> &copy, QWidget *parent = nullptr);
    TextTableModel *table() const { return model_; }
    // The heading and the selected rows (every row when none is), tab-separated.
    QString copyText() const;
    void copy();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TextTableModel *model_;
    std::function<void(const QString &)> toClipboard;
};

class TFormCompareTables : public QWidget {
    Q_OBJECT
public:
    enum Page { SideBySidePage, SummaryPage, CheckPage };

    TFormCompareTables(const std::function<void(const QString &)> &copy, QWidget *parent = nullptr);

    TextTableView *sideBySide() const { return sideBySide_; }
    TextTableView *summary() const { return summary_; }
    TextTableView *check() const { return check_; }
    void showProblems(const QStringList &problems);
    // The line above the check's table: the storm and its a, or why there is no check.
    void showCheckCaption(const QString &text);
    void showPage(Page page);
    Page page() const;

private:
    QLabel *problems;
    QLabel *checkCaption;
    QTabWidget *tabs;
    TextTableView *sideBySide_;
    TextTableView *summary_;
    TextTableView *check_;
};
