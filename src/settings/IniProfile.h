#pragma once
// A small INI store that behaves like the Windows profile functions: sections and keys
// are found without regard to letter case, an existing key is replaced in place, a
// missing key is appended to its section, a missing section to the file, and every other
// line (comments, unknown keys, other sections) is kept as it was.
#include <QString>
#include <QStringList>

class IniProfile {
public:
    // Reads the file if it exists (UTF-8, or GBK when it is not valid UTF-8).
    // A missing or unreadable file gives an empty profile; the result is false only when
    // the file exists but cannot be read, so a writer knows not to replace it blindly.
    bool load(const QString &path);
    void setText(const QString &text);

    bool contains(const QString &section, const QString &key) const;
    // The value without surrounding blanks (and without one pair of quotes around it all).
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    void setValue(const QString &section, const QString &key, const QString &value);

    QString text() const;   // lines joined with CR LF, a CR LF after the last
    // Writes the file in UTF-8 through a temporary file; throws TavrelError
    // ("Unable to write to <path>").
    void save(const QString &path) const;

private:
    qsizetype sectionStart(const QString &section) const;   // header line, or -1
    qsizetype sectionEnd(qsizetype start) const;             // next header, or the line count
    qsizetype keyLine(const QString &section, const QString &key) const;

    QStringList lines;
};
