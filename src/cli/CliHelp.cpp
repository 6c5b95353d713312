// The text of tavrel-cli --help, with the formats of -o from the export table.
#include "CliTool.h"

#include "export/ExportFormats.h"
#include "export/SwmmInputSection.h"

#include <map>

namespace {
QString FormatsHelp()
{
    // By extension, as the list has always been ordered.
    std::map<QString, QString> formats;
    for (const ExportFormat *format : CliExportFormats())
        formats[format->extension] = format->description;
    formats[SwmmInputExtension] = QStringLiteral("SWMM输入文件的[TIMESERIES]和[RAINGAGES]段，所有暴雨写在一起\n"
                                                 "                               SWMM input sections, every storm in one file");
    QString text = QStringLiteral("                         .txt   雨型文件 / rain-model file\n");
    for (const auto &[extension, description] : formats)
        text += QStringLiteral("                         %1  %2\n").arg(extension.leftJustified(5), description);
    return text;
}
} // namespace

QString CliHelpText()
{
    return QStringLiteral(
        "用法 / Usage: tavrel-cli [选项/options] [雨型文件/MODEL.txt]\n"
        "\n"
        "计算芝加哥雨型（Keifer-Chu），打印CSV导出的各行（表头和每一行数据），\n"
        "然后打印降雨总量和平均雨强。不给雨型文件时使用默认雨型。\n"
        "Computes the Chicago design storm (Keifer and Chu) and prints the lines the CSV\n"
        "export writes (header, then one line per row), then the total and the average.\n"
        "Without MODEL.txt the default storm is used.\n"
        "\n"
        "显示设置默认取自用户的 options.ini，与桌面程序相同：\n"
        "Display settings come from the user's options.ini, as in the desktop program:\n"
        "  --unit mm/min|mm/h     降雨强度单位 / intensity unit\n"
        "  --time min|hm          时间格式：分钟或 时:分 / time as minutes or hours:minutes\n"
        "  --precision N          显示小数位数 / decimals shown\n"
        "  --calc-by-show         按显示精度计算 / compute with the rounded intensities\n"
        "\n"
        "覆盖雨型参数 / Override the storm parameters of the model:\n"
        "  --P X[,X...]           设计重现期（年），可给多个，如 1,2,3,5,10,20,50,100\n"
        "                         return period in years; a list gives a family of storms\n"
        "  --T X                  降雨历时（分钟）/ duration in minutes (at most 100000)\n"
        "  --r X                  峰值比例（0-1）/ peak ratio between 0 and 1\n"
        "  --step N               计算步长（分钟）/ step in minutes\n"
        "\n"
        "  -o FILE                写入文件，格式由扩展名决定，可重复 / write FILE, format by\n"
        "                         extension; may be repeated:\n"
        "%1"
        "                         文件名中的 {P}、{T}、{r} 换成各场暴雨的参数；多个重现期时\n"
        "                         除 .inp 外每个文件名都须含 {P}，每场暴雨写一个文件。\n"
        "                         {P}, {T}, {r} in a name become each storm's values; with\n"
        "                         several return periods every name but .inp needs {P}.\n"
        "  --book FILE.docx       计算书：计算依据、公式参数、雨型参数、曲线图、数据表格和\n"
        "                         总量（Word），可重复；扩展名总是 .docx，{P}、{T}、{r} 同 -o\n"
        "                         the calculation book (Word): basis, parameters, chart, table\n"
        "                         and totals; may be repeated; the name always gets .docx;\n"
        "                         {P}, {T}, {r} as with -o\n"
        "  --check                设计暴雨校核：各历时的公式雨量与雨型最大雨量对照（逐分钟）\n"
        "                         design-storm check: formula depth against the storm's\n"
        "                         heaviest window for each duration (minute by minute)\n"
        "  --fit TABLE.csv        由暴雨强度表（CSV或制表符分隔；首行重现期，首列历时）拟合\n"
        "                         公式参数A1、C、b、n，打印参数、精度和各数值；-o NAME.txt\n"
        "                         写出拟合公式的雨型文件（其余参数取自上述选项或默认值）\n"
        "                         fit A1, C, b, n to an intensity table (periods in the first\n"
        "                         row, durations in the first column) and print them, the\n"
        "                         accuracy and every cell; -o NAME.txt writes the rain model\n"
        "  --fit-unit U           表中雨强单位 / the table's unit: mm/min (默认), mm/h, L/(s.hm2)\n"
        "  --fit-log lg|ln        公式中用 lgP（默认）或 lnP / lg P (default) or ln P\n"
        "  --record REC.csv       由雨量站资料（CSV或制表符分隔：时间 YYYY-MM-DD HH:MM，该时段\n"
        "                         雨量mm；1或5分钟时段，未列出的时段为无雨，空、NA、NaN、-9999\n"
        "                         为缺测）按年最大值法编制：打印各年完整率、年最大值、频率\n"
        "                         分布参数、暴雨强度表、拟合公式及精度、峰值比例r；-o NAME.txt\n"
        "                         写出该公式和r的雨型文件。至少10年资料。\n"
        "                         compile the formula from a gauge's record (time stamp, depth\n"
        "                         in mm of the interval starting then; 1- or 5-minute steps;\n"
        "                         absent intervals dry; empty, NA, NaN, -9999 missing): prints\n"
        "                         each year's coverage, the annual maxima, the distribution,\n"
        "                         the i-t-P table, the formula and its accuracy, and the peak\n"
        "                         ratio r; -o NAME.txt writes the rain model with them\n"
        "  --maxima M.csv         以年最大值表（年份,5,10,...,180，mm）代替资料，不求r\n"
        "                         start from a table of annual maxima instead (no r then)\n"
        "  --dist D               频率分布 / distribution: p3（适线，默认 / curve fitting, the\n"
        "                         default）, p3-moments, gumbel, exponential\n"
        "  --cs-cv K              适线时 Cs = K·Cv（默认3.5）/ Cs = K Cv in the curve fitting\n"
        "  --min-coverage F       完整率低于F（0-1）的年份不用 / leave out years below coverage F\n"
        "  --maxima-out M.csv     写出年最大值表 / write the annual maxima\n"
        "  --table-out T.csv      写出暴雨强度表（--fit 可读）/ write the i-t-P table (--fit reads it)\n"
        "  --report R.docx        编制报告（Word）：资料与完整率、年最大值、各历时分布参数和\n"
        "                         频率曲线图、暴雨强度表、公式及精度表、r、P=2年的设计暴雨\n"
        "                         （过程线图和数据表格），其他文件都写成后才写\n"
        "                         the compilation report (Word): record and coverage, maxima,\n"
        "                         each duration's parameters and frequency curve, the i-t-P\n"
        "                         table, the formula with its accuracy table, r, and the\n"
        "                         design storm of P = 2 years with its chart and table\n"
        "  -h, --help             显示本说明 / show this help\n"
        "\n"
        "多个重现期时打印汇总表（P、总雨量、峰值雨强、平均雨强）；某场暴雨出错时\n"
        "说明是哪一场，其余照常写出，返回非零值。\n"
        "Several return periods print a summary (P, total, peak and average intensity);\n"
        "a storm that fails is named, the others are still written, and the exit code\n"
        "is non-zero.\n"
        "\n"
        "出错时在标准错误输出中说明原因并返回非零值，不会留下写了一半的文件。\n"
        "On failure the reason goes to standard error and the exit code is non-zero;\n"
        "no file is left half-written.\n").arg(FormatsHelp());
}

