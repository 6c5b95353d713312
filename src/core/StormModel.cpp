#include "StormModel.h"

void SetStartValues(TExpressionObject &model)
{
    model.F_type = 0;
    model.a1 = 9.5981;
    // Made without the settings, so the exact conversion, whatever ratio is chosen.
    model.a1_167 = model.a1 / 0.006;
    model.c = 0.846;
    model.b = 7.0;
    model.n = 0.656;
    model.LG_LN = 0;
    model.Storm_RepeatYear = 2;
    model.Storm_Time = 120;
    model.Storm_Percent = 0.4;
    model.Storm_Step = 1;
    model.Strom_Average_Rainfall_Intensity = 0;
    model.Strom_Overall_Rainfall = 0;
}

bool operator==(const TExpressionObject &x, const TExpressionObject &y)
{
    return x.F_type == y.F_type && x.a1 == y.a1 && x.a1_167 == y.a1_167 && x.c == y.c && x.b == y.b
        && x.n == y.n && x.LG_LN == y.LG_LN && x.Storm_RepeatYear == y.Storm_RepeatYear
        && x.Storm_Time == y.Storm_Time && x.Storm_Step == y.Storm_Step && x.Storm_Percent == y.Storm_Percent
        && x.Strom_Average_Rainfall_Intensity == y.Strom_Average_Rainfall_Intensity
        && x.Strom_Overall_Rainfall == y.Strom_Overall_Rainfall;
}
