#include "OfficeExports.h"
#include "DataFileName.h"

#include "core/Failure.h"
#include "core/Numbers.h"

namespace {

QString StormParameters(const TExpressionObject &model)
{
    return QStringLiteral("P=%1年 T=%2分 R=%3")
        .arg(FormatGeneral(model.Storm_RepeatYear), FormatGeneral(model.Storm_Time), FormatGeneral(model.Storm_Percent));
}

// The parts of the two templates, and their markers.
const QString WordDocumentPart = QStringLiteral("word/document.xml");
const QString WordRowPart = QStringLiteral("word/TableRow.xml");
const QString WordUnitMarker = QStringLiteral("<!--Storm_Unit-->");
const QString WordTimeMarker = QStringLiteral("<!--时间格式-->");
const QString WordRowsMarker = QStringLiteral("<!--雨量计算数据表格-->");

const QString ExcelSheetPart = QStringLiteral("xl/worksheets/sheet2.xml");
const QString ExcelStringsPart = QStringLiteral("xl/sharedStrings.xml");
const QString ExcelChartPart = QStringLiteral("xl/charts/chart1.xml");
const QString ExcelStylesPart = QStringLiteral("xl/styles.xml");
// The data cells' number format in the template's styles (cell style 2), set to the
// decimals of the table.
const QString ExcelValueFormat = QStringLiteral("<numFmt numFmtId=\"164\" formatCode=\"0.0000\"/>");
// Shared strings before the time labels: three headings and six texts of the guide sheet,
// each used once.
constexpr int ExcelTemplateStrings = 9;

void ReplaceExact(QString &text, const QString &marker, const QString &replacement)
{
    text.replace(marker, replacement, Qt::CaseSensitive);
}

void ReplaceIgnoringCase(QString &text, const QString &marker, const QString &replacement)
{
    text.replace(marker, replacement, Qt::CaseInsensitive);
}

// A chart series keeps a copy of its cells next to each reference ("雨型数据1!$B$2:$B$122"),
// which every reader that does not recalculate draws from. Rewrites the cache that follows
// each occurrence of `reference` inside the same reference element.
void ReplaceCacheAfter(QString &chart, const QString &reference, const QString &cacheTag, const QString &cache)
{
    const bool numeric = cacheTag == QLatin1String("c:numCache");
    const QString refEnd = numeric ? QStringLiteral("</c:numRef>") : QStringLiteral("</c:strRef>");
    const QString open = QLatin1Char('<') + cacheTag + QLatin1Char('>');
    const QString close = QStringLiteral("</") + cacheTag + QLatin1Char('>');
    qsizetype at = chart.indexOf(reference, 0, Qt::CaseInsensitive);
    while (at >= 0) {
        const qsizetype end = chart.indexOf(refEnd, at);
        const qsizetype begin = chart.indexOf(open, at);
        qsizetype next = at + reference.size();
        if (end >= 0 && begin >= 0 && begin < end) {
            const qsizetype finish = chart.indexOf(close, begin);
            if (finish >= 0 && finish < end) {
                chart.replace(begin, finish + close.size() - begin, cache);
                next = begin + cache.size();
            }
        }
        at = chart.indexOf(reference, next, Qt::CaseInsensitive);
    }
}

// The number format that shows as many decimals as `value` has: "0.2030" gives 0.0000,
// "12" gives 0. The values are the table's texts, so the sheet shows what the table shows.
QString NumberFormatOf(const QString &value)
{
    const qsizetype point = value.indexOf(QLatin1Char('.'));
    if (point < 0)
        return QStringLiteral("0");
    return QStringLiteral("0.") + QString(value.size() - point - 1, QLatin1Char('0'));
}

QString PointCache(const QString &cacheTag, const GridTexts &grid, size_t column, const QString &formatCode)
{
    QString cache;
    cache.reserve(static_cast<qsizetype>(grid.rows.size()) * 48 + 96);
    cache += QLatin1Char('<') + cacheTag + QLatin1Char('>');
    if (cacheTag == QLatin1String("c:numCache"))
        cache += QStringLiteral("<c:formatCode>") + formatCode + QStringLiteral("</c:formatCode>");
    cache += QStringLiteral("<c:ptCount val=\"%1\"/>").arg(grid.rows.size());
    for (size_t i = 0; i < grid.rows.size(); ++i) {
        cache += QStringLiteral("<c:pt idx=\"");
        cache += QString::number(i);
        cache += QStringLiteral("\"><c:v>");
        cache += grid.rows[i][column];
        cache += QStringLiteral("</c:v></c:pt>");
    }
    cache += QStringLiteral("</") + cacheTag + QLatin1Char('>');
    return cache;
}

} // namespace

QString WordTableProposedFileName(const TExpressionObject &model)
{
    return QStringLiteral("芝加哥雨型计算数据 ") + StormParameters(model) + WordTableExtension;
}

QString ExcelChartProposedFileName(const TExpressionObject &model)
{
    return QStringLiteral("Excel图表 ") + StormParameters(model) + ExcelChartExtension;
}

QString WordTableDocument(QString document, const QString &rowTemplate, const GridTexts &grid, int timeFormat,
                          int stormUnit)
{
    if (stormUnit == 0)
        ReplaceExact(document, WordUnitMarker, QStringLiteral("mm/h"));
    else if (stormUnit == 1)
        ReplaceExact(document, WordUnitMarker, QStringLiteral("mm/min"));
    if (timeFormat == 0)
        ReplaceExact(document, WordTimeMarker, QStringLiteral("H:M"));
    else if (timeFormat == 1)
        ReplaceExact(document, WordTimeMarker, QStringLiteral("min"));

    const RowTemplate row(rowTemplate);
    QString rows;
    rows.reserve(static_cast<qsizetype>(grid.rows.size()) * (row.FixedLength() + 32));
    for (const GridRow &cells : grid.rows)
        row.AppendFilled(rows, cells);
    ReplaceExact(document, WordRowsMarker, rows);
    return document;
}

void FillExcelChartParts(ExcelChartParts &parts, const GridTexts &grid, int timeFormat, int stormUnit)
{
    const auto count = static_cast<qsizetype>(grid.rows.size());
    const QString lastRow = QString::number(count + 1);
    const QString formatCode = count > 0 ? NumberFormatOf(grid.rows.front()[1]) : QStringLiteral("General");

    // The sheet rows and the time labels they point at, in one pass.
    QString rows, strings;
    rows.reserve(count * 190);
    strings.reserve(count * 24);
    for (qsizetype r = 1; r <= count; ++r) {
        const GridRow &cells = grid.rows[static_cast<size_t>(r - 1)];
        const QString k = QString::number(r + 1);
        // Appended piece by piece: no temporary strings for 1,441 rows and more.
        rows += QLatin1String("<row r=\"");
        rows += k;
        rows += QLatin1String("\" spans=\"1:3\" x14ac:dyDescent=\"0.15\"><c r=\"A");
        rows += k;
        rows += QLatin1String("\" t=\"s\"><v>");
        rows += QString::number(r + ExcelTemplateStrings - 1);
        rows += QLatin1String("</v></c><c r=\"B");
        rows += k;
        rows += QLatin1String("\" s=\"2\"><v>");
        rows += cells[1];
        rows += QLatin1String("</v></c><c r=\"C");
        rows += k;
        rows += QLatin1String("\" s=\"2\"><v>");
        rows += cells[2];
        rows += QLatin1String("</v></c></row>");
        strings += QLatin1String("<si><t>");
        strings += cells[0];
        strings += QLatin1String("</t></si>");
    }

    ReplaceIgnoringCase(parts.sheet, QStringLiteral("<!--ROWCOUNT-->"), lastRow);
    ReplaceIgnoringCase(parts.sheet, QStringLiteral("<!--MYROW-->"), rows);
    ReplaceIgnoringCase(parts.styles, ExcelValueFormat,
                        QStringLiteral("<numFmt numFmtId=\"164\" formatCode=\"%1\"/>").arg(formatCode));

    QString &sst = parts.sharedStrings;
    if (stormUnit == 0)
        ReplaceIgnoringCase(sst, QStringLiteral("<t>降雨强度(mm/min)</t>"), QStringLiteral("<t>降雨强度(mm/h)</t>"));
    if (timeFormat == 0)
        ReplaceIgnoringCase(sst, QStringLiteral("<t>时间(min)</t>"), QStringLiteral("<t>时间(H:M)</t>"));
    ReplaceIgnoringCase(sst, QStringLiteral("</sst>"), strings + QStringLiteral("</sst>"));
    // Every item is used by exactly one cell, so both counts are the number of items.
    const QString items = QString::number(count + ExcelTemplateStrings);
    ReplaceIgnoringCase(sst, QStringLiteral(" count=\"9\" uniqueCount=\"9\""),
                        QStringLiteral(" count=\"%1\" uniqueCount=\"%1\"").arg(items));

    QString &chart = parts.chart;
    const QString sheet = QStringLiteral("雨型数据1!");
    for (const QChar column : {QLatin1Char('A'), QLatin1Char('B'), QLatin1Char('C')}) {
        const QString start = sheet + QStringLiteral("$%1$2:$%1$").arg(column);
        ReplaceIgnoringCase(chart, start + QStringLiteral("122"), start + lastRow);
    }
    if (stormUnit == 0)
        ReplaceIgnoringCase(chart, QStringLiteral("(mm/min)"), QStringLiteral("(mm/h)"));
    if (timeFormat == 0)
        ReplaceIgnoringCase(chart, QStringLiteral("(min)"), QStringLiteral("(H:M)"));
    const QString range = sheet + QStringLiteral("$%1$2:$%1$") + lastRow + QStringLiteral("</c:f>");
    ReplaceCacheAfter(chart, range.arg(QLatin1Char('A')), QStringLiteral("c:strCache"),
                      PointCache(QStringLiteral("c:strCache"), grid, 0, {}));
    ReplaceCacheAfter(chart, range.arg(QLatin1Char('B')), QStringLiteral("c:numCache"),
                      PointCache(QStringLiteral("c:numCache"), grid, 1, formatCode));
    ReplaceCacheAfter(chart, range.arg(QLatin1Char('C')), QStringLiteral("c:numCache"),
                      PointCache(QStringLiteral("c:numCache"), grid, 2, formatCode));
}

PackagePlacement WriteWordTable(const QString &path, const GridTexts &grid, int timeFormat, int stormUnit,
                                const QString &tempFolder)
{
    TemplatePackage package(tempFolder);
    package.Open(QStringLiteral("CalcData"));
    const QString document = package.ReadPartText(WordDocumentPart);
    const QString row = package.ReadPartText(WordRowPart);
    package.WritePartText(WordDocumentPart, WordTableDocument(document, row, grid, timeFormat, stormUnit));
    return package.SaveAs(path);
}

PackagePlacement WriteExcelChart(const QString &path, const GridTexts &grid, int timeFormat, int stormUnit,
                                 const QString &tempFolder)
{
    if (grid.rows.empty())
        throw TavrelError(NoDataMessage);
    TemplatePackage package(tempFolder);
    package.Open(QStringLiteral("ExcelPicData"));
    ExcelChartParts parts{package.ReadPartText(ExcelSheetPart), package.ReadPartText(ExcelStringsPart),
                          package.ReadPartText(ExcelChartPart), package.ReadPartText(ExcelStylesPart)};
    FillExcelChartParts(parts, grid, timeFormat, stormUnit);
    package.WritePartText(ExcelSheetPart, parts.sheet);
    package.WritePartText(ExcelStringsPart, parts.sharedStrings);
    package.WritePartText(ExcelChartPart, parts.chart);
    package.WritePartText(ExcelStylesPart, parts.styles);
    return package.SaveAs(path);
}
