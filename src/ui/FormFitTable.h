#pragma once
// The formula from the city's table: an intensity-duration-frequency table pasted or
// opened, the formula fitted to it, its accuracy and a chart of the table against the
// fitted curves. Confirming hands the fitted formula to the new-storm dialog. A large table
// takes seconds to fit, so the fit runs on a worker thread and the dialog stays live.
#include "core/IdfFit.h"
#include <QDialog>
#include <memory>
#include <optional>

class Platform;
class QComboBox;
class QCustomPlot;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

struct FitMailbox;
struct FitOutcome;

class TFormFitTable : public QDialog {
    Q_OBJECT
public:
    // `qiRatio` is the settings' q-i ratio, for tables in L/(s*hm2). `tableFolder` is where
    // "打开..." starts, the folder of the last table opened; opening one moves it there.
    TFormFitTable(Platform &platform, double qiRatio, QString &tableFolder, QWidget *parent = nullptr);
    ~TFormFitTable() override;

    // The fitted formula, coefficients rounded as shown; empty until a table fits.
    std::optional<TotalFormula> formula() const;

    void ButtonOpenClick();

private:
    void refit();
    void fitArrived(int generation, const FitOutcome &outcome);
    void setBusy(bool busy);
    void showFailure(const QString &reason);
    void showFit(const FitOutcome &outcome);
    void drawChart(const IdfFitResult &fit);

    Platform &platform;
    double qiRatio;
    QString &tableFolder;
    std::optional<TotalFormula> fitted;
    // Each change starts a fit with the next number; only the latest number's result is shown.
    int fitGeneration = 0;
    std::shared_ptr<FitMailbox> mailbox;

    QPlainTextEdit *EditTable;
    QComboBox *ComboBox_Unit;
    QComboBox *ComboBox_LgLn;
    QLabel *LabelFormula;
    QLabel *LabelAccuracy;
    QLabel *LabelUnitWarning;
    QProgressBar *ProgressFit;
    QCustomPlot *ChartFit;
    QTableWidget *GridCells;
    QTableWidget *GridPeriods;
    QPushButton *ButtonOK;
};
