#include "ui/FormFitTable.h"
#include "WindowFont.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "platform/Platform.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QThreadPool>
#include "ui/FitTexts.h"
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <qcustomplot.h>

// What a worker hands back: the table it fitted and the fit, or why there is none.
struct FitOutcome {
    IdfTable table;
    IdfUnit unit = IdfUnit::MmPerMin;
    IdfFitResult fit;
    QString failure;
};

// The workers' way back to the dialog. The dialog may close while a fit runs: it clears
// `dialog` under the lock as it goes, and a worker posts to it only under that lock, so no
// worker reaches a dialog that is gone; what was posted before dies with the dialog.
struct FitMailbox {
    std::mutex lock;
    TFormFitTable *dialog = nullptr;
    // The newest fit's number (0: none): a fit superseded while it waited for a thread does
    // not start, so a few quick edits of a large table do not queue seconds of stale work.
    std::atomic<int> latest{0};
};

namespace {


void FillRow(QTableWidget *grid, int row, const QStringList &texts)
{
    for (int c = 0; c < texts.size(); ++c) {
        auto *item = new QTableWidgetItem(texts[c]);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        grid->setItem(row, c, item);
    }
}

QTableWidget *MakeGrid(const char *name, const QStringList &headings)
{
    auto *grid = new QTableWidget(0, int(headings.size()));
    grid->setObjectName(QString::fromLatin1(name));
    grid->setHorizontalHeaderLabels(headings);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

// One colour per return period, distinct on screen and in print.
QColor PeriodColour(int index)
{
    static const QColor colours[] = {QColor(31, 119, 180), QColor(255, 127, 14), QColor(44, 160, 44),
                                     QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75),
                                     QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
                                     QColor(23, 190, 207)};
    return colours[index % int(std::size(colours))];
}

} // namespace

TFormFitTable::TFormFitTable(Platform &platform, double qiRatio, QString &tableFolder, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      platform(platform), qiRatio(qiRatio), tableFolder(tableFolder), mailbox(std::make_shared<FitMailbox>())
{
    mailbox->dialog = this;
    setObjectName(QStringLiteral("FormFitTable"));
    setWindowTitle(QStringLiteral("由暴雨强度表拟合公式"));
    setFont(WindowFont());
    resize(820, 600);

    EditTable = new QPlainTextEdit;
    EditTable->setObjectName(QStringLiteral("EditTable"));
    EditTable->setLineWrapMode(QPlainTextEdit::NoWrap);
    EditTable->setPlaceholderText(QStringLiteral(
        "从表格软件复制后粘贴到这里，或点“打开...”读入CSV文件。\n首行为重现期(年)，首列为历时(min)，例如：\n"
        "t\\P,2,3,5,10\n5,2.10,2.43,2.85,3.42\n10,1.71,1.98,2.32,2.78\n..."));

    auto *open = new QPushButton(QStringLiteral("打开..."));
    open->setObjectName(QStringLiteral("ButtonOpen"));
    ComboBox_Unit = new QComboBox;
    ComboBox_Unit->setObjectName(QStringLiteral("ComboBox_Unit"));
    ComboBox_Unit->addItems({QStringLiteral("mm/min"), QStringLiteral("mm/h"), QStringLiteral("L/(s.hm²)")});
    ComboBox_LgLn = new QComboBox;
    ComboBox_LgLn->setObjectName(QStringLiteral("ComboBox_LgLn"));
    ComboBox_LgLn->addItems({QStringLiteral("lgP"), QStringLiteral("lnP")});

    auto *inputRow = new QHBoxLayout;
    inputRow->addWidget(open);
    inputRow->addStretch();
    inputRow->addWidget(new QLabel(QStringLiteral("雨强单位：")));
    inputRow->addWidget(ComboBox_Unit);
    inputRow->addWidget(new QLabel(QStringLiteral("公式：")));
    inputRow->addWidget(ComboBox_LgLn);

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("暴雨强度表（首行重现期，首列历时）：")));
    left->addWidget(EditTable, 1);
    left->addLayout(inputRow);

    ChartFit = new QCustomPlot;
    ChartFit->setObjectName(QStringLiteral("ChartFit"));
    ChartFit->setMinimumSize(380, 260);
    ChartFit->xAxis->setLabel(QStringLiteral("历时 t (min)"));
    ChartFit->yAxis->setLabel(QStringLiteral("雨强 i (mm/min)"));
    ChartFit->legend->setFont(WindowFont());
    // Two columns keep the legend in the empty upper right, clear of the long durations.
    ChartFit->legend->setFillOrder(QCPLayoutGrid::foRowsFirst);
    ChartFit->legend->setWrap(4);
    ChartFit->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);

    LabelFormula = new QLabel;
    LabelFormula->setObjectName(QStringLiteral("LabelFormula"));
    LabelFormula->setTextFormat(Qt::RichText);
    LabelFormula->setWordWrap(true);
    LabelFormula->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelAccuracy = new QLabel;
    LabelAccuracy->setObjectName(QStringLiteral("LabelAccuracy"));
    LabelAccuracy->setTextFormat(Qt::RichText);
    LabelAccuracy->setWordWrap(true);
    LabelUnitWarning = new QLabel;
    LabelUnitWarning->setObjectName(QStringLiteral("LabelUnitWarning"));
    LabelUnitWarning->setWordWrap(true);
    LabelUnitWarning->setStyleSheet(QStringLiteral("color:#c06000"));
    LabelUnitWarning->hide();
    ProgressFit = new QProgressBar;
    ProgressFit->setObjectName(QStringLiteral("ProgressFit"));
    ProgressFit->setRange(0, 0);    // no steps to count: it only says the fit is running
    ProgressFit->setTextVisible(false);
    ProgressFit->hide();

    auto *right = new QVBoxLayout;
    right->addWidget(ChartFit, 1);
    right->addWidget(ProgressFit);
    right->addWidget(LabelFormula);
    right->addWidget(LabelAccuracy);
    right->addWidget(LabelUnitWarning);

    GridCells = MakeGrid("GridCells", {QStringLiteral("历时t(min)"), QStringLiteral("重现期P(年)"),
                                       QStringLiteral("给定值(mm/min)"), QStringLiteral("拟合值(mm/min)"),
                                       QStringLiteral("偏差(mm/min)"), QStringLiteral("相对偏差(%)")});
    GridPeriods = MakeGrid("GridPeriods", {QStringLiteral("重现期P(年)"), QStringLiteral("A"), QStringLiteral("b"),
                                           QStringLiteral("n")});
    auto *tabs = new QTabWidget;
    tabs->addTab(GridCells, QStringLiteral("各数值"));
    tabs->addTab(GridPeriods, QStringLiteral("各重现期公式 i = A/(t+b)^n"));

    auto *buttons = new QDialogButtonBox;
    ButtonOK = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setEnabled(false);
    QPushButton *cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 3);
    layout->addWidget(tabs, 2);
    layout->addWidget(buttons);

    // Every change fits again at once; a fit still running for an older text is superseded.
    connect(EditTable, &QPlainTextEdit::textChanged, this, &TFormFitTable::refit);
    connect(ComboBox_Unit, &QComboBox::currentIndexChanged, this, &TFormFitTable::refit);
    connect(ComboBox_LgLn, &QComboBox::currentIndexChanged, this, &TFormFitTable::refit);
    connect(open, &QPushButton::clicked, this, &TFormFitTable::ButtonOpenClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refit();
}

TFormFitTable::~TFormFitTable()
{
    const std::lock_guard<std::mutex> lock(mailbox->lock);
    mailbox->dialog = nullptr;
    mailbox->latest = 0;    // no fit is wanted any more; those still waiting do not start
}

std::optional<TotalFormula> TFormFitTable::formula() const
{
    return fitted;
}

void TFormFitTable::ButtonOpenClick()
{
    FileDialogRequest request;
    request.title = QStringLiteral("打开暴雨强度表");
    request.types = {{QStringLiteral("CSV文件(*.csv)"), QStringLiteral("*.csv")},
                     {QStringLiteral("文本文件(*.txt)"), QStringLiteral("*.txt")},
                     {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}};
    request.folder = tableFolder;
    request.mustExist = true;
    const FileDialogResult chosen = platform.openFileDialog(this, request);
    if (!chosen.accepted)
        return;
    try {
        EditTable->setPlainText(ReadIdfTableText(chosen.path));
        tableFolder = QDir::toNativeSeparators(QFileInfo(chosen.path).absolutePath());
    } catch (const std::exception &e) {
        showFailure(FailureMessage(e));
    }
}

void TFormFitTable::refit()
{
    const int generation = ++fitGeneration;
    mailbox->latest = generation;
    fitted.reset();
    ButtonOK->setEnabled(false);
    GridCells->setRowCount(0);
    GridPeriods->setRowCount(0);
    ChartFit->clearGraphs();
    ChartFit->legend->setVisible(false);
    ChartFit->replot();
    LabelUnitWarning->hide();
    setBusy(false);
    if (EditTable->toPlainText().trimmed().isEmpty()) {
        LabelFormula->setText(QStringLiteral("粘贴或打开暴雨强度表后显示拟合结果。"));
        LabelAccuracy->clear();
        return;
    }
    // Reading the table is quick and its faults are worth seeing at once; the fit is not.
    const IdfUnit unit = IdfUnit(ComboBox_Unit->currentIndex());
    const auto lgLn = uint8_t(ComboBox_LgLn->currentIndex());
    IdfTable table;
    try {
        table = ParseIdfTable(EditTable->toPlainText(), unit, qiRatio);
    } catch (const std::exception &e) {
        showFailure(FailureMessage(e));
        return;
    }
    const QString warning = ImplausibleUnitWarning(table, unit);
    LabelUnitWarning->setText(QStringLiteral("注意：") + warning);
    LabelUnitWarning->setVisible(!warning.isEmpty());
    setBusy(true);

    QThreadPool::globalInstance()->start([mailbox = mailbox, generation, table, unit, lgLn] {
        if (mailbox->latest != generation)
            return;
        auto outcome = std::make_shared<FitOutcome>();
        outcome->table = table;
        outcome->unit = unit;
        try {
            outcome->fit = FitIdfTable(table, lgLn);
        } catch (const std::exception &e) {
            outcome->failure = FailureMessage(e);
        } catch (...) {
            outcome->failure = QStringLiteral("拟合失败");
        }
        const std::lock_guard<std::mutex> lock(mailbox->lock);
        if (TFormFitTable *dialog = mailbox->dialog)
            QMetaObject::invokeMethod(
                dialog, [dialog, generation, outcome] { dialog->fitArrived(generation, *outcome); }, Qt::QueuedConnection);
    });
}

void TFormFitTable::fitArrived(int generation, const FitOutcome &outcome)
{
    // A result for an older text or choice is stale, however late or early it comes.
    if (generation != fitGeneration)
        return;
    setBusy(false);
    if (outcome.failure.isEmpty())
        showFit(outcome);
    else
        showFailure(outcome.failure);
}

void TFormFitTable::setBusy(bool busy)
{
    ProgressFit->setVisible(busy);
    if (busy) {
        LabelFormula->setText(QStringLiteral("正在拟合…"));
        LabelAccuracy->clear();
    }
}

void TFormFitTable::showFailure(const QString &reason)
{
    LabelFormula->setText(QStringLiteral("<span style='color:#c00000'>出错：%1</span>").arg(reason.toHtmlEscaped()));
    LabelAccuracy->clear();
}

void TFormFitTable::showFit(const FitOutcome &outcome)
{
    const IdfFitResult &fit = outcome.fit;
    fitted = fit.formula;
    ButtonOK->setEnabled(true);

    LabelFormula->setText(FittedFormulaHtml(fit));
    LabelAccuracy->setText(FitAccuracyHtml(fit.accuracy));

    GridCells->setRowCount(int(fit.cells.size()));
    for (int r = 0; r < int(fit.cells.size()); ++r) {
        const IdfCellFit &c = fit.cells[size_t(r)];
        // A table in mm/min is quoted as written, "2.10" with its zero; others are converted.
        const QString given = outcome.unit == IdfUnit::MmPerMin ? outcome.table.cells[size_t(r)].text : FormatGeneral(c.given);
        FillRow(GridCells, r, {FormatGeneral(c.t), FormatGeneral(c.P), given, FormatFixed(c.fitted, 4),
                               FormatFixed(c.fitted - c.given, 4), FormatFixed((c.fitted - c.given) / c.given * 100, 2)});
    }
    GridPeriods->setRowCount(int(fit.periods.size()));
    for (int r = 0; r < int(fit.periods.size()); ++r) {
        const PeriodFormula &p = fit.periods[size_t(r)];
        if (p.fitted)
            FillRow(GridPeriods, r, {FormatGeneral(p.P), RoundedCoefficient(p.A), RoundedCoefficient(p.b), RoundedCoefficient(p.n)});
        else
            FillRow(GridPeriods, r, {FormatGeneral(p.P), p.note});
    }
    drawChart(fit);
}

void TFormFitTable::drawChart(const IdfFitResult &fit)
{
    std::vector<double> periods;
    double tMin = fit.cells.front().t, tMax = tMin, iMax = 0;
    for (const IdfCellFit &c : fit.cells) {
        if (std::find(periods.begin(), periods.end(), c.P) == periods.end())
            periods.push_back(c.P);
        tMin = std::min(tMin, c.t);
        tMax = std::max(tMax, c.t);
        iMax = std::max({iMax, c.given, c.fitted});
    }
    for (size_t k = 0; k < periods.size(); ++k) {
        const QColor colour = PeriodColour(int(k));
        // The fitted curve, smooth over the table's durations...
        QCPGraph *curve = ChartFit->addGraph();
        curve->setName(QStringLiteral("P=%1年").arg(FormatGeneral(periods[k])));
        curve->setPen(QPen(colour, 1.5));
        constexpr int Samples = 120;
        for (int s = 0; s <= Samples; ++s) {
            const double t = tMin + (tMax - tMin) * s / Samples;
            curve->addData(t, fit.formula.intensity(t, periods[k]));
        }
        // ...and the table's values as marks on it.
        QCPGraph *given = ChartFit->addGraph();
        given->setLineStyle(QCPGraph::lsNone);
        given->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, colour, 5));
        given->removeFromLegend();
        for (const IdfCellFit &c : fit.cells)
            if (c.P == periods[k])
                given->addData(c.t, c.given);
    }
    ChartFit->legend->setVisible(true);
    ChartFit->xAxis->setRange(0, tMax * 1.02);
    ChartFit->yAxis->setRange(0, iMax * 1.05);
    ChartFit->replot();
}
