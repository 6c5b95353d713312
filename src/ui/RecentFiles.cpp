#include "RecentFiles.h"

#include <QAction>
#include <QDir>

RecentFilesMenu::RecentFilesMenu(QWidget *parent) : QMenu(QStringLiteral("最近打开的文件"), parent)
{
    setObjectName(QStringLiteral("Menu_RecentFiles"));
    setFiles({});
}

void RecentFilesMenu::setFiles(const QStringList &files)
{
    // The old entries go at once: a test or a shortcut must never find one of them again.
    for (QAction *action : actions()) {
        removeAction(action);
        action->deleteLater();
        action->setObjectName(QString());
    }
    int number = 0;
    for (const QString &file : files) {
        ++number;
        // The whole path: two storms of one name in different folders must be told apart.
        QString shown = QDir::toNativeSeparators(file);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *action = addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(shown) : shown);
        action->setObjectName(QStringLiteral("Menu_Recent%1").arg(number));
        connect(action, &QAction::triggered, this, [this, file] { emit fileChosen(file); });
    }
    if (!files.isEmpty()) {
        addSeparator();
        QAction *clear = addAction(QStringLiteral("清除列表"));
        clear->setObjectName(QStringLiteral("Menu_RecentClear"));
        connect(clear, &QAction::triggered, this, &RecentFilesMenu::clearChosen);
    }
    setEnabled(!files.isEmpty());
}
