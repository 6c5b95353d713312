#pragma once
#include <QByteArray>
#include <QString>

// A fresh folder under the test run's own temporary folder.
QString MakeTempFolder();
QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);

// While it lives, this process's file access is checked as an ordinary user's. The suite
// runs as root in CI, and root passes every permission check, so a test of a read-only
// folder or an unreadable file would otherwise check nothing. Without root it changes
// nothing. Use it with folders from MakeUserFolder().
class AsOrdinaryUser {
public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    bool switched = false;
};

// A fresh folder that belongs to the ordinary user of AsOrdinaryUser.
QString MakeUserFolder();

// Windows has no POSIX permission bits: a folder marked read-only still takes new files,
// so a test of what a read-only folder or an unreadable file does checks nothing there.
#ifdef Q_OS_WIN
#define SKIP_WITHOUT_POSIX_PERMISSIONS() GTEST_SKIP() << "Windows has no POSIX permissions"
#else
#define SKIP_WITHOUT_POSIX_PERMISSIONS() static_cast<void>(0)
#endif
