#include "UpdateCheck.h"

#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/TextFile.h"

#include <QStringDecoder>
#include <QUrl>

const QString ProductWebSite = QStringLiteral("www.orvanta.example");
const QString ProductHomePage = QStringLiteral("http://www.orvanta.example/");
const QString CommunityPage = QStringLiteral("http://www.orvanta.example/community");
const QString UpdateEndpoint = QStringLiteral("http://www.orvanta.example/zb_users/upload/tavrel/update.php");

QList<QPair<QByteArray, QByteArray>> UpdateRequestHeaders()
{
    return {
        {"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
    };
}

UpdateDocument ParseUpdateDocument(const QString &text)
{
    const qsizetype end = text.indexOf(QStringLiteral("@@@@@@"));
    // Without the end mark the document is not trusted to be whole.
    const QStringList lines = SplitLines(end < 0 ? QString() : text.left(end));
    if (lines.size() < 2)
        throw TavrelError(QStringLiteral("服务器返回的更新信息不完整（需要版本号和网页地址两行）"));
    UpdateDocument document;
    document.version = lines[0].trimmed();
    document.page = lines[1].trimmed();
    for (qsizetype i = 2; i < lines.size(); ++i)
        document.notes += lines[i] + QStringLiteral("\r\n");
    return document;
}

bool IsNewerVersion(const QString &candidate, const QString &current)
{
    return ParseNumber(candidate) > ParseNumber(current);
}

QString NewVersionQuestion(const UpdateDocument &document)
{
    return QStringLiteral("新版本：Ver%1 已经发布~\r\n更新内容:\r\n%2\r\n是否立即查看？").arg(document.version, document.notes);
}

bool IsWebPageAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

namespace {

QByteArray DeclaredCharset(const QByteArray &contentType)
{
    // text/html; charset="gbk"; other=1
    const QList<QByteArray> parameters = contentType.split(';');
    for (qsizetype i = 1; i < parameters.size(); ++i) {
        const QByteArray parameter = parameters[i].trimmed();
        const qsizetype eq = parameter.indexOf('=');
        if (eq < 0 || parameter.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = parameter.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value.trimmed().toLower();
    }
    return {};
}

} // namespace

QString DecodeReplyText(const QByteArray &body, const QByteArray &contentType)
{
    QByteArray charset = DeclaredCharset(contentType);
    if (charset == "gb2312" || charset == "gbk" || charset == "x-gbk" || charset == "csgb2312")
        charset = "GB18030";
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
        // A Qt without ICU (the Windows build) knows no GB18030 by name; its two-byte
        // part, which is what such pages hold, is the system's GBK.
        if (charset == "GB18030")
            return DecodeGbk(body);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    return utf8.decode(body);
}
