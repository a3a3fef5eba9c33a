#include "check/CheckValues.h"

#include "check/CheckTexts.h"

#include <QJsonArray>

namespace check {

QString IP(quint32 address) { return basConv::FormatIPv4(qint32(address)); }
QString MAC(const basConv::Mac& mac) { return basConv::FormatMAC(mac); }

QString ArpTypeText(qint32 type)
{
    static const char* const names[] = {"invalid", "incomplete", "dynamic", "static"};
    if (type >= 0 && type <= 3) return QString::fromLatin1(names[type]);
    return QStringLiteral("?\?\?(%1)").arg(type);
}

QString EnableText(qint32 value)
{
    if (value == 0) return QStringLiteral("Disable");
    if (value == 1) return QStringLiteral("Enable");
    return QStringLiteral("???");
}

QJsonValue Named(qint32 raw, const QString& name)
{
    const QString n = name.trimmed();
    if (n.isEmpty() || n.startsWith(QLatin1Char('?'))) return raw;
    return n;
}

InterfaceRow InterfaceRow::read(const Reply& r)
{
    return {r.Long(0), r.Long(4), r.ULong(8), r.ULong(12), r.ULong(16)};
}
QString InterfaceRow::text() const
{
    return FixLen(ConvNetIf(ifType, ifNum), 10) + FixLen(IP(address), 18) + FixLen(IP(netmask), 18) + IP(broadcast);
}
QJsonObject InterfaceRow::json() const
{
    return {{"name", ConvNetIf(ifType, ifNum)}, {"address", IP(address)}, {"netmask", IP(netmask)},
            {"broadcast", IP(broadcast)}};
}

RouteRow RouteRow::read(const Reply& r)
{
    RouteRow row;
    row.destination = r.ULong(4);
    row.netmask = r.ULong(8);
    row.ifType = r.Long(12);
    row.ifNum = r.Long(16);
    row.gateway = r.ULong(20);
    row.flag = r.Long(24);
    row.metric = r.Long(32);
    return row;
}
static QString RouteFlagText(qint32 flag)
{
    if (flag == 0) return QStringLiteral("S");
    if (flag == 3) return QStringLiteral("D");
    return QStringLiteral("?(%1)").arg(flag);
}
QString RouteRow::text() const
{
    return FixLen(IP(destination), 17) + FixLen(IP(netmask), 17) + FixLen(IP(gateway), 17) +
           FixLen(ConvNetIf(ifType, ifNum), 8) + FixLen(QString::number(metric), 8) + RouteFlagText(flag);
}
QJsonObject RouteRow::json() const
{
    return {{"destination", IP(destination)}, {"netmask", IP(netmask)}, {"gateway", IP(gateway)},
            {"interface", ConvNetIf(ifType, ifNum)}, {"metric", metric}, {"flag", Named(flag, RouteFlagText(flag))}};
}

RsRouteRow RsRouteRow::read(const Reply& r, qint32 index, qint32 subIndex)
{
    RsRouteRow row;
    row.index = index;
    row.subIndex = subIndex;
    row.type = r.Long(4);
    row.compare = r.Long(8);
    row.metric = r.Int(16);
    row.valid = r.Int(18);
    row.destination = r.Mac(20);
    row.receive = r.Mac(26);
    return row;
}
static QString RsMetricText(qint16 metric)
{
    if (metric == 0) return QStringLiteral("local");
    if (metric == 15) return QStringLiteral("infinity");
    return QString::number(metric);
}
QString RsRouteRow::text() const
{
    return FixLen(MAC(destination), 20) + FixLen(MAC(receive), 20) + FixLen(ConvExpMode(type), 12) +
           FixLen(RsMetricText(metric), 10) + (compare == type ? QStringLiteral("S") : QStringLiteral("I"));
}
QJsonObject RsRouteRow::json() const
{
    QJsonObject o{{"index", index}, {"sub_index", subIndex}, {"destination", MAC(destination)}, {"receive", MAC(receive)},
                  {"type", Named(type, ConvExpMode(type))}, {"metric", metric},
                  {"flag", compare == type ? QStringLiteral("S") : QStringLiteral("I")}};
    // The metric stays a number; the two that have names get them beside it.
    if (metric == 0 || metric == 15) o.insert(QStringLiteral("metric_text"), RsMetricText(metric));
    return o;
}

ArpRow ArpRow::read(const Reply& r) { return {r.Long(4), r.ULong(12), r.Mac(16)}; }
QString ArpRow::text() const { return FixLen(IP(address), 18) + FixLen(MAC(mac), 20) + ArpTypeText(type); }
QJsonObject ArpRow::json(const char* macField) const
{
    return {{"address", IP(address)}, {QLatin1String(macField), MAC(mac)}, {"type", Named(type, ArpTypeText(type))}};
}

AccessListRow AccessListRow::read(const Reply& r) { return {r.Long(0), r.ULong(4), r.ULong(8)}; }
QString AccessListRow::text() const
{
    return FixLen(QString::number(list), 8) + FixLen(IP(minimum), 18) + IP(maximum);
}
QJsonObject AccessListRow::json() const
{
    return {{"list", list}, {"minimum", IP(minimum)}, {"maximum", IP(maximum)}};
}

AccessRestriction AccessRestriction::read(const Reply& r)
{
    AccessRestriction a;
    a.service = r.Long(0);
    a.count = r.Long(4);
    for (int i = 0; i < 4; ++i) a.lists[i] = r.Long(8 + 4 * i);
    return a;
}
static QString ServiceName(qint32 service)
{
    static const char* const names[] = {"login     ", "config    ", "snmp      ", "rstest    ", "rip       "};
    return service >= 0 && service <= 4 ? QString::fromLatin1(names[service]) : QString();
}
QString AccessRestriction::text() const
{
    QString t = ServiceName(service);
    if (count == -1) return t + QStringLiteral("Deny All");
    if (count == 0) return t + QStringLiteral("Allow All");
    for (int i = 0; i < qMin(count, 4); ++i) t += QLatin1Char(' ') + FixLen(QString::number(lists[i]), 5);
    return t;
}
QJsonObject AccessRestriction::json() const
{
    QJsonArray l;
    for (int i = 0; i < qMin(count, 4); ++i) l.append(lists[i]);
    const QString access = count == -1 ? QStringLiteral("deny_all") : count == 0 ? QStringLiteral("allow_all")
                                                                               : QStringLiteral("lists");
    return {{"service", Named(service, ServiceName(service))}, {"service_code", service}, {"count", count},
            {"access", access}, {"lists", l}};
}

DhcpServerSettings DhcpServerSettings::read(const Reply& r)
{
    DhcpServerSettings s;
    s.lease = r.ULong(12);
    s.netmask = r.ULong(16);
    s.scopeStart = r.ULong(20);
    s.scopeEnd = r.ULong(24);
    s.router = r.ULong(28);
    s.dnsCount = r.Long(32);
    for (int i = 0; i < 4; ++i) s.dns[i] = r.ULong(36 + 4 * i);
    return s;
}
QJsonObject DhcpServerSettings::json() const
{
    QJsonArray d;
    for (int i = 0; i < qMin(dnsCount, 4); ++i) d.append(IP(dns[i]));
    return {{"netmask", IP(netmask)}, {"default_router", IP(router)}, {"dns_servers", d},
            {"scope_start", IP(scopeStart)}, {"scope_end", IP(scopeEnd)}, {"lease_time", qint64(lease)}};
}

RipSettings RipSettings::read(const Reply& r)
{
    RipSettings s;
    s.ifType = r.Long(0);
    s.ifNum = r.Long(4);
    s.state = r.Long(8);
    s.sendMode = r.Long(12);
    s.receiveMode = r.Long(16);
    s.triggered = r.Long(20);
    s.convergence = r.Long(24);
    s.advertise = r.Long(28);
    s.metric = r.Long(32);
    s.advertiseDefault = r.Long(36);
    return s;
}

}  // namespace check
