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
class TFormTavrel;
struct FileTypeEntry;

// Where a window of `size` goes beside the main window `main` on `screen`, keeping
// `covered` (the chart) in view.
QPoint PlaceBeside(const QRect &main, const QRect &covered, const QSize &size, const QRect &screen);

class StormComparison : public QObject {
    Q_OBJECT
public:
    StormComparison(TFormTavrel &window, Platform &platform, StormChartPanel *panel, const QString &settingsPath);
    ~StormComparison() override;

    // The 对比 menu, its commands run through the general error report.
    QMenu *buildMenu(QWidget *parent);

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

    TFormTavrel &window;
    Platform &platform;
    StormChartPanel *panel;
    QString settingsPath;
    TCompareChoice chosen;
    bool comparing = false;
    bool single = false;        // a SingleStormView is in force
    StormFamily storms;
    SideBySideTable sideBySide;
    std::unique_ptr<FamilyChartLines> chartLines;
    TFormCompareTables *tablesWindow = nullptr;
};
