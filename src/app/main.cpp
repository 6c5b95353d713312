// The desktop program.
#include "app/CommandLine.h"
#include "app/StartUpWarmUp.h"
#include "platform/QtPlatform.h"
#include "ui/AppIcon.h"
#include "ui/FirstPaint.h"
#include "ui/FormTavrel.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    if (AnswerInformationRequest(argc, argv))
        return 0;
    StartUpWarmUp warmUp;   // the fonts, while Qt connects to the display
    QApplication app(argc, argv);
    warmUp.loadImageFormats();   // while the window is made
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    // The desktop entry's name, so a desktop can match the window to its entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrel"));
    // Numbers read and written with "." whatever the user's locale.
    QLocale::setDefault(QLocale::c());

    // Standard buttons read 确定, 取消, 是, 否.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtPlatform platform;
    TOptions options;   // the window loads them from the settings file
    TFormTavrel window(platform, options);
    window.show();
    // Painting the icon at seven sizes and handing them to the X server took 10 ms, longer
    // than anything else before the window's first picture; the icon follows it instead.
    RunAfterFirstPaint(window, [] { QApplication::setWindowIcon(AppIcon()); });

    // tavrel FILE.txt opens that rain-model file, as the desktop entry passes it.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty())
        window.OpenFileFromCommandLine(arguments.first());
    return QApplication::exec();
}
