#include "TextFile.h"
#include "Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <cerrno>

#ifdef Q_OS_WIN
// Windows' own GBK, code page 936, which writes the same bytes as the converter of Qt's
// other platforms: no best-fit guesses, "?" for a character GBK lacks, and one "?" for a
// character outside the Basic Multilingual Plane (a surrogate pair).
namespace {
constexpr UINT GbkCodePage = 936;

// Characters that Unicode says a renderer may ignore (soft hyphen, zero-width and
// direction marks, variation selectors, ...). None is in GBK; ICU leaves them out of GBK
// text where Windows would put a "?", so they are left out here too.
bool IsDefaultIgnorable(char32_t c)
{
    static constexpr std::pair<char32_t, char32_t> ranges[] = {
        {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x061C, 0x061C}, {0x115F, 0x1160}, {0x17B4, 0x17B5},
        {0x180B, 0x180F}, {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x206F}, {0x3164, 0x3164},
        {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}};
    return std::any_of(std::begin(ranges), std::end(ranges),
                       [c](const auto &r) { return c >= r.first && c <= r.second; });
}
} // namespace

QByteArray EncodeGbk(const QString &text)
{
    std::wstring wide;
    wide.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            if (!IsDefaultIgnorable(QChar::surrogateToUcs4(c, text.at(i + 1))))
                wide.push_back(L'?');
            ++i;
        } else if (!IsDefaultIgnorable(c.unicode())) {
            wide.push_back(c.isSurrogate() ? L'?' : wchar_t(c.unicode()));
        }
    }
    if (wide.empty())
        return {};
    const int length = int(wide.size());
    const int size = WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, "?", nullptr);
    if (size <= 0)
        throw TavrelError(QStringLiteral("系统不支持GBK编码"));
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(), size, "?", nullptr);
    return bytes;
}

QString DecodeGbk(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size = MultiByteToWideChar(GbkCodePage, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    std::wstring wide(size_t(std::max(size, 0)), L'\0');
    if (size > 0)
        MultiByteToWideChar(GbkCodePage, 0, bytes.constData(), int(bytes.size()), wide.data(), size);
    return QString::fromWCharArray(wide.data(), qsizetype(wide.size()));
}
#else
QByteArray EncodeGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    if (!encoder.isValid())
        throw TavrelError(QStringLiteral("系统不支持GBK编码"));
    return encoder.encode(text);
}

QString DecodeGbk(const QByteArray &bytes)
{
    QStringDecoder gbk("GBK");
    if (!gbk.isValid())
        return QString::fromLatin1(bytes);
    return gbk.decode(bytes);
}
#endif

QByteArray GbkLines(const QStringList &lines)
{
    // Lines of plain ASCII (the data lines of every table) are the same bytes in GBK and
    // are copied as they stand; only the others go through the converter.
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    bytes.reserve(size);
    for (const QString &line : lines) {
        const bool ascii = std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x80; });
        bytes += ascii ? line.toLatin1() : EncodeGbk(line);
        bytes += "\r\n";
    }
    return bytes;
}

QString DecodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        return decoder.decode(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeGbk(bytes);
}

QString WriteFailureReason(int code, const QString &fallback)
{
    switch (code) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case ENOENT:
        return QStringLiteral("文件夹不存在");
    case ENOTDIR:
        return QStringLiteral("路径中的某一级不是文件夹");
    case EISDIR:
        return QStringLiteral("已有同名的文件夹");
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("超出了磁盘配额");
#endif
    case EFBIG:
        return QStringLiteral("文件太大");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("文件被占用");
    case ENAMETOOLONG:
        return QStringLiteral("文件名太长");
    default:
        return fallback;
    }
}

QString CannotWriteMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason);
}

namespace {
// Forgets the last system error, so that a failure afterwards is known by its own.
void ClearSystemError()
{
    errno = 0;
#ifdef Q_OS_WIN
    SetLastError(0);
#endif
}

// The last failed system call's reason as an errno code. Qt writes files through the
// Windows API there, which leaves errno alone and says why in its own error codes.
int LastSystemError()
{
#ifdef Q_OS_WIN
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        break;
    }
#endif
    return errno;
}
} // namespace

void WriteFileAtomically(const QString &path, const QByteArray &bytes)
{
    auto fail = [&](const QString &reason) { return TavrelError(CannotWriteMessage(path, reason)); };
    ClearSystemError();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fail(WriteFailureReason(LastSystemError(), file.errorString()));
    // Qt takes a short write (disk full, file too large) for success: it keeps what fitted
    // and, when the bytes waited in its buffer, commit() still renames the cut file into
    // place. So flush here and insist on every byte before committing. Qt records no
    // reason for a short write; the failed system call left it in errno.
    ClearSystemError();
    const bool complete = file.write(bytes) == bytes.size() && file.flush();
    if (!complete) {
        const int code = LastSystemError();
        const QString reason = WriteFailureReason(code, code != 0 ? qt_error_string(code) : file.errorString());
        file.cancelWriting();
        throw fail(reason);
    }
    ClearSystemError();
    if (!file.commit())
        throw fail(WriteFailureReason(LastSystemError(), file.errorString()));
}

QByteArray ReadWholeFile(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TavrelError(QStringLiteral("无法打开文件“%1”：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    const auto tooLarge = [&] {
        return TavrelError(QStringLiteral("文件“%1”太大（超过%2字节），不能读取")
                               .arg(QDir::toNativeSeparators(path))
                               .arg(maxBytes));
    };
    // The size is known before reading for a plain file; a device or a pipe reports none,
    // so the reading itself stops one byte past the limit as well.
    if (maxBytes >= 0 && file.size() > maxBytes)
        throw tooLarge();
    QByteArray bytes = maxBytes >= 0 ? file.read(maxBytes + 1) : file.readAll();
    if (maxBytes >= 0 && bytes.size() > maxBytes)
        throw tooLarge();
    if (file.error() != QFileDevice::NoError)
        throw TavrelError(QStringLiteral("无法读取文件“%1”：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return bytes;
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QString ReplaceExtension(const QString &path, const QString &extension)
{
    qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
#ifdef Q_OS_WIN
    nameStart = std::max(nameStart, path.lastIndexOf(QLatin1Char('\\')) + 1);
#endif
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot >= nameStart)
        return path.left(dot) + extension;
    return path + extension;
}
