#pragma once
// The storms the user last chose to compare with the current one, kept in options.ini
// in a section of its own, [COMPARE], so a file without it loads as before and the
// settings dialog's keys are untouched.
#include <QString>

struct TCompareChoice {
    int Int_CompareBy = 0;      // 0: return periods, 1: peak ratios
    QString Str_ComparePeriods = QStringLiteral("1,2,3,5,10,20,50,100");
    QString Str_CompareRatios = QStringLiteral("0.3,0.4,0.5");

    bool operator==(const TCompareChoice &) const = default;
};

// A missing file, section or key gives the default.
void LoadCompareChoice(const QString &path, TCompareChoice &choice);
// Writes the three keys; everything else in the file is kept. Throws TavrelError.
void SaveCompareChoice(const QString &path, const TCompareChoice &choice);
