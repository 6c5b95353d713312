#include "TemplatePackage.h"

#include "ZipArchive.h"
#include "core/Failure.h"
#include "core/TextFile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>


#include <cerrno>
#include <filesystem>
#include <system_error>

const QString PackagePlacementFailedMessage = ErrorPrefix + QStringLiteral("保存文件失败，可能是文件被占用");

namespace {

const QString TemplateResourceFolder = QStringLiteral(":/templates/");

// The fastest deflate level: the parts are repetitive XML that shrinks well at any level,
// and the pictures do not shrink at all, so higher levels cost time for a few per cent.
constexpr int PackingLevel = 1;

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

TavrelError CannotCreate(const QString &path, const QString &reason)
{
    return TavrelError(CannotWriteMessage(path, reason));
}

// Entry names come from our own resources, but a name that climbs out of the work folder
// or is absolute is refused all the same.
bool SafeEntryName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1Char(':')))
        return false;
    const QStringList steps = name.split(QLatin1Char('/'));
    return !steps.contains(QStringLiteral("..")) && !steps.contains(QStringLiteral("."));
}

std::filesystem::path FileSystemPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// What libzip made or read, or the reason it failed.
[[noreturn]] void PackingFailed(const QString &reason)
{
    throw TavrelError(reason.isEmpty() ? QStringLiteral("无法建立压缩包") : QStringLiteral("无法建立压缩包：%1").arg(reason));
}

std::unique_ptr<ZipWriter> NewArchive()
{
    QString error;
    std::unique_ptr<ZipWriter> archive = CreateZipArchive(PackingLevel, error);
    if (!archive)
        PackingFailed(error);
    return archive;
}

// The whole file, read into `buffer`, whose room is used when it is large enough.
QByteArray ReadFileInto(const QString &path, QByteArray buffer)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TavrelError(QStringLiteral("无法打开文件“%1”：%2").arg(Native(path), file.errorString()));
    const qint64 size = file.size();
    buffer.resize(static_cast<qsizetype>(size));
    if (file.read(buffer.data(), size) != size || !file.atEnd())
        throw TavrelError(QStringLiteral("无法读取文件“%1”：%2").arg(Native(path), file.errorString()));
    return buffer;
}

// Every file under `folder`, as entry names relative to it, "[Content_Types].xml" first
// (some readers look for it at the front), the rest in a fixed order.
QStringList FilesUnder(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext())
        names.append(base.relativeFilePath(it.next()));
    names.sort();
    const QString types = QStringLiteral("[Content_Types].xml");
    if (names.removeOne(types))
        names.prepend(types);
    return names;
}

// Creates the package archive as a new file: a file already under that name is the
// user's, so it is never opened, and the next free name is taken instead.
QString CreateArchiveFile(const QString &preferred, QFile &file)
{
    const QString stem = preferred.left(preferred.size() - 4);   // without ".bin"
    for (int k = 0; k < 1000; ++k) {
        const QString candidate = k == 0 ? preferred : QStringLiteral("%1~%2.bin").arg(stem).arg(k);
        const QFileInfo info(candidate);
        if (info.exists() || info.isSymLink())
            continue;
        file.setFileName(candidate);
        errno = 0;
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return candidate;
        const int code = errno;
        if (!QFileInfo(candidate).exists() && !QFileInfo(candidate).isSymLink())
            throw CannotCreate(candidate, WriteFailureReason(code, file.errorString()));
    }
    throw CannotCreate(preferred, QStringLiteral("没有可用的文件名"));
}

} // namespace

QStringList BuiltInTemplateNames()
{
    return QDir(TemplateResourceFolder).entryList(QDir::Files, QDir::Name);
}

QByteArray BuiltInTemplateArchive(const QString &name)
{
    for (const QString &entry : BuiltInTemplateNames()) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QFile resource(TemplateResourceFolder + entry);
        if (!resource.open(QIODevice::ReadOnly))
            break;
        return resource.readAll();
    }
    throw TavrelError(QStringLiteral("找不到模板“%1”").arg(name));
}

TemplatePackage::TemplatePackage(const QString &tempFolder) : temp(tempFolder) {}

TemplatePackage::~TemplatePackage()
{
    close();
}

void TemplatePackage::close()
{
    work.reset();
    unpacked.clear();
    written.clear();
    templateArchive.reset();
}

QString TemplatePackage::Open(const QString &name)
{
    return OpenArchive(BuiltInTemplateArchive(name), name);
}

QString TemplatePackage::OpenArchive(const QByteArray &bytes, const QString &name)
{
    close();
    QDir().mkpath(temp);
    auto folder = std::make_unique<QTemporaryDir>(QDir(temp).filePath(QStringLiteral("tmpXXXXXX")));
    if (!folder->isValid())
        throw TavrelError(QStringLiteral("无法在“%1”中建立临时文件夹：%2").arg(Native(temp), folder->errorString()));
    const QString root = folder->path() + QLatin1Char('/');

    QString reason;
    templateArchive = OpenZipArchive(bytes, reason);
    if (!templateArchive)
        throw TavrelError(QStringLiteral("模板“%1”无法读取：%2").arg(name, reason));

    try {
        const auto unreadable = [&] { return TavrelError(QStringLiteral("模板“%1”无法读取：%2").arg(name, reason)); };
        const qint64 count = templateArchive->Count();
        for (qint64 index = 0; index < count; ++index) {
            QString entry;
            if (!templateArchive->Name(index, entry, reason))
                throw unreadable();
            if (!SafeEntryName(entry))
                throw TavrelError(QStringLiteral("模板“%1”中有无效的名称“%2”").arg(name, entry));
            if (entry.endsWith(QLatin1Char('/'))) {
                QDir().mkpath(root + entry);
                continue;
            }
            QByteArray data;
            if (!templateArchive->Read(index, data, reason))
                throw unreadable();
            const QString path = root + entry;
            QDir().mkpath(QFileInfo(path).path());
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.flush())
                throw CannotCreate(path, out.errorString());
            unpacked[entry] = {index, std::move(data)};
        }
    } catch (...) {
        close();   // the folder goes with it
        throw;
    }
    work = std::move(folder);
    return root;
}

QString TemplatePackage::WorkFolder() const
{
    return work ? work->path() + QLatin1Char('/') : QString();
}

QString TemplatePackage::PartPath(const QString &part) const
{
    const QString path = WorkFolder() + part;
    if (work)
        QDir().mkpath(QFileInfo(path).path());
    return path;
}

QString TemplatePackage::checkedPartPath(const QString &part) const
{
    if (!work)
        throw TavrelError(QStringLiteral("模板尚未打开"));
    if (!SafeEntryName(part))
        throw TavrelError(QStringLiteral("无效的部件名称“%1”").arg(part));
    return PartPath(part);
}

QString TemplatePackage::ReadPartText(const QString &part) const
{
    QFile file(checkedPartPath(part));
    if (!file.open(QIODevice::ReadOnly))
        throw TavrelError(QStringLiteral("模板中缺少“%1”：%2").arg(part, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

void TemplatePackage::WritePartText(const QString &part, const QString &text)
{
    WritePart(part, text.toUtf8());
}

void TemplatePackage::WritePart(const QString &part, QByteArray bytes)
{
    const QString path = checkedPartPath(part);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw CannotCreate(path, file.errorString());
    written[part] = std::move(bytes);
}

void TemplatePackage::stampTime()
{
    const QString part = QStringLiteral("docProps/core.xml");
    if (!QFileInfo(PartPath(part)).isFile())
        return;
    // The text of both elements, whatever their attributes; W3CDTF in UTC, to the second.
    static const QRegularExpression times(
        QStringLiteral("(<dcterms:(created|modified)\\b[^>]*>)[^<]*(</dcterms:\\2>)"));
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    QString text = ReadPartText(part);
    text.replace(times, QStringLiteral("\\1") + now + QStringLiteral("\\3"));
    WritePartText(part, text);
}

QString TemplatePackage::ArchivePathFor(const QString &target)
{
    return ReplaceExtension(target, QStringLiteral(".bin"));
}

PackagePlacement TemplatePackage::SaveAs(const QString &target)
{
    if (!work)
        throw TavrelError(QStringLiteral("模板尚未打开"));

    // Pack in memory first: until the archive file is made nothing beside the target changes.
    QByteArray packed;
    {
        const QString root = WorkFolder();
        stampTime();
        const std::unique_ptr<ZipWriter> archive = NewArchive();
        QString reason;
        for (const QString &name : FilesUnder(root)) {
            const auto kept = written.find(name);
            QByteArray bytes = kept != written.end() ? ReadFileInto(root + name, std::move(kept->second))
                                                     : ReadWholeFile(root + name);
            const auto original = unpacked.find(name);
            const bool added = original != unpacked.end() && original->second.bytes == bytes
                                   ? archive->Copy(name, *templateArchive, original->second.index, reason)
                                   : archive->Add(name, std::move(bytes), reason);
            if (!added)
                PackingFailed(reason);
        }
        if (!archive->Finish(packed, reason))
            PackingFailed(reason);
    }
    close();

    QFile file;
    const QString archivePath = CreateArchiveFile(ArchivePathFor(target), file);
    errno = 0;
    const bool written = file.write(packed) == packed.size() && file.flush();
    const int code = errno;
    const QString reason = WriteFailureReason(code, code != 0 ? qt_error_string(code) : file.errorString());
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(archivePath);
        throw CannotCreate(archivePath, reason);
    }

    // One rename over the target: it holds either the old file or the new one, never
    // neither. A target in use, or a folder of that name, makes the rename fail.
    std::error_code error;
    std::filesystem::rename(FileSystemPath(archivePath), FileSystemPath(target), error);
    if (error) {
        QFile::remove(archivePath);
        return PackagePlacement::TargetBusy;
    }
    return PackagePlacement::Placed;
}

RowTemplate::RowTemplate(const QString &format)
{
    const QString placeholder = QStringLiteral("%s");
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = format.indexOf(placeholder, from);
        if (at < 0)
            break;
        pieces.push_back(format.mid(from, at - from));
        from = at + placeholder.size();
    }
    pieces.push_back(format.mid(from));
    for (const QString &piece : pieces) {
        fixedLength += piece.size();
        utf8Pieces.push_back(piece.toUtf8());
        fixedUtf8Length += utf8Pieces.back().size();
    }
}

void AppendUtf8(QByteArray &out, const QString &text)
{
    // The table's texts are nearly always ASCII: narrowed in place, without a converted
    // copy of each.
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char *to = out.data() + at;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out.truncate(at);
            out += text.toUtf8();
            return;
        }
        *to++ = static_cast<char>(c.unicode());
    }
}
