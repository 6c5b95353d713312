#include "ManPage.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace {

bool IsChinese(QChar c)
{
    const ushort u = c.unicode();
    // Ideographs, CJK punctuation and the full-width forms (，：（）).
    return (u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF);
}

bool HasChinese(const QString &text)
{
    return std::any_of(text.begin(), text.end(), IsChinese);
}

// One piece of help in both languages; either may be empty.
struct Text {
    QString zh, en;
    bool isEmpty() const { return zh.isEmpty() && en.isEmpty(); }
    // The page's language where the help has it, the other one where it has not.
    QString in(ManLanguage language) const
    {
        const QString &wanted = language == ManLanguage::Chinese ? zh : en;
        return wanted.isEmpty() ? (language == ManLanguage::Chinese ? en : zh) : wanted;
    }
};

// Chinese runs on without spaces where a line breaks; Latin words get one.
QString Join(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return a + b;
    if (IsChinese(a.back()) || IsChinese(b.front()))
        return a + b;
    return a + QLatin1Char(' ') + b;
}

// "中文 / English" is a pair; a line otherwise belongs to the language of its letters.
Text Split(const QString &line)
{
    const QString text = line.trimmed();
    for (int at = text.indexOf(QLatin1String("/ ")); at > 0; at = text.indexOf(QLatin1String("/ "), at + 1)) {
        const QString left = text.left(at).trimmed(), right = text.mid(at + 2).trimmed();
        if (HasChinese(left) && !right.isEmpty() && !HasChinese(right))
            return {left, right};
    }
    return HasChinese(text) ? Text{text, {}} : Text{{}, text};
}

void Append(Text &text, const QString &line)
{
    const Text piece = Split(line);
    text.zh = Join(text.zh, piece.zh);
    text.en = Join(text.en, piece.en);
}

struct Item {   // a value listed under an option, such as a file type under -o
    QString tag;
    Text text;
};

struct Option {
    QString tag;
    Text text;
    QList<Item> items;
    Text after;   // what follows the list
    int column = 0, itemColumn = 0;
};

struct Block {   // a paragraph, or a lead-in with the options below it
    Text lead;
    QList<Option> options;
};

struct Help {
    Text synopsis;
    QList<Block> blocks;
};

int Indent(const QString &line)
{
    int n = 0;
    while (n < line.size() && line[n] == QLatin1Char(' '))
        ++n;
    return n;
}

Help Parse(const QString &text)
{
    static const QRegularExpression usage(QStringLiteral("Usage:\\s*(.*)$"));
    static const QRegularExpression choice(QStringLiteral("\\[([^\\]/]*)/([^\\]]*)\\]"));
    static const QRegularExpression option(QStringLiteral("^ {1,6}(-\\S.*?)(?: {2,}(\\S.*))?$"));
    static const QRegularExpression item(QStringLiteral("^(\\.\\w+) {2,}(\\S.*)$"));

    Help help;
    bool open = false;   // a block is being read
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            open = false;
            continue;
        }
        if (const auto m = usage.match(line); m.hasMatch() && help.synopsis.isEmpty()) {
            // [选项/options] becomes [选项] on the Chinese page and [options] on the English one.
            help.synopsis.zh = QString(m.captured(1)).replace(choice, QStringLiteral("[\\1]"));
            help.synopsis.en = QString(m.captured(1)).replace(choice, QStringLiteral("[\\2]"));
            continue;
        }
        if (!open) {
            help.blocks.emplace_back();
            open = true;
        }
        Block &block = help.blocks.back();
        if (const auto m = option.match(line); m.hasMatch()) {
            Option o;
            o.tag = m.captured(1);
            o.column = m.hasCaptured(2) ? m.capturedStart(2) : 8;
            Append(o.text, m.captured(2));
            block.options.append(o);
            continue;
        }
        if (block.options.isEmpty() || Indent(line) < 4) {
            if (!block.options.isEmpty())   // prose straight after options starts a paragraph
                help.blocks.emplace_back();
            Append(help.blocks.back().lead, line);
            continue;
        }
        Option &o = block.options.back();
        const QString content = line.trimmed();
        const int indent = Indent(line);
        if (const auto m = item.match(content); m.hasMatch() && indent <= o.column && o.after.isEmpty()) {
            o.items.append({m.captured(1), {}});
            o.itemColumn = indent + m.capturedStart(2);
            Append(o.items.back().text, m.captured(2));
        } else if (!o.items.isEmpty() && o.after.isEmpty() && indent > o.column) {
            Append(o.items.back().text, content);
        } else if (!o.items.isEmpty()) {
            Append(o.after, content);
        } else {
            Append(o.text, content);
        }
    }
    return help;
}

// Text as roff reads it: backslashes escaped, a dash that starts a word is a minus (an
// option), and a line never starts with a control character.
QString Roff(QString text)
{
    static const QRegularExpression dash(QStringLiteral("(^|[\\s(\\[|])-"));
    text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    text.replace(dash, QStringLiteral("\\1\\-"));
    text.replace(QLatin1String("\\--"), QLatin1String("\\-\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QLatin1String("\\&"));
    return text;
}

// "-o FILE" and "-h, --help": the options bold, their arguments italic.
QString OptionTag(const QString &tag)
{
    QStringList words;
    for (const QString &word : tag.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words << (word.startsWith(QLatin1Char('-')) ? QStringLiteral("\\fB%1\\fR") : QStringLiteral("\\fI%1\\fR"))
                     .arg(Roff(word));
    return words.join(QLatin1Char(' '));
}

void WriteBlock(QString &out, const Block &block, ManLanguage language)
{
    if (!block.lead.isEmpty())
        out += QStringLiteral(".PP\n%1\n").arg(Roff(block.lead.in(language)));
    for (const Option &o : block.options) {
        out += QStringLiteral(".TP\n%1\n%2\n").arg(OptionTag(o.tag), Roff(o.text.in(language)));
        if (!o.items.isEmpty()) {
            out += QLatin1String(".RS\n.PD 0\n");
            for (const Item &i : o.items)
                out += QStringLiteral(".TP 8\n.B %1\n%2\n").arg(Roff(i.tag), Roff(i.text.in(language)));
            out += QLatin1String(".PD\n.RE\n");
        }
        if (!o.after.isEmpty())
            out += QStringLiteral(".IP\n%1\n").arg(Roff(o.after.in(language)));
    }
}

} // namespace

QString ManPage(const QString &helpText, const ManPageInfo &info, ManLanguage language)
{
    const bool zh = language == ManLanguage::Chinese;
    const Help help = Parse(helpText);
    QString out = QStringLiteral(".\\\" Made from \"%1 --help\" when Tavrel is built; edit the help, not this page.\n")
                      .arg(info.program);
    // groff's Chinese rules let lines break between characters.
    if (zh)
        out += QLatin1String(".if \\n[.g] .mso zh.tmac\n");
    out += QStringLiteral(".TH %1 1 \"\" \"Tavrel %2\" \"%3\"\n.ad l\n.nh\n")
               .arg(info.program.toUpper(), info.version, zh ? QStringLiteral("用户命令") : QStringLiteral("User Commands"));
    out += QStringLiteral(".SH %1\n%2 \\- %3\n").arg(zh ? "名称" : "NAME", Roff(info.program), Roff(info.summary));

    QString synopsis = help.synopsis.in(language);
    if (synopsis.startsWith(info.program))
        synopsis = synopsis.mid(info.program.size()).trimmed();
    out += QStringLiteral(".SH %1\n.B %2\n%3\n").arg(zh ? "概述" : "SYNOPSIS", Roff(info.program), Roff(synopsis));

    // Paragraphs before the first option describe the program, those after the last are notes.
    qsizetype first = help.blocks.size(), last = -1;
    for (qsizetype i = 0; i < help.blocks.size(); ++i) {
        if (!help.blocks[i].options.isEmpty()) {
            first = std::min(first, i);
            last = i;
        }
    }
    const auto section = [&](const char *title, qsizetype from, qsizetype to) {
        if (from >= to)
            return;
        out += QStringLiteral(".SH %1\n").arg(QString::fromUtf8(title));
        for (qsizetype i = from; i < to; ++i)
            WriteBlock(out, help.blocks[i], language);
    };
    section(zh ? "描述" : "DESCRIPTION", 0, first);
    section(zh ? "选项" : "OPTIONS", first, last + 1);
    section(zh ? "说明" : "NOTES", std::max(first, last + 1), help.blocks.size());

    if (!info.seeAlso.isEmpty()) {
        out += QStringLiteral(".SH %1\n").arg(zh ? "参见" : "SEE ALSO");
        static const QRegularExpression reference(QStringLiteral("^(\\S+)\\((\\d)\\)$"));
        QStringList references;
        for (const QString &page : info.seeAlso) {
            const auto m = reference.match(page);
            references << (m.hasMatch() ? QStringLiteral(".BR %1 (%2)").arg(Roff(m.captured(1)), m.captured(2))
                                        : Roff(page));
        }
        out += references.join(QLatin1String(",\n")) + QLatin1Char('\n');
    }
    return out;
}
