#pragma once
// The main window: owns the storm model and its rows, runs the refresh cycle and every
// command of the menus, buttons and context menus.
#include "core/GridText.h"
#include "core/Hyetograph.h"
#include "core/Storm.h"
#include "core/StormModel.h"
#include "settings/Options.h"
#include "StormComparison.h"

#include <QKeySequence>
#include <QMainWindow>
#include <functional>
#include <QPoint>
#include <memory>
#include <vector>

class Platform;
struct FileTypeEntry;
struct ExportFormat;
struct ExportInput;
enum class PackagePlacement;
class StormChart;
class StormChartPanel;
class StormComparison;
class GridDataView;
class TFormAddNewRainModel;
class TFormAbout;
class StormDocument;
class RecentFilesMenu;
struct TDesktopSettings;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QWidget;

extern const QString MainWindowCaption;

class TFormTavrel : public QMainWindow, private ComparisonHost {
    Q_OBJECT
public:
    // The window works on `options`, which its owner keeps alive as long as the window.
    TFormTavrel(Platform &platform, TOptions &options, QWidget *parent = nullptr);
    ~TFormTavrel() override;

    // The state other parts of the program work on.
    TExpressionObject &Model() { return model; }
    TOptions &Options() { return options; }
    // The storm shown: its rows, results and largest values.
    const Storm &CurrentStorm() const { return storm; }
    const std::vector<HyetographPoint> &StormPoints() const { return storm.points; }
    const GridTable &GridTextsShown() const;
    QString SettingsFilePath() const { return settingsPath; }
    QString ProgramFolder() const { return programFolder; }
    // Where the help command looks for the manual; the executable's folder by default.
    void SetProgramFolder(const QString &folder);
    QString CurrentFileName() const;
    StormDocument &Document() const { return *document; }
    // What the window remembers between runs (its place, labels, folders, recent files).
    const TDesktopSettings &Remembered() const { return *desktop; }

    void RefreshRainModel();
    void ApplyOptionsToMainWindow();
    void HideSomeSeries(QObject *sender);

    // Commands.
    void ButtonNewRainModelClick();
    void Menu_Open1Click();
    // Opens a rain-model file by name (what 打开雨型... does after its dialog, and what a
    // file dropped on the window does): a wrong signature is refused with its message box
    // and changes nothing; other failures go to the general error report.
    void OpenRainModelFile(const QString &path);
    // A file named on the command line: opened like that, every failure shown.
    void OpenFileFromCommandLine(const QString &path);
    // Copies the selected rows of the table (every row when none is) with its heading row.
    void MenuCopyDataClick();
    void Menu_Save1Click();
    void Menu_SaveAs1Click();
    bool SaveRainModelFile(const QString &name);
    void Menu_ExitClick();
    void Menu_OptionsClick();
    void Menu_SavePicClick(int tag);
    // Every save of a table, a picture or a family: its guard, the SWMM switch, the save
    // dialog, the writing and the opening of the written file, as the format says.
    void RunExport(const ExportFormat &format);
    // Writes the chart exactly as shown, labels included, by the path's extension (.bmp,
    // .jpg, .png in any letter case); any other extension writes nothing.
    void SaveChartPicture(const QString &path);
    void MenuSaveDataToExcelClick();
    void MenuSaveDataToSWMMClick();
    void MenuSaveDataToWordClick();
    void btn_OutputExcelPicDataClick();
    void Button_OutputResultClick();
    // The calculation book of the current storm, as the command writes it after its dialog.
    PackagePlacement WriteCalcBookFile(const QString &path);
    // The chart as SaveChartPicture writes it, at the book's picture size for this window's
    // pixel density; the chart is back in its place afterwards, whatever happened.
    void SaveBookChartPicture(const QString &path);
    void CheckBox_Rainfall_IntensityClick(QObject *sender);
    void Menu_help1Click();
    void Menu_UpdateClick();
    void Menu_AddQQClick();
    void Menu_AboutClick();
    // Asks whether to save a storm with changes; false when the person cancels or the save
    // did not happen, so the work must not be dropped.
    bool MaybeSaveChanges();
    void OpenRecentFile(const QString &path);
    void Menu_PrintClick();
    void CopyPictureClick();

    // Chart and grid links.
    void Chart1MouseMove(const QPointF &pos);
    void Series_Overall_RainfallClick(int index);
    void GridDataClick(int row);
    void HighlightGridRow();
    // Puts the five information labels back where the window starts them.
    void ResetLabelPositions();

    StormChart *chart() const { return Chart1; }
    GridDataView *grid() const { return GridData; }
    Platform &platformSeam() const { return platform; }
    StormComparison *comparison() const { return Comparison; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // What the comparison draws with.
    const Storm &currentStorm() const override { return storm; }
    void rescaleChart() override { HideSomeSeries(nullptr); }
    void saveFamily(const ExportFormat &format) override { RunExport(format); }
    QWidget *hostWindow() override { return this; }

    void buildLayout();
    // Every menu and context menu, with `command` making each entry.
    void buildMenus();
    QAction *command(const char *name, const QString &caption, const QKeySequence &key, const std::function<void()> &handler);
    void runCommand(const std::function<void()> &command);
    bool confirmChangedName(const QString &chosen, const QString &changed, const QString &caption);
    // The format's save dialog, in the folder of the last export; the chosen name with the
    // format's extension, or empty when the user cancels.
    QString askExportFileName(const ExportFormat &format, const ExportInput &input);
    // Opens a written file with the desktop's program for it (or the text editor), and
    // says so when there is none.
    void openWrittenFile(const QString &path, bool inTextEditor = false);
    ExportInput exportInput(const ExportFormat &format);
    void ComputeHyetograph();
    void FillGridAndSeries();
    void emptyResults();
    void showLabelsAndSwitches();
    // The document habits: unsaved changes, undo, recent files, remembered places, printing.
    void prepareDocument();
    void restoreDesktop();
    // Writes what the window remembers; done as it closes, like the settings' own moments.
    void rememberDesktop();
    // The folder of a file opened or written, per kind; a rain-model file heads the recent files.
    void rememberFile(QString TDesktopSettings::*kind, const QString &path);
    QString folderFor(QString TDesktopSettings::*kind) const;
    void updateTitle();

    Platform &platform;
    TOptions &options;
    TExpressionObject model;
    Storm storm;
    QString settingsPath;
    QString programFolder;
    StormDocument *document = nullptr;
    RecentFilesMenu *recentMenu = nullptr;
    std::unique_ptr<TDesktopSettings> desktop;
    TFormAddNewRainModel *newStormDialog = nullptr;
    TFormAbout *aboutForm = nullptr;

    StormChartPanel *ChartPanel = nullptr;
    StormComparison *Comparison = nullptr;
    StormChart *Chart1 = nullptr;
    QSplitter *Splitter1 = nullptr;
    QWidget *PanelRight = nullptr;
    GridDataView *GridData = nullptr;
    QCheckBox *CheckBox_Overall_Rainfall = nullptr;
    QCheckBox *CheckBox_Rainfall_Intensity = nullptr;
    QAction *menu_Overall_Rainfall = nullptr;
    QAction *menu_Rainfall_Intensity = nullptr;
    QMenu *PopupMenu_Picture = nullptr;
    QMenu *PopupMenu_Data = nullptr;
};
