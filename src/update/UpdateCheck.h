#pragma once
// Asking the maker's web site for a newer version: the address, the request headers, and
// reading the short text document that comes back. No network here: the request itself
// goes through the platform seam.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The maker's site as shown in the caption and the about box, and its pages.
extern const QString ProductWebSite;        // www.orvanta.example
extern const QString ProductHomePage;       // http://www.orvanta.example/
extern const QString CommunityPage;         // the users' community page
extern const QString UpdateEndpoint;        // plain HTTP, no query

QList<QPair<QByteArray, QByteArray>> UpdateRequestHeaders();

// What the update document says: the newest version, the page about it, the change notes
// (each line followed by CR LF).
struct UpdateDocument {
    QString version;
    QString page;
    QString notes;
};

// Only the text before the first "@@@@@@" counts; it must hold at least the version line
// and the page line. Throws TavrelError otherwise.
UpdateDocument ParseUpdateDocument(const QString &text);

// Versions are decimal numbers: 2.9 is newer than 2.10, and 2.1, 2.10 and 2.100 are one
// version. Throws TavrelError when either text is not a number.
bool IsNewerVersion(const QString &candidate, const QString &current);

// The question shown when a newer version exists.
QString NewVersionQuestion(const UpdateDocument &document);

// The reply comes over plain HTTP, so anyone on the way can change it: only a web page
// (http or https, with a host) may be handed to the desktop, never a file, a program or
// a script address.
bool IsWebPageAddress(const QString &address);

// The reply body as text, by the charset its Content-Type declares; UTF-8 when it declares
// none or one this system does not know. GB2312 replies are read as GB18030, its superset,
// since servers that say GB2312 usually send GBK.
QString DecodeReplyText(const QByteArray &body, const QByteArray &contentType);
