#include "devsim/DeviceTables.h"

namespace {
qint32 ip(const char* text)
{
    int error = 0;
    return basConv::ParseIPv4(QByteArray(text), error);
}
basConv::Mac macOf(const char* text)
{
    basConv::Mac m{};
    int error = 0;
    basConv::ParseMAC(QByteArray(text), m, error);
    return m;
}
}  // namespace

const DeviceTables::Interface* DeviceTables::interfaceAt(qint32 type, qint32 index) const
{
    if (index < 0) return nullptr;
    for (const Interface& i : interfaces)
        if (i.type == type && index-- == 0) return &i;
    return nullptr;
}

DeviceTables DeviceTables::Default()
{
    DeviceTables t;
    RipSettings eth0Rip;
    eth0Rip.state = 1;
    eth0Rip.sendMode = 2;
    eth0Rip.receiveMode = 2;
    eth0Rip.triggeredUpdate = 1;
    eth0Rip.convergence = 1;
    eth0Rip.advertise = 1;
    eth0Rip.metric = 1;
    eth0Rip.advertiseDefault = 0;
    eth0Rip.authentication = 1;
    eth0Rip.password = "quillon";
    RipSettings rs0Rip;
    rs0Rip.state = 1;
    rs0Rip.sendMode = 1;
    rs0Rip.receiveMode = 1;
    rs0Rip.metric = 2;
    rs0Rip.advertiseDefault = 1;
    t.interfaces = {
        {Eth, 0, ip("192.168.1.10"), ip("255.255.255.0"), ip("192.168.1.255"), eth0Rip},
        {Eth, 1, ip("10.0.0.1"), ip("255.0.0.0"), ip("10.255.255.255"), std::nullopt},
        {Rs, 0, ip("172.16.0.1"), ip("255.255.0.0"), ip("172.16.255.255"), rs0Rip},
    };
    t.routes = {
        {ip("0.0.0.0"), ip("0.0.0.0"), Eth, 0, ip("192.168.1.1"), 0, 1},
        {ip("10.1.0.0"), ip("255.255.0.0"), Eth, 1, ip("10.0.0.254"), 3, 2},
        {ip("172.17.0.0"), ip("255.255.0.0"), Rs, 0, ip("172.16.0.2"), 5, 3},
    };
    t.arp = {
        {3, ip("192.168.1.1"), macOf("00:11:22:33:44:55")},
        {2, ip("10.0.0.254"), macOf("00:11:22:33:44:66")},
    };
    t.rsArp = {
        {3, ip("172.16.0.2"), macOf("00:80:45:01:00:01")},
        {2, ip("172.16.0.3"), macOf("00:80:45:01:00:11")},
    };
    t.rsRoutes = {
        {{{3, 3, 1, 1, macOf("00:80:45:01:00:01"), macOf("00:80:45:01:00:01")},
          {2, 3, 2, 0, macOf("00:80:45:01:00:01"), macOf("00:80:45:01:00:11")}}},
        {{{1, 0, 2, 1, macOf("00:80:45:01:00:02"), macOf("00:80:45:01:00:01")}}},
        {{{0, 0, 15, 1, macOf("00:80:45:01:00:12"), macOf("00:80:45:01:00:11")}}},
    };
    t.dhcp.ports = {DhcpPort{Eth, 0}, DhcpPort{Eth, 1}, DhcpPort{Rs, 0}};
    DhcpServer server;
    server.leaseTime = 86400;
    server.netmask = ip("255.255.255.0");
    server.scopeStart = ip("192.168.1.100");
    server.scopeEnd = ip("192.168.1.199");
    server.defaultRouter = ip("192.168.1.1");
    server.dnsCount = 2;
    server.dns = {ip("192.168.1.2"), ip("192.168.1.3"), 0, 0};
    t.dhcp.server = server;
    t.dhcp.relayServer = ip("10.0.0.53");
    t.dhcp.clientState = 0;
    t.dhcp.service = 1;
    t.groupId = 0x0102;
    t.rfChannel = 11;
    t.portFilter = {1, 1024, 4096};
    t.scramble = 0x00C0FFEE;
    t.txMethod = 2;
    t.fullDuplex = 1;
    t.snmp = {2, ip("192.168.1.100"), "public", "private"};
    t.l2asState = 1;
    t.accessLists = {
        {1, ip("192.168.1.0"), ip("192.168.1.255")},
        {2, ip("10.0.0.0"), ip("10.255.255.255")},
    };
    t.restrictions = {{
        {1, {1, 0, 0, 0}},   // login
        {2, {1, 2, 0, 0}},   // config
        {-1, {0, 0, 0, 0}},  // snmp
        {0, {0, 0, 0, 0}},   // rstest
        {0, {0, 0, 0, 0}},   // rip
    }};
    t.firmwareVersion = "3.2.1";
    t.mac = macOf("00:80:45:01:00:00");
    return t;
}

QStringList DeviceTables::EmptyNames()
{
    return {QStringLiteral("ifconfig"), QStringLiteral("route"), QStringLiteral("rsroute"), QStringLiteral("arp"),
            QStringLiteral("rsarp"), QStringLiteral("dhcp"), QStringLiteral("rip"), QStringLiteral("access-list"),
            QStringLiteral("access-limit")};
}

bool DeviceTables::empty(const QString& name)
{
    switch (EmptyNames().indexOf(name)) {
    case 0: interfaces.clear(); break;
    case 1: routes.clear(); break;
    case 2: rsRoutes.clear(); break;
    case 3: arp.clear(); break;
    case 4: rsArp.clear(); break;
    case 5: dhcp = Dhcp(); break;
    case 6:
        for (Interface& i : interfaces) i.rip.reset();
        break;
    case 7: accessLists.clear(); break;
    case 8: restrictions = {}; break;
    default: return false;
    }
    return true;
}
