#include "WindowTest.h"
#include "TestSupport.h"
#include "core/TextFile.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"
#include "ui/StormChart.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QAction>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QtEndian>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Exports : public WindowTest {
protected:
    void emptyTheResult()
    {
        window->Model().Storm_Step = 0;
        window->RefreshRainModel();
        ASSERT_TRUE(window->StormPoints().empty());
        platform.clearCalls();
    }

    QString lastPath(PlatformCallKind kind) { return platform.last(kind).path; }
};

const QString NoData = QStringLiteral("没有数据可以保存~\r\n点击“添加”按钮，添加新曲线");

} // namespace

TEST_F(Exports, CsvWritesTheGridAndOpensTheFile)
{
    platform.saveAnswers.push_back({true, folder + "/abc.txt", 0});
    trigger("MenuSaveDataToExcel1");
    const QString path = folder + "/abc.csv";
    ASSERT_TRUE(QFile::exists(path)) << platform.lastMessage().text.toStdString();
    const QStringList lines = SplitLines(DecodeText(ReadBytes(path)));
    ASSERT_EQ(lines.size(), 122);
    EXPECT_EQ(lines[0], QStringLiteral("时间(min),降雨强度(mm/min),降雨总量(mm)"));
    EXPECT_EQ(lines[121], "120,0.1908,60.6345");
    EXPECT_EQ(lastPath(PlatformCallKind::OpenWithDefaultProgram), path);
    const FileDialogRequest request = platform.last(PlatformCallKind::SaveFileDialog).fileRequest;
    EXPECT_EQ(request.title, QStringLiteral("保存雨型数据"));
    EXPECT_EQ(request.fileName, QStringLiteral("芝加哥雨型计算数据P=2年 t=120分 r=0.4.csv"));
    ASSERT_EQ(request.types.size(), 2);
    EXPECT_EQ(request.types[0].name, QStringLiteral("Excel文件(*.csv)"));
    EXPECT_EQ(request.types[1].name, QStringLiteral("所有文件(*.*)"));
    EXPECT_TRUE(request.overwritePrompt);
}

TEST_F(Exports, TableExportsRefuseAnEmptyResult)
{
    emptyTheResult();
    for (const char *name : {"MenuSaveDataToExcel", "MenuSaveDataToSWMM1", "MenuSaveDataToWord", "mni_OutputExcelPicData",
                             "Menu_outputResult"}) {
        platform.clearCalls();
        trigger(name);
        EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 0) << name;
        EXPECT_EQ(platform.lastMessage().text, NoData);
        EXPECT_EQ(platform.lastMessage().title, QStringLiteral("提示"));
    }
    EXPECT_EQ(options.Int_TimeForamtidx, 1);   // no switch without data
    platform.clearCalls();
    trigger("PNG1");
    EXPECT_EQ(platform.lastMessage().text, QStringLiteral("没有曲线可以保存~\r\n点击“添加”按钮，添加新曲线"));
    EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 0);
}

TEST_F(Exports, WordTableTakesItsOwnExtensionAndOpensTheDocument)
{
    platform.temp = MakeTempFolder();
    platform.saveAnswers.push_back({true, folder + QStringLiteral("/报告.doc"), 1});
    trigger("MenuSaveDataToWord1");
    const QString path = folder + QStringLiteral("/报告.docx");
    ASSERT_TRUE(ReadBytes(path).startsWith("PK\x03\x04")) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(lastPath(PlatformCallKind::OpenWithDefaultProgram), path);
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0);

    // Without a program for the type the file is still written, and the user is told.
    platform.desktopOpens = false;
    platform.saveAnswers.push_back({true, path, 0});
    trigger("MenuSaveDataToWord1");
    EXPECT_TRUE(platform.lastMessage().text.contains(QStringLiteral("没有可以打开这类文件的程序")));
    const FileDialogRequest request = platform.last(PlatformCallKind::SaveFileDialog).fileRequest;
    EXPECT_EQ(request.title, QStringLiteral("保存雨型数据"));
    EXPECT_EQ(request.fileName, QStringLiteral("芝加哥雨型计算数据 P=2年 T=120分 R=0.4.docx"));
    ASSERT_EQ(request.types.size(), 2);
    EXPECT_EQ(request.types[0].name, QStringLiteral("Word文件(*.docx)"));
    EXPECT_EQ(request.types[0].mask, QStringLiteral("*.docx"));
    EXPECT_EQ(request.selectedType, 0);
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_TRUE(QDir(platform.temp).isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("报告.docx")});
}

TEST_F(Exports, WorkbookButtonOffersTheStandardListWithItsOwnTypeSelected)
{
    platform.temp = MakeTempFolder();
    // The CSV export replaces the list with its own; the workbook still gets the standard one.
    platform.saveAnswers.push_back({true, folder + "/first.csv", 0});
    trigger("MenuSaveDataToExcel");
    platform.saveAnswers.push_back({true, folder + "/storm", 2});
    window->findChild<QAbstractButton *>("btn_OutputExcelPicData")->click();
    const QString path = folder + "/storm.xlsx";
    ASSERT_TRUE(ReadBytes(path).startsWith("PK\x03\x04")) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(lastPath(PlatformCallKind::OpenWithDefaultProgram), path);
    const FileDialogRequest request = platform.last(PlatformCallKind::SaveFileDialog).fileRequest;
    EXPECT_EQ(request.fileName, QStringLiteral("Excel图表 P=2年 T=120分 R=0.4.xlsx"));
    ASSERT_EQ(request.types.size(), 3);
    const QStringList masks = {request.types[0].mask, request.types[1].mask, request.types[2].mask};
    EXPECT_EQ(masks, QStringList({"*.csv", "*.docx", "*.xlsx"}));
    EXPECT_EQ(request.types[1].name, QStringLiteral("Word文件"));
    EXPECT_EQ(request.types[2].name, QStringLiteral("Excel文件"));
    EXPECT_EQ(request.selectedType, 2);
    EXPECT_TRUE(QDir(platform.temp).isEmpty());
}

TEST_F(Exports, OfficeFileThatCannotBePutInPlaceIsReported)
{
    QDir().mkpath(folder + "/busy.xlsx");
    platform.saveAnswers.push_back({true, folder + "/busy.xlsx", 2});
    trigger("mni_OutputExcelPicData");
    EXPECT_EQ(platform.lastMessage().text, QStringLiteral("出错：保存文件失败，可能是文件被占用"));
    EXPECT_EQ(platform.lastMessage().title, QStringLiteral("错误"));
    EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Error);
    EXPECT_EQ(platform.count(PlatformCallKind::OpenWithDefaultProgram), 0);
    EXPECT_FALSE(QFile::exists(folder + "/busy.bin"));
    EXPECT_TRUE(QFileInfo(folder + "/busy.xlsx").isDir());
}

TEST_F(Exports, SwmmSwitchesOnceAndKeepsTheSwitchAfterCancel)
{
    trigger("MenuSaveDataToSWMM");   // cancelled dialog
    EXPECT_EQ(platform.messageTexts().count(QStringLiteral("SWMM的时间格式应该为(时:分)，降雨强度单位应该为(毫米/时)\r\n已经自动切换！")), 1);
    EXPECT_EQ(options.Int_TimeForamtidx, 0);
    EXPECT_EQ(options.Int_StormUnitidx, 0);
    auto *model = window->findChild<QAbstractItemView *>("GridData")->model();
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("降雨强度mm/h"));
    EXPECT_EQ(model->data(model->index(5, 0)).toString(), "00:05");

    platform.clearCalls();
    platform.saveAnswers.push_back({true, folder + "/storm", 0});
    trigger("MenuSaveDataToSWMM1");
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0);
    const QString path = folder + "/storm.dat";
    const QStringList lines = SplitLines(DecodeText(ReadBytes(path)));
    ASSERT_EQ(lines.size(), 123);
    EXPECT_EQ(lines[0], QStringLiteral(";;时间(时:分)  数值(毫米/时)"));
    EXPECT_EQ(lines[2], "00:00           11.4481");
    EXPECT_EQ(lastPath(PlatformCallKind::OpenInTextEditor), path);
    EXPECT_EQ(platform.last(PlatformCallKind::SaveFileDialog).fileRequest.types[0].name, QStringLiteral("SWMM文件(*.dat)"));
    EXPECT_FALSE(QFile::exists(platform.appData + "/Orvanta/Tavrel/options.ini"));
    // A curve switch afterwards stores itself alone; the export's switch stays in memory.
    window->findChild<QCheckBox *>("CheckBox_Overall_Rainfall")->click();
    EXPECT_TRUE(ReadBytes(platform.appData + "/Orvanta/Tavrel/options.ini").contains("TimeFormat=1"));
}

TEST_F(Exports, AFailedWriteGoesToTheErrorReport)
{
    platform.saveAnswers.push_back({true, folder + "/no/such/folder/x.csv", 0});
    trigger("MenuSaveDataToExcel1");
    EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Error);
    EXPECT_TRUE(platform.lastMessage().text.startsWith(QStringLiteral("无法写入文件"))) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(platform.count(PlatformCallKind::OpenWithDefaultProgram), 0);
}

TEST_F(Exports, PictureFormatFollowsTheTypeChosenInTheDialog)
{
    struct Case {
        const char *entry;
        const char *typed;
        int type;
        const char *written;
        const char *format;
    };
    for (const Case c : {Case{"JPG1", "a.jpg", 2, "a.png", "png"}, Case{"JPG2", "b.bmp", 1, "b.jpg", "jpeg"},
                         Case{"BMP1", "c", 0, "c.bmp", "bmp"}}) {
        platform.saveAnswers.push_back({true, folder + "/" + c.typed, c.type});
        trigger(c.entry);
        const QString path = folder + "/" + c.written;
        ASSERT_TRUE(QFile::exists(path)) << c.written;
        EXPECT_EQ(QImageReader(path).format(), QByteArray(c.format));
        EXPECT_EQ(lastPath(PlatformCallKind::OpenWithDefaultProgram), path);
    }
    const FileDialogRequest request = platform.last(PlatformCallKind::SaveFileDialog).fileRequest;
    EXPECT_EQ(request.title, QStringLiteral("保存曲线图片"));
    EXPECT_EQ(request.fileName, QStringLiteral("芝加哥雨型P=2年 t=120分 r=0.4.bmp"));
    EXPECT_EQ(request.selectedType, 0);
    EXPECT_EQ(request.types[1].name, QStringLiteral("JPG文件"));
}

TEST_F(Exports, BitmapIs24BitAndJpegIsBaseline)
{
    window->SaveChartPicture(folder + "/p.Bmp");
    const QByteArray bmp = ReadBytes(folder + "/p.Bmp");
    ASSERT_GT(bmp.size(), 54);
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);   // bits per pixel
    EXPECT_EQ(qFromLittleEndian<quint32>(bmp.constData() + 30), 0u);   // no compression

    window->SaveChartPicture(folder + "/p.jpg");
    const QByteArray jpeg = ReadBytes(folder + "/p.jpg");
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_TRUE(jpeg.contains("\xFF\xC0"));    // baseline frame
    EXPECT_FALSE(jpeg.contains("\xFF\xC2"));   // no progressive frame

    window->SaveChartPicture(folder + "/p.gif");
    EXPECT_FALSE(QFile::exists(folder + "/p.gif"));
}

TEST_F(Exports, PictureHoldsWhatTheWindowShowsAtTheChartsSize)
{
    auto *label = window->findChild<QLabel *>("Label_P");
    auto *hidden = window->findChild<QLabel *>("Label_T");
    hidden->hide();
    window->resize(1100, 700);
    QApplication::processEvents();
    const QString path = folder + "/shown.png";
    window->SaveChartPicture(path);
    const QImage picture(path);
    EXPECT_EQ(picture.size(), window->chart()->size());
    EXPECT_GT(picture.width(), 700);

    // The label's own pixels are in the picture; where the hidden one lay there is chart.
    const QImage labelPixels = label->grab().toImage().convertToFormat(QImage::Format_RGB888);
    const QImage inPicture = picture.copy(label->geometry()).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(inPicture, labelPixels);
    const QImage hiddenPixels = hidden->grab().toImage().convertToFormat(QImage::Format_RGB888);
    EXPECT_NE(picture.copy(hidden->geometry()).convertToFormat(QImage::Format_RGB888), hiddenPixels);
}

TEST_F(Exports, SettingsDialogCancelRestoresAndOkWrites)
{
    const QString ini = platform.appData + "/Orvanta/Tavrel/options.ini";
    // Untick a label in the dialog: hidden at once; cancel brings it back, file untouched.
    platform.modalScripts.push_back([this](QDialog *dialog) {
        dialog->findChild<QAbstractButton *>("CheckBox_ShowLabel_P")->click();
        EXPECT_FALSE(window->findChild<QLabel *>("Label_P")->isVisible());
        return int(QDialog::Rejected);
    });
    trigger("Menu_Options");
    EXPECT_TRUE(window->findChild<QLabel *>("Label_P")->isVisible());
    EXPECT_FALSE(QFile::exists(ini));

    // Choose mm/h and the exact ratio, then OK: all nineteen keys written, the display in mm/h.
    platform.modalScripts.push_back([this](QDialog *dialog) {
        dialog->findChild<QComboBox *>("ComboBox_StormUnit")->setCurrentIndex(0);
        // The unit shows only with the refresh after the dialog.
        EXPECT_EQ(window->chart()->leftAxis()->label(), QStringLiteral("降雨强度(mm/min)"));
        dialog->findChild<QComboBox *>("ComboBox_QI_ConversionRatio")->setCurrentIndex(5);
        dialog->findChild<QAbstractButton *>("Button_OK")->click();
        return int(QDialog::Accepted);
    });
    trigger("Menu_Options");
    const QStringList lines = SplitLines(DecodeText(ReadBytes(ini)));
    EXPECT_EQ(lines.size(), 20);
    EXPECT_TRUE(lines.contains("StormUnit=0"));
    EXPECT_TRUE(lines.contains("QI_ConversionRatio=0.006"));
    EXPECT_EQ(window->findChild<QLabel *>("Label_Average_Rainfall_Intensity")->text(), QStringLiteral("平均雨强i=30.0667mm/h"));
    EXPECT_EQ(window->chart()->leftAxis()->label(), QStringLiteral("降雨强度(mm/h)"));
    EXPECT_DOUBLE_EQ(window->Model().a1_167, 9.5981 / 0.006);
}

TEST_F(Exports, ClosingTheSettingsDialogDerivesTheOtherCoefficient)
{
    window->Model().F_type = 1;
    window->Model().a1_167 = 1000;
    platform.modalScripts.push_back([](QDialog *dialog) {
        dialog->findChild<QComboBox *>("ComboBox_QI_ConversionRatio")->setCurrentIndex(1);
        dialog->findChild<QAbstractButton *>("Button_OK")->click();
        return int(QDialog::Accepted);
    });
    trigger("Menu_Options");
    EXPECT_DOUBLE_EQ(window->Model().a1, 1000 / 166.7);

    platform.modalScripts.push_back([](QDialog *dialog) {
        dialog->findChild<QComboBox *>("ComboBox_QI_ConversionRatio")->setCurrentIndex(5);
        return int(QDialog::Rejected);   // cancelled: the file's ratio 166.7 stays in force
    });
    trigger("Menu_Options");
    EXPECT_DOUBLE_EQ(window->Model().a1, 1000 / 166.7);

    window->Model().F_type = 0;
    window->Model().a1 = 9.5981;
    trigger("Menu_Options");   // no script: closed at once
    EXPECT_DOUBLE_EQ(window->Model().a1_167, 9.5981 * 166.7);
}

TEST_F(Exports, HandEditedRatioShowsTheFirstEntryAndBoldInfoFont)
{
    const QString ini = platform.appData + "/Orvanta/Tavrel/options.ini";
    WriteBytes(ini, "[OPTIONS]\r\nQI_ConversionRatio=160\r\nFont_RainModelInfo=\"Arial\", 9, [], [clBlack]\r\n");
    LoadOptions(ini, options);
    ASSERT_EQ(options.D_QI_ConversionRatio, 160);
    platform.modalScripts.push_back([this](QDialog *dialog) {
        EXPECT_EQ(dialog->findChild<QComboBox *>("ComboBox_QI_ConversionRatio")->currentText(), "q = 167 * i");
        TFontInfo bold;
        bold.Name = "Arial";
        bold.Bold = true;
        platform.fontAnswers.push_back(bold);
        dialog->findChild<QAbstractButton *>("Button7")->click();
        EXPECT_TRUE(window->findChild<QLabel *>("Label_r")->font().bold());
        dialog->findChild<QAbstractButton *>("Button_OK")->click();
        return int(QDialog::Accepted);
    });
    trigger("Menu_Options");
    EXPECT_EQ(options.D_QI_ConversionRatio, 167);
    EXPECT_TRUE(window->findChild<QLabel *>("Label_Average_Rainfall_Intensity")->font().bold());
}

// The dialog asked about the name as typed; the name the export writes to has its own
// extension, and a file there is not replaced without asking.
TEST_F(Exports, AForcedExtensionAsksBeforeReplacingAFile)
{
    const std::tuple<const char *, const char *, int> commands[] = {
        {"MenuSaveDataToExcel", ".csv", 0}, {"MenuSaveDataToSWMM1", ".dat", 0}, {"PNG1", ".png", 2}, {"BMP2", ".bmp", 0}};
    for (const auto &[command, extension, type] : commands) {
        const QString existing = folder + "/storm" + extension;
        WriteBytes(existing, "keep");
        for (MessageResult answer : {MessageResult::No, MessageResult::Yes}) {
            platform.clearCalls();
            platform.saveAnswers.push_back({true, folder + "/storm.txt", type});
            platform.messageAnswers.push_back(answer);
            trigger(command);
            const PlatformCall question = platform.lastMessage();
            EXPECT_EQ(question.buttons, MessageButtons::YesNo) << command;
            EXPECT_TRUE(question.text.contains("storm" + QString::fromLatin1(extension))) << command;
            if (answer == MessageResult::No) {
                EXPECT_EQ(ReadBytes(existing), "keep") << command;
                EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 2) << command;   // back to the dialog
                EXPECT_EQ(platform.count(PlatformCallKind::OpenWithDefaultProgram)
                              + platform.count(PlatformCallKind::OpenInTextEditor),
                          0);
            } else {
                EXPECT_NE(ReadBytes(existing), "keep") << command;
            }
        }
    }
}

TEST_F(Exports, SwmmWritesNothingWhenTheSwitchedComputationFails)
{
    // The model no longer computes (a step of 0 behind the table's back): the switch
    // recomputes, the failure is shown, and no dialog and no file follow.
    window->Model().Storm_Step = 0;
    platform.saveAnswers.push_back({true, folder + "/storm.dat", 0});
    trigger("MenuSaveDataToSWMM1");
    ASSERT_FALSE(platform.messageTexts().isEmpty());
    EXPECT_TRUE(platform.messageTexts().first().startsWith(QStringLiteral("出错：")));
    EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 0);
    EXPECT_FALSE(QFile::exists(folder + "/storm.dat"));
    EXPECT_EQ(platform.count(PlatformCallKind::OpenInTextEditor), 0);
}
