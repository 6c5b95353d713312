#include "CompareTables.h"
#include "WindowFont.h"

#include "core/StormFamily.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <set>

void TextTableModel::setTable(QStringList heading, std::vector<QStringList> rows)
{
    beginResetModel();
    head = std::move(heading);
    body = std::move(rows);
    endResetModel();
}

int TextTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(body.size());
}

int TextTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(head.size());
}

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || static_cast<size_t>(index.row()) >= body.size())
        return {};
    if (role == Qt::DisplayRole)
        return body[static_cast<size_t>(index.row())].value(index.column());
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 ? int(Qt::AlignCenter) : int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // "P=2年 降雨强度mm/min" in two lines keeps the family's columns narrow.
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal)
        return head.value(section).replace(QLatin1Char(' '), QLatin1Char('\n'));
    return {};
}

TextTableView::TextTableView(const std::function<void(const QString &)> &copy, QWidget *parent)
    : QTableView(parent), model_(new TextTableModel(this)), toClipboard(copy)
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setDefaultSectionSize(110);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *copyAction = new QAction(QStringLiteral("复制"), this);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction, &QAction::triggered, this, &TextTableView::copy);
    addAction(copyAction);
}

QString TextTableView::copyText() const
{
    std::set<int> selected;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        selected.insert(index.row());
    const auto &all = model_->rows();
    if (selected.empty())
        return TabSeparatedText(model_->heading(), all);
    std::vector<QStringList> rows;
    for (int row : selected)
        rows.push_back(all[static_cast<size_t>(row)]);
    return TabSeparatedText(model_->heading(), rows);
}

void TextTableView::keyPressEvent(QKeyEvent *event)
{
    // The view's own Ctrl+C would copy one cell; the table copies whole rows.
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TextTableView::copy()
{
    if (!model_->rows().empty())
        toClipboard(copyText());
}

TFormCompareTables::TFormCompareTables(const std::function<void(const QString &)> &copy, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormCompareTables"));
    setWindowTitle(QStringLiteral("对比与校核"));
    setFont(WindowFont());
    auto *layout = new QVBoxLayout(this);
    problems = new QLabel(this);
    problems->setObjectName(QStringLiteral("Label_CompareProblems"));
    problems->setWordWrap(true);
    problems->setStyleSheet(QStringLiteral("color: rgb(128, 0, 0);"));
    problems->hide();
    layout->addWidget(problems);

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("Tabs_Compare"));
    sideBySide_ = new TextTableView(copy, tabs);
    sideBySide_->setObjectName(QStringLiteral("GridCompare"));
    summary_ = new TextTableView(copy, tabs);
    summary_->setObjectName(QStringLiteral("GridSummary"));
    auto *checkPage = new QWidget(tabs);
    auto *checkLayout = new QVBoxLayout(checkPage);
    checkLayout->setContentsMargins(0, 4, 0, 0);
    checkCaption = new QLabel(checkPage);
    checkCaption->setObjectName(QStringLiteral("Label_Check"));
    checkCaption->setWordWrap(true);
    check_ = new TextTableView(copy, checkPage);
    check_->setObjectName(QStringLiteral("GridCheck"));
    // Each column as wide as its heading (the formula's is long) or its figures.
    check_->horizontalHeader()->setMinimumSectionSize(110);
    check_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    checkLayout->addWidget(checkCaption);
    checkLayout->addWidget(check_, 1);
    tabs->addTab(sideBySide_, QStringLiteral("对比表"));
    tabs->addTab(summary_, QStringLiteral("汇总"));
    tabs->addTab(checkPage, QStringLiteral("设计暴雨校核"));
    layout->addWidget(tabs, 1);
    resize(720, 460);
}

void TFormCompareTables::showProblems(const QStringList &lines)
{
    problems->setText(lines.join(QLatin1Char('\n')));
    problems->setVisible(!lines.isEmpty());
}

void TFormCompareTables::showCheckCaption(const QString &text)
{
    checkCaption->setText(text);
}

void TFormCompareTables::showPage(Page page)
{
    tabs->setCurrentIndex(page);
}

TFormCompareTables::Page TFormCompareTables::page() const
{
    return static_cast<Page>(tabs->currentIndex());
}
