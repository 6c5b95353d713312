#include "CompareChoice.h"
#include "IniProfile.h"

#include "core/Failure.h"
#include "core/Numbers.h"

#include <QDir>

namespace {
const QString Section = QStringLiteral("COMPARE");
const QString ByKey = QStringLiteral("CompareBy");
const QString PeriodsKey = QStringLiteral("ComparePeriods");
const QString RatiosKey = QStringLiteral("CompareRatios");
} // namespace

void LoadCompareChoice(const QString &path, TCompareChoice &choice)
{
    choice = TCompareChoice();
    IniProfile ini;
    ini.load(path);
    int by = 0;
    if (TryParseInteger(ini.value(Section, ByKey), by) && (by == 0 || by == 1))
        choice.Int_CompareBy = by;
    if (ini.contains(Section, PeriodsKey))
        choice.Str_ComparePeriods = ini.value(Section, PeriodsKey);
    if (ini.contains(Section, RatiosKey))
        choice.Str_CompareRatios = ini.value(Section, RatiosKey);
}

void SaveCompareChoice(const QString &path, const TCompareChoice &choice)
{
    IniProfile ini;
    // As with the other settings: a file we could not read is not rewritten.
    if (!ini.load(path))
        throw TavrelError(QStringLiteral("无法写入设置文件“%1”").arg(QDir::toNativeSeparators(path)));
    ini.setValue(Section, ByKey, QString::number(choice.Int_CompareBy));
    ini.setValue(Section, PeriodsKey, choice.Str_ComparePeriods);
    ini.setValue(Section, RatiosKey, choice.Str_CompareRatios);
    ini.save(path);
}
