#include "ExportTestSupport.h"
#include "TestSupport.h"
#include "core/Failure.h"
#include "export/CalcBook.h"
#include "export/CompilationReport.h"
#include "export/OfficeExports.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <zip.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#ifndef Q_OS_WIN
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

struct Entry {
    QByteArray data;
    bool folder = false;
    int method = 0;
};
using Archive = std::map<QString, Entry>;

Archive ReadArchive(const QByteArray &bytes)
{
    Archive entries;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
    zip_t *archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        ADD_FAILURE() << "not a readable ZIP archive";
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        Entry entry;
        const QString name = QString::fromUtf8(stat.name);
        entry.folder = name.endsWith('/');
        entry.method = stat.comp_method;
        entry.data.resize(static_cast<qsizetype>(stat.size));
        zip_file_t *file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        EXPECT_EQ(zip_fread(file, entry.data.data(), stat.size), static_cast<zip_int64_t>(stat.size)) << stat.name;
        zip_fclose(file);
        entries[name] = entry;
    }
    zip_discard(archive);
    return entries;
}

// Rows 00:00 11.4480 0.1908, 00:01 201.5940 3.5507, 00:02 12.5000 3.7590.
GridTable ThreeRows(int stormUnit)
{
    return GridTable({{0, 11.448, 0.1908}, {1, 201.594, 3.5507}, {2, 12.5, 3.759}}, {0, stormUnit, 4});
}

QString TemplatePart(const QString &name, const QString &part)
{
    TemplatePackage package(MakeTempFolder());
    package.Open(name);
    return package.ReadPartText(part);
}

// An archive at `path` of one entry named `name`, as no template of ours would hold it.
QByteArray ArchiveWithEntry(const QString &path, const char *name)
{
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    zip_file_add(archive, name, zip_source_buffer(archive, "<x/>", 4, 0), 0);
    zip_close(archive);
    return ReadBytes(path);
}

QStringList FolderListing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// What keeps Word and Excel from offering a repair: every part well-formed (namespaces
// included), every part with a content type, every relationship pointing at a part, no
// folder entries. Returns the problems found.
QStringList PackageProblems(const Archive &entries)
{
    QStringList problems;
    std::map<QString, QString> defaults, overrides;
    for (const auto &[name, entry] : entries) {
        if (entry.folder) {
            problems << "folder entry " + name;
            continue;
        }
        if (entry.method != ZIP_CM_DEFLATE)
            problems << "not deflated: " + name;
        if (!name.endsWith(".xml") && !name.endsWith(".rels"))
            continue;
        if (entry.data.startsWith("\xEF\xBB\xBF"))
            problems << "byte-order mark in " + name;
        QXmlStreamReader xml(entry.data);
        while (!xml.atEnd()) {
            xml.readNext();
            if (name == "[Content_Types].xml" && xml.isStartElement()) {
                const auto a = xml.attributes();
                if (xml.name() == QLatin1String("Default"))
                    defaults[a.value("Extension").toString().toLower()] = a.value("ContentType").toString();
                else if (xml.name() == QLatin1String("Override"))
                    overrides[a.value("PartName").toString().mid(1)] = a.value("ContentType").toString();
            }
            if (name.endsWith(".rels") && xml.isStartElement() && xml.name() == QLatin1String("Relationship")
                && xml.attributes().value("TargetMode") != QLatin1String("External")) {
                // "word/_rels/document.xml.rels" speaks for "word/document.xml".
                const QString base = name.left(name.indexOf("_rels/"));
                const QString target = QDir::cleanPath(base + xml.attributes().value("Target").toString());
                if (!entries.count(target))
                    problems << name + " points at missing " + target;
            }
        }
        if (xml.hasError())
            problems << name + ": " + xml.errorString();
    }
    for (const auto &[name, entry] : entries) {
        if (entry.folder || name == "[Content_Types].xml")
            continue;
        const QString extension = QFileInfo(name).suffix().toLower();
        if (!overrides.count(name) && !defaults.count(extension))
            problems << "no content type for " + name;
    }
    for (const auto &[part, type] : overrides)
        if (!entries.count(part))
            problems << "content type for missing " + part;
    return problems;
}

#ifndef Q_OS_WIN
// Root passes every permission check, so a read-only folder would not stop a test run as
// root. While this lives, the thread lacks the capabilities that override file
// permissions, and a read-only folder stops it as it stops anyone else.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride()
    {
        if (syscall(SYS_capget, &header, saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        active = syscall(SYS_capset, &header, reduced) == 0;
    }
    ~WithoutPermissionOverride()
    {
        if (active)
            syscall(SYS_capset, &header, saved);
    }
    WithoutPermissionOverride(const WithoutPermissionOverride &) = delete;
    WithoutPermissionOverride &operator=(const WithoutPermissionOverride &) = delete;

private:
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
    bool active = false;
};

#endif
} // namespace

TEST(TemplateArchives, EveryTemplateFolderIsBuiltInAsItsTree)
{
    const QDir sources(QStringLiteral(TAVREL_TEMPLATE_SOURCES));
    const QStringList folders = sources.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_TRUE(folders.contains("CalcData") && folders.contains("ExcelPicData")) << folders.join(' ').toStdString();
    EXPECT_EQ(BuiltInTemplateNames(), folders);

    for (const QString &name : folders) {
        SCOPED_TRACE(name.toStdString());
        Archive entries = ReadArchive(BuiltInTemplateArchive(name.toUpper()));   // found ignoring case
        QDirIterator it(sources.filePath(name), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        const QDir root(sources.filePath(name));
        while (it.hasNext()) {
            const QString path = it.next();
            const QString entryName = root.relativeFilePath(path) + (it.fileInfo().isDir() ? "/" : "");
            const auto found = entries.find(entryName);
            if (found == entries.end()) {
                ADD_FAILURE() << "not in the archive: " << entryName.toStdString();
                continue;
            }
            if (!found->second.folder) {
                EXPECT_EQ(found->second.data, ReadBytes(path)) << entryName.toStdString();
                EXPECT_EQ(found->second.method, ZIP_CM_DEFLATE) << entryName.toStdString();
            }
            entries.erase(found);
        }
        for (const auto &[extra, entry] : entries)
            ADD_FAILURE() << "only in the archive: " << extra.toStdString();
    }
    EXPECT_THROW(BuiltInTemplateArchive("NoSuchTemplate"), TavrelError);
}

TEST(WordTable, MarkersFollowTheSettingsAndRowsJoinTheTable)
{
    const QString document = TemplatePart("CalcData", "word/document.xml");
    const QString row = TemplatePart("CalcData", "word/TableRow.xml");
    ASSERT_TRUE(row.startsWith("<w:tr")) << row.left(40).toStdString();
    ASSERT_EQ(row.count("%s"), 3);

    const QString perHour = QString::fromUtf8(WordTableDocument(document, row, ThreeRows(0), 0, 0));
    EXPECT_FALSE(perHour.contains("<!--")) << "a marker is left";
    EXPECT_TRUE(perHour.contains("<w:t>(H:M)</w:t>"));
    EXPECT_TRUE(perHour.contains("<w:t>(mm/h)</w:t>"));
    EXPECT_TRUE(perHour.contains("<w:t>(mm)</w:t>"));
    // Header row and three rows, all inside the one table.
    EXPECT_EQ(perHour.count("</w:tr>"), 4);
    const qsizetype lastRow = perHour.indexOf("<w:t>00:02</w:t>");
    EXPECT_TRUE(lastRow > perHour.indexOf("<w:t>201.5940</w:t>") && lastRow < perHour.indexOf("</w:tbl>"));
    EXPECT_TRUE(perHour.contains("<w:t>3.7590</w:t>"));

    const QString perMinute = QString::fromUtf8(WordTableDocument(document, row, ThreeRows(1), 1, 1));
    EXPECT_TRUE(perMinute.contains("<w:t>(min)</w:t>"));
    EXPECT_TRUE(perMinute.contains("<w:t>(mm/min)</w:t>"));

    // A setting outside the lists leaves its marker, a comment Word does not show; the
    // markers are case-sensitive.
    QString other = document;
    other.replace("<!--Storm_Unit-->", "<!--STORM_UNIT-->");
    const QString unknown = QString::fromUtf8(WordTableDocument(other, row, ThreeRows(1), 2, 0));
    EXPECT_TRUE(unknown.contains("<w:t>(<!--时间格式-->)</w:t>"));
    EXPECT_TRUE(unknown.contains("<!--STORM_UNIT-->"));
    EXPECT_FALSE(unknown.contains("<!--雨量计算数据表格-->"));

    // No rows: the marker simply goes.
    const QString empty = QString::fromUtf8(WordTableDocument(document, row, GridTable{}, 1, 1));
    EXPECT_EQ(empty.count("</w:tr>"), 1);
    EXPECT_FALSE(empty.contains("<!--雨量计算数据表格-->"));
}

namespace {
ExcelChartParts AsText(const ExcelChartFiles &files)
{
    return {QString::fromUtf8(files.sheet), QString::fromUtf8(files.sharedStrings), QString::fromUtf8(files.chart),
            QString::fromUtf8(files.styles)};
}
} // namespace

TEST(ExcelChart, PartsCarryTheRowsHeadingsAndRanges)
{
    ExcelChartParts parts{TemplatePart("ExcelPicData", "xl/worksheets/sheet2.xml"),
                          TemplatePart("ExcelPicData", "xl/sharedStrings.xml"),
                          TemplatePart("ExcelPicData", "xl/charts/chart1.xml"),
                          TemplatePart("ExcelPicData", "xl/styles.xml")};
    ASSERT_TRUE(parts.chart.contains("雨型数据1!$B$2:$B$122"));
    // The workbook's markers are matched ignoring case.
    parts.sheet.replace("<!--MYROW-->", "<!--MyRow-->");
    parts = AsText(FillExcelChartParts(parts, ThreeRows(0), 0, 0));

    EXPECT_TRUE(parts.sheet.contains("<dimension ref=\"A1:C4\"/>"));
    EXPECT_TRUE(parts.sheet.contains("<row r=\"4\" spans=\"1:3\" x14ac:dyDescent=\"0.15\"><c r=\"A4\" t=\"s\"><v>11</v></c>"
                                     "<c r=\"B4\" s=\"2\"><v>12.5000</v></c><c r=\"C4\" s=\"2\"><v>3.7590</v></c></row>"));
    EXPECT_TRUE(parts.sheet.contains("<c r=\"A2\" t=\"s\"><v>9</v></c>"));
    EXPECT_FALSE(parts.sheet.contains("<!--", Qt::CaseInsensitive));

    EXPECT_TRUE(parts.sharedStrings.contains("<t>时间(H:M)</t>"));
    EXPECT_TRUE(parts.sharedStrings.contains("<t>降雨强度(mm/h)</t>"));
    EXPECT_TRUE(parts.sharedStrings.contains("count=\"12\" uniqueCount=\"12\""));
    EXPECT_EQ(parts.sharedStrings.count("<si>"), 12);
    EXPECT_TRUE(parts.sharedStrings.trimmed().endsWith("<si><t>00:01</t></si><si><t>00:02</t></si></sst>"));

    for (const char *range : {"雨型数据1!$A$2:$A$4<", "雨型数据1!$B$2:$B$4<", "雨型数据1!$C$2:$C$4<"})
        EXPECT_TRUE(parts.chart.contains(QString::fromUtf8(range))) << range;
    EXPECT_FALSE(parts.chart.contains("$122"));
    EXPECT_FALSE(parts.chart.contains("(mm/min)"));
    EXPECT_FALSE(parts.chart.contains("(min)"));
    EXPECT_TRUE(parts.chart.contains("<a:t>(H:M)</a:t>"));
    EXPECT_EQ(parts.chart.count("<c:ptCount val=\"3\"/>"), 3);   // labels, intensities, totals
    EXPECT_TRUE(parts.chart.contains("<c:pt idx=\"1\"><c:v>201.5940</c:v></c:pt>"));
    EXPECT_TRUE(parts.chart.contains("<c:pt idx=\"2\"><c:v>00:02</c:v></c:pt>"));
    EXPECT_FALSE(parts.chart.contains("<c:pt idx=\"3\">"));

    // Minutes and mm/min keep the template's texts; an unknown unit keeps them too.
    ExcelChartParts minutes{"", TemplatePart("ExcelPicData", "xl/sharedStrings.xml"),
                            TemplatePart("ExcelPicData", "xl/charts/chart1.xml"), ""};
    minutes = AsText(FillExcelChartParts(minutes, ThreeRows(1), 1, 3));
    EXPECT_TRUE(minutes.sharedStrings.contains("<t>时间(min)</t>"));
    EXPECT_TRUE(minutes.sharedStrings.contains("<t>降雨强度(mm/min)</t>"));
    EXPECT_TRUE(minutes.chart.contains("<a:t>(mm/min)</a:t>"));
    EXPECT_TRUE(minutes.chart.contains("<a:t>(min)</a:t>"));
}

class OfficeFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTempFolder();
        temp = MakeTempFolder();
    }
    // No work folder survives a command, whatever happened.
    void TearDown() override { EXPECT_EQ(FolderListing(temp), QStringList()); }

    QString folder, temp;
};

TEST_F(OfficeFiles, WrittenPackagesAreCompleteAndConsistent)
{
    const ComputedStorm day = MakeStorm(1440, 0.4);
    ASSERT_EQ(day.grid.size(), 1441u);
    const QString word = folder + "/table.docx";
    const QString excel = folder + "/chart.xlsx";
    ASSERT_EQ(WriteWordTable(word, day.grid, 0, 0, temp), PackagePlacement::Placed);
    ASSERT_EQ(WriteExcelChart(excel, day.grid, 0, 0, temp), PackagePlacement::Placed);
    EXPECT_EQ(FolderListing(folder), QStringList({"chart.xlsx", "table.docx"}));

    const Archive document = ReadArchive(ReadBytes(word));
    EXPECT_EQ(PackageProblems(document), QStringList());
    // Every part of the template comes along, the unused row template included.
    EXPECT_EQ(document.at("word/TableRow.xml").data, ReadBytes(QStringLiteral(TAVREL_TEMPLATE_SOURCES) + "/CalcData/word/TableRow.xml"));
    for (const auto &[name, entry] : ReadArchive(BuiltInTemplateArchive("CalcData")))
        EXPECT_TRUE(entry.folder || document.count(name)) << "missing " << name.toStdString();

    const Archive book = ReadArchive(ReadBytes(excel));
    EXPECT_EQ(PackageProblems(book), QStringList());
    EXPECT_TRUE(book.count("xl/media/image5.png"));
    EXPECT_FALSE(book.count("xl/printerSettings/printerSettings1.bin"));
}

TEST_F(OfficeFiles, ExistingTargetIsReplacedAndATakenArchiveNameIsLeftAlone)
{
    const QString target = folder + "/book.xlsx";
    WriteBytes(target, "old workbook");
    WriteBytes(folder + "/book.bin", "the user's own file");
    ASSERT_EQ(WriteExcelChart(target, ThreeRows(1), 1, 1, temp), PackagePlacement::Placed);
    EXPECT_EQ(ReadBytes(folder + "/book.bin"), "the user's own file");
    EXPECT_TRUE(ReadBytes(target).startsWith("PK\x03\x04"));
    EXPECT_EQ(FolderListing(folder), QStringList({"book.bin", "book.xlsx"}));
}

TEST_F(OfficeFiles, TargetThatCannotBeReplacedStaysAndNoArchiveIsLeft)
{
    // A folder of the target's name cannot be renamed over, as a file held open elsewhere.
    const QString target = folder + "/table.docx";
    QDir().mkpath(target + "/inside");
    EXPECT_EQ(WriteWordTable(target, ThreeRows(1), 1, 1, temp), PackagePlacement::TargetBusy);
    EXPECT_TRUE(QFileInfo(target + "/inside").isDir());
    EXPECT_EQ(FolderListing(folder), QStringList({"table.docx"}));
}

#ifndef Q_OS_WIN   // no POSIX permissions there
TEST_F(OfficeFiles, ReadOnlyFolderKeepsTheOldFileAndGetsNoArchive)
{
    const QString target = folder + "/table.docx";
    WriteBytes(target, "old document");
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    QString message;
    {
        WithoutPermissionOverride asAUser;
        QFile probe(folder + "/probe");
        ASSERT_FALSE(probe.open(QIODevice::WriteOnly)) << "the folder is writable; the test would check nothing";
        try {
            WriteWordTable(target, ThreeRows(1), 1, 1, temp);
        } catch (const TavrelError &e) {
            message = e.message();
        }
    }
    chmod(QFile::encodeName(folder).constData(), 0755);
    // The system's reason, not a search through further names that fail alike.
    EXPECT_TRUE(message.startsWith(QStringLiteral("无法写入文件")) && message.contains("table.bin")
                && message.contains(QStringLiteral("没有写入权限")))
        << message.toStdString();
    EXPECT_EQ(ReadBytes(target), "old document");
    EXPECT_EQ(FolderListing(folder), QStringList({"table.docx"}));
}
#endif

TEST_F(OfficeFiles, FullDiskRemovesTheHalfWrittenArchive)
{
    SKIP_WITHOUT_FULL_DISK();
    const QString target = folder + "/table.docx";
    WriteBytes(target, "old document");
    TemplatePackage package(temp);
    package.Open("CalcData");
    const QString message = FailureOnAFullDisk([&] { package.SaveAs(target); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("无法写入文件"))) << message.toStdString();
    EXPECT_EQ(ReadBytes(target), "old document");
    EXPECT_EQ(FolderListing(folder), QStringList({"table.docx"}));
    // And a work folder that cannot be filled is removed as well.
    EXPECT_FALSE(FailureOnAFullDisk([&] { WriteExcelChart(target, ThreeRows(1), 1, 1, temp); }).isEmpty());
}

TEST_F(OfficeFiles, PartsAreUtf8WithoutByteOrderMarkAndKeepTheirChineseTexts)
{
    TemplatePackage package(temp);
    const QString work = package.Open("calcdata");
    ASSERT_TRUE(work.endsWith('/') && work.startsWith(temp + "/"));
    const QString text = package.ReadPartText("word/document.xml");
    ASSERT_TRUE(text.contains("降雨强度"));
    package.WritePartText("word/document.xml", text + "雨");
    const QByteArray bytes = ReadBytes(package.PartPath("word/document.xml"));
    EXPECT_TRUE(bytes.startsWith("<?xml"));
    EXPECT_TRUE(bytes.endsWith("\xE9\x9B\xA8"));   // 雨 in UTF-8
    EXPECT_EQ(package.ReadPartText("word/document.xml"), text + "雨");
    EXPECT_THROW(package.ReadPartText("word/missing.xml"), TavrelError);
    EXPECT_THROW(package.ReadPartText("../outside.xml"), TavrelError);
}

TEST_F(OfficeFiles, EntriesThatClimbOutOfTheWorkFolderAreRefused)
{
    // Unpacked, it would land in the temporary folder beside the work folder (TearDown).
    TemplatePackage package(temp);
    const QByteArray crafted = ArchiveWithEntry(folder + "/crafted.zip", "word/../../escaped.xml");
    EXPECT_THROW(package.OpenArchive(crafted, "crafted"), TavrelError);
}

TEST_F(OfficeFiles, AGarbledTemplateIsAnErrorThatNamesIt)
{
    TemplatePackage package(temp);
    try {
        package.OpenArchive("not an archive", "Garbled");
        FAIL() << "a garbled template was opened";
    } catch (const TavrelError &e) {
        EXPECT_TRUE(e.message().contains("Garbled"));
    }
}

TEST_F(OfficeFiles, WhatTheWorkFolderHoldsIsWhatIsPacked)
{
    TemplatePackage package(temp);
    package.Open("ExcelPicData");
    WriteBytes(package.PartPath("xl/media/image2.png"), "a new picture");
    WriteBytes(package.PartPath("xl/extra/added.bin"), "added");
    ASSERT_TRUE(QFile::remove(package.PartPath("docProps/app.xml")));
    ASSERT_EQ(package.SaveAs(folder + "/book.xlsx"), PackagePlacement::Placed);
    const Archive written = ReadArchive(ReadBytes(folder + "/book.xlsx"));
    EXPECT_EQ(written.at("xl/media/image2.png").data, "a new picture");
    EXPECT_EQ(written.at("xl/extra/added.bin").data, "added");
    EXPECT_FALSE(written.count("docProps/app.xml"));
    // The parts left alone are the template's.
    EXPECT_EQ(written.at("xl/media/image1.png").data,
              ReadBytes(QStringLiteral(TAVREL_TEMPLATE_SOURCES) + "/ExcelPicData/xl/media/image1.png"));
    EXPECT_EQ(written.at("xl/media/image1.png").method, ZIP_CM_DEFLATE);
}

TEST_F(OfficeFiles, CalcBookCarriesTheDrawnChartAndEveryTemplatePart)
{
    const ComputedStorm storm = MakeStorm(120, 0.4);
    QByteArray drawn;
    const auto draw = [&](const QString &path) {
        QImage picture(5, 3, QImage::Format_RGB888);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(path, "PNG"));
        drawn = ReadBytes(path);
    };
    const QString target = folder + "/book.docx";
    ASSERT_EQ(WriteCalcBook(target, storm.model, TOptions{}, storm.grid, draw, temp), PackagePlacement::Placed);
    EXPECT_EQ(FolderListing(folder), QStringList({"book.docx"}));

    Archive book = ReadArchive(ReadBytes(target));
    EXPECT_EQ(book.at("word/media/image9.png").data, drawn);
    for (const auto &[name, entry] : ReadArchive(BuiltInTemplateArchive("CalcBook")))
        EXPECT_TRUE(entry.folder || book.count(name)) << "missing " << name.toStdString();
    // The row templates ride along unchanged; their three lines are no document of their own.
    EXPECT_EQ(book.at("word/subrow.xml").data, ReadBytes(QStringLiteral(TAVREL_TEMPLATE_SOURCES) + "/CalcBook/word/subrow.xml"));
    book.erase("word/subrow.xml");
    EXPECT_EQ(PackageProblems(book), QStringList());
}

TEST_F(OfficeFiles, CalcBookWithoutItsChartIsNotWritten)
{
    const ComputedStorm storm = MakeStorm(120, 0.4);
    const QString target = folder + "/book.docx";
    WriteBytes(target, "old book");
    const auto fails = [](const QString &) { throw TavrelError("no chart"); };
    EXPECT_THROW(WriteCalcBook(target, storm.model, TOptions{}, storm.grid, fails, temp), TavrelError);
    // A routine that writes nothing must not leave the template's placeholder in the book.
    const auto writesNothing = [](const QString &) {};
    EXPECT_THROW(WriteCalcBook(target, storm.model, TOptions{}, storm.grid, writesNothing, temp), TavrelError);
    const auto writesAnEmptyFile = [](const QString &path) { WriteBytes(path, ""); };
    EXPECT_THROW(WriteCalcBook(target, storm.model, TOptions{}, storm.grid, writesAnEmptyFile, temp), TavrelError);
    EXPECT_EQ(ReadBytes(target), "old book");
    EXPECT_EQ(FolderListing(folder), QStringList({"book.docx"}));
}

// Twelve years of maxima that rise with the year and the duration, as a table gives them.
CompilationReportInput TwelveYears()
{
    CompilationReportInput in;
    for (int y = 0; y < 12; ++y) {
        YearMaxima year;
        year.year = 2000 + y;
        for (size_t d = 0; d < MaximaDurations.size(); ++d)
            year.depth[d] = (8 + 1.7 * y + (y % 3) * 2.3) * std::pow(MaximaDurations[d], 0.45);
        year.ratio.fill(std::nan(""));
        in.maxima.years.push_back(year);
    }
    in.fromRecord = false;
    in.compiled = CompileFormula(in.maxima.years, Distribution::P3, DefaultCsCv, in.options.D_QI_ConversionRatio);
    TExpressionObject base;
    SetStartValues(base);
    in.storm = CompilationStorm(in.compiled, base, in.options);
    return in;
}

void DrawSomething(const QString &path)
{
    QImage picture(4, 3, QImage::Format_RGB888);
    picture.fill(Qt::blue);
    picture.save(path, "PNG");
}

TEST_F(OfficeFiles, CompilationReportHoldsEveryPictureAndOnlyItsParts)
{
    const QString target = folder + "/report.docx";
    const CompilationReportPictures pictures{[](size_t, const QString &path) { DrawSomething(path); }, DrawSomething};
    ASSERT_EQ(WriteCompilationReport(target, TwelveYears(), pictures, temp), PackagePlacement::Placed);
    const Archive report = ReadArchive(ReadBytes(target));
    EXPECT_EQ(PackageProblems(report), QStringList());
    int media = 0;
    for (const auto &[name, entry] : report)
        media += name.startsWith("word/media/") ? 1 : 0;
    EXPECT_EQ(media, 12);
}

TEST_F(OfficeFiles, CompilationReportWithoutAllItsPicturesIsNotWritten)
{
    const QString target = folder + "/report.docx";
    WriteBytes(target, "old report");
    const CompilationReportInput in = TwelveYears();
    const auto allButOne = [](size_t d, const QString &path) {
        if (d != 6)
            DrawSomething(path);
    };
    EXPECT_THROW(WriteCompilationReport(target, in, {allButOne, DrawSomething}, temp), TavrelError);
    const auto fails = [](const QString &) { throw TavrelError("no chart"); };
    EXPECT_THROW(WriteCompilationReport(target, in, {[](size_t, const QString &path) { DrawSomething(path); }, fails}, temp),
                 TavrelError);
    EXPECT_EQ(ReadBytes(target), "old report");
    EXPECT_EQ(FolderListing(folder), QStringList({"report.docx"}));
}

TEST(OfficeNames, WorkbookRefusesAnEmptyTable)
{
    const QString folder = MakeTempFolder();
    EXPECT_THROW(WriteExcelChart(folder + "/x.xlsx", GridTable{}, 1, 1, folder), TavrelError);
    EXPECT_EQ(FolderListing(folder), QStringList());
}
