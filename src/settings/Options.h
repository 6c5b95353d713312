#pragma once
// The settings record, its file "options.ini" (section "OPTIONS") and the q-i conversions.
#include "core/GridText.h"
#include "core/Hyetograph.h"
#include <QString>
#include <array>

struct TOptions {
    bool Bool_ShowLabel_P = true;
    bool Bool_ShowLabel_T = true;
    bool Bool_ShowLabel_R = true;
    bool Bool_ShowLabel_Overall_Rainfall = true;
    bool Bool_ShowLabel_Average_Rainfall_Intensity = true;
    bool Bool_ShowAxis_Overall_Rainfall = true;
    bool Bool_ShowAxis_Rainfall_Intensity = true;
    bool Bool_CalcByShow = false;
    int Int_Precision = 4;
    double D_QI_ConversionRatio = 167;
    int Int_TimeForamtidx = 1;      // 0: hours:minutes, 1: minutes
    int Int_StormUnitidx = 1;       // 0: mm/h, 1: mm/min
    QString Font_LeftAxis = DefaultAxisFont;
    QString Font_LeftTitle = DefaultAxisFont;
    QString Font_RightAxis = DefaultAxisFont;
    QString Font_RightTitle = DefaultAxisFont;
    QString Font_BottomAxis = DefaultAxisFont;
    QString Font_BottomTitle = DefaultAxisFont;
    QString Font_RainModelInfo = DefaultInfoFont;

    static inline const QString DefaultAxisFont = QStringLiteral("\"Arial\", 9, [], [clBlack]");
    static inline const QString DefaultInfoFont = QStringLiteral("\"Arial\", 9, [Bold], [clWindowText]");

    bool operator==(const TOptions &) const = default;
};

// The q-i ratio table, in the order of the settings dialog's list. 0.006 marks the exact
// conversion (i = q * 0.006).
constexpr std::array<double, 6> QI_Ratios = {167, 166.7, 166.67, 166.667, 166.6667, 0.006};
extern const std::array<QString, 6> QI_RatioTexts;

// Every field from the file; a missing file, key or unreadable value gives the default.
void LoadOptions(const QString &path, TOptions &options);
// The same from the text of such a file.
void LoadOptionsText(const QString &text, TOptions &options);
// All nineteen keys, in the written order; other content of the file is kept. Throws
// TavrelError("Unable to write to <path>") when the file cannot be written.
void SaveOptions(const QString &path, const TOptions &options);
// The text such a file would have after SaveOptions, from its text before.
QString SaveOptionsText(const QString &text, const TOptions &options);

// What the computation and the table take of the settings: the one place the record is
// unpacked for them.
ComputeSettings ComputeSettingsOf(const TOptions &options);
GridFormat GridFormatOf(const TOptions &options);

// The q-i conversions with the ratio in force (D_QI_ConversionRatio).
double FlowToIntensity(double q, double ratio);
double IntensityToFlow(double i, double ratio);

// The settings file under an application-data folder: <folder>/Orvanta/Tavrel/options.ini.
// `createFolder` makes the missing folders.
QString SettingsFilePath(const QString &appDataFolder, bool createFolder);
// This user's application-data folder: %APPDATA% on Windows, $XDG_CONFIG_HOME (by default
// ~/.config) elsewhere.
QString UserAppDataFolder();
