#pragma once
// ZIP archives in memory, for the Office packages, through libzip. Errors come back as
// libzip's reason; the caller says what failed.
#include <QByteArray>
#include <QString>

#include <memory>

// An archive read from bytes, which it keeps.
class ZipReader {
public:
    virtual ~ZipReader() = default;
    virtual qint64 Count() const = 0;
    // The entry's name as stored ("word/document.xml"; a folder's ends in "/").
    virtual bool Name(qint64 index, QString &name, QString &error) = 0;
    // The entry's bytes, inflated.
    virtual bool Read(qint64 index, QByteArray &bytes, QString &error) = 0;
};

// An archive being made in memory; every entry is deflated at the level it was made with.
class ZipWriter {
public:
    virtual ~ZipWriter() = default;
    virtual bool Add(const QString &name, QByteArray bytes, QString &error) = 0;
    // The entry `index` of `from` as it is stored there, without inflating and deflating
    // it again; `from` must live until Finish.
    virtual bool Copy(const QString &name, ZipReader &from, qint64 index, QString &error) = 0;
    // The finished archive; nothing can be added after.
    virtual bool Finish(QByteArray &archive, QString &error) = 0;
};

// Each returns nullptr and sets `error` when it fails.
std::unique_ptr<ZipReader> OpenZipArchive(const QByteArray &archive, QString &error);
std::unique_ptr<ZipWriter> CreateZipArchive(int level, QString &error);
