#pragma once
#include <QDateTime>
#include <QString>

namespace basMain {
// "09:05:03.042"
QString Fnc_TimeStamp(const QDateTime& t);
// "2000/06/12 09:05:03.042": the year without leading zeros, the rest fixed width.
QString LogDateTime(const QDateTime& t);
// Fourteen spaces: continuation lines stand under the text after a time stamp.
inline QString Indent() { return QString(14, QLatin1Char(' ')); }
}  // namespace basMain
