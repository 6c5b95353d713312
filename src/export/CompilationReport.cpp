#include "CompilationReport.h"

#include "core/Failure.h"
#include "core/GridText.h"
#include "core/Numbers.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>

namespace {

const QString TemplateName = QStringLiteral("CompileReport");
const QString DocumentPart = QStringLiteral("word/document.xml");
const QString RelationsPart = QStringLiteral("word/_rels/document.xml.rels");
const QString PiecesPart = QStringLiteral("pieces.txt");

// A4 less the calculation book's margins of 1800 twips on either side.
constexpr int TextWidth = 8306;
// The storm chart's frame, as in the calculation book (14.63 cm by 10.58 cm).
constexpr qint64 StormFrameWidth = 5267325, StormFrameHeight = 3810000;
// The frequency curves go two to a row, each 7 cm wide in a cell of half the text width.
constexpr int PicturesPerRow = 2;
constexpr qint64 FrequencyFrameWidth = 2520000;
constexpr qint64 FrequencyFrameHeight =
    FrequencyFrameWidth * CompilationFrequencyPictureSize.height() / CompilationFrequencyPictureSize.width();
// Table values the report prints with fewer digits than the written table holds.
constexpr int IntensityDecimals = 4;

const QString TableText = QStringLiteral("TableText");
const QString SmallTableText = QStringLiteral("TableTextSmall");

// The template's pieces by name: "name<TAB>xml" lines, "#" lines are comments.
class Pieces {
public:
    explicit Pieces(const QString &text)
    {
        for (const QString &line : SplitLines(text)) {
            const qsizetype tab = line.indexOf(QLatin1Char('\t'));
            if (line.startsWith(QLatin1Char('#')) || tab < 0)
                continue;
            templates.emplace(line.left(tab), RowTemplate(line.mid(tab + 1)));
        }
    }
    QString operator()(const QString &name, const QStringList &texts = {}) const
    {
        const auto it = templates.find(name);
        if (it == templates.end())
            throw TavrelError(QStringLiteral("模板“%1”中缺少“%2”").arg(TemplateName, name));
        QString out;
        it->second.AppendFilled(out, texts);
        return out;
    }

private:
    std::map<QString, RowTemplate> templates;
};

QString Xml(const QString &text)
{
    return text.toHtmlEscaped();
}

QString Number(qint64 value)
{
    return QString::number(value);
}

// The first column `first` twips wide, the others sharing the rest of the text width.
std::vector<int> Widths(int columns, int first, int total = TextWidth)
{
    std::vector<int> widths(size_t(columns), (total - first) / std::max(1, columns - 1));
    widths.front() = first;
    return widths;
}

QString Table(const Pieces &p, const std::vector<int> &widths, const QStringList &heading,
              const std::vector<QStringList> &rows, const QString &textStyle = TableText)
{
    int total = 0;
    for (int w : widths)
        total += w;
    QString out = p(QStringLiteral("TableStart"), {QStringLiteral("ReportTable"), Number(total)});
    for (int w : widths)
        out += p(QStringLiteral("GridColumn"), {Number(w)});
    out += p(QStringLiteral("GridEnd"));
    const auto row = [&](const QString &start, const QString &cell, const QStringList &texts) {
        out += p(start);
        for (size_t c = 0; c < widths.size(); ++c)
            out += p(cell, {Number(widths[c]), textStyle, Xml(qsizetype(c) < texts.size() ? texts[qsizetype(c)] : QString())});
        out += p(QStringLiteral("RowEnd"));
    };
    row(QStringLiteral("HeadingRow"), QStringLiteral("HeadingCell"), heading);
    for (const QStringList &r : rows)
        row(QStringLiteral("Row"), QStringLiteral("Cell"), r);
    return out + p(QStringLiteral("TableEnd"));
}

QString Paragraph(const Pieces &p, const QString &text)
{
    return p(QStringLiteral("Paragraph"), {Xml(text)});
}

// The rows of a comma-separated text the program writes (the maxima, the i-t-P table).
std::vector<QStringList> CsvRows(const QString &text)
{
    std::vector<QStringList> rows;
    for (const QString &line : SplitLines(text))
        if (!line.isEmpty())
            rows.push_back(line.split(QLatin1Char(',')));
    return rows;
}

// The pictures of the report: the part's file name and its relationship.
struct Picture {
    QString file;   // in word/media
    QString id;     // relationship
};

class ReportBuilder {
public:
    ReportBuilder(const Pieces &pieces, const CompilationReportInput &input) : p(pieces), in(input) {}

    QString record() const
    {
        const std::vector<YearMaxima> &years = in.maxima.years;
        QString out;
        const QString span = years.empty() ? QString()
                                           : QStringLiteral("（%1—%2年）").arg(years.front().year).arg(years.back().year);
        if (in.fromRecord) {
            out += Paragraph(p, QStringLiteral("资料文件：%1").arg(QDir::toNativeSeparators(in.source)));
            out += Paragraph(p, QStringLiteral("时段步长：%1分钟").arg(in.maxima.step));
            QString used = QStringLiteral("采用资料：%1年%2").arg(years.size()).arg(span);
            if (!in.maxima.leftOut.empty())
                used += QStringLiteral("；另有%1年完整率低于要求，未采用").arg(in.maxima.leftOut.size());
            out += Paragraph(p, used);
        } else {
            out += Paragraph(p, QStringLiteral("年最大值表：%1").arg(QDir::toNativeSeparators(in.source)));
            out += Paragraph(p, QStringLiteral("采用资料：%1年%2。资料为年最大值表，没有逐年的完整率和降雨过程。")
                                    .arg(years.size())
                                    .arg(span));
        }
        if (years.size() < size_t(CodeYears))
            out += p(QStringLiteral("Note"), {Xml(QStringLiteral("注意：只有%1年资料，GB 50014 要求至少%2年。")
                                                       .arg(years.size())
                                                       .arg(CodeYears))});
        if (!in.fromRecord)
            return out;
        out += Paragraph(p, QStringLiteral("各年完整率（有数值的时段占该年资料时段的比例）："));
        std::vector<QStringList> rows;
        for (const YearMaxima &y : years)
            rows.push_back({QString::number(y.year), FormatFixed(y.coverage, 4), QStringLiteral("采用")});
        for (const YearMaxima &y : in.maxima.leftOut)
            rows.push_back({QString::number(y.year), FormatFixed(y.coverage, 4), QStringLiteral("低于要求，未采用")});
        return out + Table(p, {1800, 1800, 3000}, {QStringLiteral("年份"), QStringLiteral("完整率"), QStringLiteral("说明")}, rows);
    }

    QString maxima() const
    {
        std::vector<QStringList> rows = CsvRows(MaximaTableText(in.maxima.years));
        QStringList heading = rows.front();
        rows.erase(rows.begin());
        heading.front() = QStringLiteral("年份＼历时(min)");
        return Paragraph(p, QStringLiteral("年最大降雨量（mm）：")) + Table(p, Widths(12, 760), heading, rows, SmallTableText);
    }

    QString frequency(const std::vector<Picture> &pictures) const
    {
        QString out;
        QStringList heading{QStringLiteral("历时(min)"), QStringLiteral("均值x̄(mm)")};
        switch (in.distribution) {
        case Distribution::P3:
            out += Paragraph(p, QStringLiteral("频率分布：皮尔逊Ⅲ型，适线法。取Cs = %1Cv，以矩法估计为初值，调整均值和Cv，使样本各项与曲线在其经验频率处的离差平方和最小。")
                                    .arg(FormatGeneral(in.csCv)));
            heading << QStringLiteral("Cv") << QStringLiteral("Cs");
            break;
        case Distribution::P3Moments:
            out += Paragraph(p, QStringLiteral("频率分布：皮尔逊Ⅲ型，矩法估计均值、Cv和Cs。"));
            heading << QStringLiteral("Cv") << QStringLiteral("Cs");
            break;
        case Distribution::Gumbel:
            out += Paragraph(p, QStringLiteral("频率分布：耿贝尔分布（极值Ⅰ型），矩法：α = √6·s/π，u = x̄ − 0.5772157α，s为样本标准差。"));
            heading << QStringLiteral("u(mm)") << QStringLiteral("α(mm)");
            break;
        case Distribution::Exponential:
            out += Paragraph(p, QStringLiteral("频率分布：两参数指数分布，矩法：x_T = (x̄ − s) + s·ln T，s为样本标准差。"));
            heading << QStringLiteral("s(mm)");
            break;
        }
        out += Paragraph(p, QStringLiteral("各历时的分布参数："));
        std::vector<QStringList> rows;
        for (size_t d = 0; d < in.compiled.curves.size(); ++d) {
            const FrequencyCurve &c = in.compiled.curves[d];
            QStringList row{QString::number(in.compiled.durations[d]), FormatFixed(c.mean, 4)};
            if (in.distribution == Distribution::Gumbel)
                row << FormatFixed(c.u, 4) << FormatFixed(c.alpha, 4);
            else if (in.distribution == Distribution::Exponential)
                row << FormatFixed(c.s, 4);
            else
                row << FormatFixed(c.cv, 4) << FormatFixed(c.cs, 4);
            rows.push_back(row);
        }
        out += Table(p, Widths(int(heading.size()), 1600, 6400), heading, rows);

        out += Paragraph(p, QStringLiteral("各历时的频率曲线（海森概率格纸：横轴为正态概率刻度的频率，点为样本，线为拟合曲线）："));
        const int cellWidth = TextWidth / PicturesPerRow;
        QString cells;
        std::vector<QString> rowsXml;
        for (size_t d = 0; d < pictures.size(); ++d) {
            const QString name = QStringLiteral("%1分钟年最大值频率曲线").arg(in.compiled.durations[d]);
            const QString content =
                p(QStringLiteral("Figure"), {QStringLiteral("GridFigure"), Number(FrequencyFrameWidth), Number(FrequencyFrameHeight), Number(qint64(d) + 1), Xml(name),
                                             pictures[d].file, pictures[d].id, Number(FrequencyFrameWidth),
                                             Number(FrequencyFrameHeight)})
                + p(QStringLiteral("Caption"), {Xml(QStringLiteral("图%1  %2").arg(d + 1).arg(name))});
            cells += p(QStringLiteral("PictureCell"), {Number(cellWidth), content});
            if ((d + 1) % PicturesPerRow == 0 || d + 1 == pictures.size()) {
                for (size_t k = (d + 1) % PicturesPerRow; k != 0 && k < PicturesPerRow; ++k)   // the last row's empty cells
                    cells += p(QStringLiteral("PictureCell"), {Number(cellWidth), p(QStringLiteral("Caption"))});
                rowsXml.push_back(cells);
                cells.clear();
            }
        }
        out += p(QStringLiteral("TableStart"), {QStringLiteral("PictureGrid"), Number(TextWidth)});
        for (int k = 0; k < PicturesPerRow; ++k)
            out += p(QStringLiteral("GridColumn"), {Number(cellWidth)});
        out += p(QStringLiteral("GridEnd"));
        for (const QString &r : rowsXml)
            out += p(QStringLiteral("Row")) + r + p(QStringLiteral("RowEnd"));
        return out + p(QStringLiteral("TableEnd"));
    }

    QString intensityTable() const
    {
        std::vector<QStringList> rows = CsvRows(in.compiled.tableText);
        QStringList heading = rows.front();
        rows.erase(rows.begin());
        heading.front() = QStringLiteral("历时t(min)＼P(年)");
        for (QStringList &row : rows)
            for (qsizetype c = 1; c < row.size(); ++c)
                row[c] = Rounded(row[c]);
        return Paragraph(p, QStringLiteral("暴雨强度i（mm/min，取%1位小数）：").arg(IntensityDecimals))
               + Table(p, Widths(9, 1314), heading, rows);
    }

    QString formula() const
    {
        const IdfFitResult &fit = in.compiled.fit;
        const TotalFormula &f = fit.formula;
        QString out = Paragraph(p, QStringLiteral("参数（取%1位小数）：A1 = %2，C = %3，b = %4，n = %5")
                                       .arg(FormulaDecimals)
                                       .arg(FormatGeneral(f.A1), FormatGeneral(f.C), FormatGeneral(f.b), FormatGeneral(f.n)));
        const QString plusB = f.b < 0 ? QStringLiteral("− ") + FormatGeneral(-f.b) : QStringLiteral("+ ") + FormatGeneral(f.b);
        out += Paragraph(p, QStringLiteral("即 i = %1(1 + %2 lg P) / (t %3)^%4").arg(FormatGeneral(f.A1), FormatGeneral(f.C), plusB,
                                                                                     FormatGeneral(f.n)));
        out += Paragraph(p, QStringLiteral("精度（重现期%1~%2年的%3个数值，按上列取%4位小数的参数）：")
                                .arg(FormatGeneral(AccuracyPeriodLow), FormatGeneral(AccuracyPeriodHigh))
                                .arg(fit.accuracy.cells)
                                .arg(FormulaDecimals));
        const bool holds = fit.accuracy.absoluteHolds() && fit.accuracy.relativeHolds();
        for (const QString &line : AccuracyLines(fit.accuracy))
            out += p(holds ? QStringLiteral("Paragraph") : QStringLiteral("Note"), {Xml(line)});
        out += Paragraph(p, QStringLiteral("各数值的拟合偏差："));
        std::vector<QStringList> rows;
        for (const IdfCellFit &c : fit.cells)
            rows.push_back({FormatGeneral(c.t), FormatGeneral(c.P), FormatFixed(c.given, IntensityDecimals),
                            FormatFixed(c.fitted, IntensityDecimals), FormatFixed(c.fitted - c.given, IntensityDecimals),
                            FormatFixed((c.fitted - c.given) / c.given * 100, 2)});
        return out + Table(p, Widths(6, 1306, 8006),
                           {QStringLiteral("历时t(min)"), QStringLiteral("重现期P(年)"), QStringLiteral("给定值(mm/min)"),
                            QStringLiteral("拟合值(mm/min)"), QStringLiteral("偏差(mm/min)"), QStringLiteral("相对偏差(%)")},
                           rows);
    }

    QString peakRatio() const
    {
        if (!in.compiled.hasRatio)
            return Paragraph(p, QStringLiteral("年最大值表不含降雨过程，无法由资料确定雨峰位置；设计暴雨采用给定的峰值比例 r = %1。")
                                    .arg(FormatGeneral(in.storm.model.Storm_Percent)));
        QString out = Paragraph(p, QStringLiteral("每年取历时t的最大降雨时段，其中雨量最大的时段的中点距该时段起点的时间与t之比为当年的r_t；"
                                                  "r_t取各年的平均值，r = Σ t·r_t / Σ t。"));
        std::vector<QStringList> rows;
        for (size_t t = 0; t < PeakRatioDurations.size(); ++t)
            rows.push_back({QString::number(PeakRatioDurations[t]), FormatFixed(in.compiled.ratio.perDuration[t], 4)});
        out += Table(p, {2000, 2000}, {QStringLiteral("历时t(min)"), QStringLiteral("r_t")}, rows);
        return out + Paragraph(p, QStringLiteral("峰值比例 r = %1，设计暴雨取 r = %2。")
                                      .arg(FormatGeneral(in.compiled.ratio.r), FormatGeneral(FormulaRound(in.compiled.ratio.r))));
    }

    QString storm(const Picture &picture) const
    {
        const TExpressionObject &m = in.storm.model;
        const TOptions &o = in.options;
        const QString unit = o.Int_StormUnitidx == 0 ? QStringLiteral("mm/h") : QStringLiteral("mm/min");
        QString out = Paragraph(p, QStringLiteral("以上述公式按芝加哥雨型计算设计暴雨过程：设计重现期 P = %1年，降雨历时 T = %2 min，"
                                                  "峰值比例 r = %3，计算步长 %4 min。")
                                       .arg(FormatGeneral(m.Storm_RepeatYear), FormatGeneral(m.Storm_Time),
                                            FormatGeneral(m.Storm_Percent))
                                       .arg(m.Storm_Step));
        const QString name = QStringLiteral("设计暴雨过程线");
        out += p(QStringLiteral("Figure"), {QStringLiteral("Figure"), Number(StormFrameWidth), Number(StormFrameHeight), Number(CompilationPictures), Xml(name),
                                            picture.file, picture.id, Number(StormFrameWidth), Number(StormFrameHeight)});
        out += p(QStringLiteral("Caption"), {Xml(QStringLiteral("图%1  %2").arg(CompilationPictures).arg(name))});
        const GridTable grid(in.storm.points, GridFormatOf(o));
        // The heading as the calculation book and the CSV table give it, with the time format.
        const QStringList heading = CsvHeaderLine(o.Int_TimeForamtidx, o.Int_StormUnitidx).split(QLatin1Char(','));
        std::vector<QStringList> rows;
        rows.reserve(grid.size());
        for (size_t r = 0; r < grid.size(); ++r) {
            const GridRow row = grid.row(r);
            rows.push_back({row[0], row[1], row[2]});
        }
        out += Table(p, {2000, 3000, 3000}, heading, rows);
        out += Paragraph(p, QStringLiteral("累计降雨总量：%1mm").arg(FormatGeneral(DisplayRound(o.Int_Precision, in.storm.overall()))));
        return out + Paragraph(p, QStringLiteral("平均降雨强度：%1%2")
                                      .arg(FormatGeneral(DisplayRound(o.Int_Precision, in.storm.average())), unit));
    }

    static constexpr int CompilationPictures = int(MaximaDurations.size()) + 1;

private:
    static QString Rounded(const QString &text)
    {
        double value = 0;
        return TryParseNumber(text, value) ? FormatFixed(value, IntensityDecimals) : text;
    }

    const Pieces &p;
    const CompilationReportInput &in;
};

void Fill(QString &document, const QString &marker, const QString &content)
{
    const QString comment = QStringLiteral("<!--%1-->").arg(marker);
    if (!document.contains(comment))
        throw TavrelError(QStringLiteral("模板“%1”中缺少“%2”").arg(TemplateName, marker));
    document.replace(comment, content);
}

// Draws one picture into the package and makes sure it is there: a picture that was not
// drawn must not leave the report pointing at nothing.
void DrawInto(TemplatePackage &package, const Picture &picture, const std::function<void(const QString &)> &draw,
              const QString &what)
{
    const QString path = package.PartPath(QStringLiteral("word/media/") + picture.file);
    if (draw)
        draw(path);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        throw TavrelError(QStringLiteral("无法生成%1图片").arg(what));
}

} // namespace

Storm CompilationStorm(const FormulaCompilation &compiled, TExpressionObject base, const TOptions &options)
{
    const double ratio = options.D_QI_ConversionRatio;
    ApplyFittedFormula(base, compiled.fit.formula, [ratio](double a1) { return IntensityToFlow(a1, ratio); });
    base.Storm_RepeatYear = ReportStormPeriod;
    if (compiled.hasRatio)
        base.Storm_Percent = FormulaRound(compiled.ratio.r);
    Storm storm = ComputeStorm(base, ComputeSettingsOf(options));
    if (!storm.ok)
        throw TavrelError(ErrorPrefix + storm.message);
    return storm;
}

PackagePlacement WriteCompilationReport(const QString &path, const CompilationReportInput &input,
                                        const CompilationReportPictures &pictures, const QString &tempFolder)
{
    TemplatePackage package(tempFolder);
    package.Open(TemplateName);
    const Pieces pieces(package.ReadPartText(PiecesPart));
    if (!QFile::remove(package.PartPath(PiecesPart)))
        throw TavrelError(QStringLiteral("无法删除文件“%1”").arg(QDir::toNativeSeparators(package.PartPath(PiecesPart))));

    std::vector<Picture> frequency;
    QString relationships;
    for (size_t d = 0; d < input.compiled.curves.size(); ++d) {
        frequency.push_back({QStringLiteral("frequency%1.png").arg(d + 1, 2, 10, QLatin1Char('0')),
                             QStringLiteral("rIdFrequency%1").arg(d + 1)});
        relationships += pieces(QStringLiteral("Relationship"), {frequency.back().id, frequency.back().file});
    }
    const Picture stormPicture{QStringLiteral("storm.png"), QStringLiteral("rIdStorm")};
    relationships += pieces(QStringLiteral("Relationship"), {stormPicture.id, stormPicture.file});

    const ReportBuilder report(pieces, input);
    QString document = package.ReadPartText(DocumentPart);
    Fill(document, QStringLiteral("降雨资料"), report.record());
    Fill(document, QStringLiteral("年最大值"), report.maxima());
    Fill(document, QStringLiteral("频率分析"), report.frequency(frequency));
    Fill(document, QStringLiteral("暴雨强度表"), report.intensityTable());
    Fill(document, QStringLiteral("暴雨强度公式"), report.formula());
    Fill(document, QStringLiteral("雨峰位置"), report.peakRatio());
    Fill(document, QStringLiteral("设计暴雨"), report.storm(stormPicture));
    package.WritePartText(DocumentPart, document);
    QString relations = package.ReadPartText(RelationsPart);
    Fill(relations, QStringLiteral("图片关系"), relationships);
    package.WritePartText(RelationsPart, relations);

    for (size_t d = 0; d < frequency.size(); ++d)
        DrawInto(package, frequency[d],
                 pictures.frequency ? std::function<void(const QString &)>([&](const QString &png) { pictures.frequency(d, png); })
                                    : std::function<void(const QString &)>(),
                 QStringLiteral("%1分钟频率曲线").arg(input.compiled.durations[d]));
    DrawInto(package, stormPicture, pictures.storm, QStringLiteral("设计暴雨过程线"));
    return package.SaveAs(path);
}
