#include "Options.h"
#include "core/Failure.h"
#include "IniProfile.h"
#include "core/Numbers.h"
#include <QDir>
#include <QStandardPaths>
#include <variant>

const std::array<QString, 6> QI_RatioTexts = {
    QStringLiteral("q = 167 * i"),      QStringLiteral("q = 166.7 * i"),
    QStringLiteral("q = 166.67 * i"),   QStringLiteral("q = 166.667 * i"),
    QStringLiteral("q = 166.6667 * i"), QStringLiteral("---最高精度---"),
};

namespace {

const QString Section = QStringLiteral("OPTIONS");

// The nineteen keys in the order the file is written (which is not the field order: the
// ratio follows the unit). Reading and writing both walk this one table.
using Field = std::variant<bool TOptions::*, int TOptions::*, double TOptions::*, QString TOptions::*>;
struct Entry {
    const char *key;
    Field field;
};
const Entry Entries[] = {
    {"ShowLabel_P", &TOptions::Bool_ShowLabel_P},
    {"ShowLabel_T", &TOptions::Bool_ShowLabel_T},
    {"ShowLabel_R", &TOptions::Bool_ShowLabel_R},
    {"ShowLabel_Overall_Rainfall", &TOptions::Bool_ShowLabel_Overall_Rainfall},
    {"ShowLabel_Average", &TOptions::Bool_ShowLabel_Average_Rainfall_Intensity},
    {"ShowAxis_Overall", &TOptions::Bool_ShowAxis_Overall_Rainfall},
    {"ShowAxis_Intensity", &TOptions::Bool_ShowAxis_Rainfall_Intensity},
    {"CalcByShow", &TOptions::Bool_CalcByShow},
    {"Precision", &TOptions::Int_Precision},
    {"TimeFormat", &TOptions::Int_TimeForamtidx},
    {"StormUnit", &TOptions::Int_StormUnitidx},
    {"QI_ConversionRatio", &TOptions::D_QI_ConversionRatio},
    {"Font_LeftAxis", &TOptions::Font_LeftAxis},
    {"Font_LeftTitle", &TOptions::Font_LeftTitle},
    {"Font_RightAxis", &TOptions::Font_RightAxis},
    {"Font_RightTitle", &TOptions::Font_RightTitle},
    {"Font_BottomAxis", &TOptions::Font_BottomAxis},
    {"Font_BottomTitle", &TOptions::Font_BottomTitle},
    {"Font_RainModelInfo", &TOptions::Font_RainModelInfo},
};

// Booleans are stored as integers; any value other than 0 is true.
void Read(const QString &text, bool &field)
{
    int n = 0;
    if (TryParseInteger(text, n))
        field = n != 0;
}
void Read(const QString &text, int &field)
{
    int n = 0;
    if (TryParseInteger(text, n))
        field = n;
}
void Read(const QString &text, double &field)
{
    double x = 0;
    if (TryParseNumber(text, x))
        field = x;
}
void Read(const QString &text, QString &field) { field = text; }

QString Write(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }
QString Write(int value) { return QString::number(value); }
QString Write(double value) { return FormatGeneral(value); }
QString Write(const QString &value) { return value; }

} // namespace

namespace {
void LoadFromProfile(const IniProfile &ini, TOptions &options)
{
    // Start from the defaults, so whatever the file lacks or spoils is the default.
    options = TOptions();
    for (const Entry &e : Entries) {
        const QString key = QLatin1String(e.key);
        if (!ini.contains(Section, key))
            continue;
        const QString text = ini.value(Section, key);
        std::visit([&](auto member) { Read(text, options.*member); }, e.field);
    }
}
} // namespace

void LoadOptions(const QString &path, TOptions &options)
{
    IniProfile ini;
    ini.load(path);
    LoadFromProfile(ini, options);
}

void LoadOptionsText(const QString &text, TOptions &options)
{
    IniProfile ini;
    ini.setText(text);
    LoadFromProfile(ini, options);
}

namespace {
void StoreInProfile(IniProfile &ini, const TOptions &options)
{
    for (const Entry &e : Entries)
        std::visit([&](auto member) { ini.setValue(Section, QLatin1String(e.key), Write(options.*member)); },
                   e.field);
}
} // namespace

void SaveOptions(const QString &path, const TOptions &options)
{
    IniProfile ini;
    // Rewriting a file we could not read would throw away everything else in it.
    if (!ini.load(path))
        throw TavrelError(QStringLiteral("无法写入设置文件“%1”").arg(QDir::toNativeSeparators(path)));
    StoreInProfile(ini, options);
    ini.save(path);
}

QString SaveOptionsText(const QString &text, const TOptions &options)
{
    IniProfile ini;
    ini.setText(text);
    StoreInProfile(ini, options);
    return ini.text();
}

ComputeSettings ComputeSettingsOf(const TOptions &o)
{
    return {o.Int_StormUnitidx, o.Bool_CalcByShow, o.Int_Precision};
}

GridFormat GridFormatOf(const TOptions &o)
{
    return {o.Int_TimeForamtidx, o.Int_StormUnitidx, o.Int_Precision};
}

// A ratio below 166 is the marker of the exact conversion, i = q * 0.006.
// The results are stored in the model and written to rain-model files, so they must
// read back as well as be finite. A failure names the coefficient as the user typed it
// and the conversion in force.
namespace {
bool ExactConversion(double ratio)
{
    return CompareValue(ratio, 166) < 0;
}

TavrelError ConversionOutOfRange(const QString &typed, double value, const QString &conversion)
{
    return TavrelError(QStringLiteral("参数%1=%2按%3换算后超出了可以计算和保存的数值范围")
                           .arg(typed, FormatGeneral(value), conversion));
}
} // namespace

double FlowToIntensity(double q, double ratio)
{
    const bool exact = ExactConversion(ratio);
    const double i = exact ? q * 0.006 : q / ratio;
    if (!IsWritableNumber(i))
        throw ConversionOutOfRange(exact ? QStringLiteral("A1/0.006") : FormatGeneral(ratio) + QStringLiteral("A1"), q,
                                   exact ? QStringLiteral("i = 0.006 × q") : QStringLiteral("i = q ÷ %1").arg(FormatGeneral(ratio)));
    return i;
}

double IntensityToFlow(double i, double ratio)
{
    const bool exact = ExactConversion(ratio);
    const double q = exact ? i / 0.006 : i * ratio;
    if (!IsWritableNumber(q))
        throw ConversionOutOfRange(QStringLiteral("A1"), i,
                                   exact ? QStringLiteral("q = i ÷ 0.006") : QStringLiteral("q = %1 × i").arg(FormatGeneral(ratio)));
    return q;
}

QString UserAppDataFolder()
{
    QString base;
#ifdef Q_OS_WIN
    base = qEnvironmentVariable("APPDATA");
#endif
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) {
        const QString home = qEnvironmentVariable("HOME");
        base = home.isEmpty() ? QDir::tempPath() : home + QStringLiteral("/.config");
    }
    return base;
}

QString SettingsFilePath(const QString &appDataFolder, bool createFolder)
{
    const QString folder = QDir::cleanPath(appDataFolder + QStringLiteral("/Orvanta/Tavrel"));
    if (createFolder)
        QDir().mkpath(folder);   // a failure shows up later, when the file is written
    return folder + QStringLiteral("/options.ini");
}
