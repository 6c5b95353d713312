#pragma once
// The Office exports start from a complete package (a .docx or .xlsx, which is a ZIP
// archive) built into the program: TemplatePackage unpacks it into a private work folder,
// lets the export edit parts as text and replace whole files, packs the folder again and
// puts the result in place of the user's file.
//
// Typical use, all on one object:
//
//     TemplatePackage package(tempFolder);
//     package.Open(QStringLiteral("CalcData"));
//     QString document = package.ReadPartText(QStringLiteral("word/document.xml"));
//     document.replace(marker, text);
//     package.WritePartText(QStringLiteral("word/document.xml"), document);
//     if (package.SaveAs(target) == PackagePlacement::TargetBusy) ... tell the user
//
// The work folder goes when the package is saved or destroyed, whichever comes first, so
// no path (a failure included) leaves it behind. Opening the finished file is the
// caller's business. Parts are named as inside the package, with "/" ("word/document.xml").
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

class ZipReader;

// How SaveAs ended when it did not throw.
enum class PackagePlacement {
    Placed,       // the target now holds the new package
    TargetBusy,   // the target could not be replaced (in use, a folder, ...); it is as it was
};

// What the user is told when the finished package cannot be put in place.
extern const QString PackagePlacementFailedMessage;   // "出错：保存文件失败，可能是文件被占用"

// The names of the template packages built into the program. A folder under
// src/templates/ becomes a template of the folder's name; no build change is needed.
QStringList BuiltInTemplateNames();
// The archive of a built-in template, found by name without regard to case. Throws
// TavrelError when there is none.
QByteArray BuiltInTemplateArchive(const QString &name);

class TemplatePackage {
public:
    // Work folders are made inside `tempFolder` (the user's temporary folder).
    explicit TemplatePackage(const QString &tempFolder);
    ~TemplatePackage();
    TemplatePackage(const TemplatePackage &) = delete;
    TemplatePackage &operator=(const TemplatePackage &) = delete;

    // Makes a new private work folder and unpacks the built-in template `name` into it.
    // Returns the work folder's path, ending in "/". Throws TavrelError.
    QString Open(const QString &name);
    // The same with any archive's bytes (a template that is not built in).
    QString OpenArchive(const QByteArray &archive, const QString &name);

    // The whole part, decoded as UTF-8. Throws TavrelError when the part is missing.
    QString ReadPartText(const QString &part) const;
    // Replaces the part with `text` as UTF-8 without a byte-order mark. Throws TavrelError.
    void WritePartText(const QString &part, const QString &text);
    // The same with the part's bytes as they are to be stored, for a large part built as
    // UTF-8 directly.
    void WritePart(const QString &part, QByteArray bytes);
    // The part's file in the work folder, for parts that are replaced as whole files (its
    // folder is made if the template has none). Whatever the work folder holds at SaveAs
    // goes into the package: a file written here is packed, a file deleted is left out.
    QString PartPath(const QString &part) const;
    // The work folder, ending in "/"; empty before Open and after SaveAs.
    QString WorkFolder() const;

    // Dates the document properties ("docProps/core.xml": created and modified) now, then
    // packs every file of the work folder (deflate, no folder entries) into the package
    // archive beside the target (the target's name with ".bin"; when a file of that name
    // exists, it is left alone and a free name "name~1.bin", "name~2.bin" ... is taken),
    // removes the work folder and renames the archive over the target in one step, so the
    // target is either the old file or the new one. When the rename fails the archive is
    // removed and TargetBusy is returned. Any other failure (no room for the archive,
    // a folder that cannot be written) throws TavrelError and leaves no archive behind;
    // the target is untouched then too.
    PackagePlacement SaveAs(const QString &target);

    // The name the package archive of `target` gets when nothing is in the way.
    static QString ArchivePathFor(const QString &target);

private:
    QString checkedPartPath(const QString &part) const;
    // Sets the times of "docProps/core.xml", when there is one, to now.
    void stampTime();
    void close();

    QString temp;
    std::unique_ptr<QTemporaryDir> work;
    // The template stays open while the package lives: a part whose file still holds what
    // was unpacked goes into the result as the template's compressed entry, unchanged.
    struct Unpacked {
        qint64 index = 0;
        QByteArray bytes;
    };
    std::unique_ptr<ZipReader> templateArchive;
    std::map<QString, Unpacked> unpacked;
    // What was written here, part by part: SaveAs reads the parts back into these
    // buffers, which costs less than fresh ones of the same size.
    std::map<QString, QByteArray> written;
};

// Appends `text` to `out` as UTF-8.
void AppendUtf8(QByteArray &out, const QString &text);

// A row template: a text whose only "%" characters are its "%s" placeholders. Filling
// puts the given texts, in order, in place of the placeholders (missing texts count as
// empty); the filled copies of several rows are simply appended to one another.
class RowTemplate {
public:
    explicit RowTemplate(const QString &format);
    int Placeholders() const { return static_cast<int>(pieces.size()) - 1; }
    // Appends one filled copy to `out`. `texts` is any container of QString
    // (QStringList, a table row ...).
    template <typename Texts>
    void AppendFilled(QString &out, const Texts &texts) const
    {
        Fill(out, pieces, texts, [](QString &to, const QString &text) { to += text; });
    }
    // The same, encoded as UTF-8.
    template <typename Texts>
    void AppendFilledUtf8(QByteArray &out, const Texts &texts) const
    {
        Fill(out, utf8Pieces, texts, AppendUtf8);
    }
    // The length of one copy without the texts, to reserve room (in UTF-16 units and in
    // UTF-8 bytes).
    qsizetype FixedLength() const { return fixedLength; }
    qsizetype FixedUtf8Length() const { return fixedUtf8Length; }

private:
    template <typename Out, typename Piece, typename Texts, typename Append>
    static void Fill(Out &out, const std::vector<Piece> &around, const Texts &texts, Append append)
    {
        const size_t count = static_cast<size_t>(std::size(texts));
        out += around.front();
        for (size_t k = 1; k < around.size(); ++k) {
            if (k - 1 < count)
                append(out, texts[k - 1]);
            out += around[k];
        }
    }

    std::vector<QString> pieces;   // the text around the placeholders
    std::vector<QByteArray> utf8Pieces;
    qsizetype fixedLength = 0;
    qsizetype fixedUtf8Length = 0;
};
