#pragma once
#include <QString>

// The text of a row's minute. timeFormat 0: "HH:MM" clock time, restarting at 00:00 after
// 24 hours, a fraction of a minute dropped. 1: whole minutes (halves away from zero),
// at least two digits. Any other format gives an empty text.
QString TimeLabel(double minute, int timeFormat);
// The same text as Latin-1 characters into `out`, which has room for TimeLabelRoom;
// returns its length.
constexpr int TimeLabelRoom = 440;
int WriteTimeLabel(double minute, int timeFormat, char *out);

// Elapsed hours and minutes since the start of the storm, hours counting on past 23
// ("24:00", "100:00"); used where a series must run strictly forward.
QString ElapsedTimeLabel(double minute);
