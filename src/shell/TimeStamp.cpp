#include "shell/TimeStamp.h"

namespace basMain {

namespace {
QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }
}  // namespace

QString Fnc_TimeStamp(const QDateTime& t)
{
    const QTime tm = t.time();
    return two(tm.hour()) + ':' + two(tm.minute()) + ':' + two(tm.second()) + '.' +
           QStringLiteral("%1").arg(tm.msec(), 3, 10, QLatin1Char('0'));
}

QString LogDateTime(const QDateTime& t)
{
    const QDate d = t.date();
    return QString::number(d.year()) + '/' + two(d.month()) + '/' + two(d.day()) + ' ' + Fnc_TimeStamp(t);
}

}  // namespace basMain
