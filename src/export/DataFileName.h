#pragma once
// The stem of the names the CSV and SWMM exports propose, from the storm parameters.
#include "core/StormModel.h"
#include <QString>

// "芝加哥雨型计算数据P=2年 t=120分 r=0.4", each number as general number text.
QString DataFileBaseName(const TExpressionObject &model);

// What the table exports say when there is no row to write.
extern const QString NoDataMessage;   // "没有数据可以保存~\r\n点击“添加”按钮，添加新曲线"
