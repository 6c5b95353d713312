#include "OfficeExports.h"
#include "DataFileName.h"

#include "core/Failure.h"
#include "core/Numbers.h"

#include <algorithm>
#include <vector>

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

// A stretch of a part's text, by its start and length.
struct Span {
    qsizetype start = 0;
    qsizetype length = 0;
    int fill = 0;   // which generated text takes its place
};

// `text` as UTF-8, with each span (in order, apart) replaced by what `fill(out, span.fill)`
// appends. The generated texts are the bulk of a part: they are written once, into the
// finished bytes, rather than built apart and copied in.
template <typename Fill>
QByteArray SplicedUtf8(const QString &text, const std::vector<Span> &spans, qsizetype generated, Fill fill)
{
    QByteArray out;
    out.reserve(text.size() * 3 + generated);
    qsizetype at = 0;
    for (const Span &span : spans) {
        out += QStringView(text).sliced(at, span.start - at).toUtf8();
        fill(out, span.fill);
        at = span.start + span.length;
    }
    out += QStringView(text).sliced(at).toUtf8();
    return out;
}

// Every occurrence of `marker`, the whole marker (`length` -1) or the place before it (0).
std::vector<Span> MarkerSpans(const QString &text, const QString &marker, qsizetype length,
                              Qt::CaseSensitivity cs = Qt::CaseInsensitive)
{
    std::vector<Span> spans;
    for (qsizetype at = text.indexOf(marker, 0, cs); at >= 0; at = text.indexOf(marker, at + marker.size(), cs))
        spans.push_back({at, length < 0 ? marker.size() : length});
    return spans;
}

// A chart series keeps a copy of its cells next to each reference ("雨型数据1!$B$2:$B$122"),
// which every reader that does not recalculate draws from. Adds to `spans` the cache that
// follows each occurrence of `reference` inside the same reference element.
void AddCachesAfter(std::vector<Span> &spans, const QString &chart, const QString &reference, const QString &cacheTag,
                    int fill)
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
                spans.push_back({begin, finish + close.size() - begin, fill});
                next = finish + close.size();
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

// Room for the cells' characters: the first and last rows bound the widths well (the peak
// may add a digit or two, which the buffers absorb).
qsizetype CellsLength(const GridTable &grid)
{
    if (grid.empty())
        return 0;
    const auto length = [](const GridRow &cells) { return cells[0].size() + cells[1].size() + cells[2].size(); };
    return std::max(length(grid.row(0)), length(grid.row(grid.size() - 1))) * static_cast<qsizetype>(grid.size());
}

void AppendPointCache(QByteArray &out, const char *cacheTag, const GridTable &grid, size_t column,
                      const QString &formatCode)
{
    out += '<';
    out += cacheTag;
    out += '>';
    if (qstrcmp(cacheTag, "c:numCache") == 0)
        out += "<c:formatCode>" + formatCode.toUtf8() + "</c:formatCode>";
    out += "<c:ptCount val=\"" + QByteArray::number(static_cast<qulonglong>(grid.size())) + "\"/>";
    for (size_t i = 0; i < grid.size(); ++i) {
        out += "<c:pt idx=\"";
        out += QByteArray::number(static_cast<qulonglong>(i));
        out += "\"><c:v>";
        AppendUtf8(out, grid.row(i)[column]);
        out += "</c:v></c:pt>";
    }
    out += "</";
    out += cacheTag;
    out += '>';
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

QByteArray WordTableDocument(QString document, const QString &rowTemplate, const GridTable &grid, int timeFormat,
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
    return SplicedUtf8(document, MarkerSpans(document, WordRowsMarker, -1, Qt::CaseSensitive),
                       static_cast<qsizetype>(grid.size()) * row.FixedUtf8Length() + CellsLength(grid),
                       [&](QByteArray &rows, int) {
        for (size_t r = 0; r < grid.size(); ++r)
            row.AppendFilledUtf8(rows, grid.row(r));
    });
}

ExcelChartFiles FillExcelChartParts(ExcelChartParts parts, const GridTable &grid, int timeFormat, int stormUnit)
{
    const auto count = static_cast<qsizetype>(grid.size());
    const QString lastRow = QString::number(count + 1);
    const QString formatCode = count > 0 ? NumberFormatOf(grid.row(0)[1]) : QStringLiteral("General");
    const qsizetype cellsLength = CellsLength(grid);
    ExcelChartFiles files;

    // The sheet rows, pointing at the time labels as shared strings.
    ReplaceIgnoringCase(parts.sheet, QStringLiteral("<!--ROWCOUNT-->"), lastRow);
    const QString rowsMarker = QStringLiteral("<!--MYROW-->");
    files.sheet = SplicedUtf8(parts.sheet, MarkerSpans(parts.sheet, rowsMarker, -1),
                              count * 160 + cellsLength, [&](QByteArray &rows, int) {
        for (qsizetype r = 1; r <= count; ++r) {
            const GridRow cells = grid.row(static_cast<size_t>(r - 1));
            const QByteArray k = QByteArray::number(r + 1);
            rows += "<row r=\"";
            rows += k;
            rows += "\" spans=\"1:3\" x14ac:dyDescent=\"0.15\"><c r=\"A";
            rows += k;
            rows += "\" t=\"s\"><v>";
            rows += QByteArray::number(r + ExcelTemplateStrings - 1);
            rows += "</v></c><c r=\"B";
            rows += k;
            rows += "\" s=\"2\"><v>";
            AppendUtf8(rows, cells[1]);
            rows += "</v></c><c r=\"C";
            rows += k;
            rows += "\" s=\"2\"><v>";
            AppendUtf8(rows, cells[2]);
            rows += "</v></c></row>";
        }
    });

    ReplaceIgnoringCase(parts.styles, ExcelValueFormat,
                        QStringLiteral("<numFmt numFmtId=\"164\" formatCode=\"%1\"/>").arg(formatCode));
    files.styles = parts.styles.toUtf8();

    // The time labels, one item each, before the end of the list.
    QString &sst = parts.sharedStrings;
    if (stormUnit == 0)
        ReplaceIgnoringCase(sst, QStringLiteral("<t>降雨强度(mm/min)</t>"), QStringLiteral("<t>降雨强度(mm/h)</t>"));
    if (timeFormat == 0)
        ReplaceIgnoringCase(sst, QStringLiteral("<t>时间(min)</t>"), QStringLiteral("<t>时间(H:M)</t>"));
    // Every item is used by exactly one cell, so both counts are the number of items.
    const QString items = QString::number(count + ExcelTemplateStrings);
    ReplaceIgnoringCase(sst, QStringLiteral(" count=\"9\" uniqueCount=\"9\""),
                        QStringLiteral(" count=\"%1\" uniqueCount=\"%1\"").arg(items));
    files.sharedStrings = SplicedUtf8(sst, MarkerSpans(sst, QStringLiteral("</sst>"), 0), count * 16 + cellsLength,
                                      [&](QByteArray &strings, int) {
        for (size_t r = 0; r < grid.size(); ++r) {
            strings += "<si><t>";
            AppendUtf8(strings, grid.timeLabel(r));
            strings += "</t></si>";
        }
    });

    // The chart: its ranges end at the last row, its titles follow the settings, and the
    // cached points are the table's.
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
    std::vector<Span> caches;
    AddCachesAfter(caches, chart, range.arg(QLatin1Char('A')), QStringLiteral("c:strCache"), 0);
    AddCachesAfter(caches, chart, range.arg(QLatin1Char('B')), QStringLiteral("c:numCache"), 1);
    AddCachesAfter(caches, chart, range.arg(QLatin1Char('C')), QStringLiteral("c:numCache"), 2);
    std::sort(caches.begin(), caches.end(), [](const Span &a, const Span &b) { return a.start < b.start; });
    files.chart = SplicedUtf8(chart, caches, static_cast<qsizetype>(caches.size()) * (count * 30 + cellsLength),
                              [&](QByteArray &out, int column) {
        AppendPointCache(out, column == 0 ? "c:strCache" : "c:numCache", grid, static_cast<size_t>(column), formatCode);
    });
    return files;
}

PackagePlacement WriteWordTable(const QString &path, const GridTable &grid, int timeFormat, int stormUnit,
                                const QString &tempFolder)
{
    TemplatePackage package(tempFolder);
    package.Open(QStringLiteral("CalcData"));
    const QString document = package.ReadPartText(WordDocumentPart);
    const QString row = package.ReadPartText(WordRowPart);
    package.WritePart(WordDocumentPart, WordTableDocument(document, row, grid, timeFormat, stormUnit));
    return package.SaveAs(path);
}

PackagePlacement WriteExcelChart(const QString &path, const GridTable &grid, int timeFormat, int stormUnit,
                                 const QString &tempFolder)
{
    if (grid.empty())
        throw TavrelError(NoDataMessage);
    TemplatePackage package(tempFolder);
    package.Open(QStringLiteral("ExcelPicData"));
    ExcelChartFiles files =
        FillExcelChartParts({package.ReadPartText(ExcelSheetPart), package.ReadPartText(ExcelStringsPart),
                             package.ReadPartText(ExcelChartPart), package.ReadPartText(ExcelStylesPart)},
                            grid, timeFormat, stormUnit);
    package.WritePart(ExcelSheetPart, std::move(files.sheet));
    package.WritePart(ExcelStringsPart, std::move(files.sharedStrings));
    package.WritePart(ExcelChartPart, std::move(files.chart));
    package.WritePart(ExcelStylesPart, std::move(files.styles));
    return package.SaveAs(path);
}
