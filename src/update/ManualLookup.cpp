#include "ManualLookup.h"

#include <QDir>

namespace {

QString FirstManualIn(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("软件说明书*.pdf")}, QDir::Files, QDir::Name);
    return names.isEmpty() ? QString() : dir.filePath(names.first());
}

} // namespace

QString FindUserManual(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return {};
    const QString beside = FirstManualIn(programFolder);
    if (!beside.isEmpty())
        return beside;
    // An installed program lives in <prefix>/bin with its documents in <prefix>/share/doc.
    return FirstManualIn(QDir::cleanPath(programFolder + QStringLiteral("/../share/doc/tavrel")));
}
