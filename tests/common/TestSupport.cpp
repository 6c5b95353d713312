#include "TestSupport.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

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
