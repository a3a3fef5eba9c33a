#pragma once
#include <QString>

namespace basMain {
// "major.minor.revision" of the program, as captions and log records show it.
inline QString ProgramVersion()
{
    return QStringLiteral("%1.%2.%3").arg(QLN_VERSION_MAJOR).arg(QLN_VERSION_MINOR).arg(QLN_VERSION_REVISION);
}
}  // namespace basMain
