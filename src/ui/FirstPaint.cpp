#include "ui/FirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int UnexposedDelayMs = 1000;

class FirstExposure : public QObject {
public:
    FirstExposure(QWindow *window, std::function<void()> work) : QObject(window), work(std::move(work))
    {
        window->installEventFilter(this);
        QTimer::singleShot(UnexposedDelayMs, this, [this] { run(); });
        if (window->isExposed())
            queue();
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        // Seen before the window handles it, which paints; the queued call comes after.
        if (event->type() == QEvent::Expose)
            queue();
        return false;
    }

private:
    void queue()
    {
        QMetaObject::invokeMethod(this, [this] { run(); }, Qt::QueuedConnection);
    }

    void run()
    {
        if (!work)
            return;
        const std::function<void()> once = std::move(work);
        work = nullptr;
        deleteLater();
        once();
    }

    std::function<void()> work;
};

} // namespace

void RunAfterFirstPaint(QWidget &window, std::function<void()> work)
{
    window.winId();   // the native window exists from here on
    new FirstExposure(window.windowHandle(), std::move(work));
}
