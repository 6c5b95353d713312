#include "FormTavrel.h"
#include "FormAddNewRainModel.h"
#include "FormOptions.h"
#include "GridData.h"
#include "ChartPanel.h"
#include "DocumentState.h"
#include "PictureEncoding.h"
#include "StormChart.h"
#include "StormComparison.h"
#include "WindowFont.h"

#include "core/ChartTexts.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"
#include "export/DataFileName.h"
#include "export/ExportFormats.h"
#include "export/SwmmExport.h"
#include "platform/Platform.h"
#include "settings/DesktopSettings.h"
#include "settings/FontText.h"
#include "settings/Options.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

const QString MainWindowCaption = QStringLiteral("Tavrel 芝加哥雨型 Ver" TAVREL_VERSION "（www.orvanta.example）");

namespace {
QLabel *HeadingLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFixedHeight(20);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(166, 202, 240));   // sky blue
    palette.setColor(QPalette::WindowText, QColor(128, 0, 0));   // maroon
    label->setPalette(palette);
    return label;
}

} // namespace

TFormTavrel::TFormTavrel(Platform &platform, TOptions &options, QWidget *parent)
    : QMainWindow(parent), platform(platform), options(options)
{
    setObjectName(QStringLiteral("FormTavrel"));
    setFont(WindowFont());

    // The settings folder; a folder that cannot be made leaves the defaults in force.
    settingsPath = ::SettingsFilePath(platform.appDataFolder(), true);

    buildLayout();
    Comparison = new StormComparison(*this, platform, ChartPanel, options, settingsPath);
    prepareDocument();
    buildMenus();
    setAcceptDrops(true);   // a rain-model file dropped on the window is opened

    LoadOptions(settingsPath, options);
    updateTitle();
    ApplyOptionsToMainWindow();

    programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.endsWith(QLatin1Char('/')))
        programFolder += QLatin1Char('/');

    // The window opens with the default storm; the new-storm dialog is made when it is
    // first asked for.
    SetStartValues(model);
    RefreshRainModel();

    // Any smaller, the chart's labels and a family's legend leave the curves no room.
    setMinimumSize(640, 480);
    resize(800, 480 + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    restoreDesktop();   // where the window and the labels were left, when it was remembered
}

TFormTavrel::~TFormTavrel() = default;

void TFormTavrel::buildLayout()
{
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1);

    ChartPanel = new StormChartPanel(Splitter1);
    Chart1 = ChartPanel->chart();

    PanelRight = new QWidget(Splitter1);
    PanelRight->setObjectName(QStringLiteral("PanelRight"));
    auto *right = new QVBoxLayout(PanelRight);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);

    auto *panelTop = new QWidget(PanelRight);
    panelTop->setObjectName(QStringLiteral("PanelTop"));
    panelTop->setFixedHeight(85);
    auto *heading = HeadingLabel(QStringLiteral("Label2"), QStringLiteral(" 功能按钮"), panelTop);
    heading->setGeometry(0, 0, 248, 20);
    heading->setMinimumWidth(248);
    auto *newStorm = new QPushButton(QStringLiteral("新建雨型"), panelTop);
    newStorm->setObjectName(QStringLiteral("ButtonNewRainModel"));
    newStorm->setGeometry(6, 25, 68, 25);
    auto *book = new QPushButton(QStringLiteral("计算书"), panelTop);
    book->setObjectName(QStringLiteral("Button_OutputResult"));
    book->setGeometry(78, 25, 68, 25);
    auto *excel = new QPushButton(QStringLiteral("输出Excel图表"), panelTop);
    excel->setObjectName(QStringLiteral("btn_OutputExcelPicData"));
    excel->setGeometry(6, 53, 140, 25);
    CheckBox_Overall_Rainfall = new QCheckBox(QStringLiteral("降雨总量"), panelTop);
    CheckBox_Overall_Rainfall->setObjectName(QStringLiteral("CheckBox_Overall_Rainfall"));
    CheckBox_Overall_Rainfall->setGeometry(151, 29, 90, 17);
    CheckBox_Overall_Rainfall->setChecked(true);
    CheckBox_Rainfall_Intensity = new QCheckBox(QStringLiteral("降雨强度"), panelTop);
    CheckBox_Rainfall_Intensity->setObjectName(QStringLiteral("CheckBox_Rainfall_Intensity"));
    CheckBox_Rainfall_Intensity->setGeometry(151, 57, 90, 17);
    CheckBox_Rainfall_Intensity->setChecked(true);
    right->addWidget(panelTop);

    auto *panelClient = new QWidget(PanelRight);
    panelClient->setObjectName(QStringLiteral("PanelClient"));
    auto *client = new QVBoxLayout(panelClient);
    client->setContentsMargins(0, 0, 0, 0);
    client->setSpacing(0);
    client->addWidget(HeadingLabel(QStringLiteral("Label1"), QStringLiteral(" 雨型数据"), panelClient));
    GridData = new GridDataView(panelClient);
    GridData->setObjectName(QStringLiteral("GridData"));
    GridData->setContextMenuPolicy(Qt::CustomContextMenu);
    client->addWidget(GridData);
    right->addWidget(panelClient, 1);

    Splitter1->addWidget(ChartPanel);
    Splitter1->addWidget(PanelRight);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({550, 248});
    setCentralWidget(central);

    connect(newStorm, &QPushButton::clicked, this, [this] { runCommand([this] { ButtonNewRainModelClick(); }); });
    connect(excel, &QPushButton::clicked, this, [this] { runCommand([this] { btn_OutputExcelPicDataClick(); }); });
    connect(book, &QPushButton::clicked, this, [this] { runCommand([this] { Button_OutputResultClick(); }); });
    connect(CheckBox_Overall_Rainfall, &QCheckBox::clicked, this,
            [this] { runCommand([this] { CheckBox_Rainfall_IntensityClick(CheckBox_Overall_Rainfall); }); });
    connect(CheckBox_Rainfall_Intensity, &QCheckBox::clicked, this,
            [this] { runCommand([this] { CheckBox_Rainfall_IntensityClick(CheckBox_Rainfall_Intensity); }); });
    connect(Chart1, &StormChart::chartMouseMoved, this, [this](QMouseEvent *event) { Chart1MouseMove(event->position()); });
    connect(Chart1, &StormChart::chartMousePressed, this, [this](QMouseEvent *event) {
        if (event->button() != Qt::LeftButton)
            return;
        int index = Chart1->lineIndexAt(event->position());
        if (index < 0)
            index = Chart1->barIndexAt(event->position());
        if (index >= 0)
            Series_Overall_RainfallClick(index);
    });
    connect(GridData, &GridDataView::rowClicked, this, [this](int row) { GridDataClick(row); });
}

void TFormTavrel::runCommand(const std::function<void()> &command)
{
    RunCommand(platform, this, command);
}

const GridTable &TFormTavrel::GridTextsShown() const
{
    return GridData->textModel()->table();
}

void TFormTavrel::ResetLabelPositions()
{
    const QList<QPoint> before = ChartPanel->labelPositions();
    ChartPanel->resetLabels();
    document->labelsMoved(QStringLiteral("恢复标签位置"), before, ChartPanel->labelPositions());
}

void TFormTavrel::RefreshRainModel()
{
    storm.points.clear();
    showLabelsAndSwitches();
    ComputeHyetograph();
    Comparison->refresh();
    ChartPanel->showTexts(ChartTextsOf(model, GridFormatOf(options)));
}

void TFormTavrel::ComputeHyetograph()
{
    storm = ComputeStorm(model, ComputeSettingsOf(options));
    // A storm that cannot be made leaves results of 0: the rows of the previous storm must
    // not stay beside the new parameters, where an export would write them under the
    // wrong name.
    model.Strom_Overall_Rainfall = storm.overall();
    model.Strom_Average_Rainfall_Intensity = storm.average();
    if (!storm.ok) {
        emptyResults();
        platform.messageBox(this, MessageIcon::Error, QStringLiteral("错误"), ErrorPrefix + storm.message);
        return;
    }
    FillGridAndSeries();
}

void TFormTavrel::emptyResults()
{
    GridData->textModel()->setTable(GridTable({}, GridFormatOf(options)));
    ChartPanel->clearStorm();
}

void TFormTavrel::FillGridAndSeries()
{
    GridData->setColumnWidths();
    // The chart lets go of the old storm first, so that a long storm's old and new series
    // are never held together.
    ChartPanel->clearStorm();
    GridData->textModel()->setTable(GridTable(storm.points, GridFormatOf(options)));
    ChartPanel->showStorm({storm.points, GridData->textModel()->table(), options.Int_TimeForamtidx,
                           ChartTextsOf(model, GridFormatOf(options)).bottomTitle});
    HideSomeSeries(nullptr);
}

void TFormTavrel::HideSomeSeries(QObject *sender)
{
    if (sender == CheckBox_Overall_Rainfall || sender == CheckBox_Rainfall_Intensity) {
        menu_Rainfall_Intensity->setChecked(CheckBox_Rainfall_Intensity->isChecked());
        menu_Overall_Rainfall->setChecked(CheckBox_Overall_Rainfall->isChecked());
    } else {
        CheckBox_Rainfall_Intensity->setChecked(menu_Rainfall_Intensity->isChecked());
        CheckBox_Overall_Rainfall->setChecked(menu_Overall_Rainfall->isChecked());
    }
    const bool bars = CheckBox_Overall_Rainfall->isChecked();
    const bool line = CheckBox_Rainfall_Intensity->isChecked();
    ChartPanel->showSeries(bars, line);
    Comparison->showLines(line);
    if (storm.points.empty())
        return;
    ChartPanel->scaleAxes(bars, line, Comparison->largestIntensity(storm.largestIntensity),
                          Comparison->largestCumulative(storm.largestCumulative));

    TOptions &o = options;
    if (CheckBox_Overall_Rainfall->isChecked() != o.Bool_ShowAxis_Overall_Rainfall
        || CheckBox_Rainfall_Intensity->isChecked() != o.Bool_ShowAxis_Rainfall_Intensity) {
        o.Bool_ShowAxis_Overall_Rainfall = CheckBox_Overall_Rainfall->isChecked();
        o.Bool_ShowAxis_Rainfall_Intensity = CheckBox_Rainfall_Intensity->isChecked();
        // Only the switches are stored: what else the record holds in memory alone (the
        // SWMM export's switch to hours:minutes and mm/h) stays out of the file.
        TOptions stored;
        LoadOptions(settingsPath, stored);
        stored.Bool_ShowAxis_Overall_Rainfall = o.Bool_ShowAxis_Overall_Rainfall;
        stored.Bool_ShowAxis_Rainfall_Intensity = o.Bool_ShowAxis_Rainfall_Intensity;
        SaveOptions(settingsPath, stored);
    }
}

void TFormTavrel::showLabelsAndSwitches()
{
    const TOptions &o = options;
    ChartPanel->showLabels(o);
    // Set from the stored settings, the switches write nothing back.
    CheckBox_Overall_Rainfall->setChecked(o.Bool_ShowAxis_Overall_Rainfall);
    CheckBox_Rainfall_Intensity->setChecked(o.Bool_ShowAxis_Rainfall_Intensity);
    HideSomeSeries(CheckBox_Overall_Rainfall);
}

void TFormTavrel::ApplyOptionsToMainWindow()
{
    showLabelsAndSwitches();
    ChartPanel->applyFonts(options);
}

void TFormTavrel::CheckBox_Rainfall_IntensityClick(QObject *sender)
{
    HideSomeSeries(sender);
}

void TFormTavrel::ButtonNewRainModelClick()
{
    if (!MaybeSaveChanges())
        return;
    const TExpressionObject before = model;
    if (!newStormDialog)
        newStormDialog = new TFormAddNewRainModel(platform, model, options, desktop->tableFolder, desktop->recordFolder, this);
    newStormDialog->prepareToShow();
    // The dialog wrote the storm; the document shows it, unnamed, as a change to take back.
    if (platform.showModal(newStormDialog) == QDialog::Accepted)
        document->newStorm(before, model);
}

void TFormTavrel::MenuCopyDataClick()
{
    if (GridData->textModel()->table().empty())
        return;
    platform.setClipboardText(GridData->copyText());
}

void TFormTavrel::Menu_OptionsClick()
{
    const std::unique_ptr<TFormOptions> dialog(new TFormOptions(platform, options, [this] { ApplyOptionsToMainWindow(); }, this));
    if (platform.showModal(dialog.get()) == QDialog::Accepted) {
        dialog->ReadOptionsFromDialog();
        SaveOptions(settingsPath, options);
    }
    // Cancelled or closed: the file still holds the settings from before the preview.
    LoadOptions(settingsPath, options);
    ApplyOptionsToMainWindow();
    // The derived coefficient follows the ratio now in force.
    if (model.F_type == 0)
        model.a1_167 = IntensityToFlow(model.a1, options.D_QI_ConversionRatio);
    else if (model.F_type == 1)
        model.a1 = FlowToIntensity(model.a1_167, options.D_QI_ConversionRatio);
    RefreshRainModel();
}

void TFormTavrel::Menu_ExitClick()
{
    close();
}

void TFormTavrel::Chart1MouseMove(const QPointF &pos)
{
    int index = Chart1->hoverIndex();
    if (index < 0)
        index = Chart1->barIndexAt(pos);
    if (index < 0) {
        GridData->setFramedRow(-1);
        return;
    }
    GridData->selectSingleRow(index);
    GridData->scrollTo(GridData->model()->index(index, 0));
    HighlightGridRow();
}

void TFormTavrel::HighlightGridRow()
{
    GridData->setFramedRow(GridData->currentIndex().row());
}

void TFormTavrel::Series_Overall_RainfallClick(int index)
{
    if (index < 0 || index >= GridData->model()->rowCount())
        return;
    GridData->selectSingleRow(index);
    GridData->scrollTo(GridData->model()->index(index, 0));
}

void TFormTavrel::GridDataClick(int row)
{
    if (row < 0)
        return;
    Chart1->setHoverIndex(row);
    // The frame marks the row the chart points at, which is now this one.
    GridData->setFramedRow(row);
}

