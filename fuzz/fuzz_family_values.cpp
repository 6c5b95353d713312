// The values of a storm family as typed: any text, return periods or peak ratios. Every
// value read is a writable number, and the values compared are in range, one per name,
// ascending and at most MaxFamilyStorms. The first value typed stands for the current
// storm's own, so that it too may be anything. The first byte chooses the kind: even
// (as "0") return periods, odd (as "1") peak ratios.
#include "FuzzCheck.h"
#include "core/Numbers.h"
#include "core/StormFamily.h"

#include <QSet>
#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const FamilyBy by = data[0] & 1 ? FamilyBy::PeakRatio : FamilyBy::ReturnPeriod;
    const QString text = QString::fromUtf8(FuzzBytes(data + 1, size - 1));
    const FamilyValues parsed = ParseFamilyValues(by, text);
    for (double value : parsed.values)
        FUZZ_CHECK(IsWritableNumber(value), text);

    std::vector<double> chosen = parsed.values;
    double current = by == FamilyBy::ReturnPeriod ? 2 : 0.4;
    if (!chosen.empty()) {
        current = chosen.front();
        chosen.erase(chosen.begin());
    }
    const FamilyValues kept = FamilyValuesOf(by, chosen, current);
    FUZZ_CHECK(kept.values.size() <= MaxFamilyStorms, text);
    FUZZ_CHECK(std::is_sorted(kept.values.begin(), kept.values.end()), text);
    QSet<QString> names;
    for (double value : kept.values) {
        FUZZ_CHECK(by == FamilyBy::ReturnPeriod ? value > 0 : value > 0 && value < 1, text);
        const QString name = FamilyMemberName(by, value);
        FUZZ_CHECK(!names.contains(name), text + " -> " + name);
        names.insert(name);
        FUZZ_CHECK(value == current || std::find(chosen.begin(), chosen.end(), value) != chosen.end(), text);
    }
    return 0;
}
