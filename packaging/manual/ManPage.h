#pragma once
// Manual pages made from a program's own --help text, so that they list exactly the
// options the program accepts. The help is bilingual (Chinese lines, English lines and
// "中文 / English" pairs); each page keeps one language.
#include <QString>
#include <QStringList>

enum class ManLanguage { Chinese, English };

struct ManPageInfo {
    QString program;   // tavrel-cli
    QString version;   // 2.10
    QString summary;   // the one line of the NAME section, in the page's language
    QStringList seeAlso;   // other pages, "tavrel(1)", or paths
};

// The roff source of the page: NAME, SYNOPSIS from the usage line, DESCRIPTION from the
// paragraphs before the options, OPTIONS, NOTES from the paragraphs after them, SEE ALSO.
QString ManPage(const QString &help, const ManPageInfo &info, ManLanguage language);
