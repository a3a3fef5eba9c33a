#include "shell/TimeStamp.h"

namespace basMain {

namespace {
QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }
}  // namespace

QString Fnc_TimeStamp(const QDateTime& t)
{
    const QTime tm = t.time();
    const int h = tm.hour(), m = tm.minute(), s = tm.second(), ms = tm.msec();
    // Every line carries one: written digit by digit. An invalid time (parts of -1) takes the
    // general route below, which writes the signs.
    if (h >= 0 && m >= 0 && s >= 0 && ms >= 0) {
        const char text[12] = {char('0' + h / 10 % 10), char('0' + h % 10), ':',
                               char('0' + m / 10 % 10), char('0' + m % 10), ':',
                               char('0' + s / 10 % 10), char('0' + s % 10), '.',
                               char('0' + ms / 100 % 10), char('0' + ms / 10 % 10), char('0' + ms % 10)};
        return QString::fromLatin1(text, 12);
    }
    return two(h) + ':' + two(m) + ':' + two(s) + '.' + QStringLiteral("%1").arg(ms, 3, 10, QLatin1Char('0'));
}

QString LogDateTime(const QDateTime& t)
{
    const QDate d = t.date();
    return QString::number(d.year()) + '/' + two(d.month()) + '/' + two(d.day()) + ' ' + Fnc_TimeStamp(t);
}

}  // namespace basMain
