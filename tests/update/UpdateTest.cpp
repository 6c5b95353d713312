#include "TestSupport.h"
#include "core/Failure.h"
#include "core/TextFile.h"
#include "update/ManualLookup.h"
#include "update/UpdateCheck.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(UpdateDocument, TakesVersionPageAndNotesBeforeTheEndMark)
{
    const UpdateDocument d = ParseUpdateDocument(" 2.11 \r\n http://www.orvanta.example/v211 \r\n修复了A\r\n增加了B\r\n"
                                                 "@@@@@@\r\n<script>counter</script>\r\n");
    EXPECT_EQ(d.version, "2.11");
    EXPECT_EQ(d.page, "http://www.orvanta.example/v211");
    EXPECT_EQ(d.notes, "修复了A\r\n增加了B\r\n");

    // Lines may end in LF or CR alone; no notes at all is fine.
    const UpdateDocument bare = ParseUpdateDocument("3\nhttp://x.example/\r@@@@@@");
    EXPECT_EQ(bare.version, "3");
    EXPECT_EQ(bare.page, "http://x.example/");
    EXPECT_EQ(bare.notes, "");
}

TEST(UpdateDocument, RefusesADocumentWithoutVersionAndPageBeforeTheEndMark)
{
    for (const char *text : {"2.11\r\n@@@@@@", "2.11\r\nhttp://x.example/\r\nnotes", "", "@@@@@@2.11\r\nhttp://x/\r\n"})
        EXPECT_THROW(ParseUpdateDocument(QString::fromUtf8(text)), TavrelError) << text;
}

TEST(UpdateVersion, ComparesAsDecimalNumbers)
{
    EXPECT_TRUE(IsNewerVersion("2.11", "2.10"));
    EXPECT_TRUE(IsNewerVersion("2.9", "2.10"));
    EXPECT_TRUE(IsNewerVersion("3", "2.10"));
    EXPECT_FALSE(IsNewerVersion("2.10", "2.10"));
    EXPECT_FALSE(IsNewerVersion("2.1", "2.10"));
    EXPECT_FALSE(IsNewerVersion("2.100", "2.10"));
    EXPECT_FALSE(IsNewerVersion("2.09", "2.10"));
    EXPECT_THROW(IsNewerVersion("2.11beta", "2.10"), TavrelError);
    EXPECT_THROW(IsNewerVersion("", "2.10"), TavrelError);
}

TEST(UpdateAddress, OnlyWebPagesPass)
{
    for (const char *ok : {"http://www.orvanta.example/tavrel", "HTTPS://www.orvanta.example/a?b=1"})
        EXPECT_TRUE(IsWebPageAddress(QString::fromUtf8(ok))) << ok;
    for (const char *bad : {"file:///etc/passwd", "javascript:alert(1)", "/usr/bin/xterm", "C:\\Windows\\calc.exe",
                            "ftp://www.orvanta.example/", "http:///nohost", "www.orvanta.example", ""})
        EXPECT_FALSE(IsWebPageAddress(QString::fromUtf8(bad))) << bad;
}

TEST(UpdateReply, IsDecodedByItsDeclaredCharset)
{
    // 镕 is in GBK but not in GB2312: a reply declared gb2312 is read by the superset.
    const QString text = QStringLiteral("2.11\r\nhttp://x.example/\r\n新增：暴雨强度公式库，镕\r\n@@@@@@");
    const QByteArray gbk = EncodeGbk(text);
    EXPECT_EQ(DecodeReplyText(gbk, "text/html; charset=GBK"), text);
    EXPECT_EQ(DecodeReplyText(gbk, "text/html;Charset=\"gb2312\""), text);
    // Undeclared, or a name nobody knows: UTF-8.
    EXPECT_EQ(DecodeReplyText(text.toUtf8(), "text/html"), text);
    EXPECT_EQ(DecodeReplyText(text.toUtf8(), ""), text);
    EXPECT_EQ(DecodeReplyText(text.toUtf8(), "text/html; charset=x-no-such-set"), text);
}

TEST(ManualLookup, PrefersTheProgramFolderThenTheInstalledDocuments)
{
    const QString prefix = MakeTempFolder();
    const QString bin = prefix + "/bin/";
    const QString doc = prefix + "/share/doc/tavrel/";
    QDir().mkpath(bin);
    QDir().mkpath(doc);
    EXPECT_EQ(FindUserManual(bin), "");

    // A folder with a matching name and other PDFs are no manual.
    QDir().mkpath(bin + "软件说明书 旧.pdf");
    WriteBytes(bin + "说明书.pdf", "%PDF");
    WriteBytes(doc + "软件说明书 Tavrel.pdf", "%PDF");
    EXPECT_EQ(QDir::cleanPath(FindUserManual(bin)), QDir::cleanPath(doc + "软件说明书 Tavrel.pdf"));

    WriteBytes(bin + "软件说明书.pdf", "%PDF");
    EXPECT_EQ(QDir::cleanPath(FindUserManual(bin)), QDir::cleanPath(bin + "软件说明书.pdf"));
}
