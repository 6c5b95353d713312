#pragma once
// The fitted formula and its accuracy as the fit dialogs show them: the coefficients as
// written (FormulaDecimals), the standard error, and the accuracy lines in green when both
// limits hold, else in red.
#include "core/IdfFit.h"

#include <QString>

// A coefficient as written into the storm: rounded to FormulaDecimals, general number text.
QString RoundedCoefficient(double value);
// Rich text for a label.
QString FittedFormulaHtml(const IdfFitResult &fit);
QString FitAccuracyHtml(const IdfAccuracy &accuracy);
