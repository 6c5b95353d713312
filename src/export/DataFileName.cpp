#include "DataFileName.h"

#include "core/Numbers.h"

QString DataFileBaseName(const TExpressionObject &model)
{
    return QStringLiteral("芝加哥雨型计算数据P=%1年 t=%2分 r=%3")
        .arg(FormatGeneral(model.Storm_RepeatYear), FormatGeneral(model.Storm_Time),
             FormatGeneral(model.Storm_Percent));
}

const QString NoDataMessage = QStringLiteral("没有数据可以保存~\r\n点击“添加”按钮，添加新曲线");
