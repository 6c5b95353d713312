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
    Comparison = new StormComparison(*this, platform, ChartPanel, settingsPath);
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

QAction *TFormTavrel::addCommand(QMenu *menu, const QString &name, const QString &caption,
                                 void (TFormTavrel::*handler)())
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    menu->addAction(action);
    if (handler)
        connect(action, &QAction::triggered, this, [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    else
        action->setEnabled(false);   // its command comes with a later version
    return action;
}

void TFormTavrel::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu(QStringLiteral("文件(&F)"));
    addCommand(file, QStringLiteral("Menu_NewRainModel"), QStringLiteral("新建雨型..."), &TFormTavrel::ButtonNewRainModelClick);
    addCommand(file, QStringLiteral("Menu_Open1"), QStringLiteral("打开雨型..."), &TFormTavrel::Menu_Open1Click);
    addCommand(file, QStringLiteral("Menu_Save1"), QStringLiteral("保存雨型"), &TFormTavrel::Menu_Save1Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addCommand(file, QStringLiteral("Menu_SaveAs1"), QStringLiteral("雨型另存为..."), &TFormTavrel::Menu_SaveAs1Click);
    file->addSeparator();
    addCommand(file, QStringLiteral("Menu_Exit"), QStringLiteral("退出"), &TFormTavrel::Menu_ExitClick);

    auto *optionsMenu = new QAction(QStringLiteral("设置(&O)"), this);
    optionsMenu->setObjectName(QStringLiteral("Menu_Options"));
    connect(optionsMenu, &QAction::triggered, this, [this] { runCommand([this] { Menu_OptionsClick(); }); });
    bar->addAction(optionsMenu);

    QMenu *data = bar->addMenu(QStringLiteral("数据(&D)"));
    addCommand(data, QStringLiteral("Menu_outputResult"), QStringLiteral("输出计算书..."),
               &TFormTavrel::Button_OutputResultClick);
    data->addSeparator();
    QMenu *pictures = data->addMenu(QStringLiteral("保存雨型图片"));
    QMenu *tables = data->addMenu(QStringLiteral("保存雨型数据"));
    data->addSeparator();
    addCommand(data, QStringLiteral("mni_OutputExcelPicData"), QStringLiteral("输出Excel图表"),
               &TFormTavrel::btn_OutputExcelPicDataClick);

    PopupMenu_Picture = new QMenu(this);
    PopupMenu_Picture->setObjectName(QStringLiteral("PopupMenu_Picture"));
    menu_Overall_Rainfall = PopupMenu_Picture->addAction(QStringLiteral("显示总降雨量数据"));
    menu_Overall_Rainfall->setObjectName(QStringLiteral("menu_Overall_Rainfall"));
    menu_Rainfall_Intensity = PopupMenu_Picture->addAction(QStringLiteral("显示降雨强度数据"));
    menu_Rainfall_Intensity->setObjectName(QStringLiteral("menu_Rainfall_Intensity"));
    for (QAction *item : {menu_Overall_Rainfall, menu_Rainfall_Intensity}) {
        item->setCheckable(true);
        item->setChecked(true);
        connect(item, &QAction::triggered, this, [this, item] { runCommand([this, item] { CheckBox_Rainfall_IntensityClick(item); }); });
    }
    PopupMenu_Picture->addSeparator();
    addCommand(PopupMenu_Picture, QStringLiteral("menu_ResetLabels"), QStringLiteral("恢复标签位置"),
               &TFormTavrel::ResetLabelPositions);
    PopupMenu_Picture->addSeparator();

    PopupMenu_Data = new QMenu(this);
    PopupMenu_Data->setObjectName(QStringLiteral("PopupMenu_Data"));
    // Ctrl+C works while the table has the focus; the entry shows the keys.
    QAction *copy = addCommand(PopupMenu_Data, QStringLiteral("MenuCopyData"), QStringLiteral("复制"),
                               &TFormTavrel::MenuCopyDataClick);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    GridData->addAction(copy);
    PopupMenu_Data->addSeparator();

    const char *pictureCaptions[] = {"保存图片(BMP格式)...", "保存图片(JPG格式)...", "保存图片(PNG格式)..."};
    const char *pictureNames[] = {"BMP", "JPG", "PNG"};
    for (int tag = 1; tag <= 3; ++tag) {
        for (auto [menu, suffix] : {std::pair{pictures, "2"}, std::pair{PopupMenu_Picture, "1"}}) {
            QAction *action = addCommand(menu, QString::fromLatin1(pictureNames[tag - 1]) + QLatin1String(suffix),
                                         QString::fromUtf8(pictureCaptions[tag - 1]), nullptr);
            action->setProperty("tag", tag);
            action->setEnabled(true);
            connect(action, &QAction::triggered, this, [this, action] {
                runCommand([this, action] { Menu_SavePicClick(action->property("tag").toInt()); });
            });
        }
    }
    const char *tableCaptions[] = {"保存雨型数据(EXCEL格式)...", "保存雨型数据(WORD格式)...", "保存雨型数据(SWMM格式)..."};
    const char *tableNames[] = {"MenuSaveDataToExcel", "MenuSaveDataToWord", "MenuSaveDataToSWMM"};
    void (TFormTavrel::*tableHandlers[])() = {&TFormTavrel::MenuSaveDataToExcelClick, &TFormTavrel::MenuSaveDataToWordClick,
                                               &TFormTavrel::MenuSaveDataToSWMMClick};
    for (int k = 0; k < 3; ++k) {
        addCommand(tables, QString::fromLatin1(tableNames[k]) + QLatin1Char('1'), QString::fromUtf8(tableCaptions[k]),
                   tableHandlers[k]);
        addCommand(PopupMenu_Data, QString::fromLatin1(tableNames[k]), QString::fromUtf8(tableCaptions[k]), tableHandlers[k]);
    }

    bar->addMenu(Comparison->buildMenu(this));
    QMenu *help = bar->addMenu(QStringLiteral("帮助(&H)"));
    addCommand(help, QStringLiteral("Menu_help1"), QStringLiteral("帮助"), &TFormTavrel::Menu_help1Click);
    addCommand(help, QStringLiteral("Menu_Update"), QStringLiteral("检查更新..."), &TFormTavrel::Menu_UpdateClick);
    help->addSeparator();
    addCommand(help, QStringLiteral("Menu_AddQQ"), QStringLiteral("加入Tavrel用户交流群..."), &TFormTavrel::Menu_AddQQClick);
    help->addSeparator();
    addCommand(help, QStringLiteral("Menu_About"), QStringLiteral("关于"), &TFormTavrel::Menu_AboutClick);
    buildDocumentCommands(file);

    connect(Chart1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu_Picture->popup(Chart1->mapToGlobal(pos)); });
    connect(GridData, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu_Data->popup(GridData->viewport()->mapToGlobal(pos)); });
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
    points.clear();
    showLabelsAndSwitches();
    ComputeHyetograph();
    Comparison->refresh();
    ChartPanel->showTexts(ChartTextsOf(model, gridFormat()));
}

GridFormat TFormTavrel::gridFormat() const
{
    return {options.Int_TimeForamtidx, options.Int_StormUnitidx, options.Int_Precision};
}

void TFormTavrel::ComputeHyetograph()
{
    const TOptions &o = options;
    HyetographResult result = ComputeHyetographRows(model, {o.Int_StormUnitidx, o.Bool_CalcByShow, o.Int_Precision});
    if (!result.ok) {
        // Rows of the previous storm must not stay beside the new parameters, where an
        // export would write them under the wrong name.
        emptyResults();
        platform.messageBox(this, MessageIcon::Error, QStringLiteral("错误"), ErrorPrefix + result.message);
        return;
    }
    points = std::move(result.points);
    model.Strom_Overall_Rainfall = result.overall;
    model.Strom_Average_Rainfall_Intensity = result.average;
    FillGridAndSeries();
}

void TFormTavrel::emptyResults()
{
    points.clear();
    model.Strom_Overall_Rainfall = 0;
    model.Strom_Average_Rainfall_Intensity = 0;
    GridData->textModel()->setTable(GridTable({}, gridFormat()));
    ChartPanel->clearStorm();
}

void TFormTavrel::FillGridAndSeries()
{
    GridData->setColumnWidths();
    Max_Rainfall_Intensity = 0;
    Max_Overall_Rainfall = 0;
    for (const HyetographPoint &p : points) {
        Max_Rainfall_Intensity = std::max(Max_Rainfall_Intensity, p.intensity);
        Max_Overall_Rainfall = std::max(Max_Overall_Rainfall, p.cumulative);
    }
    // The chart lets go of the old storm first, so that a long storm's old and new series
    // are never held together.
    ChartPanel->clearStorm();
    GridData->textModel()->setTable(GridTable(points, gridFormat()));
    ChartPanel->showStorm({points, GridData->textModel()->table(), options.Int_TimeForamtidx,
                           ChartTextsOf(model, gridFormat()).bottomTitle});
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
    if (points.empty())
        return;
    ChartPanel->scaleAxes(bars, line, Comparison->largestIntensity(Max_Rainfall_Intensity),
                          Comparison->largestCumulative(Max_Overall_Rainfall));

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
        newStormDialog = new TFormAddNewRainModel(platform, model, options, this);
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

