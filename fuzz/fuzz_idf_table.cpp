// An intensity table as a file or a paste may hold it: any text, in every unit and, for
// flow-form tables, with every q-i ratio of the settings. It is refused with its reason or
// read as a table whose intensities are positive numbers and whose cells lie inside it.
#include "FuzzCheck.h"
#include "core/Failure.h"
#include "core/IdfTable.h"
#include "core/TextFile.h"
#include "settings/Options.h"

#include <cmath>

namespace {
void Check(const QString &text, IdfUnit unit, double ratio)
{
    IdfTable table;
    try {
        table = ParseIdfTable(text, unit, ratio);
    } catch (const TavrelError &) {
        return;
    }
    const auto positive = [](double x) { return std::isfinite(x) && x > 0; };
    FUZZ_CHECK(!table.durations.empty() && !table.periods.empty(), text);
    for (double t : table.durations)
        FUZZ_CHECK(positive(t), text);
    for (double P : table.periods)
        FUZZ_CHECK(positive(P), text);
    for (const IdfCell &cell : table.cells) {
        FUZZ_CHECK(cell.row >= 0 && size_t(cell.row) < table.durations.size(), text);
        FUZZ_CHECK(cell.column >= 0 && size_t(cell.column) < table.periods.size(), text);
        FUZZ_CHECK(positive(cell.intensity), text + QStringLiteral(" -> %1").arg(cell.intensity));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = DecodeText(FuzzBytes(data, size));
    Check(text, IdfUnit::MmPerMin, 167);
    Check(text, IdfUnit::MmPerHour, 167);
    for (double ratio : QI_Ratios)
        Check(text, IdfUnit::LitrePerSecondHectare, ratio);
    return 0;
}
