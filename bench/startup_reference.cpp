// The yardstick of the start-up measurement (bench/startup.sh): an empty Qt main window
// with one Chinese label, started the way the desktop program starts.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("芝加哥雨型")));
    window.resize(800, 500);
    window.show();
    return QApplication::exec();
}
