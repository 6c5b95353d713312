#include "CliOutput.h"

#include "core/Numbers.h"

QString StormOutputName(const QString &name, double P, double T, double r)
{
    QString result = name;
    result.replace(QLatin1String("{P}"), FormatGeneral(P));
    result.replace(QLatin1String("{T}"), FormatGeneral(T));
    result.replace(QLatin1String("{r}"), FormatGeneral(r));
    return result;
}
