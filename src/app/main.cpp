// The desktop program.
#include "platform/QtPlatform.h"
#include "ui/FormTavrel.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    // Numbers read and written with "." whatever the user's locale.
    QLocale::setDefault(QLocale::c());

    // Standard buttons read 确定, 取消, 是, 否.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtPlatform platform;
    TFormTavrel window(platform);
    window.show();
    return QApplication::exec();
}
