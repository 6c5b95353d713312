// Replies of the update server, which anyone on the way can change: any bytes under any
// declared charset. Reading either gives a document or fails with a message; a page
// address that passes the filter is a web page and nothing else.
#include "FuzzCheck.h"
#include "core/Failure.h"
#include "update/UpdateCheck.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first line of the input is the Content-Type header, the rest the body.
    const QByteArray input = FuzzBytes(data, size);
    const qsizetype split = input.indexOf('\n');
    const QByteArray contentType = split < 0 ? QByteArray() : input.left(split);
    const QByteArray body = split < 0 ? input : input.mid(split + 1);

    const QString text = DecodeReplyText(body, contentType);
    try {
        const UpdateDocument document = ParseUpdateDocument(text);
        FUZZ_CHECK(document.version == document.version.trimmed() && document.page == document.page.trimmed(),
                   document.version + "\n" + document.page);
        (void)NewVersionQuestion(document);
        try {
            (void)IsNewerVersion(document.version, QStringLiteral("2.10"));
        } catch (const TavrelError &e) {
            FUZZ_CHECK(!e.message().isEmpty(), QString());
        }
        if (IsWebPageAddress(document.page)) {
            const QString scheme = QUrl(document.page).scheme().toLower();
            FUZZ_CHECK(scheme == QLatin1String("http") || scheme == QLatin1String("https"), document.page);
        }
    } catch (const TavrelError &e) {
        FUZZ_CHECK(!e.message().isEmpty(), text);
    }
    return 0;
}
