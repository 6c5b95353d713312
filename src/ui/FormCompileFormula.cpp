#include "ui/FormCompileFormula.h"
#include "WindowFont.h"
#include "core/CompilationTables.h"
#include "core/GridText.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/StormFamily.h"
#include "core/TextFile.h"
#include "platform/Platform.h"
#include "ui/CompareTables.h"
#include "ui/FitTexts.h"
#include "ui/FrequencyChart.h"
#include "ui/PictureEncoding.h"
#include "ui/StormPicture.h"
#include "export/CompilationReport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QThreadPool>
#include <QVBoxLayout>
#include <atomic>
#include <cmath>
#include <mutex>

// What a reading worker hands back: the years read, or why there are none.
struct ReadOutcome {
    QString path;
    RecordMaxima maxima;
    bool fromRecord = false;
    bool cancelled = false;
    QString failure;
};

struct CompileOutcome {
    std::vector<YearMaxima> years;
    FormulaCompilation compilation;
    QString failure;
};

// The workers' way back to the dialog, as in the fit dialog: the dialog clears `dialog`
// under the lock as it closes, and a worker posts to it only under that lock.
struct CompileMailbox {
    std::mutex lock;
    TFormCompileFormula *dialog = nullptr;
    // The reading wanted (0: none); a reading whose number is no longer wanted stops.
    std::atomic<int> reading{0};
    // The newest compilation's number: one superseded while it waited does not start.
    std::atomic<int> latest{0};

    template <typename F> void post(F call)
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (TFormCompileFormula *d = dialog)
            QMetaObject::invokeMethod(d, [d, call] { call(d); }, Qt::QueuedConnection);
    }
};

namespace {

const QString Caption = QStringLiteral("由降雨资料编制公式");


QString ShortName(Distribution d)
{
    return DistributionName(d).section(QLatin1Char('/'), 0, 0).trimmed();
}

// `progress` hears the share read and answers whether the reading is still wanted.
ReadOutcome ReadYears(const QString &path, const ReadProgress &progress)
{
    ReadOutcome outcome;
    outcome.path = path;
    try {
        // Every year is kept: the person leaves years out by hand, seeing their coverage.
        outcome.fromRecord = !IsMaximaTableFile(path);
        if (outcome.fromRecord)
            outcome.maxima = ComputeAnnualMaxima(ReadRainRecord(path, progress), 0);
        else
            outcome.maxima.years = ReadMaximaTable(path);
        outcome.cancelled = !progress(1);
    } catch (const ReadCancelled &) {
        outcome.cancelled = true;
    } catch (const std::exception &e) {
        outcome.failure = FailureMessage(e);
    } catch (...) {
        outcome.failure = QStringLiteral("读取失败");
    }
    return outcome;
}

QTableWidgetItem *Cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

TextTableView *MakeTable(const char *name, const std::function<void(const QString &)> &copy)
{
    auto *view = new TextTableView(copy);
    view->setObjectName(QString::fromLatin1(name));
    view->horizontalHeader()->setDefaultSectionSize(64);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return view;
}

} // namespace

TFormCompileFormula::TFormCompileFormula(Platform &platform, double qiRatio, QString &recordFolder, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMaximizeButtonHint),
      platform(platform), qiRatio(qiRatio), recordFolder(recordFolder), mailbox(std::make_shared<CompileMailbox>())
{
    mailbox->dialog = this;
    setObjectName(QStringLiteral("FormCompileFormula"));
    setWindowTitle(Caption);
    setFont(WindowFont());
    resize(1000, 720);
    const auto copy = [this](const QString &text) { this->platform.setClipboardText(text); };

    ButtonOpen = new QPushButton(QStringLiteral("打开..."));
    ButtonOpen->setObjectName(QStringLiteral("ButtonOpen"));
    LabelSource = new QLabel(QStringLiteral("打开降雨资料（时间,雨量）或年最大值表（年份,5,10,…,180）。"));
    LabelSource->setObjectName(QStringLiteral("LabelSource"));
    ProgressRead = new QProgressBar;
    ProgressRead->setObjectName(QStringLiteral("ProgressRead"));
    ProgressRead->setRange(0, 1000);
    ProgressRead->setTextVisible(false);
    ButtonStopRead = new QPushButton(QStringLiteral("取消"));
    ButtonStopRead->setObjectName(QStringLiteral("ButtonStopRead"));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(ButtonOpen);
    fileRow->addWidget(LabelSource, 1);
    fileRow->addWidget(ProgressRead);
    fileRow->addWidget(ButtonStopRead);

    ComboBox_Dist = new QComboBox;
    ComboBox_Dist->setObjectName(QStringLiteral("ComboBox_Dist"));
    // In the order of Distribution.
    for (Distribution d : {Distribution::P3, Distribution::P3Moments, Distribution::Gumbel, Distribution::Exponential})
        ComboBox_Dist->addItem(ShortName(d));
    Edit_CsCv = new QDoubleSpinBox;
    Edit_CsCv->setObjectName(QStringLiteral("Edit_CsCv"));
    Edit_CsCv->setRange(0.1, 20);
    Edit_CsCv->setDecimals(2);
    Edit_CsCv->setSingleStep(0.5);
    Edit_CsCv->setValue(DefaultCsCv);
    Edit_CsCv->setKeyboardTracking(false);
    ComboBox_Duration = new QComboBox;
    ComboBox_Duration->setObjectName(QStringLiteral("ComboBox_Duration"));
    for (int d : MaximaDurations)
        ComboBox_Duration->addItem(QStringLiteral("%1分钟").arg(d));
    auto *choiceRow = new QHBoxLayout;
    choiceRow->addWidget(new QLabel(QStringLiteral("频率分布：")));
    choiceRow->addWidget(ComboBox_Dist);
    choiceRow->addWidget(new QLabel(QStringLiteral("Cs/Cv：")));
    choiceRow->addWidget(Edit_CsCv);
    choiceRow->addStretch();
    choiceRow->addWidget(new QLabel(QStringLiteral("频率曲线历时：")));
    choiceRow->addWidget(ComboBox_Duration);

    GridYears = new QTableWidget(0, 2);
    GridYears->setObjectName(QStringLiteral("GridYears"));
    GridYears->setHorizontalHeaderLabels({QStringLiteral("年份"), QStringLiteral("完整率(%)")});
    GridYears->verticalHeader()->hide();
    GridYears->verticalHeader()->setDefaultSectionSize(GridYears->fontMetrics().height() + 6);
    GridYears->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    GridYears->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridYears->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Ctrl+C is caught before the view's own, which would copy one cell past the seam.
    GridYears->installEventFilter(this);
    auto *copyYears = new QAction(QStringLiteral("复制"), GridYears);
    GridYears->addAction(copyYears);
    GridYears->setContextMenuPolicy(Qt::ActionsContextMenu);
    LabelYears = new QLabel;
    LabelYears->setObjectName(QStringLiteral("LabelYears"));
    LabelYears->setWordWrap(true);
    auto *yearsBox = new QVBoxLayout;
    yearsBox->addWidget(GridYears, 1);
    yearsBox->addWidget(LabelYears);

    ChartFrequency = new FrequencyChart;
    ChartFrequency->setMinimumSize(480, 300);
    auto *middle = new QHBoxLayout;
    middle->addLayout(yearsBox, 1);
    middle->addWidget(ChartFrequency, 3);

    GridMaxima = MakeTable("GridMaxima", copy);
    GridCurves = MakeTable("GridCurves", copy);
    GridTable = MakeTable("GridTable", copy);
    GridRatio = MakeTable("GridRatio", copy);
    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("Tabs_Compile"));
    GridMaxima->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tabs->addTab(GridMaxima, QStringLiteral("年最大值(mm)，各历时(min)"));
    tabs->addTab(GridCurves, QStringLiteral("频率曲线参数"));
    tabs->addTab(GridTable, QStringLiteral("暴雨强度表 i-t-P (mm/min)"));
    tabs->addTab(GridRatio, QStringLiteral("雨峰位置"));

    ProgressCompile = new QProgressBar;
    ProgressCompile->setObjectName(QStringLiteral("ProgressCompile"));
    ProgressCompile->setRange(0, 0);
    ProgressCompile->setTextVisible(false);
    ProgressCompile->hide();
    const auto richLabel = [](const char *name) {
        auto *label = new QLabel;
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::RichText);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        return label;
    };
    LabelFormula = richLabel("LabelFormula");
    LabelAccuracy = richLabel("LabelAccuracy");
    LabelRatio = richLabel("LabelRatio");
    auto *results = new QVBoxLayout;
    results->addWidget(ProgressCompile);
    results->addWidget(LabelFormula);
    results->addWidget(LabelAccuracy);
    results->addWidget(LabelRatio);
    results->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(tabs, 3);
    bottom->addLayout(results, 2);

    auto *report = ButtonReport = new QPushButton(QStringLiteral("编制报告..."));
    report->setObjectName(QStringLiteral("Button_Report"));
    report->setEnabled(false);
    connect(report, &QPushButton::clicked, this, &TFormCompileFormula::ButtonReportClick);
    auto *buttons = new QDialogButtonBox;
    ButtonOK = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setEnabled(false);
    QPushButton *cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(choiceRow);
    layout->addLayout(middle, 3);
    layout->addLayout(bottom, 2);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(report);
    buttonRow->addStretch();
    buttonRow->addWidget(buttons);
    layout->addLayout(buttonRow);

    connect(ButtonOpen, &QPushButton::clicked, this, &TFormCompileFormula::ButtonOpenClick);
    connect(ButtonStopRead, &QPushButton::clicked, this, &TFormCompileFormula::ButtonStopReadClick);
    connect(ComboBox_Dist, &QComboBox::currentIndexChanged, this, [this](int index) {
        Edit_CsCv->setEnabled(Distribution(index) == Distribution::P3);
        recompile();
    });
    connect(Edit_CsCv, &QDoubleSpinBox::valueChanged, this, &TFormCompileFormula::recompile);
    connect(ComboBox_Duration, &QComboBox::currentIndexChanged, this, &TFormCompileFormula::drawChart);
    connect(GridYears, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->column() == 0)
            yearTicked(item->row());
    });
    connect(copyYears, &QAction::triggered, this, &TFormCompileFormula::copyYears);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setReading(false);
    showCompilation();
}

TFormCompileFormula::~TFormCompileFormula()
{
    const std::lock_guard<std::mutex> lock(mailbox->lock);
    mailbox->dialog = nullptr;
    mailbox->reading = 0;   // a reading under way stops at its next megabyte
    mailbox->latest = 0;
}

std::optional<TotalFormula> TFormCompileFormula::formula() const
{
    if (!compiled)
        return std::nullopt;
    return compiled->fit.formula;
}

std::optional<double> TFormCompileFormula::peakRatio() const
{
    if (!compiled || !compiled->hasRatio)
        return std::nullopt;
    return FormulaRound(compiled->ratio.r);
}

void TFormCompileFormula::ButtonOpenClick()
{
    FileDialogRequest request;
    request.title = QStringLiteral("打开降雨资料或年最大值表");
    request.types = {{QStringLiteral("降雨资料或年最大值表(*.csv *.txt)"), QStringLiteral("*.csv *.txt")},
                     {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}};
    request.folder = recordFolder;
    request.mustExist = true;
    const FileDialogResult chosen = platform.openFileDialog(this, request);
    if (chosen.accepted)
        openFile(chosen.path);
}

void TFormCompileFormula::openFile(const QString &path)
{
    const int generation = ++readGeneration;
    mailbox->reading = generation;
    setReading(true);
    QThreadPool::globalInstance()->start([mailbox = mailbox, generation, path] {
        const auto progress = [&](double fraction) {
            if (mailbox->reading != generation)
                return false;
            mailbox->post([generation, fraction](TFormCompileFormula *d) { d->readProgress(generation, fraction); });
            return true;
        };
        auto outcome = std::make_shared<ReadOutcome>(ReadYears(path, progress));
        mailbox->post([generation, outcome](TFormCompileFormula *d) { d->readArrived(generation, *outcome); });
    });
}

void TFormCompileFormula::ButtonStopReadClick()
{
    // The reading stops at its next megabyte; whatever it brings is not looked at.
    ++readGeneration;
    mailbox->reading = 0;
    setReading(false);
}

void TFormCompileFormula::readProgress(int generation, double fraction)
{
    if (generation == readGeneration)
        ProgressRead->setValue(int(std::lround(fraction * 1000)));
}

void TFormCompileFormula::setReading(bool reading)
{
    ProgressRead->setValue(0);
    ProgressRead->setVisible(reading);
    ButtonStopRead->setVisible(reading);
    ButtonOpen->setEnabled(!reading);
}

void TFormCompileFormula::readArrived(int generation, const ReadOutcome &outcome)
{
    if (generation != readGeneration)
        return;
    setReading(false);
    if (outcome.cancelled)
        return;
    if (!outcome.failure.isEmpty()) {
        // What was shown before stays: a bad file takes nothing away.
        platform.messageBox(this, MessageIcon::Warning, Caption,
                            QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(outcome.path), outcome.failure));
        return;
    }
    recordFolder = QDir::toNativeSeparators(QFileInfo(outcome.path).absolutePath());
    years = outcome.maxima.years;
    fromRecord = outcome.fromRecord;
    step = outcome.maxima.step;
    source = QFileInfo(outcome.path).fileName();
    LabelSource->setText(fromRecord ? QStringLiteral("%1：%2年，时段%3分钟").arg(source).arg(years.size()).arg(step)
                                    : QStringLiteral("%1：年最大值表，%2年（无雨峰位置）").arg(source).arg(years.size()));
    fillYears();
    recompile();
}

void TFormCompileFormula::fillYears()
{
    const QSignalBlocker quiet(GridYears);
    GridYears->setRowCount(int(years.size()));
    for (int row = 0; row < int(years.size()); ++row) {
        const YearMaxima &y = years[size_t(row)];
        QTableWidgetItem *year = Cell(QString::number(y.year));
        year->setFlags(year->flags() | Qt::ItemIsUserCheckable);
        year->setCheckState(Qt::Checked);
        year->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        GridYears->setItem(row, 0, year);
        GridYears->setItem(row, 1, Cell(fromRecord ? FormatFixed(y.coverage * 100, 2) : QStringLiteral("-")));
    }
}

std::vector<YearMaxima> TFormCompileFormula::tickedYears() const
{
    std::vector<YearMaxima> ticked;
    for (int row = 0; row < GridYears->rowCount() && size_t(row) < years.size(); ++row)
        if (GridYears->item(row, 0)->checkState() == Qt::Checked)
            ticked.push_back(years[size_t(row)]);
    return ticked;
}

void TFormCompileFormula::yearTicked(int row)
{
    const size_t count = tickedYears().size();
    if (count < size_t(MinimumYears)) {
        // Too few years give no curve: the year stays in, and the person is told why.
        {
            const QSignalBlocker quiet(GridYears);
            GridYears->item(row, 0)->setCheckState(Qt::Checked);
        }
        try {
            CheckYearCount(count);
        } catch (const std::exception &e) {
            platform.messageBox(this, MessageIcon::Information, Caption, FailureMessage(e));
        }
        return;
    }
    recompile();
}

void TFormCompileFormula::recompile()
{
    const int generation = ++compileGeneration;
    mailbox->latest = generation;
    std::vector<YearMaxima> ticked = tickedYears();
    if (ticked.empty())
        return;
    compiled.reset();
    showCompilation();
    ProgressCompile->show();
    LabelFormula->setText(QStringLiteral("正在计算…"));
    const Distribution distribution = Distribution(ComboBox_Dist->currentIndex());
    const double csCv = Edit_CsCv->value();
    QThreadPool::globalInstance()->start([mailbox = mailbox, generation, ticked, distribution, csCv, ratio = qiRatio] {
        if (mailbox->latest != generation)
            return;
        auto outcome = std::make_shared<CompileOutcome>();
        outcome->years = ticked;
        try {
            outcome->compilation = CompileFormula(ticked, distribution, csCv, ratio);
        } catch (const std::exception &e) {
            outcome->failure = FailureMessage(e);
        } catch (...) {
            outcome->failure = QStringLiteral("编制失败");
        }
        mailbox->post([generation, outcome](TFormCompileFormula *d) { d->compileArrived(generation, *outcome); });
    });
}

void TFormCompileFormula::compileArrived(int generation, const CompileOutcome &outcome)
{
    if (generation != compileGeneration)
        return;
    ProgressCompile->hide();
    if (!outcome.failure.isEmpty()) {
        showFailure(outcome.failure);
        return;
    }
    compiled = outcome.compilation;
    usedYears = outcome.years;
    showCompilation();
}

void TFormCompileFormula::showFailure(const QString &reason)
{
    LabelFormula->setText(QStringLiteral("<span style='color:#c00000'>出错：%1</span>").arg(reason.toHtmlEscaped()));
    LabelAccuracy->clear();
    LabelRatio->clear();
}

void TFormCompileFormula::showCompilation()
{
    ButtonOK->setEnabled(compiled.has_value());
    ButtonReport->setEnabled(compiled.has_value() && reportBase.has_value());
    if (!compiled) {
        for (TextTableView *view : {GridMaxima, GridCurves, GridTable, GridRatio})
            view->table()->setTable({}, {});
        ChartFrequency->clearCurve();
        LabelFormula->setText(years.empty() ? QStringLiteral("打开资料后显示编制的公式。") : QString());
        LabelAccuracy->clear();
        LabelRatio->clear();
        LabelYears->clear();
        return;
    }
    const FormulaCompilation &c = *compiled;
    const size_t used = usedYears.size();
    QString note = QStringLiteral("用%1年（共%2年）；去掉勾即不用该年。").arg(used).arg(years.size());
    if (used < size_t(CodeYears))
        note += QStringLiteral("<br><span style='color:#c06000'>GB 50014 要求至少%1年资料。</span>").arg(CodeYears);
    LabelYears->setText(note);

    const auto show = [](TextTableView *view, CompilationTable table) {
        view->table()->setTable(std::move(table.heading), std::move(table.rows));
    };
    show(GridMaxima, MaximaRows(usedYears));
    show(GridCurves, CurveParameterRows(c));
    show(GridTable, IntensityRows(c));
    show(GridRatio, PeakRatioRows(c));

    LabelFormula->setText(FittedFormulaHtml(c.fit));
    LabelAccuracy->setText(FitAccuracyHtml(c.fit.accuracy));

    if (c.hasRatio)
        LabelRatio->setText(QStringLiteral("雨峰位置 r = <b>%1</b>（%2年资料，各历时 r<sub>t</sub> 按历时加权）")
                                .arg(RoundedCoefficient(c.ratio.r))
                                .arg(used));
    else
        LabelRatio->setText(QStringLiteral("年最大值表中没有雨峰位置；确定时峰值比例保持不变。"));
    drawChart();
}

void TFormCompileFormula::drawChart()
{
    if (!compiled)
        return;
    const size_t d = size_t(std::max(0, ComboBox_Duration->currentIndex()));
    std::vector<double> sample;
    for (const YearMaxima &y : usedYears)
        sample.push_back(y.depth[d]);
    ChartFrequency->setCurve(MaximaDurations[d], sample, compiled->curves[d]);
}

bool TFormCompileFormula::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == GridYears && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copyYears();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormCompileFormula::copyYears()
{
    std::vector<QStringList> rows;
    for (int row = 0; row < GridYears->rowCount(); ++row)
        rows.push_back({GridYears->item(row, 0)->text(), GridYears->item(row, 1)->text(),
                        GridYears->item(row, 0)->checkState() == Qt::Checked ? QStringLiteral("是") : QStringLiteral("否")});
    if (!rows.empty())
        platform.setClipboardText(
            TabSeparatedText({QStringLiteral("年份"), QStringLiteral("完整率(%)"), QStringLiteral("参加")}, rows));
}

void TFormCompileFormula::setReportBasis(const TExpressionObject &base, const TOptions &options)
{
    reportBase = base;
    reportOptions = options;
    ButtonReport->setEnabled(compiled.has_value());
}

void TFormCompileFormula::ButtonReportClick()
{
    if (!compiled || !reportBase)
        return;
    const FormulaCompilation compilation = *compiled;
    CompilationReportInput input;
    input.source = QFileInfo(source).fileName();
    input.maxima.step = step;
    input.maxima.years = usedYears;
    for (const YearMaxima &y : years)
        if (std::none_of(usedYears.begin(), usedYears.end(), [&](const YearMaxima &u) { return u.year == y.year; }))
            input.maxima.leftOut.push_back(y);
    input.maxima.ratio = compilation.ratio;
    input.fromRecord = fromRecord;
    input.distribution = Distribution(ComboBox_Dist->currentIndex());
    input.csCv = Edit_CsCv->value();
    input.compiled = compilation;
    input.options = reportOptions;

    FileDialogRequest request;
    request.title = QStringLiteral("保存编制报告");
    request.types = {{QStringLiteral("Word文档(*.docx)"), QStringLiteral("*.docx")}};
    request.fileName = QFileInfo(source).completeBaseName() + QStringLiteral(" 暴雨强度公式编制报告.docx");
    request.folder = recordFolder;
    request.overwritePrompt = true;
    request.defaultSuffix = QStringLiteral("docx");
    const FileDialogResult chosen = platform.saveFileDialog(this, request);
    if (!chosen.accepted)
        return;
    RunCommand(platform, this, [&] {
        input.storm = CompilationStorm(compilation, *reportBase, reportOptions);
        const ::GridTable grid(input.storm.points, GridFormatOf(reportOptions));
        CompilationReportPictures pictures;
        pictures.frequency = [&](size_t d, const QString &png) {
            std::vector<double> sample;
            for (const YearMaxima &y : usedYears)
                sample.push_back(y.depth[d]);
            FrequencyChart chart;
            chart.setCurve(compilation.durations[d], sample, compilation.curves[d]);
            WritePictureFile(png, chart.render(CompilationFrequencyPictureSize));
        };
        pictures.storm = [&](const QString &png) { WriteStormPicture(input.storm, reportOptions, grid, png, true); };
        QApplication::setOverrideCursor(Qt::WaitCursor);
        PackagePlacement placed = PackagePlacement::TargetBusy;
        try {
            placed = WriteCompilationReport(chosen.path, input, pictures, platform.tempFolder());
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        if (placed != PackagePlacement::Placed)
            throw TavrelError(PackagePlacementFailedMessage);
        platform.openWithDefaultProgram(chosen.path);
    });
}
