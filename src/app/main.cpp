// The desktop program.
#include "app/CommandLine.h"
#include "platform/QtPlatform.h"
#include "ui/AppIcon.h"
#include "ui/FormTavrel.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    if (AnswerInformationRequest(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    // The desktop entry's name, so a desktop can match the window to its entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrel"));
    QApplication::setWindowIcon(AppIcon());
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

    // tavrel FILE.txt opens that rain-model file, as the desktop entry passes it.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty())
        window.OpenFileFromCommandLine(arguments.first());
    return QApplication::exec();
}
