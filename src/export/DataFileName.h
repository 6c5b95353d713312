#pragma once
// The stem of the names the CSV and SWMM exports propose, from the storm parameters.
#include "core/StormModel.h"
#include <QString>

// "芝加哥雨型计算数据P=2年 t=120分 r=0.4", each number as general number text.
QString DataFileBaseName(const TExpressionObject &model);
