// The queries of one request each: the environment and the single settings.
#include "check/CheckTexts.h"
#include "check/CheckValues.h"
#include "check/QueryBodies.h"
#include "platform/Clock.h"
#include "shell/LogFile.h"
#include "shell/ToolContext.h"

#include <functional>

namespace check {

namespace {
// A blank line, the title, one request; on status 0 `show` writes the lines and the values.
QueryResult Single(CheckOutput& out, const char* title, qint16 code, const char* errorTitle,
                   const std::function<void(const Reply&, QJsonObject&)>& show)
{
    out.blank();
    out.title(QString::fromLatin1(title));
    const Reply r = out.request(code);
    QJsonObject values;
    if (r.status() != 0)
        out.ReportQueryError(r, QString::fromLatin1(errorTitle));
    else
        show(r, values);
    values.insert(QStringLiteral("status"), r.status());
    return {r.status(), values};
}
}  // namespace

QueryResult QueryEnvironment(CheckOutput& out)
{
    out.blank();
    out.title(QStringLiteral("show environment"));
    out.header(QStringLiteral("Environment"), LogFile::Send);
    const Reply r = out.request(73);
    if (r.status() != 0) {
        out.ReportQueryError(r, QStringLiteral("environment get"));
        return {r.status(), QJsonObject{{"status", r.status()}}};
    }
    const QString version = r.Str(0, 16);
    const QString mac = MAC(r.Mac(32));
    const quint32 up = r.ULong(40);
    const QDate today = out.run().ctx.clock.now().date();
    out.line(QStringLiteral("FW version : Ver.") + version);
    out.line(QStringLiteral("MAC Address: ") + mac);
    out.line(QStringLiteral("UpTime     : ") + UpTimeText(up, today.year(), today.month()));
    return {0, QJsonObject{{"status", 0}, {"version", version}, {"mac", mac}, {"uptime_seconds", qint64(up)}}};
}

QString UpTimeText(quint32 seconds, int year, int month)
{
    qint64 days = seconds / 86400;
    const quint32 rest = seconds % 86400;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int walked = 0;
    for (;;) {
        const int length = lengths[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
        if (days <= length) break;
        days -= length;
        ++walked;
        if (--month == 0) {
            month = 12;
            --year;
        }
    }
    QString t;
    if (walked / 12 > 0) t += QStringLiteral("%1 year(s)  ").arg(walked / 12);
    if (walked % 12 > 0) t += QStringLiteral("%1 month  ").arg(walked % 12);
    t += QStringLiteral("%1 day(s), ").arg(days);
    return t + QStringLiteral("%1:%2:%3")
                   .arg(rest / 3600, 2, 10, QLatin1Char('0'))
                   .arg(rest % 3600 / 60, 2, 10, QLatin1Char('0'))
                   .arg(rest % 60, 2, 10, QLatin1Char('0'));
}

QueryResult QueryGroupId(CheckOutput& out)
{
    return Single(out, "show Group ID", 45, "group_id get", [&](const Reply& r, QJsonObject& v) {
        out.line(QStringLiteral("Group-ID: ") + ConvStr_Intg(r.Int(0)));
        v.insert(QStringLiteral("group_id"), int(quint16(r.Int(0))));
    });
}

QueryResult QueryRfChannel(CheckOutput& out)
{
    return Single(out, "show rfchannel", 48, "rfchannel get", [&](const Reply& r, QJsonObject& v) {
        out.line(QStringLiteral("RF channel: ") + ConvStr_Intg(r.Int(0)));
        v.insert(QStringLiteral("rf_channel"), int(quint16(r.Int(0))));
    });
}

QueryResult QueryPortFilter(CheckOutput& out)
{
    return Single(out, "show portfilter", 50, "portfilter get", [&](const Reply& r, QJsonObject& v) {
        const bool on = r.Long(0) != 0;
        out.line(on ? QStringLiteral("portfilter: ") + ConvStr_Intg_Num(r.Int(4)) + QStringLiteral(" - ") + ConvStr_Intg_Num(r.Int(6))
                    : QStringLiteral("portfilter: disable"));
        v.insert(QStringLiteral("enabled"), on);
        if (on) {
            v.insert(QStringLiteral("first_port"), int(quint16(r.Int(4))));
            v.insert(QStringLiteral("last_port"), int(quint16(r.Int(6))));
        }
    });
}

QueryResult QueryScramble(CheckOutput& out)
{
    return Single(out, "show scramble", 52, "scramble get", [&](const Reply& r, QJsonObject& v) {
        out.line(QStringLiteral("scramble: ") + ConvStr_Long(r.Long(0)));
        v.insert(QStringLiteral("scramble"), qint64(r.ULong(0)));
    });
}

QueryResult QueryTxMethod(CheckOutput& out)
{
    return Single(out, "show txmethod", 60, "txmethod get", [&](const Reply& r, QJsonObject& v) {
        static const char* const names[] = {"unknown", "csma", "dtdma1", "dtdma2", "bidir"};
        const quint8 m = r.Byte(0);
        const QString name = QString::fromLatin1(names[m <= 4 ? m : 0]);
        out.line(QStringLiteral("txmethod: ") + name);
        v.insert(QStringLiteral("txmethod"), m <= 4 ? QJsonValue(name) : QJsonValue(int(m)));
    });
}

QueryResult QueryFullDuplex(CheckOutput& out)
{
    return Single(out, "show fullduplex", 63, "full duplex get", [&](const Reply& r, QJsonObject& v) {
        const quint8 d = r.Byte(0);
        out.line(d == 0 ? QStringLiteral("ethernet: half duplex") : d == 1 ? QStringLiteral("ethernet: full duplex") : QString());
        v.insert(QStringLiteral("duplex"), Named(d, d == 0 ? QStringLiteral("half") : d == 1 ? QStringLiteral("full") : QString()));
    });
}

QueryResult QueryL2as(CheckOutput& out)
{
    return Single(out, "show l2as", 72, "l2as state get", [&](const Reply& r, QJsonObject& v) {
        const bool on = r.Byte(0) != 0;
        out.line(on ? QStringLiteral("L2AS state: enable") : QStringLiteral("L2AS state: disable"));
        v.insert(QStringLiteral("enabled"), on);
    });
}

}  // namespace check
