#include "ui/FormOptions.h"
#include "WindowFont.h"
#include "core/Numbers.h"
#include "platform/Platform.h"
#include "settings/Options.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

namespace {

// The font fields, in the order of the dialog's rows (and of the buttons' tags 1 to 7).
constexpr QString TOptions::*FontFields[TFormOptions::FontRows] = {
    &TOptions::Font_LeftAxis,   &TOptions::Font_LeftTitle,   &TOptions::Font_RightAxis,
    &TOptions::Font_RightTitle, &TOptions::Font_BottomAxis,  &TOptions::Font_BottomTitle,
    &TOptions::Font_RainModelInfo,
};

// A sample text in a dotted frame, so that the space the font takes can be judged.
class FontSample : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// The field's editor is reachable, so that every edit counts, also one that leaves no
// number in the field (QSpinBox itself only reports numbers).
class PrecisionSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    using QSpinBox::lineEdit;

protected:
    // An emptied field counts as the least number of decimals when it is left (by "确定"
    // as well), rather than quietly getting its old number back.
    void fixup(QString &input) const override
    {
        if (input.trimmed().isEmpty())
            input = QString::number(minimum());
        else
            QSpinBox::fixup(input);
    }
};

// Equal within twelve significant digits; a stored ratio comes back from its decimal text,
// so the table value may be off in the last bits.
bool SameRatio(double a, double b)
{
    const double tolerance = std::max(std::min(std::fabs(a), std::fabs(b)) * 1e-12, 1e-12);
    return std::fabs(a - b) <= tolerance;
}

QGroupBox *MakeGroup(QWidget *parent, const QString &title, const QRect &place)
{
    auto *group = new QGroupBox(title, parent);
    group->setGeometry(place);
    return group;
}

QCheckBox *MakeCheckBox(QWidget *parent, const char *name, const QString &text, const QRect &place)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(place);
    return box;
}

QComboBox *MakeList(QWidget *parent, const char *name, const QStringList &items)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->addItems(items);
    list->setGeometry(10, 18, 127, 20);
    return list;
}

} // namespace

TFormOptions::TFormOptions(Platform &platform, TOptions &options, std::function<void()> applyToMainWindow,
                           QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      platform(platform), options(options), applyToMainWindow(std::move(applyToMainWindow))
{
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(526, 267);
    setFont(WindowFont());

    QGroupBox *labels = MakeGroup(this, QStringLiteral("显示标签"), QRect(8, 8, 136, 149));
    CheckBox_ShowLabel_P = MakeCheckBox(labels, "CheckBox_ShowLabel_P", QStringLiteral("重现期(P)"),
                                        QRect(12, 20, 116, 17));
    CheckBox_ShowLabel_T = MakeCheckBox(labels, "CheckBox_ShowLabel_T", QStringLiteral("暴雨历时(T)"),
                                        QRect(12, 45, 116, 17));
    CheckBox_ShowLabel_R = MakeCheckBox(labels, "CheckBox_ShowLabel_R", QStringLiteral("峰值比例(R)"),
                                        QRect(12, 70, 116, 17));
    CheckBox_ShowLabel_Overall_Rainfall = MakeCheckBox(labels, "CheckBox_ShowLabel_Overall_Rainfall",
                                                       QStringLiteral("总降雨量(H)"), QRect(12, 95, 116, 17));
    CheckBox_ShowLabel_Average_Rainfall_Intensity =
        MakeCheckBox(labels, "CheckBox_ShowLabel_Average_Rainfall_Intensity", QStringLiteral("平均雨强(i)"),
                     QRect(12, 120, 116, 17));

    QGroupBox *curves = MakeGroup(this, QStringLiteral("显示曲线"), QRect(8, 162, 136, 68));
    CheckBox_ShowAxis_Overall_Rainfall = MakeCheckBox(curves, "CheckBox_ShowAxis_Overall_Rainfall",
                                                      QStringLiteral("降雨总量(H)"), QRect(12, 20, 116, 17));
    CheckBox_ShowAxis_Rainfall_Intensity = MakeCheckBox(curves, "CheckBox_ShowAxis_Rainfall_Intensity",
                                                        QStringLiteral("降雨强度(I)"), QRect(12, 43, 116, 17));

    QGroupBox *timeFormat = MakeGroup(this, QStringLiteral("时间格式"), QRect(150, 8, 147, 48));
    ComboBox_TimeForamt = MakeList(timeFormat, "ComboBox_TimeForamt",
                                   {QStringLiteral("H:M（时 ：分）"), QStringLiteral("min（分）")});

    QGroupBox *stormUnit = MakeGroup(this, QStringLiteral("降雨强度单位"), QRect(150, 57, 147, 48));
    ComboBox_StormUnit = MakeList(stormUnit, "ComboBox_StormUnit",
                                  {QStringLiteral("mm/h（毫米/时）"), QStringLiteral("mm/min（毫米/分）")});

    QGroupBox *ratio = MakeGroup(this, QStringLiteral("q i换算精度"), QRect(150, 109, 147, 48));
    ComboBox_QI_ConversionRatio = MakeList(ratio, "ComboBox_QI_ConversionRatio",
                                           QStringList(QI_RatioTexts.begin(), QI_RatioTexts.end()));

    QGroupBox *precision = MakeGroup(this, QStringLiteral("计算精度"), QRect(150, 162, 147, 68));
    auto *decimals = new QLabel(QStringLiteral("显示小数位数："), precision);
    decimals->setGeometry(10, 20, 84, 16);
    auto *precisionField = new PrecisionSpinBox(precision);
    SpinEdit_Precision = precisionField;
    SpinEdit_Precision->setObjectName(QStringLiteral("SpinEdit_Precision"));
    SpinEdit_Precision->setRange(1, MaxDecimals);
    SpinEdit_Precision->setValue(4);
    SpinEdit_Precision->setGeometry(94, 17, 45, 21);
    CheckBox_CalcByShow = MakeCheckBox(precision, "CheckBox_CalcByShow", QStringLiteral("按显示精度计算"),
                                       QRect(10, 44, 130, 17));
    CheckBox_CalcByShow->setToolTip(QStringLiteral("按显示的数值计算，会降低计算精度"));

    QGroupBox *fonts = MakeGroup(this, QStringLiteral("字体设置"), QRect(303, 8, 217, 222));
    const QString captions[FontRows] = {
        QStringLiteral("左轴线标签："), QStringLiteral("左轴线标题："), QStringLiteral("右轴线标签："),
        QStringLiteral("右轴线标题："), QStringLiteral("底轴线标签："), QStringLiteral("底轴线标题："),
        QStringLiteral("雨型图信息："),
    };
    const char *sampleNames[FontRows] = {
        "lbl_LeftAxisFont",   "lbl_LeftTitleFont",   "lbl_RightAxisFont",    "lbl_RightTitleFont",
        "lbl_BottomAxisFont", "lbl_BottomTitleFont", "lbl_RainModelInfoFont",
    };
    const char *buttonNames[FontRows] = {
        "btn_SelectFont", "Button2", "Button3", "Button4", "Button5", "Button6", "Button7",
    };
    for (int row = 0; row < FontRows; ++row) {
        const int top = 20 + row * 28;
        auto *caption = new QLabel(captions[row], fonts);
        caption->setGeometry(10, top + 2, 74, 16);

        auto *sample = new FontSample(QStringLiteral("示例ABC123"), fonts);
        sample->setObjectName(QString::fromLatin1(sampleNames[row]));
        sample->setAlignment(Qt::AlignCenter);
        sample->setGeometry(86, top, 89, 20);
        sampleLabels[row] = sample;
        setSampleFont(row, sampleFonts[row]);

        auto *button = new QPushButton(QStringLiteral("..."), fonts);
        button->setObjectName(QString::fromLatin1(buttonNames[row]));
        button->setProperty("tag", row + 1);
        // Enter in a field must not open a font dialog.
        button->setAutoDefault(false);
        button->setGeometry(181, top - 1, 26, 22);
        connect(button, &QPushButton::clicked, this, [this, button] { btn_SelectFontClick(button); });
    }

    Button_OK = new QPushButton(QStringLiteral("确定"), this);
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_OK->setGeometry(320, 238, 75, 25);
    Button_Cancle = new QPushButton(QStringLiteral("取消"), this);
    Button_Cancle->setObjectName(QStringLiteral("Button_Cancle"));
    Button_Cancle->setGeometry(433, 238, 75, 25);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancle, &QPushButton::clicked, this, &QDialog::reject);

    const auto change = [this] { ComboBox_TimeForamtChange(); };
    for (QCheckBox *box : {CheckBox_ShowLabel_P, CheckBox_ShowLabel_T, CheckBox_ShowLabel_R,
                           CheckBox_ShowLabel_Overall_Rainfall, CheckBox_ShowLabel_Average_Rainfall_Intensity,
                           CheckBox_ShowAxis_Overall_Rainfall, CheckBox_ShowAxis_Rainfall_Intensity,
                           CheckBox_CalcByShow})
        connect(box, &QCheckBox::toggled, this, change);
    // The value changes by the arrows and by the program, the text by typing, and typing
    // may leave no number at all; one edit can report both, but counts once.
    const auto precisionChange = [this, precisionField] {
        const QString text = precisionField->lineEdit()->text();
        if (text == precisionText)
            return;
        precisionText = text;
        ComboBox_TimeForamtChange();
    };
    connect(SpinEdit_Precision, &QSpinBox::valueChanged, this, precisionChange);
    connect(precisionField->lineEdit(), &QLineEdit::textChanged, this, precisionChange);
    // Leaving an emptied field puts the last number back without reporting a new value.
    connect(SpinEdit_Precision, &QSpinBox::editingFinished, this, precisionChange);
    for (QComboBox *list : {ComboBox_TimeForamt, ComboBox_StormUnit, ComboBox_QI_ConversionRatio})
        connect(list, &QComboBox::currentIndexChanged, this, change);

    FormCreate();
}

void TFormOptions::FormCreate()
{
    // Cleared again however the filling ends.
    struct LoadingGuard {
        bool &flag;
        explicit LoadingGuard(bool &flag) : flag(flag) { flag = true; }
        ~LoadingGuard() { flag = false; }
    } guard(loading);

    CheckBox_ShowLabel_P->setChecked(options.Bool_ShowLabel_P);
    CheckBox_ShowLabel_T->setChecked(options.Bool_ShowLabel_T);
    CheckBox_ShowLabel_R->setChecked(options.Bool_ShowLabel_R);
    CheckBox_ShowLabel_Overall_Rainfall->setChecked(options.Bool_ShowLabel_Overall_Rainfall);
    CheckBox_ShowLabel_Average_Rainfall_Intensity->setChecked(options.Bool_ShowLabel_Average_Rainfall_Intensity);
    CheckBox_ShowAxis_Overall_Rainfall->setChecked(options.Bool_ShowAxis_Overall_Rainfall);
    CheckBox_ShowAxis_Rainfall_Intensity->setChecked(options.Bool_ShowAxis_Rainfall_Intensity);
    CheckBox_CalcByShow->setChecked(options.Bool_CalcByShow);
    SpinEdit_Precision->setValue(options.Int_Precision);
    ComboBox_TimeForamt->setCurrentIndex(options.Int_TimeForamtidx);
    ComboBox_StormUnit->setCurrentIndex(options.Int_StormUnitidx);

    // A ratio that is in no row (a hand-edited file) leaves the list at its first row.
    ComboBox_QI_ConversionRatio->setCurrentIndex(0);
    for (int i = 0; i < int(QI_Ratios.size()); ++i) {
        if (SameRatio(QI_Ratios[i], options.D_QI_ConversionRatio)) {
            ComboBox_QI_ConversionRatio->setCurrentIndex(i);
            break;
        }
    }

    for (int row = 0; row < FontRows; ++row) {
        // A text that does not convert changes the sample only as far as it could be read.
        TFontInfo font = sampleFonts[row];
        TextToFont(options.*FontFields[row], font);
        setSampleFont(row, font);
    }
}

void TFormOptions::ReadOptionsFromDialog()
{
    if (loading)
        return;
    options.Bool_ShowLabel_P = CheckBox_ShowLabel_P->isChecked();
    options.Bool_ShowLabel_T = CheckBox_ShowLabel_T->isChecked();
    options.Bool_ShowLabel_R = CheckBox_ShowLabel_R->isChecked();
    options.Bool_ShowLabel_Overall_Rainfall = CheckBox_ShowLabel_Overall_Rainfall->isChecked();
    options.Bool_ShowLabel_Average_Rainfall_Intensity = CheckBox_ShowLabel_Average_Rainfall_Intensity->isChecked();
    options.Bool_ShowAxis_Overall_Rainfall = CheckBox_ShowAxis_Overall_Rainfall->isChecked();
    options.Bool_ShowAxis_Rainfall_Intensity = CheckBox_ShowAxis_Rainfall_Intensity->isChecked();
    options.Bool_CalcByShow = CheckBox_CalcByShow->isChecked();

    // The field may hold what the user is still typing: no number counts as the least
    // number of decimals, anything else is kept within the offered range.
    int precision = 0;
    if (TryParseInteger(SpinEdit_Precision->cleanText(), precision))
        options.Int_Precision = std::clamp(precision, SpinEdit_Precision->minimum(), SpinEdit_Precision->maximum());
    else
        options.Int_Precision = SpinEdit_Precision->minimum();

    // A list without a selection (a value from a hand-edited file that names no item) keeps
    // the setting as it was rather than storing "no item".
    if (ComboBox_TimeForamt->currentIndex() >= 0)
        options.Int_TimeForamtidx = ComboBox_TimeForamt->currentIndex();
    if (ComboBox_StormUnit->currentIndex() >= 0)
        options.Int_StormUnitidx = ComboBox_StormUnit->currentIndex();
    const int ratioIndex = ComboBox_QI_ConversionRatio->currentIndex();
    if (ratioIndex >= 0 && ratioIndex < int(QI_Ratios.size()))
        options.D_QI_ConversionRatio = QI_Ratios[ratioIndex];

    for (int row = 0; row < FontRows; ++row)
        options.*FontFields[row] = FontToText(sampleFonts[row]);
}

void TFormOptions::ComboBox_TimeForamtChange()
{
    // The filling of the controls is no change of the user's; the main window already
    // shows the record it comes from.
    if (loading)
        return;
    ReadOptionsFromDialog();
    if (applyToMainWindow)
        applyToMainWindow();
}

void TFormOptions::btn_SelectFontClick(QObject *Sender)
{
    if (!Sender)
        return;
    const int row = Sender->property("tag").toInt() - 1;
    if (row < 0 || row >= FontRows)
        return;
    TFontInfo font = sampleFonts[row];
    if (!platform.fontDialog(this, font))
        return;
    setSampleFont(row, font);
    ComboBox_TimeForamtChange();
}

void TFormOptions::setSampleFont(int row, const TFontInfo &font)
{
    sampleFonts[row] = font;
    QLabel *sample = sampleLabels[row];
    sample->setFont(ToQFont(font));
    QPalette palette = sample->palette();
    palette.setColor(QPalette::WindowText, ToQColor(font.Color));
    sample->setPalette(palette);
}
