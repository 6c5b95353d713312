#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Plain text files (rain-model, CSV, SWMM) are GBK without a byte-order mark, CR LF after
// every line, the last one included.
QByteArray EncodeGbk(const QString &text);
QByteArray GbkLines(const QStringList &lines);
// GBK bytes as text; bytes that are not GBK become replacement characters.
QString DecodeGbk(const QByteArray &bytes);

// A UTF-8 or UTF-16 byte-order mark is honoured; without one, valid UTF-8 is read as
// UTF-8 and anything else as GBK.
QString DecodeText(const QByteArray &bytes);

// Why a file could not be written, in the user's language: the common system errors
// (permission, full disk, read-only medium, missing folder ...) by their errno code, any
// other by the system's own text `fallback`.
QString WriteFailureReason(int code, const QString &fallback);
// The message of every failed write: "无法写入文件“<path>”：<reason>".
QString CannotWriteMessage(const QString &path, const QString &reason);

// Writes through a temporary file beside the target and renames it into place, so a
// failed write leaves an existing file whole. Throws TavrelError (CannotWriteMessage).
void WriteFileAtomically(const QString &path, const QByteArray &bytes);

// Rain-model files and options.ini are a few hundred bytes; anything over this is not one
// of them and is refused before it is read.
constexpr qint64 MaxSettingsFileBytes = 1024 * 1024;

// Reads a whole file; throws TavrelError when it cannot, or when it holds more than
// maxBytes (a negative limit reads any size).
QByteArray ReadWholeFile(const QString &path, qint64 maxBytes = -1);

// Splits at CR LF, CR or LF.
QStringList SplitLines(const QString &text);

// Replaces the extension of the last path component (from its last ".") by `extension`
// (which begins with "."); a name without "." gets it appended.
QString ReplaceExtension(const QString &path, const QString &extension);
