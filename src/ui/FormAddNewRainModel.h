#pragma once
// The new-storm dialog: the intensity formula and the design storm, checked and written
// into the current storm model.
#include "settings/Options.h"
#include <QDialog>

class Platform;
struct TExpressionObject;
struct TotalFormula;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormAddNewRainModel : public QDialog {
    Q_OBJECT
public:
    // Works on `model`, the window's storm. Reads the q-i ratio in force from `options`
    // when it derives the other coefficient. `tableFolder` and `recordFolder`, kept by the
    // window between runs, are where the fit and compile dialogs open their files, and
    // follow the last one opened.
    TFormAddNewRainModel(Platform &platform, TExpressionObject &model, const TOptions &options,
                         QString &tableFolder, QString &recordFolder, QWidget *parent = nullptr);

    // Fills the fields from the model. Runs by itself whenever the dialog is shown.
    void prepareToShow();

    void ButtonOKClick();
    void ButtonCancleClick();
    void cbbStormTypeChange();
    // Fits the formula to a table in its own dialog and fills the formula fields with it.
    void ButtonFitTableClick();
    // Compiles the formula from a rain record in its own dialog and fills the formula
    // fields with it, and the peak ratio with the record's r.
    void ButtonCompileFormulaClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void confirm();
    void refuse(QLineEdit *field, const QString &message);
    bool fillFormula(const TotalFormula &formula);

    Platform &platform;
    TExpressionObject &model;
    const TOptions &options;
    QString &tableFolder;
    QString &recordFolder;

    QComboBox *cbbStormType;
    QLabel *Label1;
    QLineEdit *Edit_a1;
    QLineEdit *Edit_c;
    QComboBox *ComboBox_LgLn;
    QLineEdit *Edit_b;
    QLineEdit *Edit_n;
    QLabel *lblStormDanWei;
    QLineEdit *EditRepeatYear;
    QLineEdit *EditStormTime;
    QLineEdit *EditStormPercent;
    QLineEdit *EditStep;
    QPushButton *ButtonOK;
    QPushButton *ButtonCancle;
    QPushButton *ButtonFitTable;
    QPushButton *ButtonCompileFormula;
};
