// Every menu of the main window, built here and only here: the menu bar, the chart's and
// the table's context menus. Each entry is made by `command` from its object name, caption,
// key and handler, and runs inside the general error report.
#include "FormTavrel.h"
#include "DocumentState.h"
#include "GridData.h"
#include "RecentFiles.h"
#include "StormChart.h"
#include "StormComparison.h"

#include "settings/DesktopSettings.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QAction *TFormTavrel::command(const char *name, const QString &caption, const QKeySequence &key,
                              const std::function<void()> &handler)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, [this, handler] { runCommand(handler); });
    return action;
}

void TFormTavrel::buildMenus()
{
    // The handlers outlive this function: they hold the window itself, not these helpers.
    TFormTavrel *const window = this;
    const auto handler = [window](void (TFormTavrel::*method)()) {
        return std::function<void()>([window, method] { (window->*method)(); });
    };
    StormComparison *const comparison = Comparison;
    const auto onComparison = [comparison](void (StormComparison::*method)()) {
        return std::function<void()>([comparison, method] { (comparison->*method)(); });
    };
    QMenuBar *bar = menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(command("Menu_NewRainModel", QStringLiteral("新建雨型..."), QKeySequence(Qt::CTRL | Qt::Key_N),
                            handler(&TFormTavrel::ButtonNewRainModelClick)));
    file->addAction(command("Menu_Open1", QStringLiteral("打开雨型..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                            handler(&TFormTavrel::Menu_Open1Click)));
    recentMenu = new RecentFilesMenu(this);
    recentMenu->setFiles(desktop->recentFiles);
    file->addMenu(recentMenu);
    connect(recentMenu, &RecentFilesMenu::fileChosen, this,
            [this](const QString &path) { runCommand([this, path] { OpenRecentFile(path); }); });
    connect(recentMenu, &RecentFilesMenu::clearChosen, this, [this] {
        desktop->recentFiles.clear();
        recentMenu->setFiles({});
    });
    file->addAction(command("Menu_Save1", QStringLiteral("保存雨型"), QKeySequence(Qt::CTRL | Qt::Key_S),
                            handler(&TFormTavrel::Menu_Save1Click)));
    file->addAction(command("Menu_SaveAs1", QStringLiteral("雨型另存为..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                            handler(&TFormTavrel::Menu_SaveAs1Click)));
    file->addSeparator();
    file->addAction(command("Menu_Print", QStringLiteral("打印..."), QKeySequence(Qt::CTRL | Qt::Key_P),
                            handler(&TFormTavrel::Menu_PrintClick)));
    file->addSeparator();
    file->addAction(command("Menu_Exit", QStringLiteral("退出"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                            handler(&TFormTavrel::Menu_ExitClick)));

    auto *edit = bar->addMenu(QStringLiteral("编辑(&E)"));
    edit->setObjectName(QStringLiteral("Menu_Edit"));
    const auto run = [this](const std::function<void()> &step) { runCommand(step); };
    QAction *undo = document->makeUndoAction(this, run);
    undo->setObjectName(QStringLiteral("Menu_Undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = document->makeRedoAction(this, run);
    redo->setObjectName(QStringLiteral("Menu_Redo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addActions({undo, redo});
    edit->addSeparator();
    QAction *copyPicture = command("Menu_CopyPicture", QStringLiteral("复制图片"), {}, handler(&TFormTavrel::CopyPictureClick));
    edit->addAction(copyPicture);

    bar->addAction(command("Menu_Options", QStringLiteral("设置(&O)"), {}, handler(&TFormTavrel::Menu_OptionsClick)));

    QMenu *data = bar->addMenu(QStringLiteral("数据(&D)"));
    data->addAction(command("Menu_outputResult", QStringLiteral("输出计算书..."), {}, handler(&TFormTavrel::Button_OutputResultClick)));
    data->addSeparator();
    QMenu *pictures = data->addMenu(QStringLiteral("保存雨型图片"));
    QMenu *tables = data->addMenu(QStringLiteral("保存雨型数据"));
    data->addSeparator();
    data->addAction(command("mni_OutputExcelPicData", QStringLiteral("输出Excel图表"), {},
                            handler(&TFormTavrel::btn_OutputExcelPicDataClick)));

    PopupMenu_Picture = new QMenu(this);
    PopupMenu_Picture->setObjectName(QStringLiteral("PopupMenu_Picture"));
    menu_Overall_Rainfall = command("menu_Overall_Rainfall", QStringLiteral("显示总降雨量数据"), {},
                                    [this] { CheckBox_Rainfall_IntensityClick(menu_Overall_Rainfall); });
    menu_Rainfall_Intensity = command("menu_Rainfall_Intensity", QStringLiteral("显示降雨强度数据"), {},
                                      [this] { CheckBox_Rainfall_IntensityClick(menu_Rainfall_Intensity); });
    for (QAction *item : {menu_Overall_Rainfall, menu_Rainfall_Intensity}) {
        item->setCheckable(true);
        item->setChecked(true);
        PopupMenu_Picture->addAction(item);
    }
    PopupMenu_Picture->addSeparator();
    PopupMenu_Picture->addAction(command("menu_ResetLabels", QStringLiteral("恢复标签位置"), {},
                                         handler(&TFormTavrel::ResetLabelPositions)));
    PopupMenu_Picture->addSeparator();
    PopupMenu_Picture->addAction(copyPicture);

    PopupMenu_Data = new QMenu(this);
    PopupMenu_Data->setObjectName(QStringLiteral("PopupMenu_Data"));
    // Ctrl+C works while the table has the focus; the entry shows the keys.
    QAction *copy = command("MenuCopyData", QStringLiteral("复制"), QKeySequence::Copy, handler(&TFormTavrel::MenuCopyDataClick));
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    GridData->addAction(copy);
    PopupMenu_Data->addAction(copy);
    PopupMenu_Data->addSeparator();

    const char *pictureCaptions[] = {"保存图片(BMP格式)...", "保存图片(JPG格式)...", "保存图片(PNG格式)..."};
    const char *pictureNames[][2] = {{"BMP2", "BMP1"}, {"JPG2", "JPG1"}, {"PNG2", "PNG1"}};
    for (int tag = 1; tag <= 3; ++tag) {
        for (int place = 0; place < 2; ++place) {
            QAction *action = command(pictureNames[tag - 1][place], QString::fromUtf8(pictureCaptions[tag - 1]), {},
                                      [this, tag] { Menu_SavePicClick(tag); });
            action->setProperty("tag", tag);
            (place == 0 ? pictures : PopupMenu_Picture)->addAction(action);
        }
    }
    const char *tableCaptions[] = {"保存雨型数据(EXCEL格式)...", "保存雨型数据(WORD格式)...", "保存雨型数据(SWMM格式)..."};
    const char *tableNames[][2] = {{"MenuSaveDataToExcel1", "MenuSaveDataToExcel"},
                                   {"MenuSaveDataToWord1", "MenuSaveDataToWord"},
                                   {"MenuSaveDataToSWMM1", "MenuSaveDataToSWMM"}};
    void (TFormTavrel::*tableHandlers[])() = {&TFormTavrel::MenuSaveDataToExcelClick, &TFormTavrel::MenuSaveDataToWordClick,
                                               &TFormTavrel::MenuSaveDataToSWMMClick};
    for (int k = 0; k < 3; ++k) {
        tables->addAction(command(tableNames[k][0], QString::fromUtf8(tableCaptions[k]), {}, handler(tableHandlers[k])));
        PopupMenu_Data->addAction(command(tableNames[k][1], QString::fromUtf8(tableCaptions[k]), {}, handler(tableHandlers[k])));
    }

    QMenu *compare = bar->addMenu(QStringLiteral("对比(&C)"));
    compare->setObjectName(QStringLiteral("Menu_Compare"));
    compare->addAction(command("Menu_CompareStorms", QStringLiteral("对比暴雨..."), {}, onComparison(&StormComparison::CompareStormsClick)));
    compare->addAction(command("Menu_CompareTables", QStringLiteral("对比表和汇总"), {}, onComparison(&StormComparison::CompareTablesClick)));
    compare->addAction(command("Menu_DesignStormCheck", QStringLiteral("设计暴雨校核"), {},
                               onComparison(&StormComparison::DesignStormCheckClick)));
    compare->addSeparator();
    compare->addAction(command("Menu_CompareSaveSwmm", QStringLiteral("保存对比数据(SWMM输入文件)..."), {},
                               onComparison(&StormComparison::SaveCompareSwmmClick)));
    compare->addAction(command("Menu_CompareSaveCsv", QStringLiteral("保存对比数据(EXCEL格式)..."), {},
                               onComparison(&StormComparison::SaveCompareCsvClick)));
    compare->addAction(command("Menu_CompareSaveSummary", QStringLiteral("保存对比汇总(EXCEL格式)..."), {},
                               onComparison(&StormComparison::SaveCompareSummaryClick)));
    compare->addAction(command("Menu_CompareSavePicture", QStringLiteral("保存对比图片..."), {},
                               onComparison(&StormComparison::SaveComparePictureClick)));
    compare->addSeparator();
    compare->addAction(command("Menu_CompareEnd", QStringLiteral("结束对比"), {}, onComparison(&StormComparison::EndCompareClick)));

    QMenu *help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(command("Menu_help1", QStringLiteral("帮助"), QKeySequence(Qt::Key_F1), handler(&TFormTavrel::Menu_help1Click)));
    help->addAction(command("Menu_Update", QStringLiteral("检查更新..."), {}, handler(&TFormTavrel::Menu_UpdateClick)));
    help->addSeparator();
    help->addAction(command("Menu_AddQQ", QStringLiteral("加入Tavrel用户交流群..."), {}, handler(&TFormTavrel::Menu_AddQQClick)));
    help->addSeparator();
    help->addAction(command("Menu_About", QStringLiteral("关于"), {}, handler(&TFormTavrel::Menu_AboutClick)));

    connect(Chart1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu_Picture->popup(Chart1->mapToGlobal(pos)); });
    connect(GridData, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu_Data->popup(GridData->viewport()->mapToGlobal(pos)); });
}
