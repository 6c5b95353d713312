#include "QtPrinting.h"
#include "core/StormModel.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormAddNewRainModel.h"
#include "ui/FormFitTable.h"
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QThreadPool>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString DataError = "输入的数据有错误，只能输入数字，请重新检查";
const QString PeakRange = "峰值比例只能取值(0~1)之间，不包括0和1";

class NewStormDialog : public testing::Test {
protected:
    void SetUp() override
    {
        options.D_QI_ConversionRatio = 167;
        SetStartValues(model);
        form = std::make_unique<TFormAddNewRainModel>(platform, model, options, tableFolder, recordFolder);
    }

    QLineEdit *edit(const char *name) const { return form->findChild<QLineEdit *>(name); }
    QComboBox *combo(const char *name) const { return form->findChild<QComboBox *>(name); }
    QString unit() const { return form->findChild<QLabel *>("lblStormDanWei")->text(); }
    void clickOK() const { QTest::mouseClick(form->findChild<QPushButton *>("ButtonOK"), Qt::LeftButton); }
    QString focused() const { return form->focusWidget() ? form->focusWidget()->objectName() : QString(); }

    // Shows the dialog through the seam and runs the script on it, as the person would.
    int show(std::function<void()> script)
    {
        platform.modalScripts.push_back([script](QDialog *) {
            script();
            return int(QDialog::Rejected);
        });
        return platform.showModal(form.get());
    }

    ScriptedPlatform platform;
    TOptions options;
    TExpressionObject model;
    QString tableFolder = QStringLiteral("/data/tables");
    QString recordFolder = QStringLiteral("/data/records");
    std::unique_ptr<TFormAddNewRainModel> form;
};

// Waits, events running, for the fit dialog to show a fit.
bool FitShown(QDialog *fit)
{
    auto *ok = fit->findChild<QPushButton *>("ButtonOK");
    return QTest::qWaitFor([ok] { return ok->isEnabled(); }, 60000);
}

// Durations 1 to `rows` minutes by four return periods: a table that takes a while to fit.
QString LongTable(int rows)
{
    QString text = QStringLiteral("t,2,5,10,20");
    for (int t = 1; t <= rows; ++t) {
        text += QStringLiteral("\n%1").arg(t);
        for (double P : {2.0, 5.0, 10.0, 20.0})
            text += QStringLiteral(",%1").arg(12 * (1 + 0.7 * std::log10(P)) / std::pow(t + 9, 0.75), 0, 'f', 4);
    }
    return text;
}

} // namespace

TEST_F(NewStormDialog, ShowingDisplaysTheModel)
{
    EXPECT_EQ(form->windowTitle(), "添加新曲线");
    EXPECT_EQ(form->size(), QSize(414, 223));
    EXPECT_EQ(form->font().pixelSize(), 12);
    EXPECT_EQ(QFontInfo(form->font()).family(), "Noto Sans CJK SC");

    show([&] {
        EXPECT_EQ(combo("cbbStormType")->currentText(), " i");
        EXPECT_EQ(combo("ComboBox_LgLn")->currentText(), "lgP");
        const QStringList shown = {edit("Edit_a1")->text(), edit("Edit_c")->text(), edit("Edit_b")->text(),
                                   edit("Edit_n")->text(), edit("EditRepeatYear")->text(),
                                   edit("EditStormTime")->text(), edit("EditStormPercent")->text(),
                                   edit("EditStep")->text()};
        EXPECT_EQ(shown, QStringList({"9.5981", "0.846", "7", "0.656", "2", "120", "0.4", "1"}));
        EXPECT_EQ(unit(), "(mm/min)");
        EXPECT_EQ(edit("EditStormPercent")->placeholderText(), "雨峰位置r");
        EXPECT_EQ(edit("EditStormPercent")->toolTip(), "峰值比例，取值0~1之间");
        EXPECT_EQ(edit("EditStormPercent")->alignment(), Qt::AlignCenter);
        EXPECT_EQ(edit("Edit_c")->placeholderText(), "C");
        EXPECT_EQ(edit("Edit_n")->toolTip(), "参数n");
    });
}

struct RefusedEntry {
    const char *name;
    const char *field;
    QString text;
    bool flowForm;
    QString message;
};

class NewStormDialogRefuses : public NewStormDialog, public testing::WithParamInterface<RefusedEntry> {};

TEST_P(NewStormDialogRefuses, WithItsMessageAndFocusOnTheField)
{
    const TExpressionObject before = model;
    const int result = show([&] {
        combo("cbbStormType")->setCurrentIndex(GetParam().flowForm ? 1 : 0);
        edit(GetParam().field)->setText(GetParam().text);
        clickOK();
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(focused(), GetParam().field);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    ASSERT_EQ(platform.count(PlatformCallKind::MessageBox), 1);
    EXPECT_EQ(platform.lastMessage().text, GetParam().message);
    EXPECT_EQ(platform.lastMessage().title, "提示");
    EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Information);
    EXPECT_EQ(model, before);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, NewStormDialogRefuses,
    testing::Values(RefusedEntry{"EmptyA1", "Edit_a1", "  ", false, "[A1]不能为空！"},
                    RefusedEntry{"EmptyFlowA1", "Edit_a1", "", true, "[166.7A1]不能为空！"},
                    RefusedEntry{"EmptyC", "Edit_c", " ", false, "[c]不能为空！"},
                    RefusedEntry{"EmptyB", "Edit_b", "", false, "[b]不能为空！"},
                    RefusedEntry{"EmptyN", "Edit_n", "", false, "[n]不能为空！"},
                    RefusedEntry{"EmptyRepeatYear", "EditRepeatYear", "", false, "重现期不能为空！"},
                    RefusedEntry{"EmptyStormTime", "EditStormTime", "", false, "降雨历时不能为空！"},
                    RefusedEntry{"EmptyPercent", "EditStormPercent", "", false, "峰值比例不能为空！"},
                    RefusedEntry{"PercentOne", "EditStormPercent", "1", false, PeakRange},
                    RefusedEntry{"PercentZero", "EditStormPercent", "0", false, PeakRange},
                    RefusedEntry{"PercentAbove", "EditStormPercent", "1.5", false, PeakRange},
                    RefusedEntry{"PercentZeroPoint", "EditStormPercent", "0.0", false, PeakRange},
                    RefusedEntry{"EmptyStep", "EditStep", "", false, "计算步长不能为空！"},
                    RefusedEntry{"BadA1", "Edit_a1", "1.2.3", false, DataError},
                    RefusedEntry{"LettersC", "Edit_c", "0.8x", false, DataError},
                    RefusedEntry{"BadN", "Edit_n", "nan", false, DataError},
                    RefusedEntry{"BadRepeatYear", "EditRepeatYear", "2..", false, DataError},
                    RefusedEntry{"StepBeyondRange", "EditStep", "99999999999", false, DataError},
                    RefusedEntry{"NoPositiveRain", "EditRepeatYear", "0.01", false,
                                 QStringLiteral("重现期P=0.01年时，1 + C·lgP = -0.692，不大于0：公式算不出正的雨量，无法生成暴雨")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(NewStormDialog, ChecksRunInTheirOrder)
{
    const std::vector<std::pair<const char *, QString>> fixes = {
        {"Edit_a1", "9"}, {"Edit_c", "1"}, {"Edit_b", "2"}, {"Edit_n", "0.5"}, {"EditRepeatYear", "3"},
        {"EditStormTime", "60"}, {"EditStormPercent", "1.5"}, {"EditStormPercent", "0.5"}, {"EditStep", "5"}};
    const int result = show([&] {
        for (const auto &[field, text] : fixes)
            edit(field)->setText("");
        for (const auto &[field, text] : fixes) {
            clickOK();
            EXPECT_EQ(focused(), field);
            edit(field)->setText(text);
        }
        clickOK();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(platform.messageTexts(),
              QStringList({"[A1]不能为空！", "[c]不能为空！", "[b]不能为空！", "[n]不能为空！", "重现期不能为空！",
                           "降雨历时不能为空！", "峰值比例不能为空！", PeakRange, "计算步长不能为空！"}));
}

TEST_F(NewStormDialog, APeakRatioThatIsNoNumberGoesToTheGeneralErrorReport)
{
    const TExpressionObject before = model;
    show([&] {
        edit("EditStormPercent")->setText("1.2.3");
        clickOK();
        EXPECT_TRUE(form->isVisible());
    });
    ASSERT_EQ(platform.count(PlatformCallKind::MessageBox), 1);
    EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Error);
    EXPECT_EQ(platform.lastMessage().title, ProductTitle);
    EXPECT_TRUE(platform.lastMessage().text.contains("1.2.3"));
    EXPECT_EQ(model, before);
}

TEST_F(NewStormDialog, ConfirmingStoresEveryFieldAndClearsTheResults)
{
    model.Strom_Overall_Rainfall = 55;
    model.Strom_Average_Rainfall_Intensity = 0.5;
    const int result = show([&] {
        edit("Edit_a1")->setText(" 10.5 ");
        edit("Edit_c")->setText("0.9");
        combo("ComboBox_LgLn")->setCurrentIndex(1);
        edit("Edit_b")->setText("8");
        edit("Edit_n")->setText("0.7");
        edit("EditRepeatYear")->setText("5");
        edit("EditStormTime")->setText("180");
        edit("EditStormPercent")->setText("0.999");
        edit("EditStep")->setText("5");
        clickOK();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0);
    EXPECT_EQ(model.F_type, 0);
    EXPECT_DOUBLE_EQ(model.a1, 10.5);
    EXPECT_DOUBLE_EQ(model.a1_167, 10.5 * 167);
    EXPECT_DOUBLE_EQ(model.c, 0.9);
    EXPECT_EQ(model.LG_LN, 1);
    EXPECT_DOUBLE_EQ(model.b, 8);
    EXPECT_DOUBLE_EQ(model.n, 0.7);
    EXPECT_DOUBLE_EQ(model.Storm_RepeatYear, 5);
    EXPECT_DOUBLE_EQ(model.Storm_Time, 180);
    EXPECT_DOUBLE_EQ(model.Storm_Percent, 0.999);
    EXPECT_EQ(model.Storm_Step, 5);
    EXPECT_EQ(model.Strom_Overall_Rainfall, 0);
    EXPECT_EQ(model.Strom_Average_Rainfall_Intensity, 0);

    // The smallest peak ratio passes too; Enter presses OK.
    EXPECT_EQ(show([&] {
                  edit("EditStormPercent")->setText("0.001");
                  QTest::keyClick(edit("EditStep"), Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_DOUBLE_EQ(model.Storm_Percent, 0.001);
}

class NewStormDialogFlowForm : public NewStormDialog, public testing::WithParamInterface<std::pair<double, double>> {};

TEST_P(NewStormDialogFlowForm, TakesTheNumberAsQAndDerivesA1WithTheRatio)
{
    options.D_QI_ConversionRatio = GetParam().first;
    show([&] {
        combo("cbbStormType")->setCurrentIndex(1);
        EXPECT_EQ(unit(), "(L/(s.hm²))");
        EXPECT_EQ(edit("Edit_a1")->placeholderText(), "166.7A1");
        EXPECT_EQ(edit("Edit_a1")->toolTip(), "参数166.7A1");
        EXPECT_EQ(edit("Edit_a1")->text(), "9.5981");   // reinterpreted, not converted
        clickOK();
    });
    EXPECT_EQ(model.F_type, 1);
    EXPECT_DOUBLE_EQ(model.a1_167, 9.5981);
    EXPECT_DOUBLE_EQ(model.a1, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Ratios, NewStormDialogFlowForm,
                         testing::Values(std::pair{167.0, 9.5981 / 167}, std::pair{0.006, 9.5981 * 0.006}));

TEST_F(NewStormDialog, ShowingRefillsEveryFieldFromTheModel)
{
    model.F_type = 1;
    model.a1 = 9.5981;
    model.a1_167 = 1602.8827;
    model.Storm_Time = 90.5;    // from a file: shown as it is, though the field takes only digits
    model.Storm_Step = 5;
    show([&] {
        EXPECT_EQ(combo("cbbStormType")->currentText(), " q");
        EXPECT_EQ(unit(), "(L/(s.hm²))");
        EXPECT_EQ(edit("Edit_a1")->text(), "1602.8827");
        EXPECT_EQ(edit("EditStormTime")->text(), "90.5");
        EXPECT_EQ(edit("EditStep")->text(), "5");
        combo("cbbStormType")->setCurrentIndex(0);
        EXPECT_EQ(unit(), "(mm/min)");
        EXPECT_EQ(edit("Edit_a1")->placeholderText(), "A1");
    });
}

TEST_F(NewStormDialog, CancelLeavesTheModelUntouched)
{
    const TExpressionObject before = model;
    const int result = show([&] {
        edit("Edit_a1")->setText("20");
        QTest::mouseClick(form->findChild<QPushButton *>("ButtonCancle"), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(model, before);
    EXPECT_TRUE(platform.messageTexts().isEmpty());
}

struct TypedInput {
    const char *field;
    QString typed;
    QString pasted;
    QString overSelection;
};

class NewStormDialogFilter : public NewStormDialog, public testing::WithParamInterface<TypedInput> {};

TEST_P(NewStormDialogFilter, DropsTheCharactersAFieldDoesNotTake)
{
    show([&] {
        QLineEdit *field = edit(GetParam().field);
        field->clear();
        QTest::keyClicks(field, "1a2.b3");
        EXPECT_EQ(field->text(), GetParam().typed);
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), GetParam().typed.chopped(1));

        field->clear();
        QApplication::clipboard()->setText("4x5.6");
        field->paste();
        EXPECT_EQ(field->text(), GetParam().pasted);

        // A key that does not pass leaves the text and its selection as they were, so the
        // next key replaces the selection; an unfiltered field takes every key.
        field->setText("2");
        field->selectAll();
        QTest::keyClicks(field, "a1.5");
        EXPECT_EQ(field->text(), GetParam().overSelection);
    });
}

INSTANTIATE_TEST_SUITE_P(Fields, NewStormDialogFilter,
                         testing::Values(TypedInput{"EditRepeatYear", "12.3", "45.6", "1.5"},
                                         TypedInput{"EditStormTime", "123", "456", "15"},
                                         TypedInput{"EditStormPercent", "12.3", "45.6", "1.5"},
                                         TypedInput{"EditStep", "123", "456", "15"},
                                         TypedInput{"Edit_c", "1a2.b3", "4x5.6", "a1.5"}),
                         [](const auto &info) { return std::string(info.param.field); });

TEST_F(NewStormDialog, FormulaFittedToAnOpenedTableFillsTheFields)
{
    show([&] {
        combo("cbbStormType")->setCurrentIndex(1);
        platform.openAnswers.push_back({true, TAVREL_TEST_DATA "/idf/noisy.csv", 0});
        platform.modalScripts.push_back([](QDialog *fit) {
            fit->findChild<QComboBox *>("ComboBox_LgLn")->setCurrentIndex(1);
            QTest::mouseClick(fit->findChild<QPushButton *>("ButtonOpen"), Qt::LeftButton);
            EXPECT_TRUE(FitShown(fit));
            QTest::mouseClick(fit->findChild<QPushButton *>("ButtonOK"), Qt::LeftButton);
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(form->findChild<QPushButton *>("ButtonFitTable"), Qt::LeftButton);
        // SciPy's least_squares on the same table: 14.22694324, 0.31735539, 11.78202713, 0.72902087,
        // the numbers tavrel-cli --fit writes to its rain-model file.
        const QStringList formula = {edit("Edit_a1")->text(), edit("Edit_c")->text(), edit("Edit_b")->text(),
                                     edit("Edit_n")->text(), combo("ComboBox_LgLn")->currentText(), unit()};
        EXPECT_EQ(formula, QStringList({"14.2269", "0.3174", "11.782", "0.729", "lnP", "(mm/min)"}));
    });
    // The table was looked for where the last one came from, and the next one will be looked
    // for where this one was.
    EXPECT_EQ(platform.last(PlatformCallKind::OpenFileDialog).fileRequest.folder, "/data/tables");
    EXPECT_EQ(tableFolder, QDir::toNativeSeparators(TAVREL_TEST_DATA "/idf"));
}

TEST_F(NewStormDialog, FitOfASupersededTableIsNeverShown)
{
    TFormFitTable fit(platform, 167, tableFolder);
    auto *table = fit.findChild<QPlainTextEdit *>("EditTable");
    table->setPlainText(LongTable(400));
    QTest::qWait(100);      // its fit is running now
    table->setPlainText("t,2,5\n5,2.10,2.62\n10,1.68,2.13\n20,1.27,1.55\n30,1.01,1.27\n");
    ASSERT_TRUE(FitShown(&fit));
    // The long table's fit ends later; what it brings must not replace the short one's.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    auto *cells = fit.findChild<QTableWidget *>("GridCells");
    ASSERT_EQ(cells->rowCount(), 8);
    EXPECT_EQ(cells->item(0, 2)->text(), "2.10");
}

TEST_F(NewStormDialog, FitDialogClosedWhileFittingIsLeftAlone)
{
    auto fit = std::make_unique<TFormFitTable>(platform, 167, tableFolder);
    fit->findChild<QPlainTextEdit *>("EditTable")->setPlainText(LongTable(200));
    QTest::qWait(100);      // its fit is running now
    fit.reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}
