#include "ZipArchive.h"

#include <zip.h>

#include <vector>

namespace {

QString ErrorText(zip_error_t *error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

// Opens an archive on `source`; frees the source when that fails.
zip_t *OpenOn(zip_source_t *source, int flags, zip_error_t &error)
{
    zip_t *archive = source ? zip_open_from_source(source, flags, &error) : nullptr;
    if (!archive && source)
        zip_source_free(source);
    return archive;
}

class LibzipReader final : public ZipReader {
public:
    explicit LibzipReader(const QByteArray &bytes) : bytes(bytes) {}
    ~LibzipReader() override
    {
        if (archive)
            zip_discard(archive);   // also frees its source
    }

    bool open(QString &error)
    {
        zip_error_t reason;
        zip_error_init(&reason);
        archive = OpenOn(zip_source_buffer_create(bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &reason),
                         ZIP_RDONLY, reason);
        if (!archive)
            error = ErrorText(&reason);
        zip_error_fini(&reason);
        return archive != nullptr;
    }

    qint64 Count() const override { return zip_get_num_entries(archive, 0); }

    bool Name(qint64 index, QString &name, QString &error) override
    {
        const char *stored = zip_get_name(archive, static_cast<zip_uint64_t>(index), ZIP_FL_ENC_GUESS);
        if (!stored)
            return fail(error);
        name = QString::fromUtf8(stored);
        return true;
    }

    bool Read(qint64 index, QByteArray &data, QString &error) override
    {
        const auto at = static_cast<zip_uint64_t>(index);
        zip_stat_t stat;
        if (zip_stat_index(archive, at, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            return fail(error);
        data.resize(static_cast<qsizetype>(stat.size));
        zip_file_t *file = zip_fopen_index(archive, at, 0);
        const zip_int64_t read = file ? zip_fread(file, data.data(), stat.size) : -1;
        if (file)
            zip_fclose(file);
        if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size)
            return fail(error);
        return true;
    }

    zip_t *handle() const { return archive; }

private:
    bool fail(QString &error) const
    {
        error = QString::fromUtf8(zip_strerror(archive));
        return false;
    }

    QByteArray bytes;   // the archive reads from them while it is open
    zip_t *archive = nullptr;
};

class LibzipWriter final : public ZipWriter {
public:
    explicit LibzipWriter(int level) : level(static_cast<zip_uint32_t>(level)) {}
    ~LibzipWriter() override
    {
        if (archive)
            zip_discard(archive);
        if (source)
            zip_source_free(source);
    }

    bool open(QString &error)
    {
        zip_error_t reason;
        zip_error_init(&reason);
        source = zip_source_buffer_create(nullptr, 0, 0, &reason);
        if (source)
            archive = zip_open_from_source(source, ZIP_TRUNCATE, &reason);
        if (!archive)
            error = ErrorText(&reason);
        zip_error_fini(&reason);
        if (!archive)
            return false;
        zip_source_keep(source);   // it outlives the archive: the result is read from it
        return true;
    }

    bool Add(const QString &name, QByteArray bytes, QString &error) override
    {
        contents.push_back(std::move(bytes));   // libzip reads them only when it closes
        const QByteArray &data = contents.back();
        return addEntry(name, zip_source_buffer(archive, data.constData(), static_cast<zip_uint64_t>(data.size()), 0), error);
    }

    bool Copy(const QString &name, ZipReader &from, qint64 index, QString &error) override
    {
        // Every reader is a LibzipReader (OpenZipArchive makes them).
        const auto &reader = static_cast<const LibzipReader &>(from);
        return addEntry(name, zip_source_zip(archive, reader.handle(), static_cast<zip_uint64_t>(index), ZIP_FL_COMPRESSED, 0, -1),
                        error);
    }

    bool Finish(QByteArray &packed, QString &error) override
    {
        if (zip_close(archive) != 0)
            return fail(error);
        archive = nullptr;
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_source_stat(source, &stat) != 0 || zip_source_open(source) != 0) {
            error = QString::fromUtf8(zip_error_strerror(zip_source_error(source)));
            return false;
        }
        packed.resize(static_cast<qsizetype>(stat.size));
        const zip_int64_t read = zip_source_read(source, packed.data(), stat.size);
        zip_source_close(source);
        if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
            error.clear();
            return false;
        }
        return true;
    }

private:
    bool fail(QString &error) const
    {
        error = archive ? QString::fromUtf8(zip_strerror(archive)) : QString();
        return false;
    }

    // Adds the entry, deflated; the archive owns `entry` once it is added.
    bool addEntry(const QString &name, zip_source_t *entry, QString &error)
    {
        if (!archive || !entry)
            return fail(error);
        const zip_int64_t index = zip_file_add(archive, name.toUtf8().constData(), entry, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(entry);
            return fail(error);
        }
        if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, level) != 0)
            return fail(error);
        return true;
    }

    zip_uint32_t level;
    zip_source_t *source = nullptr;
    zip_t *archive = nullptr;
    std::vector<QByteArray> contents;
};

template <typename Archive>
Archive *Opened(Archive *archive, QString &error)
{
    if (archive->open(error))
        return archive;
    delete archive;
    return nullptr;
}

} // namespace

std::unique_ptr<ZipReader> OpenZipArchive(const QByteArray &archive, QString &error)
{
    return std::unique_ptr<ZipReader>(Opened(new LibzipReader(archive), error));
}

std::unique_ptr<ZipWriter> CreateZipArchive(int level, QString &error)
{
    return std::unique_ptr<ZipWriter>(Opened(new LibzipWriter(level), error));
}
