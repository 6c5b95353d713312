#include "TestSupport.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>

namespace {
// "nobody" where it exists, else its usual number.
std::pair<uid_t, gid_t> OrdinaryUserIds()
{
    if (const passwd *user = getpwnam("nobody"))
        return {user->pw_uid, user->pw_gid};
    return {65534, 65534};
}
} // namespace
#endif

QString MakeTempFolder()
{
    const QString base = qEnvironmentVariable("TAVREL_TEST_ROOT", QDir::tempPath());
    const QString path = base + "/t-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QDir().mkpath(path);
    return path;
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

#ifdef Q_OS_WIN
// One user's rights are all there is to check there.
QString MakeUserFolder()
{
    return MakeTempFolder();
}

AsOrdinaryUser::AsOrdinaryUser() = default;
AsOrdinaryUser::~AsOrdinaryUser() = default;
#else
QString MakeUserFolder()
{
    const QString path = MakeTempFolder();
    if (geteuid() == 0) {
        const auto [uid, gid] = OrdinaryUserIds();
        EXPECT_EQ(chown(QFile::encodeName(path).constData(), uid, gid), 0) << path.toStdString();
    }
    return path;
}

AsOrdinaryUser::AsOrdinaryUser()
{
    if (geteuid() != 0)
        return;
    const auto [uid, gid] = OrdinaryUserIds();
    // Group first: once the user is no longer root it may not change its group.
    switched = setegid(gid) == 0 && seteuid(uid) == 0;
    EXPECT_TRUE(switched) << "could not take an ordinary user's rights";
}

AsOrdinaryUser::~AsOrdinaryUser()
{
    if (!switched)
        return;
    EXPECT_EQ(seteuid(0), 0);
    EXPECT_EQ(setegid(0), 0);
}
#endif
