#pragma once
// The formula from the city's table: an intensity-duration-frequency table pasted or
// opened, the formula fitted to it, its accuracy and a chart of the table against the
// fitted curves. Confirming hands the fitted formula to the new-storm dialog.
#include "core/IdfFit.h"
#include <QDialog>
#include <optional>

class Platform;
class QComboBox;
class QCustomPlot;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TFormFitTable : public QDialog {
    Q_OBJECT
public:
    // `qiRatio` is the settings' q-i ratio, for tables in L/(s*hm2).
    TFormFitTable(Platform &platform, double qiRatio, QWidget *parent = nullptr);

    // The fitted formula, coefficients rounded as shown; empty until a table fits.
    std::optional<TotalFormula> formula() const;

    void ButtonOpenClick();

private:
    void refit();
    void showFailure(const QString &reason);
    void showFit(const IdfFitResult &fit);
    void drawChart(const IdfFitResult &fit);

    Platform &platform;
    double qiRatio;
    std::optional<TotalFormula> fitted;

    QPlainTextEdit *EditTable;
    QComboBox *ComboBox_Unit;
    QComboBox *ComboBox_LgLn;
    QLabel *LabelFormula;
    QLabel *LabelAccuracy;
    QCustomPlot *ChartFit;
    QTableWidget *GridCells;
    QTableWidget *GridPeriods;
    QPushButton *ButtonOK;
};
