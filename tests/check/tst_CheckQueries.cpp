// The eighteen queries and Check All against a scripted device: the requests on the wire, the
// list lines (~ stands for the time stamp), the log records and the result.
#include "check/CheckQueries.h"
#include "check/CheckTexts.h"
#include "check/QueryBodies.h"
#include "link/basUIF.h"
#include "link/frmUIF.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/ToolContext.h"
#include "ScriptedPeer.h"

#include <QTemporaryDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using check::QueryId;

namespace {

const QString Stamp = QStringLiteral("12:34:56.789");

// One reply: "STATUS OFFSET:Tvalue ..." with T = L (Long, decimal, 0x.. or dotted), I (Int),
// B (Byte), M (MAC), S (percent-encoded bytes, then a 0); "n=LEN" cuts the datagram.
// Unwritten payload bytes are 0xEE, so a field read at a wrong offset shows.
QByteArray BuildReply(const QByteArray& request, const QString& answer)
{
    QByteArray r = request.left(12);
    r.append(basUIF::UIFReplyMax - 12, char(0xEE));
    basConv::PutIntBE(1, r, 0);
    const QStringList tokens = answer.split(' ', Qt::SkipEmptyParts);
    basConv::PutLongBE(tokens.value(0).toInt(), r, 8);
    int length = r.size();
    for (const QString& t : tokens.mid(1)) {
        if (t.startsWith("n=")) {
            length = t.mid(2).toInt();
            continue;
        }
        const int colon = t.indexOf(':');
        const int off = t.left(colon).toInt();
        const QChar type = t.at(colon + 1);
        const QString v = t.mid(colon + 2);
        int err = 0;
        const qint32 n = v.count('.') == 3 ? basConv::ParseIPv4(v, err) : qint32(v.toLongLong(nullptr, 0));
        if (type == 'L') basUIF::PutUIFLong(r, n, off);
        if (type == 'I') basUIF::PutUIFInt(r, qint16(n), off);
        if (type == 'B') basUIF::PutUIFByte(r, uint8_t(n), off);
        if (type == 'M') r.replace(12 + off, 6, QByteArray::fromHex(v.toLatin1().replace(":", "")));
        if (type == 'S') r.replace(12 + off, 0, QByteArray::fromPercentEncoding(v.toLatin1()) + '\0');
    }
    return r.left(length);
}

// "CODE:l0,l1" with the payload's Longs up to the first unwritten one.
QString Trace(const QByteArray& request)
{
    QStringList longs;
    for (int off = 0; off < 52; off += 4) {
        const qint32 v = basUIF::GetUIFLong(request, off);
        if (v == -1) break;
        longs << QString::number(v);
    }
    const QString code = QString::number(basConv::GetIntBE(request, 2));
    return longs.isEmpty() ? code : code + ':' + longs.join(',');
}

struct Rig {
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(12, 34, 56, 789))};
    ScriptedOperator op;
    ToolContext ctx{clock, op, QStringLiteral("CONF")};
    MessageList lstMsg;
    ScriptedPeer peer;
    frmUIF uif{&op, options(peer.port())};
    QTemporaryDir dir;
    QStringList script, requests;

    Rig()
    {
        uif.load();
        uif.setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
        ctx.log.open(dir.filePath("check.log"), true);
        // Past the script's end the device answers 9, so a request too many shows as a failure.
        peer.reply = [this](const ScriptedPeer::Datagram& d) {
            requests << Trace(d.data);
            return QList<QByteArray>{BuildReply(d.data, script.isEmpty() ? QStringLiteral("9") : script.takeFirst())};
        };
    }
    static frmUIF::Options options(quint16 port)
    {
        frmUIF::Options o;
        o.tickMs = 2;
        o.localPort = 0;
        o.remotePort = port;
        return o;
    }
    check::CheckRun run() { return {ctx, uif, lstMsg}; }
    QStringList lines() const
    {
        QStringList l = lstMsg.lines();
        for (QString& s : l) s.replace(Stamp, "~");
        return l;
    }
    // "S text", "R text", "_ text" per record after the start record.
    QStringList log()
    {
        QFile f(dir.filePath("check.log"));
        f.open(QIODevice::ReadOnly);
        const QStringList l = QString::fromLatin1(f.readAll()).split("\r\n");
        QStringList records;
        for (int i = 2; i + 1 < l.size(); i += 2)
            records << QString(l[i].endsWith("SEND") ? 'S' : l[i].endsWith("RECV") ? 'R' : '_') + ' ' + l[i + 1].mid(1);
        return records;
    }
};

}  // namespace

class tst_CheckQueries : public QObject {
    Q_OBJECT
private slots:
    void query_data();
    void query();
    void jsonValues_data();
    void jsonValues();
    void upTime_data();
    void upTime();
    void conversions();
    void checkAll_data();
    void checkAll();
    void reportKeepsTheLast1000Lines();
};

void tst_CheckQueries::query_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("replies");
    QTest::addColumn<QString>("requests");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("result");

    const QString ifEth0 = "0 0:L1 4:L0 8:L192.168.1.10 12:L255.255.255.0 16:L192.168.1.255";
    QTest::newRow("ifconfig eth then rs, each ended by 2")
        << int(QueryId::Ifconfig)
        << QStringList{ifEth0, "0 0:L1 4:L1 8:L10.0.0.1 12:L255.0.0.0 16:L10.255.255.255", "2",
                       "0 0:L2 4:L0 8:L172.16.0.1 12:L255.255.0.0 16:L172.16.255.255", "2"}
        << "2:1,0 2:1,1 2:1,2 2:2,0 2:2,1"
        << QStringList{"", "              Netif     Address           Netmask           Broadcast",
                       "~  eth0      192.168.1.10      255.255.255.0     192.168.1.255",
                       "~  eth1      10.0.0.1          255.0.0.0         10.255.255.255",
                       "~  rs0       172.16.0.1        255.255.0.0       172.16.255.255"}
        << QStringList{"S show ifconfig", "_ Netif     Address           Netmask           Broadcast",
                       "R eth0      192.168.1.10      255.255.255.0     192.168.1.255",
                       "R eth1      10.0.0.1          255.0.0.0         10.255.255.255",
                       "R rs0       172.16.0.1        255.255.0.0       172.16.255.255"}
        << 0;
    QTest::newRow("ifconfig short reply reads zeros")
        << int(QueryId::Ifconfig) << QStringList{"0 0:L1 4:L3 8:L1.2.3.4 n=22", "2", "2"} << "2:1,0 2:1,1 2:2,0"
        << QStringList{"", "              Netif     Address           Netmask           Broadcast",
                       "~  eth3      1.2.0.0           0.0.0.0           0.0.0.0"}
        << QStringList{"S show ifconfig", "_ Netif     Address           Netmask           Broadcast",
                       "R eth3      1.2.0.0           0.0.0.0           0.0.0.0"}
        << 0;
    QTest::newRow("route flags, then 4")
        << int(QueryId::Route)
        << QStringList{"0 4:L10.1.0.0 8:L255.255.0.0 12:L1 16:L0 20:L192.168.1.1 24:L5 32:L2",
                       "0 4:L0 8:L0 12:L7 16:L3 20:L192.168.1.254 24:L0 32:L-1", "4"}
        << "6:0 6:1 6:2"
        << QStringList{"", "              Routing tables",
                       "              Destination      Netmask          Gateway          Netif   Metric  Flag",
                       "~  10.1.0.0         255.255.0.0      192.168.1.1      eth0    2       ?(5)",
                       "~  0.0.0.0          0.0.0.0          192.168.1.254    ?\?\?(7)3 -1      S"}
        << QStringList{"S show route", "S Routing tables",
                       "S Destination      Netmask          Gateway          Netif   Metric  Flag",
                       "R 10.1.0.0         255.255.0.0      192.168.1.1      eth0    2       ?(5)",
                       "R 0.0.0.0          0.0.0.0          192.168.1.254    ?\?\?(7)3 -1      S"}
        << 0;
    QTest::newRow("route empty: bare No Entry.")
        << int(QueryId::Route) << QStringList{"4"} << "6:0"
        << QStringList{"", "              Routing tables",
                       "              Destination      Netmask          Gateway          Netif   Metric  Flag", "No Entry."}
        << QStringList{"S show route", "S Routing tables",
                       "S Destination      Netmask          Gateway          Netif   Metric  Flag", "R No Entry."}
        << 0;
    QTest::newRow("route failure at index 1")
        << int(QueryId::Route) << QStringList{"0 4:L10.1.0.0 8:L255.255.0.0 12:L1 16:L0 20:L192.168.1.1 24:L3 32:L1", "3"}
        << "6:0 6:1"
        << QStringList{"", "              Routing tables",
                       "              Destination      Netmask          Gateway          Netif   Metric  Flag",
                       "~  10.1.0.0         255.255.0.0      192.168.1.1      eth0    1       D",
                       "~  Error occurred on 'route get' Command.", "               St: 3,ErrACK(Invalid parameter)."}
        << QStringList{"S show route", "S Routing tables",
                       "S Destination      Netmask          Gateway          Netif   Metric  Flag",
                       "R 10.1.0.0         255.255.0.0      192.168.1.1      eth0    1       D",
                       "R Error occurred on 'route get' Command.  St: 3,ErrACK(Invalid parameter)."}
        << 3;
    QTest::newRow("rsroute: valid 0 skipped, 4 on sub-index 0 ends")
        << int(QueryId::RsRoute)
        << QStringList{"0 4:L3 8:L3 16:I0 18:I1 20:M00:11:22:33:44:55 26:M66:77:88:99:AA:BB",
                       "0 4:L9 8:L3 16:I15 18:I1 20:M00:11:22:33:44:66 26:M66:77:88:99:AA:CC",
                       "0 4:L0 8:L0 16:I3 18:I0 20:M00:11:22:33:44:99 26:M66:77:88:99:AA:99",
                       "0 4:L0 8:L1 16:I3 18:I1 20:M00:11:22:33:44:77 26:M66:77:88:99:AA:DD", "4"}
        << "16:0,0 16:0,1 16:0,2 16:0,3 16:1,0"
        << QStringList{"", "              Radio switch routing tables",
                       "              Destination         Receive             Type        Metric    Flag",
                       "~  00:11:22:33:44:55   66:77:88:99:AA:BB   auto        local     S",
                       "~  00:11:22:33:44:66   66:77:88:99:AA:CC   ?\?\?(9)      infinity  I",
                       "~  00:11:22:33:44:77   66:77:88:99:AA:DD   static      3         I"}
        << QStringList{"S show rsroute", "S Radio switch routing tables",
                       "S Destination         Receive             Type        Metric    Flag",
                       "R 00:11:22:33:44:55   66:77:88:99:AA:BB   auto        local     S",
                       "R 00:11:22:33:44:66   66:77:88:99:AA:CC   ?\?\?(9)      infinity  I",
                       "R 00:11:22:33:44:77   66:77:88:99:AA:DD   static      3         I"}
        << 0;
    QTest::newRow("rsroute: 4 on sub-index 1 is a failure")
        << int(QueryId::RsRoute) << QStringList{"0 4:L3 8:L3 16:I0 18:I0", "4"} << "16:0,0 16:0,1"
        << QStringList{"", "              Radio switch routing tables",
                       "              Destination         Receive             Type        Metric    Flag",
                       "~  Error occurred on 'rsroute get' Command.", "               St: 4,ErrACK(No entry)."}
        << QStringList{"S show rsroute", "S Radio switch routing tables",
                       "S Destination         Receive             Type        Metric    Flag",
                       "R Error occurred on 'rsroute get' Command.  St: 4,ErrACK(No entry)."}
        << 4;
    QTest::newRow("arp empty: stamped No Entry.")
        << int(QueryId::Arp) << QStringList{"4"} << "10:0"
        << QStringList{"", "              Ether ARP tables", "              Destination       MAC address         Type",
                       "~  No Entry."}
        << QStringList{"S show arp", "S Ether ARP tables", "S Destination       MAC address         Type", "R No Entry."}
        << 0;
    QTest::newRow("rsarp rows")
        << int(QueryId::RsArp)
        << QStringList{"0 4:L9 12:L172.16.0.9 16:M02:00:00:00:00:09", "0 4:L2 12:L172.16.0.8 16:M02:00:00:00:00:08", "4"}
        << "18:0 18:1 18:2"
        << QStringList{"", "              Radio switch ARP tables", "              Destination       SID                 Type",
                       "~  172.16.0.9        02:00:00:00:00:09   ?\?\?(9)", "~  172.16.0.8        02:00:00:00:00:08   dynamic"}
        << QStringList{"S show rsarp", "_ Radio switch ARP tables", "_ Destination       SID                 Type",
                       "R 172.16.0.9        02:00:00:00:00:09   ?\?\?(9)", "R 172.16.0.8        02:00:00:00:00:08   dynamic"}
        << 0;
    QTest::newRow("DHCP ends at an unassigned relay port")
        << int(QueryId::Dhcp)
        << QStringList{"0 4:L1 8:L0",
                       "0 12:L86400 16:L255.255.255.0 20:L192.168.1.100 24:L192.168.1.199 28:L192.168.1.1 32:L2 36:L8.8.8.8 40:L8.8.4.4",
                       "4"}
        << "20:0 26:0,0,0 20:1"
        << QStringList{"", "              DHCP configuration", "~  DHCP Server", "~    Port: eth0", "~    Netmask: 255.255.255.0",
                       "~    Default-router: 192.168.1.1", "~    DNS-server(0): 8.8.8.8", "~    DNS-server(1): 8.8.4.4",
                       "~    Scope: 192.168.1.100 - 192.168.1.199", "~    Lease time: 86400", "~  DHCP Relay agent",
                       "~    Port not assigned."}
        << QStringList{"S show DHCP", "S DHCP configuration", "_ DHCP Server", "R   Port: eth0", "R     Netmask: 255.255.255.0",
                       "R   Default-router: 192.168.1.1", "R     DNS-server(0): 8.8.8.8", "R     DNS-server(1): 8.8.4.4",
                       "R     Scope: 192.168.1.100 - 192.168.1.199", "R     Lease time: 86400", "_ DHCP Relay agent",
                       "R   Port not assigned."}
        << 4;
    QTest::newRow("DHCP: a detail without settings goes on")
        << int(QueryId::Dhcp)
        << QStringList{"0 4:L2 8:L0", "10", "0 4:L1 8:L1", "0 8:L10.0.0.5", "0 4:L1 8:L0", "0 8:L7", "0 8:L2"}
        << "20:0 26:0,0,0 20:1 28:0,0 20:2 30:0,0 32:0,0"
        << QStringList{"", "              DHCP configuration", "~  DHCP Server", "~    Port: rs0",
                       "~  Error occurred on 'DHCP server get' Command.", "               St: 10,ErrACK(No object).",
                       "~  DHCP Relay agent", "~    Port: eth1", "~    DHCP Server address: 10.0.0.5", "~  DHCP Client",
                       "~    Port: eth0", "~    State: ?\?\?(7)", "~  DHCP service: relay agent"}
        << QStringList{"S show DHCP", "S DHCP configuration", "_ DHCP Server", "R   Port: rs0",
                       "R Error occurred on 'DHCP server get' Command.  St: 10,ErrACK(No object).", "_ DHCP Relay agent",
                       "R   Port: eth1", "R     DHCP Server address: 10.0.0.5", "_ DHCP Client", "R   Port: eth0",
                       "R   State: ?\?\?(7)", "R DHCP service: relay agent"}
        << 0;
    QTest::newRow("RIP: settings, not assigned, then the types end")
        << int(QueryId::Rip)
        << QStringList{"0 0:L1 4:L0 8:L1 12:L1 16:L2 20:L0 24:L0 28:L30 32:L1 36:L5", "0 8:L1 12:Sp%E4ss",
                       "10", "2", "0 0:L2 4:L0 8:L0 12:L2 16:L9 20:L1 24:L2 28:L0 32:L16 36:L0", "2", "2"}
        << "42:1,0 43:1,0 42:1,1 42:1,2 42:2,0 43:2,0 42:2,1"
        << QStringList{"", "              RIP configuration", "~  Port: eth0", "~    State: Enable",
                       "~    Send mode: version_1_compatible", "~    Receive mode: both", "~    Triggered update: Disable",
                       "~    Convergence mode: split_holizon", "~    Advertise: 30", "~    Metric: 1",
                       "~    Advertise default route: ???", QString::fromLatin1("~    Authentication: Enable"),
                       QString::fromLatin1("~    Password: p\xE4ss"), "~  Port: eth1", "~   State: Not assigned.",
                       "~  Port: rs0", "~    State: Disable", "~    Send mode: version_2", "~    Receive mode: ?\?\?(9)",
                       "~    Triggered update: Enable", "~    Convergence mode: disable", "~    Advertise: 0",
                       "~    Metric: 16", "~    Advertise default route: Disable"}
        << QStringList{"S show RIP", "S RIP configuration", "R Port: eth0", "R     State: Enable",
                       "R   Send mode: version_1_compatible", "R   Receive mode: both", "R     Triggered update: Disable",
                       "R   Convergence mode: split_holizon", "R     Advertise: 30", "R     Metric: 1",
                       "R     Advertise default route: ???", "R     Authentication: Enable",
                       QString::fromLatin1("R     Password: p\xE4ss"), "R Port: eth1", "R   State: Not assigned.",
                       "R Port: rs0", "R     State: Disable", "R   Send mode: version_2", "R   Receive mode: ?\?\?(9)",
                       "R     Triggered update: Enable", "R   Convergence mode: disable", "R     Advertise: 0",
                       "R     Metric: 16", "R     Advertise default route: Disable"}
        << 0;
    QTest::newRow("environment")
        << int(QueryId::Environment) << QStringList{"0 0:SV1.2%5Cn3 32:M00:80:45:01:02:03 40:L273906"} << "73"
        << QStringList{"", "              Environment", "~  FW version : Ver.V1.2", "3", "~  MAC Address: 00:80:45:01:02:03",
                       "~  UpTime     : 3 day(s), 04:05:06"}
        << QStringList{"S show environment", "S Environment", "R FW version : Ver.V1.2\\n3",
                       "R MAC Address: 00:80:45:01:02:03", "R UpTime     : 3 day(s), 04:05:06"}
        << 0;
    QTest::newRow("group id") << int(QueryId::GroupId) << QStringList{"0 0:I11"} << "45"
                              << QStringList{"", "~  Group-ID: 0x000B(11)"} << QStringList{"S show Group ID", "R Group-ID: 0x000B(11)"} << 0;
    QTest::newRow("rfchannel unsigned") << int(QueryId::RfChannel) << QStringList{"0 0:I-1"} << "48"
                                        << QStringList{"", "~  RF channel: 0xFFFF(65535)"}
                                        << QStringList{"S show rfchannel", "R RF channel: 0xFFFF(65535)"} << 0;
    QTest::newRow("portfilter disable") << int(QueryId::PortFilter) << QStringList{"0 0:L0 4:I100 6:I200"} << "50"
                                        << QStringList{"", "~  portfilter: disable"}
                                        << QStringList{"S show portfilter", "R portfilter: disable"} << 0;
    QTest::newRow("portfilter range") << int(QueryId::PortFilter) << QStringList{"0 0:L-7 4:I100 6:I-1"} << "50"
                                      << QStringList{"", "~  portfilter: 100 - 65535"}
                                      << QStringList{"S show portfilter", "R portfilter: 100 - 65535"} << 0;
    QTest::newRow("scramble -1") << int(QueryId::Scramble) << QStringList{"0 0:L-1"} << "52"
                                 << QStringList{"", "~  scramble: 0xFFFFFFFF(4294967295)"}
                                 << QStringList{"S show scramble", "R scramble: 0xFFFFFFFF(4294967295)"} << 0;
    QTest::newRow("txmethod unknown") << int(QueryId::TxMethod) << QStringList{"0 0:B7"} << "60"
                                      << QStringList{"", "~  txmethod: unknown"}
                                      << QStringList{"S show txmethod", "R txmethod: unknown"} << 0;
    QTest::newRow("txmethod dtdma1") << int(QueryId::TxMethod) << QStringList{"0 0:B2"} << "60"
                                     << QStringList{"", "~  txmethod: dtdma1"} << QStringList{"S show txmethod", "R txmethod: dtdma1"} << 0;
    QTest::newRow("fullduplex other") << int(QueryId::FullDuplex) << QStringList{"0 0:B5"} << "63" << QStringList{"", "~  "}
                                      << QStringList{"S show fullduplex", "R "} << 0;
    QTest::newRow("l2as") << int(QueryId::L2as) << QStringList{"0 0:B0"} << "72" << QStringList{"", "~  L2AS state: disable"}
                          << QStringList{"S show l2as", "R L2AS state: disable"} << 0;
    QTest::newRow("l2as unsupported") << int(QueryId::L2as) << QStringList{"11"} << "72"
                                      << QStringList{"", "~  Error occurred on 'l2as state get' Command.",
                                                     "               St: 11,ErrACK(Not Supported feature)."}
                                      << QStringList{"S show l2as", "R Error occurred on 'l2as state get' Command.  St: 11,ErrACK(Not Supported feature)."}
                                      << 11;
    QTest::newRow("snmp setup")
        << int(QueryId::SnmpSetup) << QStringList{"0 0:L2 4:L10.0.0.9", "0 0:Sp%FAblic", "0 0:Sprivate"} << "65 67 69"
        << QStringList{"", "~  state: read write", "~  trap addr: 10.0.0.9", QString::fromLatin1("~  read only community: p\xFA" "blic"),
                       "~  read write community: private"}
        << QStringList{"S show snmp setup", "R state: read write", "R trap addr: 10.0.0.9",
                       QString::fromLatin1("R read only community: p\xFA" "blic"), "R read write community: private"}
        << 0;
    QTest::newRow("snmp setup: unknown state, second request fails")
        << int(QueryId::SnmpSetup) << QStringList{"0 0:L9 4:L0", "1"} << "65 67"
        << QStringList{"", "~  trap addr: 0.0.0.0", "~  Error occurred on 'snmp setup get' Command.",
                       "               St: 1,ErrACK(Failed)."}
        << QStringList{"S show snmp setup", "R trap addr: 0.0.0.0",
                       "R Error occurred on 'snmp setup get' Command.  St: 1,ErrACK(Failed)."}
        << 1;
    QTest::newRow("access list, ended by 12")
        << int(QueryId::AccessList) << QStringList{"0 0:L1 4:L192.168.1.1 8:L192.168.1.99", "0 0:L-2 4:L0 8:L-1", "12"}
        << "75:0 75:1 75:2"
        << QStringList{"", "              access list", "              list    Min_Addr          Max_Addr",
                       "~  1       192.168.1.1       192.168.1.99", "~  -2      0.0.0.0           255.255.255.255"}
        << QStringList{"S show access list", "_ access list", "_ list    Min_Addr          Max_Addr",
                       "R 1       192.168.1.1       192.168.1.99", "R -2      0.0.0.0           255.255.255.255"}
        << 0;
    QTest::newRow("access restrictions")
        << int(QueryId::AccessLimit)
        << QStringList{"0 0:L0 4:L0", "0 0:L1 4:L-1", "0 0:L2 4:L2 8:L3 12:L12", "0 0:L3 4:L6 8:L1 12:L2 16:L3 20:L123456",
                       "0 0:L9 4:L-5"}
        << "77:0 77:1 77:2 77:3 77:4"
        << QStringList{"", "              access restriction", "~  login     Allow All", "~  config    Deny All",
                       "~  snmp       3     12   ", "~  rstest     1     2     3     123456", "~  "}
        << QStringList{"S show access list number", "_ access restriction", "R login     Allow All", "R config    Deny All",
                       "R snmp       3     12   ", "R rstest     1     2     3     123456", "R "}
        << 0;
}

void tst_CheckQueries::query()
{
    QFETCH(int, id);
    QFETCH(QStringList, replies);
    Rig rig;
    rig.script = replies;
    const check::QueryResult r = check::RunQuery(QueryId(id), rig.run());
    QFETCH(QString, requests);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, log);
    QFETCH(int, result);
    QCOMPARE(rig.requests.join(' '), requests);
    QCOMPARE(rig.lines(), lines);
    QCOMPARE(rig.log(), log);
    QCOMPARE(r.status, result);
    QCOMPARE(r.values.value("status").toInt(), r.status);
}

void tst_CheckQueries::jsonValues_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("replies");
    QTest::addColumn<QString>("path");  // "key/index" into the values, "" the whole document
    QTest::addColumn<QString>("json");  // compact
    const QStringList rs{"0 4:L3 8:L3 16:I0 18:I1 20:M00:11:22:33:44:55 26:M66:77:88:99:AA:BB",
                         "0 4:L9 8:L3 16:I15 18:I1 20:M00:11:22:33:44:66 26:M66:77:88:99:AA:CC",
                         "0 4:L0 8:L1 16:I3 18:I1 20:M00:11:22:33:44:77 26:M66:77:88:99:AA:DD", "0 18:I0", "4"};
    QTest::newRow("radio metric local") << int(QueryId::RsRoute) << rs << "routes/0"
        << R"({"destination":"00:11:22:33:44:55","flag":"S","index":0,"metric":0,"metric_text":"local","receive":"66:77:88:99:AA:BB","sub_index":0,"type":"auto"})";
    QTest::newRow("radio metric infinity, unknown type kept") << int(QueryId::RsRoute) << rs << "routes/1"
        << R"({"destination":"00:11:22:33:44:66","flag":"I","index":0,"metric":15,"metric_text":"infinity","receive":"66:77:88:99:AA:CC","sub_index":1,"type":9})";
    QTest::newRow("radio metric 3") << int(QueryId::RsRoute) << rs << "routes/2"
        << R"({"destination":"00:11:22:33:44:77","flag":"I","index":0,"metric":3,"receive":"66:77:88:99:AA:DD","sub_index":2,"type":"static"})";
    QTest::newRow("arp type unknown") << int(QueryId::Arp) << QStringList{"0 4:L7 12:L10.0.0.1 16:M00:11:22:33:44:55", "4"}
        << "entries/0" << R"({"address":"10.0.0.1","mac":"00:11:22:33:44:55","type":7})";
    QTest::newRow("txmethod unknown") << int(QueryId::TxMethod) << QStringList{"0 0:B9"} << "" << R"({"status":0,"txmethod":9})";
    QTest::newRow("refused") << int(QueryId::RfChannel) << QStringList{"3"} << ""
        << R"({"error":{"command":"rfchannel get","status":3,"status_text":"3,ErrACK(Invalid parameter)."},"status":3})";
    // Replies too short to be read: the link's outcome after its five sends.
    QTest::newRow("no response") << int(QueryId::RfChannel) << QStringList(5, "0 n=5") << ""
        << R"({"error":{"command":"rfchannel get","link":{"message":"No Response","state":1},"status":-1,)"
           R"("status_text":"-1,Proto-Err(1,No Response)."},"status":-1})";
}

void tst_CheckQueries::jsonValues()
{
    QFETCH(int, id);
    QFETCH(QStringList, replies);
    QFETCH(QString, path);
    QFETCH(QString, json);
    Rig rig;
    rig.script = replies;
    const check::QueryResult r = check::RunQuery(QueryId(id), rig.run());
    QJsonObject at = r.values;
    if (!path.isEmpty()) at = r.values.value(path.section('/', 0, 0)).toArray().at(path.section('/', 1).toInt()).toObject();
    QCOMPARE(QString::fromUtf8(QJsonDocument(at).toJson(QJsonDocument::Compact)), json);
}

void tst_CheckQueries::upTime_data()
{
    QTest::addColumn<quint32>("seconds");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("text");
    QTest::newRow("within the month") << quint32(273906) << 2026 << 12 << "3 day(s), 04:05:06";
    QTest::newRow("a whole month is still days") << quint32(31 * 86400) << 2026 << 12 << "31 day(s), 00:00:00";
    QTest::newRow("one month past") << quint32(32 * 86400 + 59) << 2026 << 12 << "1 month  1 day(s), 00:00:59";
    QTest::newRow("February of a leap year") << quint32(61 * 86400) << 2024 << 3 << "2 month  1 day(s), 00:00:00";
    QTest::newRow("February of a common year") << quint32(61 * 86400) << 2025 << 3 << "2 month  2 day(s), 00:00:00";
    QTest::newRow("across the new year") << quint32(63 * 86400) << 2025 << 1 << "2 month  1 day(s), 00:00:00";
    QTest::newRow("thirteen months") << quint32(400 * 86400) << 2026 << 12 << "1 year(s)  1 month  4 day(s), 00:00:00";
    QTest::newRow("zero") << quint32(0) << 2026 << 12 << "0 day(s), 00:00:00";
}

void tst_CheckQueries::upTime()
{
    QFETCH(quint32, seconds);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QString, text);
    QCOMPARE(check::UpTimeText(seconds, year, month), text);
}

void tst_CheckQueries::conversions()
{
    QCOMPARE(check::ConvStr_Intg(11), QString("0x000B(11)"));
    QCOMPARE(check::ConvStr_Intg(-1), QString("0xFFFF(65535)"));
    QCOMPARE(check::ConvStr_Long(-1), QString("0xFFFFFFFF(4294967295)"));
    QCOMPARE(check::ConvStr_Intg_Num(-2), QString("65534"));
    QCOMPARE(check::ConvNetIf(3, 0), QString("?\?\?(3)0"));
    QCOMPARE(check::ConvExpMode(4) + check::ConvExpMode(-1), QString("specify?\?\?(-1)"));
    QCOMPARE(check::FixLen("abcdef", 4) + "|" + check::FixLen("ab", 4) + "|", QString("abcdef|ab  |"));
}

// One answer per query of a device where everything is empty or single-valued, with one
// query's answer replaced.
static QStringList CheckAllScript(int query, const QString& answer)
{
    QStringList s{"0 0:SV9 32:M00:00:00:00:00:01 40:L5", "0 0:I1", "2", "2", "4", "4", "4", "4",
                  "0 4:L1 8:L0", "0", "0 4:L1 8:L0", "0", "0 4:L1 8:L0", "0", "0 8:L0", "2", "2",
                  "0 0:I2", "0 0:L0", "0 0:L0", "0 0:B1", "0 0:B1", "0 0:L3 4:L0", "0 0:Sro", "0 0:Srw",
                  "0 0:B1", "12", "0 0:L0 4:L0", "0 0:L1 4:L0", "0 0:L2 4:L0", "0 0:L3 4:L0", "0 0:L4 4:L0"};
    // Where each query's first answer sits in the script above.
    static const int first[] = {0, 1, 2, 4, 5, 6, 7, 8, 15, 17, 18, 19, 20, 21, 22, 25, 26, 27};
    if (query >= 0) s[first[query]] = answer;
    return s;
}

void tst_CheckQueries::checkAll_data()
{
    QTest::addColumn<int>("query");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("asked");
    QTest::newRow("all answer") << -1 << QString() << 0 << true;
    QTest::newRow("11 does not stop the run") << int(QueryId::GroupId) << "11" << 0 << true;
    QTest::newRow("4 outside a table stops it unsaved") << int(QueryId::RfChannel) << "4" << 4 << false;
}

void tst_CheckQueries::checkAll()
{
    QFETCH(int, query);
    QFETCH(QString, answer);
    QFETCH(int, status);
    QFETCH(bool, asked);
    Rig rig;
    rig.script = CheckAllScript(query, answer);
    rig.lstMsg.MesgDisp("old line");
    const QString path = rig.dir.filePath("report.txt");
    rig.op.savePaths << path;
    const check::CheckAllResult r = check::RunCheckAll(rig.run());
    QCOMPARE(r.status, status);
    QCOMPARE(rig.op.dialogFilters, asked ? QStringList{"Text File (*.txt)|*.txt|All Files (*.*)|*.*"} : QStringList());
    QCOMPARE(r.savedPath, asked ? path : QString());
    QCOMPARE(rig.lines().first(), QString());
    QVERIFY(!rig.lstMsg.lines().contains("old line"));
    QCOMPARE(rig.log().first(), QString("_ Check All"));
    if (!asked) {
        QCOMPARE(rig.requests.size(), 18);  // the run ended at the rfchannel request
        return;
    }
    QVERIFY2(rig.script.isEmpty(), qPrintable(rig.script.join('|')));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), (rig.lstMsg.lines().join("\r\n") + "\r\n").toLatin1());
    QVERIFY(r.values.contains("access_limit"));
}

void tst_CheckQueries::reportKeepsTheLast1000Lines()
{
    // The report holds what the list holds; a full list has dropped its oldest lines. An
    // existing report is replaced only after "Yes", and a failed write keeps the old one.
    Rig rig;
    rig.script = CheckAllScript(-1, QString());
    const QString path = rig.dir.filePath("report.txt");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    rig.op.savePaths << path;
    rig.op.answers << Operator::Answer::No;
    QVERIFY(check::RunCheckAll(rig.run()).savedPath.isEmpty());
    QCOMPARE(rig.op.lastText(), QString::fromUtf8("File Exist. Overwrite\xEF\xBC\x9F"));
    QVERIFY(old.open(QIODevice::ReadOnly) && old.readAll() == "old");
    old.close();

    rig.script = CheckAllScript(-1, QString());
    rig.op.savePaths << path;
    rig.op.answers << Operator::Answer::Yes;
    // Check All clears the list first: fill it from the query lines onwards instead.
    QObject::connect(&rig.lstMsg, &MessageList::lineAdded, &rig.lstMsg, [&](const QString& l) {
        if (l.contains("access restriction"))
            for (int i = 0; i < 1000; ++i) rig.lstMsg.MesgDisp_sub(QStringLiteral("filler %1").arg(i));
    });
    QCOMPARE(check::RunCheckAll(rig.run()).savedPath, path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QList<QByteArray> saved = old.readAll().split('\n');
    old.close();
    QCOMPARE(saved.size(), 1001);  // 1000 lines, each with CR LF
    QCOMPARE(saved.first(), QByteArray("filler 5\r"));
    QCOMPARE(saved[994], QByteArray("filler 999\r"));
    QCOMPARE(saved[995], QByteArray("12:34:56.789  login     Allow All\r"));

    rig.script = CheckAllScript(-1, QString());
    rig.op.savePaths << rig.dir.path();  // a folder cannot be written over
    rig.op.answers << Operator::Answer::Yes;
    const check::CheckAllResult failed = check::RunCheckAll(rig.run());
    QVERIFY(failed.saveFailed);
    QCOMPARE(rig.lstMsg.last(), QString("              File Write Error.(Disk Full?)"));
}

QTEST_MAIN(tst_CheckQueries)
#include "tst_CheckQueries.moc"
