#pragma once
#include <QString>

// The user manual: the first "软件说明书*.pdf" in the program folder, else in the
// installed documentation folder beside the program's bin (share/doc/tavrel). Empty when
// there is none.
QString FindUserManual(const QString &programFolder);
