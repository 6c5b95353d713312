#include "CalcBook.h"

#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace {

const QString DocumentPart = QStringLiteral("word/document.xml");
const QString SubrowPart = QStringLiteral("word/subrow.xml");
const QString PicturePart = QStringLiteral("word/media/image9.png");

// 14.64 cm in inches.
constexpr double PictureWidthInches = 5.7637795275590555;
constexpr int PictureHeightPixels = 400;

// The exact conversion (i = 0.006 q) is the only ratio below this.
constexpr double ExactRatioBound = 166;

void Replace(QString &text, const QString &marker, const QString &replacement)
{
    text.replace(marker, replacement, Qt::CaseSensitive);
}

// A result as the book prints it: rounded to the displayed decimals, then without
// trailing zeros (54.3210 on the screen is 54.321 here).
QString ResultText(double value, int precision)
{
    return FormatGeneral(DisplayRound(precision, value));
}

} // namespace

QString CalcBookProposedFileName(const TExpressionObject &model)
{
    return QStringLiteral("雨型计算书 P=%1年 T=%2分 R=%3")
               .arg(FormatGeneral(model.Storm_RepeatYear), FormatGeneral(model.Storm_Time),
                    FormatGeneral(model.Storm_Percent))
        + CalcBookExtension;
}

QSize CalcBookPictureSize(int pixelsPerInch)
{
    return QSize(static_cast<int>(std::trunc(pixelsPerInch * PictureWidthInches)), PictureHeightPixels);
}

QString CalcBookDocument(QString document, const QString &subrows, const TExpressionObject &model,
                         const TOptions &options, const GridTable &grid)
{
    const QStringList lines = SplitLines(subrows);
    if (lines.size() < 3)
        throw TavrelError(QStringLiteral("模板“CalcBook”的“%1”不完整").arg(SubrowPart));

    const double ratio = options.D_QI_ConversionRatio;
    const bool exactRatio = CompareValue(ratio, ExactRatioBound) < 0;
    const QString ratioText = FormatGeneral(ratio);
    QString conversion;
    if (exactRatio) {
        conversion = lines[1];
    } else {
        QString filled;
        RowTemplate(lines[0]).AppendFilled(filled, QStringList{ratioText});
        conversion = filled;
    }

    if (model.F_type == 0) {
        Replace(document, QStringLiteral("<!--A1NAME-->"), QStringLiteral("A1"));
        Replace(document, QStringLiteral("<!--A1-->"), FormatGeneral(model.a1));
    } else if (model.F_type == 1) {
        Replace(document, QStringLiteral("<!--A1NAME-->"),
                exactRatio ? QStringLiteral("A1/0.006") : ratioText + QStringLiteral("A1"));
        Replace(document, QStringLiteral("<!--A1-->"), FormatGeneral(model.a1_167));
    }

    // The book states the logarithm the storm was computed with, in the formula and in
    // the basis text alike.
    Replace(document, QStringLiteral("<!--LG_LN-->"), model.LG_LN == 1 ? QStringLiteral("ln") : QStringLiteral("lg"));

    Replace(document, QStringLiteral("<!--c-->"), FormatGeneral(model.c));
    Replace(document, QStringLiteral("<!--b-->"), FormatGeneral(model.b));
    Replace(document, QStringLiteral("<!--n-->"), FormatGeneral(model.n));
    Replace(document, QStringLiteral("<!--设计重现期-->"), FormatGeneral(model.Storm_RepeatYear));
    Replace(document, QStringLiteral("<!--降雨历时-->"), FormatGeneral(model.Storm_Time));
    Replace(document, QStringLiteral("<!--峰值比例-->"), FormatGeneral(model.Storm_Percent));
    Replace(document, QStringLiteral("<!--计算步长-->"), QString::number(model.Storm_Step));

    if (options.Int_StormUnitidx == 0)
        Replace(document, QStringLiteral("<!--Storm_Unit-->"), QStringLiteral("mm/h"));
    else if (options.Int_StormUnitidx == 1)
        Replace(document, QStringLiteral("<!--Storm_Unit-->"), QStringLiteral("mm/min"));
    if (options.Int_TimeForamtidx == 0)
        Replace(document, QStringLiteral("<!--时间格式-->"), QStringLiteral("H:M"));
    else if (options.Int_TimeForamtidx == 1)
        Replace(document, QStringLiteral("<!--时间格式-->"), QStringLiteral("min"));

    Replace(document, QStringLiteral("<--!QI换算关系-->"), conversion);

    const RowTemplate row(lines[2]);
    QString rows;
    rows.reserve(static_cast<qsizetype>(grid.size()) * (row.FixedLength() + 32));
    for (size_t r = 0; r < grid.size(); ++r)
        row.AppendFilled(rows, grid.row(r));
    Replace(document, QStringLiteral("<!--雨量计算数据表格-->"), rows);

    Replace(document, QStringLiteral("<!--累计降雨总量-->"), ResultText(model.Strom_Overall_Rainfall, options.Int_Precision));
    Replace(document, QStringLiteral("<!--平均降雨强度-->"),
            ResultText(model.Strom_Average_Rainfall_Intensity, options.Int_Precision));
    return document;
}

PackagePlacement WriteCalcBook(const QString &path, const TExpressionObject &model, const TOptions &options,
                               const GridTable &grid, const ChartPictureWriter &drawChart, const QString &tempFolder)
{
    TemplatePackage package(tempFolder);
    package.Open(QStringLiteral("CalcBook"));
    const QString document = package.ReadPartText(DocumentPart);
    const QString subrows = package.ReadPartText(SubrowPart);
    package.WritePartText(DocumentPart, CalcBookDocument(document, subrows, model, options, grid));

    // The template's placeholder goes first, so a picture that is not drawn cannot pass
    // for the storm's chart.
    const QString picture = package.PartPath(PicturePart);
    if (QFileInfo::exists(picture) && !QFile::remove(picture))
        throw TavrelError(QStringLiteral("无法删除文件“%1”").arg(QDir::toNativeSeparators(picture)));
    drawChart(picture);
    if (!QFileInfo(picture).isFile() || QFileInfo(picture).size() == 0)
        throw TavrelError(QStringLiteral("无法生成曲线图片"));
    return package.SaveAs(path);
}
