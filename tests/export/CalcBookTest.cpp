#include "TestSupport.h"
#include "core/Failure.h"
#include "export/CalcBook.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// What a reader of the document sees: the text of every paragraph (table cells included),
// the table's rows, and the texts inside the equations.
struct BookText {
    QStringList paragraphs;
    QList<QStringList> rows;
    QStringList math;
    QString error;
};

BookText ReadBook(const QString &document)
{
    BookText book;
    QXmlStreamReader xml(document);
    QString paragraph;
    QStringList row;
    bool inParagraph = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.qualifiedName();
        if (xml.isStartElement()) {
            if (name == QLatin1String("w:p")) {
                inParagraph = true;
                paragraph.clear();
            } else if (name == QLatin1String("w:tr")) {
                row.clear();
            } else if (name == QLatin1String("w:t")) {
                paragraph += xml.readElementText();
            } else if (name == QLatin1String("m:t")) {
                book.math.append(xml.readElementText());
            }
        } else if (xml.isEndElement()) {
            if (name == QLatin1String("w:p") && inParagraph) {
                book.paragraphs.append(paragraph);
                inParagraph = false;
            } else if (name == QLatin1String("w:tc")) {
                row.append(book.paragraphs.isEmpty() ? QString() : book.paragraphs.last());
            } else if (name == QLatin1String("w:tr")) {
                book.rows.append(row);
            }
        }
    }
    if (xml.hasError())
        book.error = xml.errorString();
    return book;
}

QString TemplatePart(const QString &part)
{
    TemplatePackage package(MakeTempFolder());
    package.Open(QStringLiteral("CalcBook"));
    return package.ReadPartText(part);
}

// Rows 00:00 11.4480 0.1908, 00:01 201.5940 3.5507, 00:02 12.5000 3.7590.
GridTable ThreeRows()
{
    return GridTable({{0, 11.448, 0.1908}, {1, 201.594, 3.5507}, {2, 12.5, 3.759}}, {0, 1, 4});
}

class CalcBookText : public ::testing::Test {
protected:
    void SetUp() override
    {
        document = TemplatePart("word/document.xml");
        subrows = TemplatePart("word/subrow.xml");
        SetStartValues(model);
        model.a1_167 = 1600.5;   // not derived from a1: which one is printed shows
    }
    BookText book(const TOptions &options, const GridTable &grid = ThreeRows())
    {
        return ReadBook(CalcBookDocument(document, subrows, model, options, grid));
    }

    QString document, subrows;
    TExpressionObject model;
};

} // namespace

TEST_F(CalcBookText, FormAndRatioChooseTheConversionAndTheCoefficient)
{
    struct Case {
        int form;
        double ratio;
        const char *conversion;
        const char *coefficient;
    };
    const Case cases[] = {
        {0, 167, "q = 167 × i", "参数：A1=9.5981  c=0.846  b=7  n=0.656"},
        {1, 166.67, "q = 166.67 × i", "参数：166.67A1=1600.5  c=0.846  b=7  n=0.656"},
        {1, 0.006, "i = 0.006 × q", "参数：A1/0.006=1600.5  c=0.846  b=7  n=0.656"},
        {0, 0.006, "i = 0.006 × q", "参数：A1=9.5981  c=0.846  b=7  n=0.656"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.conversion + std::string(" / ") + c.coefficient);
        model.F_type = c.form;
        TOptions options;
        options.D_QI_ConversionRatio = c.ratio;
        const BookText text = book(options);
        ASSERT_EQ(text.error, QString());
        // One paragraph of its own, after the intensity formula and before its legend.
        const qsizetype at = text.paragraphs.indexOf(QString::fromUtf8(c.conversion));
        EXPECT_GT(at, text.paragraphs.indexOf(QStringLiteral("暴雨强度公式")));
        EXPECT_EQ(text.paragraphs.value(at + 1), QStringLiteral("式中 q - 设计暴雨强度[L/(s·hm2)]；"));
        EXPECT_EQ(text.paragraphs.filter(QRegularExpression("^[qi] = ")).size(), 1);
        EXPECT_TRUE(text.paragraphs.contains(QString::fromUtf8(c.coefficient)));
    }
}

TEST_F(CalcBookText, ParametersUnitsAndResultsAsTheBookPrintsThem)
{
    model.Storm_Step = 5;
    model.Strom_Overall_Rainfall = 54.32098;
    model.Strom_Average_Rainfall_Intensity = 0.499996;
    TOptions perHour;
    perHour.Int_StormUnitidx = 0;
    perHour.Int_TimeForamtidx = 0;
    perHour.Int_Precision = 4;
    const BookText text = book(perHour);
    ASSERT_EQ(text.error, QString());
    for (const char *line : {"设计重现期：P=2年", "降雨历时：t=120min", "峰值比例：r=0.4", "计算步长：s=5min",
                             "累计降雨总量：54.321mm", "平均降雨强度：0.5mm/h"})
        EXPECT_TRUE(text.paragraphs.contains(QString::fromUtf8(line))) << line;
    const QList<QStringList> rows = {{"时间(H:M)", "降雨强度(mm/h)", "降雨总量(mm)"},
                                     {"00:00", "11.4480", "0.1908"},
                                     {"00:01", "201.5940", "3.5507"},
                                     {"00:02", "12.5000", "3.7590"}};
    EXPECT_EQ(text.rows, rows);

    // Minutes and mm/min; no rows: a table of the heading alone. No marker is left over.
    TOptions perMinute;
    perMinute.Int_Precision = 2;
    const QString empty = CalcBookDocument(document, subrows, model, perMinute, GridTable{});
    const BookText minutes = ReadBook(empty);
    EXPECT_TRUE(minutes.paragraphs.contains(QStringLiteral("累计降雨总量：54.32mm")));
    EXPECT_TRUE(minutes.paragraphs.contains(QStringLiteral("平均降雨强度：0.5mm/min")));
    EXPECT_EQ(minutes.rows, QList<QStringList>({{"时间(min)", "降雨强度(mm/min)", "降雨总量(mm)"}}));
    EXPECT_FALSE(empty.contains("<!--"));
    EXPECT_FALSE(empty.contains("<--!"));
}

TEST_F(CalcBookText, FormulaAndBasisNameTheLogarithmTheStormWasComputedWith)
{
    for (const auto &[field, used, unused] : {std::tuple{0, "lg", "ln"}, {1, "ln", "lg"}}) {
        model.LG_LN = static_cast<uint8_t>(field);
        const BookText text = book(TOptions{});
        EXPECT_TRUE(text.math.contains(used) && !text.math.contains(unused)) << used;
        EXPECT_EQ(text.paragraphs.filter(QStringLiteral("(1 + C %1 P)").arg(used)).size(), 1) << used;
        EXPECT_EQ(text.paragraphs.filter(QStringLiteral("C %1 P").arg(unused)).size(), 0) << used;
    }
}
