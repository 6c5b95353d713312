#pragma once
// The settings dialog: every control edits one field of the settings record, and every
// change is shown on the main window at once. Whether the changes are kept is the main
// window's business when the dialog closes.
#include "settings/FontText.h"
#include "settings/Options.h"
#include <QDialog>
#include <array>
#include <functional>

class Platform;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TFormOptions : public QDialog {
    Q_OBJECT
public:
    // Fills the controls from `options`, the record it edits. `applyToMainWindow` is the
    // live preview, run after every change has been taken into the record.
    TFormOptions(Platform &platform, TOptions &options, std::function<void()> applyToMainWindow,
                 QWidget *parent = nullptr);

    // Shows the record in the controls without taking the filling as a change.
    void FormCreate();
    // Copies every control into the record; does nothing while the controls are being filled.
    void ReadOptionsFromDialog();
    // The one change handler of every control.
    void ComboBox_TimeForamtChange();
    // The "..." buttons; the button's "tag" property (1 to 7) selects the font row.
    void btn_SelectFontClick(QObject *Sender);

    static constexpr int FontRows = 7;

private:
    void setSampleFont(int row, const TFontInfo &font);

    Platform &platform;
    TOptions &options;
    std::function<void()> applyToMainWindow;
    bool loading = false;
    QString precisionText;      // the precision field's text at its last change

    QCheckBox *CheckBox_ShowLabel_P;
    QCheckBox *CheckBox_ShowLabel_T;
    QCheckBox *CheckBox_ShowLabel_R;
    QCheckBox *CheckBox_ShowLabel_Overall_Rainfall;
    QCheckBox *CheckBox_ShowLabel_Average_Rainfall_Intensity;
    QCheckBox *CheckBox_ShowAxis_Overall_Rainfall;
    QCheckBox *CheckBox_ShowAxis_Rainfall_Intensity;
    QCheckBox *CheckBox_CalcByShow;
    QSpinBox *SpinEdit_Precision;
    QComboBox *ComboBox_TimeForamt;
    QComboBox *ComboBox_StormUnit;
    QComboBox *ComboBox_QI_ConversionRatio;
    QPushButton *Button_OK;
    QPushButton *Button_Cancle;

    // Rows from the top: left axis labels, left axis title, right axis labels, right axis
    // title, bottom axis labels, bottom axis title, information labels.
    std::array<QLabel *, FontRows> sampleLabels{};
    // The font of each sample as the settings file knows it. Kept beside the label because a
    // QFont cannot carry a system colour such as clWindowText, which must be written back
    // as the same name.
    std::array<TFontInfo, FontRows> sampleFonts{};
};
