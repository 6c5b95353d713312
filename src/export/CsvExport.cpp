#include "CsvExport.h"
#include "DataFileName.h"

#include "core/TextFile.h"

QString CsvProposedFileName(const TExpressionObject &model)
{
    return DataFileBaseName(model) + CsvExtension;
}

QStringList CsvLines(const GridTable &grid, int timeFormat, int stormUnit)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(grid.size()) + 1);
    lines.append(CsvHeaderLine(timeFormat, stormUnit));
    for (size_t r = 0; r < grid.size(); ++r)
        lines.append(CsvDataLine(grid.row(r)));
    return lines;
}

QByteArray CsvFileBytes(const GridTable &grid, int timeFormat, int stormUnit)
{
    return GbkLines(CsvLines(grid, timeFormat, stormUnit));
}

void WriteCsvFile(const QString &path, const GridTable &grid, int timeFormat, int stormUnit)
{
    // Build everything before touching the disk: a failure on the way writes nothing.
    const QByteArray bytes = CsvFileBytes(grid, timeFormat, stormUnit);
    WriteFileAtomically(path, bytes);
}
