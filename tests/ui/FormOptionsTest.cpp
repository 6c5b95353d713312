#include "QtPrinting.h"
#include "platform/ScriptedPlatform.h"
#include "settings/FontText.h"
#include "settings/Options.h"
#include "ui/FormOptions.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr TColor WindowText = static_cast<TColor>(0xFF000008u);
constexpr TColor Red = 0x0000FF;

class OptionsDialog : public testing::Test {
protected:

    // Built from whatever options holds at that moment.
    void open()
    {
        form = std::make_unique<TFormOptions>(platform, options, [this] { ++previews; });
        form->show();
    }

    template <typename T>
    T *child(const QString &name) const
    {
        T *widget = form->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QComboBox *list(const char *name) const { return child<QComboBox>(name); }
    QSpinBox *spin() const { return child<QSpinBox>("SpinEdit_Precision"); }
    void click(const QString &name) const { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }

    // Picks an item the way a person does: opens the list and presses keys in it.
    void choose(QComboBox *box, int index) const
    {
        box->setFocus();
        while (box->currentIndex() < index)
            QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > index)
            QTest::keyClick(box, Qt::Key_Up);
    }

    ScriptedPlatform platform;
    TOptions options;
    std::unique_ptr<TFormOptions> form;
    int previews = 0;
};

} // namespace

TEST_F(OptionsDialog, LooksAsDesigned)
{
    open();
    EXPECT_EQ(form->windowTitle(), "设置");
    EXPECT_EQ(form->size(), QSize(526, 267));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    // The sans-serif Chinese face the package depends on, not a fallback.
    EXPECT_EQ(QFontInfo(form->font()).family(), "Noto Sans CJK SC");
    EXPECT_EQ(form->font().pixelSize(), 12);

    EXPECT_EQ(child<QPushButton>("Button_OK")->text(), "确定");
    EXPECT_EQ(child<QPushButton>("Button_Cancle")->text(), "取消");

    const auto items = [this](const char *name) {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i)
            texts << list(name)->itemText(i);
        EXPECT_FALSE(list(name)->isEditable());
        return texts;
    };
    EXPECT_EQ(items("ComboBox_TimeForamt"), QStringList({"H:M（时 ：分）", "min（分）"}));
    EXPECT_EQ(items("ComboBox_StormUnit"), QStringList({"mm/h（毫米/时）", "mm/min（毫米/分）"}));
    EXPECT_EQ(items("ComboBox_QI_ConversionRatio"),
              QStringList({"q = 167 * i", "q = 166.7 * i", "q = 166.67 * i", "q = 166.667 * i",
                           "q = 166.6667 * i", "---最高精度---"}));
    EXPECT_EQ(spin()->minimum(), 1);
    EXPECT_EQ(spin()->maximum(), 99);
    EXPECT_EQ(spin()->value(), 4);
    EXPECT_EQ(child<QCheckBox>("CheckBox_CalcByShow")->text(), "按显示精度计算");
    EXPECT_EQ(child<QCheckBox>("CheckBox_CalcByShow")->toolTip(), "按显示的数值计算，会降低计算精度");
    const QLabel *sample = child<QLabel>("lbl_RainModelInfoFont");
    EXPECT_EQ(sample->text(), "示例ABC123");
    EXPECT_EQ(sample->size(), QSize(89, 20));
    EXPECT_TRUE(sample->font().bold());
    EXPECT_EQ(sample->font().family(), "Arial");
}

TEST_F(OptionsDialog, ClosesWithTheResultOfItsButtons)
{
    open();
    const auto closeWith = [this](std::function<void()> action) {
        platform.modalScripts.push_back([action](QDialog *) {
            action();
            return int(QDialog::Accepted);   // would be wrong if the action did not close it
        });
        return platform.showModal(form.get());
    };
    EXPECT_EQ(closeWith([this] { click("Button_OK"); }), QDialog::Accepted);
    EXPECT_EQ(closeWith([this] { click("Button_Cancle"); }), QDialog::Rejected);
    EXPECT_EQ(closeWith([this] { form->close(); }), QDialog::Rejected);
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(options, TOptions{});
}

struct CheckBoxCase {
    const char *name;
    bool TOptions::*field;
};
void PrintTo(const CheckBoxCase &c, std::ostream *out) { *out << c.name; }

class OptionsCheckBox : public OptionsDialog, public testing::WithParamInterface<CheckBoxCase> {};

TEST_P(OptionsCheckBox, ClickReachesTheRecordAndThePreview)
{
    open();
    const CheckBoxCase &c = GetParam();
    TOptions expected;
    for (int clicks = 1; clicks <= 2; ++clicks) {
        click(c.name);
        expected.*c.field = !(expected.*c.field);
        EXPECT_EQ(options, expected) << "after click " << clicks;
        EXPECT_EQ(previews, clicks);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, OptionsCheckBox,
    testing::Values(CheckBoxCase{"CheckBox_ShowLabel_P", &TOptions::Bool_ShowLabel_P},
                    CheckBoxCase{"CheckBox_ShowLabel_T", &TOptions::Bool_ShowLabel_T},
                    CheckBoxCase{"CheckBox_ShowLabel_R", &TOptions::Bool_ShowLabel_R},
                    CheckBoxCase{"CheckBox_ShowLabel_Overall_Rainfall", &TOptions::Bool_ShowLabel_Overall_Rainfall},
                    CheckBoxCase{"CheckBox_ShowLabel_Average_Rainfall_Intensity",
                                 &TOptions::Bool_ShowLabel_Average_Rainfall_Intensity},
                    CheckBoxCase{"CheckBox_ShowAxis_Overall_Rainfall", &TOptions::Bool_ShowAxis_Overall_Rainfall},
                    CheckBoxCase{"CheckBox_ShowAxis_Rainfall_Intensity",
                                 &TOptions::Bool_ShowAxis_Rainfall_Intensity},
                    CheckBoxCase{"CheckBox_CalcByShow", &TOptions::Bool_CalcByShow}),
    [](const auto &info) { return std::string(info.param.name).substr(9); });

TEST_F(OptionsDialog, PrecisionFieldReachesTheRecordAndAnEmptyFieldReadsAsOne)
{
    open();
    QLineEdit *line = spin()->findChild<QLineEdit *>();
    ASSERT_NE(line, nullptr);
    spin()->setFocus();

    QTest::keyClick(spin(), Qt::Key_Up);
    EXPECT_EQ(options.Int_Precision, 5);
    EXPECT_EQ(previews, 1);

    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(line->text(), "");
    EXPECT_EQ(options.Int_Precision, 1);
    EXPECT_EQ(previews, 2);

    // Finishing the edit of an empty field (Enter, or leaving it for "确定") keeps the 1 it
    // reads as, rather than bringing the last number back.
    QTest::keyClick(line, Qt::Key_Enter);
    EXPECT_EQ(line->text(), "1");
    EXPECT_EQ(options.Int_Precision, 1);
    EXPECT_EQ(previews, 3);

    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, "5");
    EXPECT_EQ(options.Int_Precision, 5);
    QTest::keyClicks(line, "2");
    EXPECT_EQ(options.Int_Precision, 52);
    EXPECT_EQ(previews, 6);   // one per edit

    TOptions expected;
    expected.Int_Precision = 52;
    EXPECT_EQ(options, expected);
}

TEST_F(OptionsDialog, ListsReachTheRecordAndThePreview)
{
    open();
    choose(list("ComboBox_TimeForamt"), 0);
    EXPECT_EQ(options.Int_TimeForamtidx, 0);
    EXPECT_EQ(previews, 1);
    choose(list("ComboBox_StormUnit"), 0);
    EXPECT_EQ(options.Int_StormUnitidx, 0);
    EXPECT_EQ(previews, 2);

    // The record holds the ratio itself, never the row.
    for (int row : {5, 2, 4, 1, 3, 0}) {
        choose(list("ComboBox_QI_ConversionRatio"), row);
        EXPECT_EQ(options.D_QI_ConversionRatio, QI_Ratios[row]) << "row " << row;
    }
    TOptions expected;
    expected.Int_TimeForamtidx = 0;
    expected.Int_StormUnitidx = 0;
    EXPECT_EQ(options, expected);
}

TEST_F(OptionsDialog, FillingIsNoChangeAndReadsBackUnchanged)
{
    TOptions stored;
    stored.Bool_ShowLabel_P = false;
    stored.Bool_ShowLabel_R = false;
    stored.Bool_ShowAxis_Rainfall_Intensity = false;
    stored.Bool_CalcByShow = true;
    stored.Int_Precision = 17;
    stored.Int_TimeForamtidx = 0;
    stored.Int_StormUnitidx = 0;
    stored.D_QI_ConversionRatio = 0.006;
    stored.Font_LeftTitle = "\"Courier New\", 11, [Italic|Strikeout], [$000080FF]";
    stored.Font_BottomAxis = "\"Arial\", 9, [Underline], [clBtnFace]";
    stored.Font_RainModelInfo = "\"宋体\", 10, [], [clWindowText]";
    options = stored;

    open();
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(options, stored);
    EXPECT_FALSE(child<QCheckBox>("CheckBox_ShowLabel_P")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("CheckBox_ShowLabel_T")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("CheckBox_CalcByShow")->isChecked());
    EXPECT_EQ(spin()->value(), 17);
    EXPECT_EQ(list("ComboBox_TimeForamt")->currentText(), "H:M（时 ：分）");
    EXPECT_EQ(list("ComboBox_QI_ConversionRatio")->currentText(), "---最高精度---");
    const QFont title = child<QLabel>("lbl_LeftTitleFont")->font();
    EXPECT_EQ(title.family(), "Courier New");
    EXPECT_EQ(title.pointSize(), 11);
    EXPECT_TRUE(title.italic() && title.strikeOut() && !title.bold());
    EXPECT_EQ(child<QLabel>("lbl_LeftTitleFont")->palette().color(QPalette::WindowText), QColor(255, 128, 0));

    // System colours keep their names through the dialog.
    form->ReadOptionsFromDialog();
    EXPECT_EQ(options, stored);
}

struct RatioCase {
    double stored;
    int row;
};
void PrintTo(const RatioCase &c, std::ostream *out) { *out << c.stored << " -> row " << c.row; }

class OptionsRatio : public OptionsDialog, public testing::WithParamInterface<RatioCase> {};

TEST_P(OptionsRatio, StoredRatioSelectsTheFirstEqualRow)
{
    options.D_QI_ConversionRatio = GetParam().stored;
    open();
    EXPECT_EQ(list("ComboBox_QI_ConversionRatio")->currentIndex(), GetParam().row);
    EXPECT_EQ(options.D_QI_ConversionRatio, GetParam().stored);
    form->ReadOptionsFromDialog();
    EXPECT_EQ(options.D_QI_ConversionRatio, QI_Ratios[GetParam().row]);
}

// A ratio in no row (a hand-edited 160) shows the first row and is stored as 167.
INSTANTIATE_TEST_SUITE_P(All, OptionsRatio,
                         testing::Values(RatioCase{167, 0}, RatioCase{166.7, 1}, RatioCase{166.67, 2},
                                         RatioCase{166.667, 3}, RatioCase{166.6667, 4}, RatioCase{0.006, 5},
                                         RatioCase{166.67 * (1 + 5e-13), 2}, RatioCase{0.006 + 5e-13, 5},
                                         RatioCase{166.67 + 1e-9, 0}, RatioCase{160, 0}, RatioCase{0, 0}));

struct FontRowCase {
    const char *button;
    const char *sample;
    QString TOptions::*field;
};
void PrintTo(const FontRowCase &c, std::ostream *out) { *out << c.button; }

class OptionsFontRow : public OptionsDialog, public testing::WithParamInterface<FontRowCase> {};

TEST_P(OptionsFontRow, ButtonEditsItsOwnFont)
{
    const FontRowCase &c = GetParam();
    TOptions stored;
    stored.*c.field = "\"Times New Roman\", 14, [Italic], [clWindowText]";
    options = stored;
    open();
    QLabel *sample = child<QLabel>(c.sample);

    // Cancelled: the dialog saw the stored font, and nothing changes.
    click(c.button);
    ASSERT_EQ(platform.count(PlatformCallKind::FontDialog), 1);
    const TFontInfo preset{"Times New Roman", 14, false, true, false, false, WindowText};
    EXPECT_EQ(platform.last(PlatformCallKind::FontDialog).font, preset);
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(options, stored);
    EXPECT_TRUE(sample->font().italic());

    const TFontInfo chosen{"Liberation Serif", 12, true, false, true, false, Red};
    platform.fontAnswers.push_back(chosen);
    click(c.button);
    TOptions expected = stored;
    expected.*c.field = "\"Liberation Serif\", 12, [Bold|Underline], [clRed]";
    EXPECT_EQ(options, expected);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(sample->font().family(), "Liberation Serif");
    EXPECT_EQ(sample->font().pointSize(), 12);
    EXPECT_TRUE(sample->font().bold() && sample->font().underline() && !sample->font().italic());
    EXPECT_EQ(sample->palette().color(QPalette::WindowText), QColor(Qt::red));

    // The next opening starts from the font just chosen.
    click(c.button);
    EXPECT_EQ(platform.last(PlatformCallKind::FontDialog).font, chosen);
}

INSTANTIATE_TEST_SUITE_P(
    All, OptionsFontRow,
    testing::Values(FontRowCase{"btn_SelectFont", "lbl_LeftAxisFont", &TOptions::Font_LeftAxis},
                    FontRowCase{"Button2", "lbl_LeftTitleFont", &TOptions::Font_LeftTitle},
                    FontRowCase{"Button3", "lbl_RightAxisFont", &TOptions::Font_RightAxis},
                    FontRowCase{"Button4", "lbl_RightTitleFont", &TOptions::Font_RightTitle},
                    FontRowCase{"Button5", "lbl_BottomAxisFont", &TOptions::Font_BottomAxis},
                    FontRowCase{"Button6", "lbl_BottomTitleFont", &TOptions::Font_BottomTitle},
                    FontRowCase{"Button7", "lbl_RainModelInfoFont", &TOptions::Font_RainModelInfo}),
    [](const auto &info) { return std::string(info.param.sample).substr(4); });

TEST_F(OptionsDialog, ListWithoutSelectionKeepsTheStoredIndex)
{
    // Indexes from a hand-edited file that name no item.
    options.Int_TimeForamtidx = 5;
    options.Int_StormUnitidx = -2;
    open();
    click("CheckBox_ShowLabel_T");
    EXPECT_EQ(options.Int_TimeForamtidx, 5);
    EXPECT_EQ(options.Int_StormUnitidx, -2);
}
