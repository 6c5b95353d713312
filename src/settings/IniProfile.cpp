#include "IniProfile.h"
#include "core/Failure.h"
#include "core/TextFile.h"
#include <QDir>
#include <QFileInfo>

namespace {

// "[name]", blanks allowed around the brackets and the name.
bool SectionName(const QString &line, QString &name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return true;
}

bool KeyOf(const QString &line, QString &key)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    key = line.left(eq).trimmed();
    return true;
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Like the Windows profile functions: blanks around the value go, and so does one pair of
// matching quotes around the whole value.
QString CleanValue(const QString &raw)
{
    QString v = raw.trimmed();
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && v.back() == first)
            v = v.mid(1, v.size() - 2);
    }
    return v;
}

} // namespace

bool IniProfile::load(const QString &path)
{
    lines.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    try {
        setText(DecodeText(ReadWholeFile(path, MaxSettingsFileBytes)));
        return true;
    } catch (const TavrelError &) {
        return false;
    }
}

void IniProfile::setText(const QString &text)
{
    lines = SplitLines(text);
}

qsizetype IniProfile::sectionStart(const QString &section) const
{
    QString name;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (SectionName(lines[i], name) && SameName(name, section))
            return i;
    return -1;
}

qsizetype IniProfile::sectionEnd(qsizetype start) const
{
    QString name;
    qsizetype i = start + 1;
    while (i < lines.size() && !SectionName(lines[i], name))
        ++i;
    return i;
}

qsizetype IniProfile::keyLine(const QString &section, const QString &key) const
{
    const qsizetype start = sectionStart(section);
    if (start < 0)
        return -1;
    const qsizetype end = sectionEnd(start);
    QString name;
    for (qsizetype i = start + 1; i < end; ++i)
        if (KeyOf(lines[i], name) && SameName(name, key))
            return i;
    return -1;
}

bool IniProfile::contains(const QString &section, const QString &key) const
{
    return keyLine(section, key) >= 0;
}

QString IniProfile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const qsizetype i = keyLine(section, key);
    if (i < 0)
        return fallback;
    const QString &line = lines[i];
    return CleanValue(line.mid(line.indexOf(QLatin1Char('=')) + 1));
}

void IniProfile::setValue(const QString &section, const QString &key, const QString &value)
{
    // A line break inside the value would split the line and corrupt the file.
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString line = key + QLatin1Char('=') + v;

    const qsizetype start = sectionStart(section);
    if (start < 0) {
        lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    const qsizetype existing = keyLine(section, key);
    if (existing >= 0) {
        lines[existing] = line;
        return;
    }
    // New keys go after the section's last non-blank line, so a blank line that separates
    // it from the next section stays where it is.
    qsizetype last = sectionEnd(start) - 1;
    while (last > start && lines[last].trimmed().isEmpty())
        --last;
    lines.insert(last + 1, line);
}

QString IniProfile::text() const
{
    QString out;
    for (const QString &line : lines)
        out += line + QStringLiteral("\r\n");
    return out;
}

void IniProfile::save(const QString &path) const
{
    try {
        WriteFileAtomically(path, text().toUtf8());
    } catch (const std::exception &) {
        throw TavrelError(QStringLiteral("无法写入设置文件“%1”").arg(QDir::toNativeSeparators(path)));
    }
}
