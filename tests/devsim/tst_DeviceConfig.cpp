// The device's configuration and its tables: what each record changes, the image that rebuilds
// the configured part, and the running store rebuilding the tables when a copy writes it.
#include "config/RecordSinks.h"
#include "devsim/DeviceConfig.h"
#include "devsim/DeviceSim.h"
#include "devsim/DeviceRecords.h"
#include "devsim/DeviceTestMode.h"
#include "link/basConv.h"
#include "FreePortSim.h"
#include "ScriptedPeer.h"

#include <QtTest>

using namespace config;
Q_DECLARE_METATYPE(config::AnyRecord)
Q_DECLARE_METATYPE(DeviceTables)

namespace {
// A record as the tools send it: its Ident, and the sender's port.
struct Sent {
    AnyRecord record;
    qint32 ident;
    quint16 port;
};
}  // namespace
Q_DECLARE_METATYPE(QList<Sent>)

namespace {
qint32 ip(const char* text) { int e = 0; return basConv::ParseIPv4(QByteArray(text), e); }
Mac mac(const char* text) { Mac m{}; int e = 0; return basConv::ParseMAC(QByteArray(text), m, e), m; }
QString n(qint64 v) { return QString::number(v); }
QString ipt(qint32 a) { return basConv::FormatIPv4(a); }

// One part of the tables as text, its rows joined by " | ".
QString part(const DeviceTables& t, const QString& name)
{
    QStringList rows;
    if (name == "interfaces")
        for (const auto& i : t.interfaces) rows << QString("%1.%2 %3/%4/%5").arg(n(i.type), n(i.number), ipt(i.address), ipt(i.netmask), ipt(i.broadcast));
    if (name == "routes")
        for (const auto& r : t.routes)
            rows << QString("%1/%2 %3 %4.%5 f%6 m%7").arg(ipt(r.destination), ipt(r.netmask), ipt(r.gateway), n(r.ifType), n(r.ifNum), n(r.flag), n(r.metric));
    if (name == "arp" || name == "rsArp")
        for (const auto& e : name == "arp" ? t.arp : t.rsArp) rows << QString("%1 %2 t%3").arg(ipt(e.address), basConv::FormatMAC(e.mac), n(e.type));
    if (name == "rsRoutes")
        for (const auto& r : t.rsRoutes) {
            QStringList entries;
            for (const auto& e : r.entries)
                entries << QString("%1/%2/%3/%4 %5>%6").arg(n(e.type), n(e.compare), n(e.metric), n(e.valid), basConv::FormatMAC(e.destination), basConv::FormatMAC(e.receive));
            rows << entries.join(", ");
        }
    if (name == "ports")
        for (const auto& p : t.dhcp.ports) rows << (p ? QString("%1.%2").arg(n(p->ifType), n(p->ifNum)) : "-");
    if (name == "server" && t.dhcp.server) {
        const auto& s = *t.dhcp.server;
        rows << QString("%1 %2 %3-%4 %5 %6:%7,%8,%9").arg(n(s.leaseTime), ipt(s.netmask), ipt(s.scopeStart), ipt(s.scopeEnd), ipt(s.defaultRouter), n(s.dnsCount), ipt(s.dns[0]), ipt(s.dns[1]), ipt(s.dns[2]) + "," + ipt(s.dns[3]));
    }
    if (name == "dhcp")
        rows << (t.dhcp.relayServer ? ipt(*t.dhcp.relayServer) : "-") << (t.dhcp.clientState ? n(*t.dhcp.clientState) : "-") << n(t.dhcp.service);
    if (name == "rip")
        for (const auto& i : t.interfaces) {
            const auto& s = i.rip;
            rows << n(i.type) + "." + n(i.number) + " " + (!s ? "-" : QString("%1/%2/%3/%4/%5/%6/%7/%8/%9").arg(n(s->state), n(s->sendMode), n(s->receiveMode), n(s->triggeredUpdate), n(s->convergence), n(s->advertise), n(s->metric), n(s->advertiseDefault), n(s->authentication) + "/" + QString::fromLatin1(s->password)));
        }
    if (name == "settings")
        rows << QString("%1 %2 %3:%4-%5 %6 %7 %8 %9").arg(n(t.groupId), n(t.rfChannel), n(t.portFilter.enable), n(t.portFilter.first), n(t.portFilter.last), n(t.scramble), n(t.txMethod), n(t.fullDuplex), n(t.l2asState));
    if (name == "snmp")
        rows << QString("%1 %2 %3 %4").arg(n(t.snmp.accessState), ipt(t.snmp.trapAddress), QString::fromLatin1(t.snmp.readOnlyCommunity), QString::fromLatin1(t.snmp.readWriteCommunity));
    if (name == "access")
        for (const auto& l : t.accessLists) rows << QString("%1 %2-%3").arg(n(l.number), ipt(l.minAddress), ipt(l.maxAddress));
    if (name == "restrictions")
        for (const auto& a : t.restrictions) rows << QString("%1:%2 %3 %4 %5").arg(n(a.count), n(a.lists[0]), n(a.lists[1]), n(a.lists[2]), n(a.lists[3]));
    return rows.join(" | ");
}

// Every status query with each of its indices, as the device answers from `t`: status and reply
// payload (the up-time masked: it counts from each simulator's start).
QStringList answers(const DeviceTables& t)
{
    DeviceSim::Options o;
    o.tables = t;
    DeviceSim sim(o);
    QStringList out;
    auto ask = [&](qint16 code, qint32 a = -1, qint32 b = -1) {
        QByteArray request(64, char(0xFF));
        basConv::PutIntBE(0, request, 0);
        basConv::PutIntBE(code, request, 2);
        basConv::PutLongBE(a, request, 12);
        basConv::PutLongBE(b, request, 16);
        QByteArray reply = request;
        const qint32 status = sim.handle({request, {}, 0}, reply);
        if (code == 73) reply.replace(52, 4, "up");
        out << QString("%1 %2 %3: %4 %5").arg(n(code), n(a), n(b), n(status), QString(reply.mid(12).toHex()));
    };
    for (qint32 index = 0; index <= 16; ++index) {
        for (qint16 code : {2, 42, 43}) ask(code, 1, index), ask(code, 2, index);
        for (qint16 code : {6, 10, 18, 75}) ask(code, index);
        for (qint32 sub = 0; sub < 4; ++sub) ask(16, index, sub);
    }
    for (qint32 service = 0; service < 5; ++service) ask(20, service), ask(77, service);
    for (qint16 code : {26, 28, 30, 32, 45, 48, 50, 52, 60, 63, 65, 67, 69, 72, 73}) ask(code);
    return out;
}

const QString defaultRoutes = "10.1.0.0/255.255.0.0 10.0.0.254 1.1 f3 m2 | 172.17.0.0/255.255.0.0 172.16.0.2 2.0 f5 m3";
}  // namespace

class tst_DeviceConfig : public QObject {
    Q_OBJECT
private slots:
    void applyRecord_data();
    void applyRecord();
    void imageRebuildsTables_data();
    void imageRebuildsTables();
    void copyToRunningRebuildsTables();
    void freshStoresHoldTheTablesConfiguration();
    void recordsOneByOne_data();
    void recordsOneByOne();
    void flashRules_data();
    void flashRules();
};

void tst_DeviceConfig::applyRecord_data()
{
    // Applied in order to the default tables with `empty` cleared; all but the last are taken.
    // `part` empty: the last one changes nothing, every query answers as before.
    QTest::addColumn<QString>("empty");
    QTest::addColumn<QList<AnyRecord>>("records");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("expected");
    const Mac m01 = mac("00:80:45:01:00:01"), m02 = mac("00:80:45:01:00:02"), m09 = mac("00:80:45:01:00:09");
    auto rip = [](qint16 code, qint32 type, qint32 num, qint32 value) { return RipValueRecord{{code}, type, num, value}; };
    auto row = [](const char* name, QList<AnyRecord> records, int status, const char* part, const QString& expected, const QString& empty = {}) {
        QTest::newRow(name) << empty << records << status << QString(part) << expected;
    };
    row("ifconfig sets an interface", {IfconfigRecord{{CodeIfconfig}, 1, 1, ip("10.1.1.1"), ip("255.255.0.0"), ip("10.1.255.255")}}, 0, "interfaces",
        "1.0 192.168.1.10/255.255.255.0/192.168.1.255 | 1.1 10.1.1.1/255.255.0.0/10.1.255.255 | 2.0 172.16.0.1/255.255.0.0/172.16.255.255");
    row("ifconfig of an interface the device lacks", {IfconfigRecord{{CodeIfconfig}, 2, 1, 1, 2, 3}}, 2, "", "");
    row("routes after the static ones, on the gateway's subnet, replacing one of the same destination",
        {RouteRecord{{CodeRoute}, ip("10.2.0.0"), ip("255.255.0.0"), ip("10.0.0.9")}, RouteRecord{{CodeRoute}, 0, 0, ip("172.16.9.9")}}, 0, "routes",
        "0.0.0.0/0.0.0.0 172.16.9.9 2.0 f0 m1 | 10.2.0.0/255.255.0.0 10.0.0.9 1.1 f0 m1 | " + defaultRoutes);
    row("route on the first interface when no subnet holds the gateway", {RouteRecord{{CodeRoute}, 0, 0, ip("8.8.8.8")}}, 0, "routes",
        "0.0.0.0/0.0.0.0 8.8.8.8 1.0 f0 m1 | " + defaultRoutes);
    row("arp replaces a learned entry", {ArpRecord{{CodeArp}, ip("10.0.0.254"), mac("00:00:00:00:00:01")}}, 0, "arp",
        "192.168.1.1 00:11:22:33:44:55 t3 | 10.0.0.254 00:00:00:00:00:01 t3");
    row("rsarp2 after the static entries", {ArpRecord{{CodeRsarp2}, ip("172.16.0.9"), m09}}, 0, "rsArp",
        "172.16.0.2 00:80:45:01:00:01 t3 | 172.16.0.9 00:80:45:01:00:09 t3 | 172.16.0.3 00:80:45:01:00:11 t2");
    const Rsroute2Record to09{{CodeRsroute2}, RouteSecondary, m09, m01};
    row("a fifth entry of one destination starts an index", {to09, to09, to09, to09, Rsroute2Record{{CodeRsroute2}, RouteStatic, m09, m02}}, 0, "rsRoutes",
        "2/2/1/1 00:80:45:01:00:09>00:80:45:01:00:01, 2/2/1/1 00:80:45:01:00:09>00:80:45:01:00:01, 2/2/1/1 00:80:45:01:00:09>00:80:45:01:00:01, "
        "2/2/1/1 00:80:45:01:00:09>00:80:45:01:00:01 | 0/0/1/1 00:80:45:01:00:09>00:80:45:01:00:02", "rsroute");
    row("rsroute2 of an unknown kind", {Rsroute2Record{{CodeRsroute2}, 3, m09, m01}}, 3, "", "");
    row("dhcp port of the client", {DhcpInterfaceRecord{{CodeDhcpInterface}, DhcpClient, 1, 1}}, 0, "ports", "1.0 | 1.1 | 1.1");
    row("dhcp port on an interface the device lacks", {DhcpInterfaceRecord{{CodeDhcpInterface}, DhcpRelay, 2, 1}}, 2, "", "");
    row("dhcp server settings: the count as given, clamped",
        {DhcpServerValueRecord{{CodeDhcpServerNetmask}, ip("255.255.0.0")}, DhcpServerValueRecord{{CodeDhcpServerLease}, -1},
         DhcpDnsRecord{{CodeDhcpServerDnsServer}, 7, {ip("1.1.1.1"), ip("2.2.2.2"), 0, ip("4.4.4.4")}}},
        0, "server", "4294967295 255.255.0.0 0.0.0.0-0.0.0.0 0.0.0.0 4:1.1.1.1,2.2.2.2,0.0.0.0,4.4.4.4", "dhcp");
    row("dhcp relay server, client state, service",
        {DhcpValueRecord{{CodeDhcpRelayServer}, ip("10.0.0.1")}, DhcpValueRecord{{CodeDhcpClient}, 1}, DhcpValueRecord{{CodeDhcpService}, 2}},
        0, "dhcp", "10.0.0.1 | 1 | 2", "dhcp");
    row("dhcp service of an unknown kind", {DhcpValueRecord{{CodeDhcpService}, 3}}, 3, "", "");
    row("rip settings, one code each; an interface without RIP starts from fresh ones",
        {rip(CodeRipAdvertise, 1, 1, 30), RipPasswordRecord{{CodeRipPassword}, 2, 0, "s3cret"}, rip(CodeRipSend, 1, 0, 0), rip(CodeRipReceive, 1, 0, 1), rip(CodeRipTriggeredUpdate, 1, 0, 0), rip(CodeRipConvergence, 1, 0, 2),
         rip(CodeRipAuthentication, 1, 0, 0), rip(CodeRipMetric, 1, 0, 64), rip(CodeRipEnable, 1, 0, 0), rip(CodeRipAdvertiseDefault, 1, 0, 1)},
        0, "rip", "1.0 0/0/1/0/2/1/64/1/0/quillon | 1.1 0/0/0/0/0/30/1/0/0/ | 2.0 1/1/1/0/0/0/2/1/0/s3cret");
    row("rip metric out of range", {rip(CodeRipMetric, 2, 0, 65)}, 3, "", "");
    row("rip on an interface the device lacks", {rip(CodeRipEnable, 1, 2, 1)}, 2, "", "");
    row("settings",
        {Word16Record{{CodeGroupId}, 7}, Word16Record{{CodeRfchannel}, 3}, PortfilterRecord{{CodePortfilter}, 0, 0, 0},
         Long32Record{{CodeScramble}, -1}, Byte8Record{{CodeTxmethod}, 4}, Byte8Record{{CodeDuplex}, 0}, Byte8Record{{CodeL2as}, 2}},
        0, "settings", "7 3 0:0-0 -1 4 0 0");
    row("txmethod out of range", {Byte8Record{{CodeTxmethod}, 5}}, 3, "", "");
    row("snmp",
        {Long32Record{{CodeSnmpState}, 1}, CommunityRecord{{CodeSnmpReadOnlyCommunity}, "ro"}, CommunityRecord{{CodeSnmpReadWriteCommunity}, "rw"},
         Long32Record{{CodeSnmpTrap}, ip("10.0.0.2")}},
        0, "snmp", "1 10.0.0.2 ro rw");
    const AccessListRecord list3{{CodeAccessList}, 3, ip("10.1.2.3"), ip("255.255.255.0")};
    row("access list once, as a range", {list3, list3}, 0, "access",
        "1 192.168.1.0-192.168.1.255 | 2 10.0.0.0-10.255.255.255 | 3 10.1.2.0-10.1.2.255");
    row("access list past 15", {AccessListRecord{{CodeAccessList}, 16, 0, 0}}, 3, "", "");
    row("access restrictions: lists, deny all",
        {AccessRecord{{CodeAccess}, AccessConfig, 2, {4, 7, EmptySlot, EmptySlot}}, AccessRecord{{CodeAccess}, AccessLogin, AllOnes}},
        0, "restrictions", "-1:0 0 0 0 | 2:4 7 0 0 | -1:0 0 0 0 | 0:0 0 0 0 | 0:0 0 0 0");
    row("access restriction of an unknown service", {AccessRecord{{CodeAccess}, 5, 0}}, 3, "", "");
    row("rsconfig and test_mode change no table", {RsconfigRecord{{CodeRsconfig}, 0, 9}, TestModeRecord{{CodeTestMode}, TestSend, 1, 5}}, 0, "", "");
}

void tst_DeviceConfig::applyRecord()
{
    QFETCH(QString, empty);
    QFETCH(QList<AnyRecord>, records);
    QFETCH(int, status);
    QFETCH(QString, part);
    QFETCH(QString, expected);
    DeviceTables t = DeviceTables::Default();
    for (const QString& name : empty.split(',', Qt::SkipEmptyParts)) QVERIFY(t.empty(name));
    const QStringList before = answers(t);
    for (int i = 0; i + 1 < records.size(); ++i) QCOMPARE(ApplyRecord(t, records[i]), 0);
    QCOMPARE(ApplyRecord(t, records.last()), status);
    if (part.isEmpty())
        QCOMPARE(answers(t), before);
    else
        QCOMPARE(::part(t, part), expected);
}

void tst_DeviceConfig::imageRebuildsTables_data()
{
    QTest::addColumn<DeviceTables>("tables");
    const DeviceTables d = DeviceTables::Default();
    QTest::newRow("default") << d;
    DeviceTables t = d;
    for (const char* name : {"route", "dhcp", "rip", "access-list", "access-limit"}) t.empty(name);
    QTest::newRow("empty tables") << t;
    t = d;
    t.dhcp.server.reset();
    QTest::newRow("no DHCP server") << t;
    t = d;
    t.interfaces[0].rip->password = "0123456789abcdef";
    QTest::newRow("password of 16 bytes") << t;
    // Statically set radio routes: one index of its own first, one before a learned entry.
    t = d;
    t.rsRoutes[1].entries.prepend({1, 1, 1, 1, mac("00:80:45:01:00:02"), mac("00:80:45:01:00:11")});
    t.rsRoutes.prepend({{{0, 0, 1, 1, mac("00:80:45:01:00:09"), mac("00:80:45:01:00:01")}}});
    QTest::newRow("static radio routes") << t;
}

// Every record of the image is taken, and the tables rebuilt answer every query as before.
void tst_DeviceConfig::imageRebuildsTables()
{
    QFETCH(DeviceTables, tables);
    const QByteArray image = ConfigurationImage(tables);
    QCOMPARE(image.size(), 28672);
    DeviceTables rebuilt = ConfigurationFree(tables);
    for (int at = 0; image.mid(at, 64) != QByteArray(64, char(0xFF)); at += 64) {
        const std::optional<AnyRecord> record = ReadAnyRecord(image.mid(at, 64));
        QVERIFY2(record, qPrintable(n(at / 64)));
        QCOMPARE(ApplyRecord(rebuilt, *record), 0);
    }
    QCOMPARE(answers(rebuilt), answers(tables));
}

void tst_DeviceConfig::copyToRunningRebuildsTables()
{
    DeviceSim sim(FreePortSimOptions(QHostAddress::LocalHost));
    QVERIFY(sim.start());
    ImageSink ram;
    ram.Put(RouteRecord{{CodeRoute}, ip("10.9.0.0"), ip("255.255.0.0"), ip("10.0.0.7")});
    sim.stores.ram = ram.image();
    QByteArray copy = QByteArray::fromHex("0000000E00000005FFFFFFFF") + QByteArray(52, char(0xFF));
    basConv::PutLongBE(1, copy, 36);  // from RAM
    basConv::PutLongBE(2, copy, 40);  // to the running store
    ScriptedPeer peer;
    peer.send(copy, QHostAddress::LocalHost, sim.uifPort());
    QVERIFY(waitUntil([&] { return !peer.received.isEmpty(); }));
    QCOMPARE(basConv::GetLongBE(peer.received[0].data, 8), 0);
    // No interface has an address any more: the route goes on the first one.
    QCOMPARE(part(sim.tables, "routes"), "10.9.0.0/255.255.0.0 10.0.0.7 1.0 f0 m1 | " + defaultRoutes);
    QCOMPARE(part(sim.tables, "arp"), "10.0.0.254 00:11:22:33:44:66 t2");
    QCOMPARE(part(sim.tables, "rip"), "1.0 - | 1.1 - | 2.0 -");
}

void tst_DeviceConfig::freshStoresHoldTheTablesConfiguration()
{
    DeviceSim sim(FreePortSimOptions());
    // The running store, read in slot order, still makes the tables.
    QCOMPARE(ConfigurationImage(ApplyImage(sim.tables, sim.stores.running)), ConfigurationImage(sim.tables));
    QCOMPARE(sim.stores.ram, sim.stores.running);
    QCOMPARE(sim.stores.running.mid(0, 32).toHex(), QByteArray("0000000100000000ffffffff0000000100000000c0a8010affffff00c0a801ff"));
}

void tst_DeviceConfig::recordsOneByOne_data()
{
    QTest::addColumn<QList<Sent>>("sent");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("refused");
    QTest::addColumn<int>("routes");
    QTest::addColumn<int>("testMode");
    const IfconfigRecord eth1{{CodeIfconfig}, 1, 1, ip("10.1.1.1"), ip("255.255.0.0"), ip("10.1.255.255")};
    const IfconfigRecord eth9{{CodeIfconfig}, 1, 9, ip("10.9.1.1"), ip("255.255.0.0"), ip("10.9.255.255")};
    const RouteRecord route{{CodeRoute}, ip("10.2.0.0"), ip("255.255.0.0"), ip("10.0.0.9")};
    const TestModeRecord send{{CodeTestMode}, TestSend, 7, -1, -1, -1};
    QTest::newRow("ifconfig of an interface the device has") << QList<Sent>{{eth1, 1, 5000}} << QList<int>{0} << 1 << 0 << 3 << 0;
    QTest::newRow("ifconfig of eth9") << QList<Sent>{{eth9, 1, 5000}} << QList<int>{2} << 0 << 1 << 3 << 0;
    QTest::newRow("resent route taken once") << QList<Sent>{{route, 4, 5000}, {route, 4, 5000}} << QList<int>{0, 0} << 1 << 0 << 4 << 0;
    QTest::newRow("resent refusal answered alike") << QList<Sent>{{eth9, 4, 5000}, {eth9, 4, 5000}} << QList<int>{2, 2} << 0 << 1 << 3 << 0;
    QTest::newRow("next Ident is a new record") << QList<Sent>{{route, 4, 5000}, {route, 5, 5000}} << QList<int>{0, 0} << 2 << 0 << 4 << 0;
    QTest::newRow("same Ident from another port is a new record")
        << QList<Sent>{{route, 4, 5000}, {route, 4, 5001}} << QList<int>{0, 0} << 2 << 0 << 4 << 0;
    QTest::newRow("test_mode goes to the test mode") << QList<Sent>{{send, 1, 5000}} << QList<int>{0} << 0 << 0 << 3 << 1;
}

// Records sent one by one: each answered with its status, a taken one in the tables and the
// running store, a resent one (same Ident, same sender) answered again but not taken twice.
void tst_DeviceConfig::recordsOneByOne()
{
    QFETCH(QList<Sent>, sent);
    QFETCH(QList<int>, statuses);
    QFETCH(int, taken);
    QFETCH(int, refused);
    QFETCH(int, routes);
    QFETCH(int, testMode);
    DeviceSim sim(DeviceSim::Options{});
    const QByteArray running = sim.stores.running;
    QList<int> answered;
    for (const Sent& s : sent) {
        ImageSink sink(s.ident);
        QCOMPARE(sink.Put(s.record), 0);
        const QByteArray request = sink.image().left(64);
        QByteArray reply = request;
        answered << sim.handle({request, QHostAddress(QStringLiteral("127.0.0.1")), s.port}, reply);
    }
    QCOMPARE(answered, statuses);
    auto* records = sim.findChild<DeviceRecords*>();
    QVERIFY(records);
    QCOMPARE(records->recordsTaken, taken);
    QCOMPARE(records->recordsRefused, refused);
    QCOMPARE(sim.tables.routes.size(), routes);
    QCOMPARE(sim.findChild<DeviceTestMode*>()->mode(), testMode);
    QCOMPARE(sim.stores.running != running, taken > 0);
    // The running store, read in slot order, still makes the tables.
    QCOMPARE(ConfigurationImage(ApplyImage(sim.tables, sim.stores.running)), ConfigurationImage(sim.tables));
}

void tst_DeviceConfig::flashRules_data()
{
    // RAM starts with a firmware image received by transfer type 2. Each copy is "from>to"
    // (0 ROM, 1 RAM, 2 running); the stores' contents afterwards as their names.
    QTest::addColumn<QStringList>("copies");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<QString>("rom");
    QTest::addColumn<QString>("ram");
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("firmware");
    QTest::newRow("to ROM writes the firmware") << QStringList{"1>0"} << QList<int>{0} << "rom" << "image" << "running" << "image";
    QTest::newRow("to the running store refused") << QStringList{"1>2"} << QList<int>{8} << "rom" << "image" << "running" << "old";
    QTest::newRow("written twice") << QStringList{"1>0", "1>0"} << QList<int>{0, 0} << "rom" << "image" << "running" << "image";
    QTest::newRow("a copy into RAM clears the mark") << QStringList{"0>1", "1>0", "1>2"} << QList<int>{0, 0, 0}
                                                     << "rom" << "rom" << "rom" << "old";
    QTest::newRow("RAM then holds configuration") << QStringList{"2>1", "1>0"} << QList<int>{0, 0}
                                                  << "running" << "running" << "running" << "old";
}

void tst_DeviceConfig::flashRules()
{
    QFETCH(QStringList, copies);
    QFETCH(QList<int>, statuses);
    DeviceSim sim(DeviceSim::Options{});
    QByteArray saved(28672, char(0xFF)), current = saved;
    saved.replace(0, 14, QByteArray::fromHex("0000002f00000001ffffffff0005"));
    current.replace(0, 14, QByteArray::fromHex("0000002f00000002ffffffff0007"));
    const QHash<QString, QByteArray> named{{"rom", saved}, {"running", current}, {"image", "QUILLON FIRMWARE 9.9 new"}, {"old", "old firmware"}};
    sim.stores.rom = named["rom"];
    sim.stores.running = named["running"];
    sim.stores.ram = named["image"];
    sim.stores.firmware = named["old"];
    sim.stores.ramHoldsFirmware = true;
    QList<int> answered;
    for (const QString& copy : copies) {
        QByteArray request = QByteArray::fromHex("0000000E00000005FFFFFFFF") + QByteArray(52, char(0xFF));
        basConv::PutLongBE(copy.section('>', 0, 0).toInt(), request, 36);
        basConv::PutLongBE(copy.section('>', 1, 1).toInt(), request, 40);
        QByteArray reply = request;
        answered << sim.handle({request, {}, 0}, reply);
    }
    QCOMPARE(answered, statuses);
    QFETCH(QString, rom);
    QFETCH(QString, ram);
    QFETCH(QString, running);
    QFETCH(QString, firmware);
    QCOMPARE(named.key(sim.stores.rom, "?"), rom);
    QCOMPARE(named.key(sim.stores.ram, "?"), ram);
    QCOMPARE(named.key(sim.stores.running, "?"), running);
    QCOMPARE(named.key(sim.stores.firmware, "?"), firmware);
}

QTEST_GUILESS_MAIN(tst_DeviceConfig)
#include "tst_DeviceConfig.moc"
