#pragma once
// Comparing storms in the main window (对比): the user chooses return periods or peak
// ratios; every refresh computes that family for the current storm, draws the other
// storms' lines over the chart, fills the side-by-side table, its summary and the
// current storm's design-storm check, and the family's files are written from here.
#include "core/StormFamily.h"
#include "settings/CompareChoice.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class FamilyChartLines;
class Platform;
class QMenu;
class QWidget;
class StormChartPanel;
class TFormCompareTables;
struct ExportFormat;
struct Storm;
struct TOptions;
struct FileTypeEntry;

// What the comparison needs of the window it draws in, and nothing more.
class ComparisonHost {
public:
    // The storm shown, with its rows; the family is made of its formula.
    virtual const Storm &currentStorm() const = 0;
    // The axes again, for what the chart draws now.
    virtual void rescaleChart() = 0;
    // A family's file, through the window's one export routine.
    virtual void saveFamily(const ExportFormat &format) = 0;
    // The parent of the dialogs and tables, and where they are placed.
    virtual QWidget *hostWindow() = 0;

protected:
    ~ComparisonHost() = default;
};

// Where a window of `size` goes beside the main window `main` on `screen`, keeping
// `covered` (the chart) in view.
QPoint PlaceBeside(const QRect &main, const QRect &covered, const QSize &size, const QRect &screen);

class StormComparison : public QObject {
    Q_OBJECT
public:
    // Reads the settings in force from `options`, which outlives it.
    StormComparison(ComparisonHost &host, Platform &platform, StormChartPanel *panel, const TOptions &options,
                    const QString &settingsPath);
    ~StormComparison() override;

    // After the window has computed its storm: the family again, and the axes for it.
    void refresh();
    // The family's lines go with the chart's intensity line.
    void showLines(bool line);
    // The axis maxima: the largest of every storm compared, or the current storm's own.
    double largestIntensity(double current) const;
    double largestCumulative(double current) const;

    bool active() const { return comparing; }
    const TCompareChoice &choice() const { return chosen; }
    const StormFamily &family() const { return storms; }
    const SideBySideTable &table() const { return sideBySide; }
    const FamilyChartLines &lines() const { return *chartLines; }
    TFormCompareTables *tables() const { return tablesWindow; }

    // The chart as it shows the current storm alone, while a picture of that storm (the
    // calculation book's) is drawn; the family comes back when the guard goes.
    class SingleStormView {
    public:
        explicit SingleStormView(StormComparison &comparison);
        ~SingleStormView();
        SingleStormView(const SingleStormView &) = delete;
        SingleStormView &operator=(const SingleStormView &) = delete;

    private:
        StormComparison &comparison;
        bool wasShown;
    };

    // Commands.
    void CompareStormsClick();
    void CompareTablesClick();
    void DesignStormCheckClick();
    void SaveCompareSwmmClick();
    void SaveCompareCsvClick();
    void SaveCompareSummaryClick();
    void SaveComparePictureClick();
    void EndCompareClick();

private:
    void computeFamily();
    void fillTables();
    void fillCheck();
    TFormCompareTables *ensureTables();
    void showTables(int page);

    ComparisonHost &host;
    Platform &platform;
    StormChartPanel *panel;
    const TOptions &options;
    QString settingsPath;
    TCompareChoice chosen;
    bool comparing = false;
    bool single = false;        // a SingleStormView is in force
    StormFamily storms;
    SideBySideTable sideBySide;
    std::unique_ptr<FamilyChartLines> chartLines;
    TFormCompareTables *tablesWindow = nullptr;
};
