// The charts of tavrel-cli: drawn offscreen in the main window, exactly as the desktop
// program saves them.
#include "CliCharts.h"

#include "core/Failure.h"
#include "platform/Platform.h"
#include "ui/FormTavrel.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <functional>

namespace {

// Nobody is there to answer: dialogs are cancelled and messages kept for the report.
class HeadlessPlatform : public Platform {
public:
    QStringList messages;
    QTemporaryDir settingsFolder;

    FileDialogResult saveFileDialog(QWidget *, const FileDialogRequest &) override { return {}; }
    FileDialogResult openFileDialog(QWidget *, const FileDialogRequest &) override { return {}; }
    MessageResult messageBox(QWidget *, MessageIcon, const QString &, const QString &text, MessageButtons buttons) override
    {
        messages.append(text);
        return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
    }
    bool fontDialog(QWidget *, TFontInfo &) override { return false; }
    int showModal(QDialog *) override { return 0; }
    bool openWithDefaultProgram(const QString &) override { return true; }
    bool openInTextEditor(const QString &) override { return true; }
    HttpReply httpGet(const HttpRequest &) override { return {}; }
    // The window's own settings folder lies in a throw-away folder: the tool's settings
    // come from the context, and nothing of the user's is touched.
    QString appDataFolder() override { return settingsFolder.path(); }
    QString tempFolder() override { return QDir::tempPath(); }
    void setClipboardText(const QString &) override {}
};

// The main window with the storm and settings of `context`, shown offscreen, for `use`.
void InWindow(const CliOutputContext &context, const std::function<void(TFormTavrel &)> &use)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw TavrelError(QStringLiteral("图片输出需要图形界面库 / pictures need the desktop libraries"));
    HeadlessPlatform platform;
    TOptions options;
    {
        TFormTavrel window(platform, options);
        options = context.options;
        window.Model() = context.model;
        window.ApplyOptionsToMainWindow();
        platform.messages.clear();
        window.RefreshRainModel();
        if (!platform.messages.isEmpty())
            throw TavrelError(platform.messages.join(QLatin1Char('\n')));
        window.setAttribute(Qt::WA_DontShowOnScreen);
        window.show();
        QCoreApplication::processEvents();
        use(window);
    }
}

} // namespace

void DrawStormChart(const CliOutputContext &storm, const QString &path, bool bookSize)
{
    InWindow(storm, [&](TFormTavrel &window) {
        if (bookSize)
            window.SaveBookChartPicture(path);
        else
            window.SaveChartPicture(path);
    });
}
