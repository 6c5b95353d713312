#pragma once
// The program's version: the one number the caption, the about box, the update check and
// the Debian package all show. It comes from the build (the project version in CMake).
#include <QString>

#ifndef TAVREL_VERSION
#error "TAVREL_VERSION is set by the build"
#endif

inline QString ProgramVersion()
{
    return QStringLiteral(TAVREL_VERSION);
}
