#pragma once
#include <QByteArray>
#include <QString>

// A fresh folder under the test run's own temporary folder.
QString MakeTempFolder();
QByteArray ReadBytes(const QString &path);
void WriteBytes(const QString &path, const QByteArray &bytes);
