#pragma once
// The menu of the recent rain-model files: one entry per file, newest first, numbered for
// the keyboard, and an entry that empties the list.
#include <QMenu>
#include <QStringList>

class RecentFilesMenu : public QMenu {
    Q_OBJECT
public:
    explicit RecentFilesMenu(QWidget *parent = nullptr);
    // The entries Menu_Recent1 ... for these files; the menu is disabled when there are none.
    void setFiles(const QStringList &files);

signals:
    void fileChosen(const QString &path);
    void clearChosen();
};
