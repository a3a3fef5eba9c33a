// The queries that walk services or interfaces with more than one request each: DHCP, RIP,
// SNMP and the access restrictions.
#include "check/CheckTexts.h"
#include "check/CheckValues.h"
#include "check/QueryBodies.h"
#include "shell/LogFile.h"

#include <QJsonArray>

namespace check {

namespace {
QString Enumerated(qint32 value, std::initializer_list<const char*> names)
{
    if (value >= 0 && value < qint32(names.size())) return QString::fromLatin1(names.begin()[value]);
    return QStringLiteral("?\?\?(%1)").arg(value);
}
QString SendModeText(qint32 v) { return Enumerated(v, {"version_1", "version_1_compatible", "version_2"}); }
QString ReceiveModeText(qint32 v) { return Enumerated(v, {"version_1", "version_2", "both"}); }
QString ConvergenceText(qint32 v) { return Enumerated(v, {"split_holizon", "poisoned_reverse", "disable"}); }
QString ClientStateText(qint32 v) { return Enumerated(v, {"Disable", "Enable"}); }

QueryResult stopped(CheckOutput& out, const Reply& r, const char* errorTitle, QJsonObject values)
{
    out.ReportQueryError(r, QString::fromLatin1(errorTitle));
    values.insert(QStringLiteral("status"), r.status());
    return {r.status(), values};
}

// The detail request of one DHCP service; its status is the step's result.
qint32 DhcpDetail(CheckOutput& out, int service, QJsonObject& entry)
{
    static const char* const titles[] = {"DHCP server get", "DHCP relay get", "DHCP client get"};
    static const qint16 codes[] = {26, 28, 30};
    const Reply r = service == 0 ? out.request(26, {0, 0, 0}) : out.request(codes[service], {0, 0});
    if (r.status() != 0) {
        out.ReportQueryError(r, QString::fromLatin1(titles[service]));
        return r.status();
    }
    if (service == 0) {
        const DhcpServerSettings s = DhcpServerSettings::read(r);
        out.lineFull(QStringLiteral("Netmask: ") + IP(s.netmask), 4);
        out.lineLogged(QStringLiteral("Default-router: ") + IP(s.router), 4, QStringLiteral("  Default-router: ") + IP(s.router));
        for (int i = 0; i < qMin(s.dnsCount, 4); ++i)
            out.lineFull(QStringLiteral("DNS-server(%1): ").arg(i) + IP(s.dns[i]), 4);
        out.lineFull(QStringLiteral("Scope: ") + IP(s.scopeStart) + QStringLiteral(" - ") + IP(s.scopeEnd), 4);
        out.lineFull(QStringLiteral("Lease time: ") + QString::number(s.lease), 4);
        if (out.tableValues()) entry.insert(QStringLiteral("server"), s.json());
    } else if (service == 1) {
        out.lineFull(QStringLiteral("DHCP Server address: ") + IP(r.ULong(8)), 4);
        entry.insert(QStringLiteral("server_address"), IP(r.ULong(8)));
    } else {
        out.line(QStringLiteral("State: ") + ClientStateText(r.Long(8)), 4);
        entry.insert(QStringLiteral("state"), Named(r.Long(8), ClientStateText(r.Long(8))));
    }
    return 0;
}
}  // namespace

QJsonObject RipSettings::json() const
{
    QJsonObject o{{"port", ConvNetIf(ifType, ifNum)}, {"state", Named(state, EnableText(state))},
                  {"send_mode", Named(sendMode, SendModeText(sendMode))},
                  {"receive_mode", Named(receiveMode, ReceiveModeText(receiveMode))},
                  {"triggered_update", Named(triggered, EnableText(triggered))},
                  {"convergence_mode", Named(convergence, ConvergenceText(convergence))}, {"advertise", advertise},
                  {"metric", metric}, {"advertise_default_route", Named(advertiseDefault, EnableText(advertiseDefault))}};
    if (hasAuth) {
        o.insert(QStringLiteral("authentication"), Named(authentication, EnableText(authentication)));
        o.insert(QStringLiteral("password"), password);
    }
    return o;
}

QueryResult QueryDhcp(CheckOutput& out)
{
    static const char* const names[] = {"Server", "Relay agent", "Client"};
    static const char* const keys[] = {"server", "relay_agent", "client"};
    out.blank();
    out.title(QStringLiteral("show DHCP"));
    out.header(QStringLiteral("DHCP configuration"), LogFile::Send);
    QJsonObject values;
    for (int s = 0; s < 3; ++s) {
        const QString name = QStringLiteral("DHCP ") + QLatin1String(names[s]);
        out.lineLogged(name, 2, name, LogFile::Neutral);
        QJsonObject entry;
        const Reply port = out.request(20, {s});
        qint32 step = port.status();
        if (step == 0) {
            const QString netif = ConvNetIf(port.Long(4), port.Long(8));
            out.line(QStringLiteral("Port: ") + netif, 4);
            entry.insert(QStringLiteral("port"), netif);
            step = DhcpDetail(out, s, entry);
        } else if (step == 4) {
            out.line(QStringLiteral("Port not assigned."), 4);
            entry.insert(QStringLiteral("port"), QJsonValue());
        } else {
            out.ReportQueryError(port, QStringLiteral("DHCP interface get"));
        }
        entry.insert(QStringLiteral("status"), step);
        values.insert(QLatin1String(keys[s]), entry);
        if (step != 0 && step != 10) {
            values.insert(QStringLiteral("status"), step);
            return {step, values};
        }
    }
    const Reply r = out.request(32, {0, 0});
    if (r.status() != 0) return stopped(out, r, "DHCP service get", values);
    static const char* const services[] = {"off", "server", "relay agent"};
    const qint32 v = r.Long(8);
    const QString service = v >= 0 && v <= 2 ? QString::fromLatin1(services[v]) : QString();
    out.line(QStringLiteral("DHCP service: ") + service);
    values.insert(QStringLiteral("service"), Named(v, service));
    values.insert(QStringLiteral("status"), 0);
    return {0, values};
}

QueryResult QueryRip(CheckOutput& out)
{
    out.blank();
    out.title(QStringLiteral("show RIP"));
    out.header(QStringLiteral("RIP configuration"), LogFile::Send);
    QJsonArray ports;
    auto result = [&](qint32 status) { return QueryResult{status, QJsonObject{{"status", status}, {"interfaces", ports}}}; };
    for (qint32 type = 1; type <= 2; ++type) {
        for (qint32 index = 0; index <= 15; ++index) {
            const Reply r = out.request(42, {type, index});
            if (r.status() == 2) break;
            if (r.status() == 10) {
                const QString netif = ConvNetIf(type, index);
                out.line(QStringLiteral("Port: ") + netif);
                out.lineLogged(QStringLiteral(" State: Not assigned."), 2, QStringLiteral("  State: Not assigned."));
                if (out.tableValues()) ports.append(QJsonObject{{"port", netif}, {"state", QStringLiteral("Not assigned")}});
                continue;
            }
            if (r.status() != 0) {
                out.ReportQueryError(r, QStringLiteral("RIP get"));
                return result(r.status());
            }
            RipSettings s = RipSettings::read(r);
            out.line(QStringLiteral("Port: ") + ConvNetIf(s.ifType, s.ifNum));
            out.lineFull(QStringLiteral("State: ") + EnableText(s.state), 4);
            out.line(QStringLiteral("Send mode: ") + SendModeText(s.sendMode), 4);
            out.line(QStringLiteral("Receive mode: ") + ReceiveModeText(s.receiveMode), 4);
            out.lineFull(QStringLiteral("Triggered update: ") + EnableText(s.triggered), 4);
            out.line(QStringLiteral("Convergence mode: ") + ConvergenceText(s.convergence), 4);
            out.lineFull(QStringLiteral("Advertise: ") + QString::number(s.advertise), 4);
            out.lineFull(QStringLiteral("Metric: ") + QString::number(s.metric), 4);
            out.lineFull(QStringLiteral("Advertise default route: ") + EnableText(s.advertiseDefault), 4);
            const Reply a = out.request(43, {type, index});
            if (a.status() == 0) {
                s.hasAuth = true;
                s.authentication = a.Long(8);
                s.password = a.Str(12, 16);
                out.lineFull(QStringLiteral("Authentication: ") + EnableText(s.authentication), 4);
                out.lineFull(QStringLiteral("Password: ") + s.password, 4);
            }
            if (out.tableValues()) ports.append(s.json());
            if (a.status() != 0 && a.status() != 2) {
                out.ReportQueryError(a, QStringLiteral("RIP auth. parameter get"));
                return result(a.status());
            }
        }
    }
    return result(0);
}

QueryResult QuerySnmpSetup(CheckOutput& out)
{
    out.blank();
    out.title(QStringLiteral("show snmp setup"));
    QJsonObject values;
    Reply r = out.request(65);
    if (r.status() != 0) return stopped(out, r, "snmp setup get", values);
    static const char* const states[] = {"", "state: read only", "state: read write", "state: disable"};
    const qint32 state = r.Long(0);
    const QString stateText = state >= 1 && state <= 3 ? QString::fromLatin1(states[state]) : QString();
    if (!stateText.trimmed().isEmpty()) out.line(stateText);
    out.line(QStringLiteral("trap addr: ") + IP(r.ULong(4)));
    values.insert(QStringLiteral("state"), Named(state, stateText.mid(7)));
    values.insert(QStringLiteral("trap_address"), IP(r.ULong(4)));
    r = out.request(67);
    if (r.status() != 0) return stopped(out, r, "snmp setup get", values);
    out.line(QStringLiteral("read only community: ") + r.Str(0, 32));
    values.insert(QStringLiteral("read_only_community"), r.Str(0, 32));
    r = out.request(69);
    if (r.status() != 0) return stopped(out, r, "snmp setup get", values);
    out.line(QStringLiteral("read write community: ") + r.Str(0, 32));
    values.insert(QStringLiteral("read_write_community"), r.Str(0, 32));
    values.insert(QStringLiteral("status"), 0);
    return {0, values};
}

QueryResult QueryAccessLimit(CheckOutput& out)
{
    out.blank();
    out.title(QStringLiteral("show access list number"));
    out.header(QStringLiteral("access restriction"), LogFile::Neutral);
    QJsonArray rows;
    for (qint32 s = 0; s <= 4; ++s) {
        const Reply r = out.request(77, {s});
        if (r.status() != 0)
            return stopped(out, r, "accesslist Number get", QJsonObject{{"services", rows}});
        const AccessRestriction a = AccessRestriction::read(r);
        out.line(a.text());
        if (out.tableValues()) rows.append(a.json());
    }
    return {0, QJsonObject{{"status", 0}, {"services", rows}}};
}

}  // namespace check
