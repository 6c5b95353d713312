#pragma once
#include "StormModel.h"
#include <QString>
#include <QStringList>

// The first line of every rain-model file; reading compares it exactly.
extern const QString RainModelSign;

// The twelve name=value lines of a model, in the written order.
QStringList RainModelLines(const TExpressionObject &model);
// Writes them (GBK, CR LF) through a temporary file. Throws TavrelError.
void WriteRainModelFile(const QString &path, const TExpressionObject &model);

struct RainModelRead {
    enum Status { Ok, WrongSign, Failed };
    Status status = Failed;
    TExpressionObject model;   // complete model when Ok
    QString message;           // why it failed
};

// Reads a model by key from the file's text. `current` supplies the fields the file does
// not hold (the two results). Never a half-updated model: Ok or nothing.
RainModelRead ParseRainModelText(const QString &text, const TExpressionObject &current);
// A file larger than MaxSettingsFileBytes (a picture or a video chosen or dropped by
// mistake) is refused unread, with a message that says so.
RainModelRead ReadRainModelFile(const QString &path, const TExpressionObject &current);

// The message shown for a file whose signature line is wrong.
extern const QString WrongSignMessage;
