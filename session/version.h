#pragma once
// The program's name and version, from the project's version in the build.

#include <QString>

#ifndef ORVANE_VERSION
#error "ORVANE_VERSION comes from the build"
#endif

namespace orvane {

inline QString ProgramTitle() { return QStringLiteral("Orvane Ver" ORVANE_VERSION); }

}  // namespace orvane
