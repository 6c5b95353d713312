#include "PrivateModule.h"

#include "Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMutex>
#include <map>
#include <memory>
#include <string>

namespace {

QString ExecutableFolder()
{
#ifdef Q_OS_LINUX
    // Also without an application object (benchmarks, early in main).
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path();
#else
    return QCoreApplication::applicationDirPath();
#endif
}

// The module folder as seen from the executable's folder: bin/ and the build tree's
// folders are one step below the prefix, libexec/tavrel/ two.
QStringList ModuleFolders()
{
    const QString executable = ExecutableFolder();
    const QString below = QStringLiteral("/" TAVREL_MODULE_SUBDIR);
    return {QDir::cleanPath(executable + QStringLiteral("/..") + below),
            QDir::cleanPath(executable + QStringLiteral("/../..") + below), executable};
}

} // namespace

QFunctionPointer ModuleFunction(const char *module, const char *function)
{
    static QMutex mutex;
    static std::map<std::string, std::unique_ptr<QLibrary>> loaded;
    const QMutexLocker lock(&mutex);

    auto &library = loaded[module];
    if (!library) {
        const QStringList folders = ModuleFolders();
        const QString file = QLatin1String(module) + QStringLiteral(TAVREL_MODULE_SUFFIX);
        QString reason = QStringLiteral("找不到“%1”").arg(QDir::toNativeSeparators(folders.front() + QLatin1Char('/') + file));
        for (const QString &folder : folders) {
            const QString path = folder + QLatin1Char('/') + file;
            if (!QFileInfo::exists(path))
                continue;
            auto candidate = std::make_unique<QLibrary>(path);
            if (candidate->load()) {
                library = std::move(candidate);
                break;
            }
            reason = candidate->errorString();
        }
        if (!library) {
            loaded.erase(module);
            throw TavrelError(QStringLiteral("无法载入程序模块 %1：%2").arg(QLatin1String(module), reason));
        }
    }
    const QFunctionPointer address = library->resolve(function);
    if (!address)
        throw TavrelError(QStringLiteral("程序模块 %1 中缺少 %2").arg(QLatin1String(module), QLatin1String(function)));
    return address;
}
