// The table queries: one request per index until the device answers the table's end status.
#include "check/CheckValues.h"
#include "check/QueryBodies.h"
#include "shell/LogFile.h"

#include <QJsonArray>

namespace check {

namespace {
// Titles, then the column header: a blank list line, the title logged as asked, the headers.
void preamble(CheckOutput& out, const char* title, std::initializer_list<const char*> headers, int logKind)
{
    out.blank();
    out.title(QString::fromLatin1(title));
    for (const char* h : headers) out.header(QString::fromLatin1(h), logKind);
}

QueryResult failed(CheckOutput& out, const Reply& r, const char* errorTitle, QJsonObject values, const char* key,
                   const QJsonArray& rows)
{
    out.ReportQueryError(r, QString::fromLatin1(errorTitle));
    values.insert(QLatin1String(key), rows);
    values.insert(QStringLiteral("status"), r.status());
    return {r.status(), values};
}

QueryResult done(const char* key, const QJsonArray& rows)
{
    return {0, QJsonObject{{"status", 0}, {QLatin1String(key), rows}}};
}

// show arp / show rsarp: indices 0-256, status 4 ends, an empty table says so.
QueryResult ArpTable(CheckOutput& out, qint16 code, const char* errorTitle, const char* macField)
{
    QJsonArray rows;
    for (qint32 index = 0; index <= 256; ++index) {
        const Reply r = out.request(code, {index});
        if (r.status() == 4) {
            if (index == 0) out.line(QStringLiteral("No Entry."));
            break;
        }
        if (r.status() != 0) return failed(out, r, errorTitle, {}, "entries", rows);
        const ArpRow row = ArpRow::read(r);
        out.line(row.text());
        if (out.tableValues()) rows.append(row.json(macField));
    }
    return done("entries", rows);
}
}  // namespace

QueryResult QueryIfconfig(CheckOutput& out)
{
    preamble(out, "show ifconfig", {"Netif     Address           Netmask           Broadcast"}, LogFile::Neutral);
    QJsonArray rows;
    for (qint32 type = 1; type <= 2; ++type) {
        for (qint32 index = 0; index <= 15; ++index) {
            const Reply r = out.request(2, {type, index});
            if (r.status() == 2) break;
            if (r.status() != 0) return failed(out, r, "ifconfig get", {}, "interfaces", rows);
            const InterfaceRow row = InterfaceRow::read(r);
            out.line(row.text());
            if (out.tableValues()) rows.append(row.json());
        }
    }
    return done("interfaces", rows);
}

QueryResult QueryRoute(CheckOutput& out)
{
    preamble(out, "show route",
             {"Routing tables", "Destination      Netmask          Gateway          Netif   Metric  Flag"}, LogFile::Send);
    QJsonArray rows;
    for (qint32 index = 0; index <= 255; ++index) {
        const Reply r = out.request(6, {index});
        if (r.status() == 4) {
            if (index == 0) out.bare(QStringLiteral("No Entry."));
            break;
        }
        if (r.status() != 0) return failed(out, r, "route get", {}, "routes", rows);
        const RouteRow row = RouteRow::read(r);
        out.line(row.text());
        if (out.tableValues()) rows.append(row.json());
    }
    return done("routes", rows);
}

QueryResult QueryRsRoute(CheckOutput& out)
{
    preamble(out, "show rsroute",
             {"Radio switch routing tables", "Destination         Receive             Type        Metric    Flag"},
             LogFile::Send);
    QJsonArray rows;
    for (qint32 index = 0; index <= 255; ++index) {
        for (qint32 sub = 0; sub <= 3; ++sub) {
            const Reply r = out.request(16, {index, sub});
            if (r.status() == 4 && sub == 0) {
                if (index == 0) out.line(QStringLiteral("No Entry."));
                return done("routes", rows);
            }
            if (r.status() != 0) return failed(out, r, "rsroute get", {}, "routes", rows);
            const RsRouteRow row = RsRouteRow::read(r, index, sub);
            if (row.valid == 0) continue;
            out.line(row.text());
            if (out.tableValues()) rows.append(row.json());
        }
    }
    return done("routes", rows);
}

QueryResult QueryArp(CheckOutput& out)
{
    preamble(out, "show arp", {"Ether ARP tables", "Destination       MAC address         Type"}, LogFile::Send);
    return ArpTable(out, 10, "arp get", "mac");
}

QueryResult QueryRsArp(CheckOutput& out)
{
    preamble(out, "show rsarp", {"Radio switch ARP tables", "Destination       SID                 Type"},
             LogFile::Neutral);
    return ArpTable(out, 18, "rsarp get", "station_id");
}

QueryResult QueryAccessList(CheckOutput& out)
{
    preamble(out, "show access list", {"access list", "list    Min_Addr          Max_Addr"}, LogFile::Neutral);
    QJsonArray rows;
    for (qint32 index = 0; index <= 15; ++index) {
        const Reply r = out.request(75, {index});
        if (r.status() == 12) break;
        if (r.status() != 0) return failed(out, r, "accesslist get", {}, "lists", rows);
        const AccessListRow row = AccessListRow::read(r);
        out.line(row.text());
        if (out.tableValues()) rows.append(row.json());
    }
    return done("lists", rows);
}

}  // namespace check
