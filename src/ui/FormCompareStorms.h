#pragma once
// The choice of storms to compare with the current one: return periods ticked from the
// usual list or typed, or several peak ratios, for the current formula and duration.
#include "settings/CompareChoice.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QLineEdit;
class QRadioButton;

class TFormCompareStorms : public QDialog {
    Q_OBJECT
public:
    // `current` names the storm the window shows, which is always compared.
    TFormCompareStorms(const TCompareChoice &choice, const QString &current, QWidget *parent = nullptr);

    // The controls as a choice (typed texts as they stand; they are checked when compared).
    TCompareChoice choice() const;

    static const std::vector<double> &UsualPeriods();

private:
    void showChoice(const TCompareChoice &choice);
    void enableRows();

    QRadioButton *byPeriod;
    QRadioButton *byRatio;
    std::vector<QCheckBox *> periodBoxes;
    QLineEdit *otherPeriods;
    QLineEdit *ratios;
};
