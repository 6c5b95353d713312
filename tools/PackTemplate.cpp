// Build step: packs one unpacked Office template folder into the ZIP archive the program
// carries as a resource. Every file is deflated, folders get entries of their own
// ("word/", "word/_rels/"), "[Content_Types].xml" comes first and every entry has the same
// time stamp, so the same tree always gives the same archive.
//
//     tavrel-pack-template FOLDER ARCHIVE
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
// 2026-01-01 00:00 UTC; ZIP keeps local DOS time, libzip converts.
constexpr time_t FixedTime = 1767225600;

// libzip takes file names in UTF-8 everywhere (on Windows it converts them itself); a
// path's native string is wide there.
std::string Utf8(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

int Fail(const std::string &what, zip_t *archive)
{
    std::fprintf(stderr, "tavrel-pack-template: %s: %s\n", what.c_str(), archive ? zip_strerror(archive) : "");
    if (archive)
        zip_discard(archive);
    return 1;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavrel-pack-template FOLDER ARCHIVE\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path output = argv[2];

    std::vector<std::string> folders, files;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
        const std::u8string relative = fs::relative(entry.path(), folder).generic_u8string();
        const std::string name(relative.begin(), relative.end());
        if (entry.is_directory())
            folders.push_back(name + "/");
        else if (entry.is_regular_file())
            files.push_back(name);
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    const auto types = std::find(files.begin(), files.end(), "[Content_Types].xml");
    if (types != files.end())
        std::rotate(files.begin(), types, types + 1);

    std::error_code ignored;
    fs::remove(output, ignored);
    int error = 0;
    zip_t *archive = zip_open(Utf8(output).c_str(), ZIP_CREATE | ZIP_EXCL, &error);
    if (!archive) {
        std::fprintf(stderr, "tavrel-pack-template: cannot create %s (libzip error %d)\n", Utf8(output).c_str(), error);
        return 1;
    }
    auto stamp = [&](zip_int64_t index) { return zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), FixedTime, 0) == 0; };
    // Files first, so "[Content_Types].xml" is the archive's first entry.
    for (const std::string &name : files) {
        zip_source_t *source = zip_source_file(archive, (Utf8(folder) + "/" + name).c_str(), 0, -1);
        if (!source)
            return Fail(name, archive);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return Fail(name, archive);
        }
        if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9) != 0 || !stamp(index))
            return Fail(name, archive);
    }
    for (const std::string &name : folders) {
        const zip_int64_t index = zip_dir_add(archive, name.c_str(), ZIP_FL_ENC_UTF_8);
        if (index < 0 || !stamp(index))
            return Fail(name, archive);
    }
    if (zip_close(archive) != 0)
        return Fail(Utf8(output), archive);
    return 0;
}
