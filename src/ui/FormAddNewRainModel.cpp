#include "ui/FormAddNewRainModel.h"
#include "ui/FormCompileFormula.h"
#include "ui/FormFitTable.h"
#include "WindowFont.h"
#include "core/Numbers.h"
#include "core/Hyetograph.h"
#include "core/StormModel.h"
#include "platform/Platform.h"
#include "settings/Options.h"
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QShowEvent>
#include <QValidator>

namespace {

const QString Prompt = QStringLiteral("提示");

// Drops the characters that a field does not take as they arrive, whether typed, pasted or
// dropped: only the part of the text that the edit inserted is filtered, so what the
// program itself put into the field (a step or a duration read from a file) stays as it is.
class TypedCharFilter : public QValidator {
public:
    TypedCharFilter(QLineEdit *edit, const QString &allowed)
        : QValidator(edit), allowed(allowed), accepted(edit->text())
    {
        edit->setValidator(this);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { accepted = text; });
    }

    // A refused key is dropped before the field sees it, so a selection stays selected
    // and the text stays as it was.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const QString typed = static_cast<QKeyEvent *>(event)->text();
            for (QChar ch : typed)
                if (ch.isPrint() && !allowed.contains(ch))
                    return true;
        }
        return QValidator::eventFilter(watched, event);
    }

    // The program's own filling, taken as it stands.
    void setTextUnfiltered(QLineEdit *edit, const QString &text) const
    {
        unfiltered = true;
        edit->setText(text);
        unfiltered = false;
    }

    State validate(QString &input, int &pos) const override
    {
        if (unfiltered)
            return Acceptable;
        // The inserted part is what lies between the common beginning and the common end
        // of the text before and after the edit.
        const QString &before = accepted;
        qsizetype head = 0;
        while (head < before.size() && head < input.size() && before[head] == input[head])
            ++head;
        qsizetype tail = 0;
        while (tail < before.size() - head && tail < input.size() - head
               && before[before.size() - 1 - tail] == input[input.size() - 1 - tail])
            ++tail;
        const qsizetype end = input.size() - tail;
        if (end <= head)
            return Acceptable;

        QString kept;
        int droppedBeforeCursor = 0;
        for (qsizetype i = head; i < end; ++i) {
            if (allowed.contains(input[i]))
                kept += input[i];
            else if (i < pos)
                ++droppedBeforeCursor;
        }
        if (kept.size() == end - head)
            return Acceptable;
        if (kept.isEmpty()) {
            // Nothing of it passes: the key press does nothing, not even replace a selection.
            input = before;
            pos = int(qMin(head, before.size()));
            return Acceptable;
        }
        input = input.left(head) + kept + input.mid(end);
        pos -= droppedBeforeCursor;
        return Acceptable;
    }

private:
    QString allowed;
    QString accepted;           // the field's text after its last change
    mutable bool unfiltered = false;
};

const QString Digits = QStringLiteral("0123456789");
const QString DigitsAndPoint = QStringLiteral("0123456789.");

void Fill(QLineEdit *edit, const QString &text)
{
    if (auto *filter = dynamic_cast<const TypedCharFilter *>(edit->validator()))
        filter->setTextUnfiltered(edit, text);
    else
        edit->setText(text);
}

QLineEdit *MakeEdit(QWidget *parent, const char *name, const QString &text, const QString &placeholder,
                    const QString &tooltip, const QRect &place)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setPlaceholderText(placeholder);
    edit->setToolTip(tooltip);
    edit->setGeometry(place);
    return edit;
}

QLabel *MakeLabel(QWidget *parent, const QString &text, const QRect &place,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(alignment);
    return label;
}

} // namespace

TFormAddNewRainModel::TFormAddNewRainModel(Platform &platform, TExpressionObject &model, const TOptions &options,
                                           QString &tableFolder, QString &recordFolder, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      platform(platform), model(model), options(options), tableFolder(tableFolder), recordFolder(recordFolder)
{
    setObjectName(QStringLiteral("FormAddNewRainModel"));
    setWindowTitle(QStringLiteral("添加新曲线"));
    setFixedSize(414, 223);
    setFont(WindowFont());

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Panel1"));
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame->setGeometry(8, 8, 398, 160);

    // The formula as it is written on paper: A1(1+C lgP) over (t+b) to the n.
    auto *formula = new QGroupBox(QStringLiteral("暴雨强度公式"), frame);
    formula->setObjectName(QStringLiteral("GroupBox1"));
    formula->setGeometry(8, 4, 382, 86);

    cbbStormType = new QComboBox(formula);
    cbbStormType->setObjectName(QStringLiteral("cbbStormType"));
    cbbStormType->addItems({QStringLiteral(" i"), QStringLiteral(" q")});
    cbbStormType->setGeometry(10, 36, 40, 20);

    Label1 = MakeLabel(formula, QStringLiteral(" = "), QRect(52, 38, 22, 16), Qt::AlignCenter);
    Label1->setObjectName(QStringLiteral("Label1"));

    Edit_a1 = MakeEdit(formula, "Edit_a1", QStringLiteral("9.5981"), QStringLiteral("A1"),
                       QStringLiteral("参数A1"), QRect(76, 20, 64, 20));
    MakeLabel(formula, QStringLiteral("(1+"), QRect(142, 22, 22, 16), Qt::AlignCenter);
    Edit_c = MakeEdit(formula, "Edit_c", QStringLiteral("0.846"), QStringLiteral("C"),
                      QStringLiteral("参数c"), QRect(166, 20, 50, 20));
    ComboBox_LgLn = new QComboBox(formula);
    ComboBox_LgLn->setObjectName(QStringLiteral("ComboBox_LgLn"));
    ComboBox_LgLn->addItems({QStringLiteral("lgP"), QStringLiteral("lnP")});
    ComboBox_LgLn->setGeometry(218, 20, 46, 20);
    MakeLabel(formula, QStringLiteral(")"), QRect(266, 22, 8, 16), Qt::AlignCenter);

    auto *bar = new QFrame(formula);
    bar->setObjectName(QStringLiteral("FractionBar"));
    bar->setFrameStyle(QFrame::HLine | QFrame::Plain);
    bar->setLineWidth(1);
    bar->setGeometry(76, 44, 198, 3);

    MakeLabel(formula, QStringLiteral("(t+"), QRect(110, 58, 22, 16), Qt::AlignCenter);
    Edit_b = MakeEdit(formula, "Edit_b", QStringLiteral("7.0"), QStringLiteral("b"),
                      QStringLiteral("参数b"), QRect(134, 56, 50, 20));
    MakeLabel(formula, QStringLiteral(")"), QRect(186, 58, 8, 16), Qt::AlignCenter);
    // The exponent sits higher than the denominator it belongs to.
    Edit_n = MakeEdit(formula, "Edit_n", QStringLiteral("0.656"), QStringLiteral("n"),
                      QStringLiteral("参数n"), QRect(196, 49, 44, 18));

    lblStormDanWei = MakeLabel(formula, QStringLiteral("(mm/min)"), QRect(280, 38, 96, 16));
    lblStormDanWei->setObjectName(QStringLiteral("lblStormDanWei"));

    const auto stormField = [frame](const QString &caption, const char *name, const QString &text,
                                    const QString &placeholder, const QString &tooltip, int left, int top) {
        MakeLabel(frame, caption, QRect(left, top + 2, 98, 16), Qt::AlignRight | Qt::AlignVCenter);
        QLineEdit *edit = MakeEdit(frame, name, text, placeholder, tooltip, QRect(left + 98, top, 84, 20));
        edit->setAlignment(Qt::AlignCenter);
        return edit;
    };
    EditRepeatYear = stormField(QStringLiteral("设计重现期(年)："), "EditRepeatYear", QStringLiteral("2"),
                                QStringLiteral("重现期P"), QStringLiteral("设计重现期，单位（年）"), 8, 100);
    EditStormTime = stormField(QStringLiteral("降雨历时(分钟)："), "EditStormTime", QStringLiteral("120"),
                               QStringLiteral("暴雨历时T"), QStringLiteral("降雨历时，单位（分钟）"), 200, 100);
    EditStormPercent = stormField(QStringLiteral("峰值比例(0-1)："), "EditStormPercent", QStringLiteral("0.4"),
                                  QStringLiteral("雨峰位置r"), QStringLiteral("峰值比例，取值0~1之间"), 8, 128);
    EditStep = stormField(QStringLiteral("计算步长(分钟)："), "EditStep", QStringLiteral("1"),
                          QStringLiteral("计算步长"), QStringLiteral("计算步长，单位（分钟）"), 200, 128);

    new TypedCharFilter(EditRepeatYear, DigitsAndPoint);
    new TypedCharFilter(EditStormTime, Digits);
    new TypedCharFilter(EditStormPercent, DigitsAndPoint);
    new TypedCharFilter(EditStep, Digits);

    ButtonOK = new QPushButton(QStringLiteral("确定"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setGeometry(246, 182, 75, 25);
    ButtonOK->setDefault(true);
    ButtonCancle = new QPushButton(QStringLiteral("取消"), this);
    ButtonCancle->setObjectName(QStringLiteral("ButtonCancle"));
    ButtonCancle->setGeometry(331, 182, 75, 25);

    ButtonFitTable = new QPushButton(QStringLiteral("由暴雨强度表拟合..."), this);
    ButtonFitTable->setObjectName(QStringLiteral("ButtonFitTable"));
    ButtonFitTable->setGeometry(8, 182, 114, 25);
    connect(ButtonFitTable, &QPushButton::clicked, this, &TFormAddNewRainModel::ButtonFitTableClick);
    ButtonCompileFormula = new QPushButton(QStringLiteral("由降雨资料编制公式..."), this);
    ButtonCompileFormula->setObjectName(QStringLiteral("ButtonCompileFormula"));
    ButtonCompileFormula->setGeometry(124, 182, 120, 25);
    connect(ButtonCompileFormula, &QPushButton::clicked, this, &TFormAddNewRainModel::ButtonCompileFormulaClick);

    connect(cbbStormType, &QComboBox::currentIndexChanged, this, &TFormAddNewRainModel::cbbStormTypeChange);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormAddNewRainModel::ButtonOKClick);
    connect(ButtonCancle, &QPushButton::clicked, this, &TFormAddNewRainModel::ButtonCancleClick);
}

void TFormAddNewRainModel::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        prepareToShow();
    QDialog::showEvent(event);
}

void TFormAddNewRainModel::prepareToShow()
{
    // A form number from a hand-edited file selects nothing and leaves the unit as it was.
    cbbStormType->setCurrentIndex(model.F_type);
    cbbStormTypeChange();
    Fill(Edit_a1, FormatGeneral(model.F_type != 0 ? model.a1_167 : model.a1));
    Fill(Edit_c, FormatGeneral(model.c));
    Fill(Edit_b, FormatGeneral(model.b));
    Fill(Edit_n, FormatGeneral(model.n));
    ComboBox_LgLn->setCurrentIndex(model.LG_LN);
    Fill(EditRepeatYear, FormatGeneral(model.Storm_RepeatYear));
    Fill(EditStormTime, FormatGeneral(model.Storm_Time));
    Fill(EditStormPercent, FormatGeneral(model.Storm_Percent));
    // The step comes from the model too, so a file opened with another step shows it.
    Fill(EditStep, QString::number(model.Storm_Step));
}

void TFormAddNewRainModel::cbbStormTypeChange()
{
    // Switching the form reinterprets the number in Edit_a1; it does not convert it.
    switch (cbbStormType->currentIndex()) {
    case 0:
        lblStormDanWei->setText(QStringLiteral("(mm/min)"));
        Edit_a1->setPlaceholderText(QStringLiteral("A1"));
        Edit_a1->setToolTip(QStringLiteral("参数A1"));
        break;
    case 1:
        lblStormDanWei->setText(QStringLiteral("(L/(s.hm²))"));
        Edit_a1->setPlaceholderText(QStringLiteral("166.7A1"));
        Edit_a1->setToolTip(QStringLiteral("参数166.7A1"));
        break;
    default:
        break;
    }
}

void TFormAddNewRainModel::ButtonFitTableClick()
{
    TFormFitTable form(platform, options.D_QI_ConversionRatio, tableFolder, this);
    if (platform.showModal(&form) == QDialog::Accepted && form.formula())
        fillFormula(*form.formula());
}

void TFormAddNewRainModel::ButtonCompileFormulaClick()
{
    TFormCompileFormula form(platform, options.D_QI_ConversionRatio, recordFolder, this);
    form.setReportBasis(model, options);
    if (platform.showModal(&form) != QDialog::Accepted || !form.formula())
        return;
    if (fillFormula(*form.formula()) && form.peakRatio())
        Fill(EditStormPercent, FormatGeneral(*form.peakRatio()));
}

bool TFormAddNewRainModel::fillFormula(const TotalFormula &formula)
{
    return RunCommand(platform, this, [this, &formula] {
        // The storm the command line would write from this formula; the fields show it as
        // written, so confirming stores the same numbers. The model itself changes only
        // when the person confirms.
        TExpressionObject fitted = model;
        const double ratio = options.D_QI_ConversionRatio;
        ApplyFittedFormula(fitted, formula, [ratio](double a1) { return IntensityToFlow(a1, ratio); });
        cbbStormType->setCurrentIndex(fitted.F_type);
        cbbStormTypeChange();
        Fill(Edit_a1, FormatGeneral(fitted.a1));
        Fill(Edit_c, FormatGeneral(fitted.c));
        Fill(Edit_b, FormatGeneral(fitted.b));
        Fill(Edit_n, FormatGeneral(fitted.n));
        ComboBox_LgLn->setCurrentIndex(fitted.LG_LN);
    });
}

void TFormAddNewRainModel::ButtonCancleClick()
{
    reject();
}

void TFormAddNewRainModel::ButtonOKClick()
{
    RunCommand(platform, this, [this] { confirm(); });
}

void TFormAddNewRainModel::refuse(QLineEdit *field, const QString &message)
{
    platform.messageBox(this, MessageIcon::Information, Prompt, message);
    field->setFocus();
}

void TFormAddNewRainModel::confirm()
{
    const auto blank = [](const QLineEdit *field) { return field->text().trimmed().isEmpty(); };
    if (blank(Edit_a1))
        return refuse(Edit_a1, QStringLiteral("[") + Edit_a1->placeholderText() + QStringLiteral("]不能为空！"));
    if (blank(Edit_c))
        return refuse(Edit_c, QStringLiteral("[c]不能为空！"));
    if (blank(Edit_b))
        return refuse(Edit_b, QStringLiteral("[b]不能为空！"));
    if (blank(Edit_n))
        return refuse(Edit_n, QStringLiteral("[n]不能为空！"));
    if (blank(EditRepeatYear))
        return refuse(EditRepeatYear, QStringLiteral("重现期不能为空！"));
    if (blank(EditStormTime))
        return refuse(EditStormTime, QStringLiteral("降雨历时不能为空！"));
    if (blank(EditStormPercent))
        return refuse(EditStormPercent, QStringLiteral("峰值比例不能为空！"));
    // A peak ratio that is no number at all goes to the general error report.
    const double peak = ParseNumber(EditStormPercent->text());
    if (peak >= 1 || peak <= 0)
        return refuse(EditStormPercent, QStringLiteral("峰值比例只能取值(0~1)之间，不包括0和1"));
    if (blank(EditStep))
        return refuse(EditStep, QStringLiteral("计算步长不能为空！"));

    // Every field is read before anything is stored, so a bad number leaves the model as it
    // was instead of half overwritten.
    double coefficient = 0, c = 0, b = 0, n = 0, repeatYear = 0, stormTime = 0, percent = 0;
    int step = 0;
    const std::pair<QLineEdit *, double *> numbers[] = {
        {Edit_a1, &coefficient}, {Edit_c, &c}, {Edit_b, &b}, {Edit_n, &n},
        {EditRepeatYear, &repeatYear}, {EditStormTime, &stormTime}, {EditStormPercent, &percent},
    };
    for (const auto &[field, target] : numbers)
        if (!TryParseNumber(field->text().trimmed(), *target))
            return refuse(field, QStringLiteral("输入的数据有错误，只能输入数字，请重新检查"));
    if (!TryParseInteger(EditStep->text().trimmed(), step))
        return refuse(EditStep, QStringLiteral("输入的数据有错误，只能输入数字，请重新检查"));

    const int form = cbbStormType->currentIndex();
    double derived = 0;
    if (form == 0)
        derived = IntensityToFlow(coefficient, options.D_QI_ConversionRatio);
    else if (form == 1)
        derived = FlowToIntensity(coefficient, options.D_QI_ConversionRatio);

    TExpressionObject storm = model;
    storm.F_type = form;
    if (form == 0) {
        storm.a1 = coefficient;
        storm.a1_167 = derived;
    } else if (form == 1) {
        storm.a1_167 = coefficient;
        storm.a1 = derived;
    }
    storm.c = c;
    storm.b = b;
    storm.n = n;
    storm.LG_LN = static_cast<uint8_t>(ComboBox_LgLn->currentIndex());
    storm.Storm_RepeatYear = repeatYear;
    storm.Storm_Time = stormTime;
    storm.Storm_Percent = percent;
    storm.Storm_Step = step;
    storm.Strom_Average_Rainfall_Intensity = 0;
    storm.Strom_Overall_Rainfall = 0;
    // A formula that gives no positive rain is refused here, where it can be mended, and
    // the storm shown stays.
    if (const StormRuleProblem problem = CheckStormRules(storm)) {
        QLineEdit *field = problem.field == StormRuleProblem::A1 ? Edit_a1
            : problem.field == StormRuleProblem::Exponent        ? Edit_n
                                                                 : EditRepeatYear;
        return refuse(field, problem.message);
    }
    model = storm;
    accept();
}
