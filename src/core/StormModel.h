#pragma once
#include <cstdint>

// The storm model: formula coefficients, storm parameters and the two results of the
// last computation. A plain record, read and written directly.
struct TExpressionObject {
    int32_t F_type = 0;     // 0: a1 was entered (depth form), 1: a1_167 (flow form)
    double a1 = 0;          // mm/min, the only coefficient the computation uses
    double a1_167 = 0;      // L/(s*hm2), k * a1
    double c = 0;
    double b = 0;
    double n = 0;
    uint8_t LG_LN = 0;      // 0: lg P, 1: ln P, anything else makes a = 0
    double Storm_RepeatYear = 0;
    double Storm_Time = 0;
    int32_t Storm_Step = 0;
    double Storm_Percent = 0;
    double Strom_Average_Rainfall_Intensity = 0;
    double Strom_Overall_Rainfall = 0;
};

// The default storm the program starts with.
void SetStartValues(TExpressionObject &model);

bool operator==(const TExpressionObject &x, const TExpressionObject &y);
