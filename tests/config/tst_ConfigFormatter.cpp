// Each received record becomes exactly its line, under its section comment; the image walk
// decides which records are read.
#include "ConfigTestKit.h"
#include "config/ConfigFormatter.h"
#include "config/ConfigRecords.h"
#include "config/RecordWalk.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

using namespace config;

template <class R>
QByteArray built(R r, qint16 code)
{
    r.head.code = code;
    return BuildAnyRecord(r, 7);
}

const Mac Mac29{0x00, 0xA0, 0xC9, 0x14, 0xC8, 0x29};
const Mac Mac2A{0x00, 0xA0, 0xC9, 0x14, 0xC8, 0x2A};

}  // namespace

class tst_ConfigFormatter : public QObject {
    Q_OBJECT
private slots:
    void recordLine_data();
    void recordLine();
    void image_data();
    void image();
    void randomImagesReadOnlyTheirFirst71Records();
};

void tst_ConfigFormatter::recordLine_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("comment");  // the section comment before a section's first record
    QTest::addColumn<QString>("line");     // null: the record gives no lines at all
    const auto row = [](const char* name, const QByteArray& record, const char* comment, const char* line) {
        QTest::newRow(name) << record << QString::fromLatin1(comment) << QString::fromLatin1(line);
    };
    const auto hex = [](int code, const char* payload) { return kit::expectedRecord(code, payload); };

    row("1 eth0", built(IfconfigRecord{{}, IfEth, 0, 0x0A000001, qint32(0xFF000000), 0x0AFFFFFF}, 1), ";ifconfig",
        "ifconfig  eth0 10.0.0.1         netmask   255.0.0.0        broadcast 10.255.255.255");
    row("1 long names are not cut", built(IfconfigRecord{{}, 7, 123, qint32(0xC0A864C8), -1, qint32(0xC0A864FF)}, 1),
        ";ifconfig", "ifconfig  ?\?\?(7)123192.168.100.200  netmask   255.255.255.255  broadcast 192.168.100.255");
    row("3 rsconf", built(RsconfigRecord{{}, 3, 200}, 3), ";rsaddr", "rsconf rs0 200");
    row("5 default, gateway 0", hex(5, "00000001 00000000 00000000 00000000"), ";route", "route default 0.0.0.0");
    row("5 destination 0, mask not 0", built(RouteRecord{{}, 0, qint32(0x80000000), 0x0A000001}, 5), ";route",
        "route 0.0.0.0         128.0.0.0       10.0.0.1");
    row("5 network", built(RouteRecord{{}, 0x0A010000, qint32(0xFFFF0000), 0x0A000001}, 5), ";route",
        "route 10.1.0.0        255.255.0.0     10.0.0.1");
    row("7 rsroute", built(RsrouteRecord{{}, 5, 250}, 7), ";rsroute", "rsroute  5 250");
    row("9 arp", built(ArpRecord{{}, qint32(0xC0A80114), {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}}, 9), ";arp",
        "arp 192.168.1.20      00:11:22:33:44:55");
    row("11 rsarp", built(RsarpRecord{{}, qint32(0xAC100007), 255}, 11), ";rsarp", "rsarp 172.16.0.7        255");
    row("15 static", built(Rsroute2Record{{}, RouteStatic, Mac29, Mac2A}, 15), ";rsroute2",
        "rsroute2 00:A0:C9:14:C8:29   00:A0:C9:14:C8:2A    static");
    row("15 primary", built(Rsroute2Record{{}, RoutePrimary, Mac29, Mac2A}, 15), ";rsroute2",
        "rsroute2 00:A0:C9:14:C8:29   00:A0:C9:14:C8:2A    primary");
    row("15 secondary", built(Rsroute2Record{{}, RouteSecondary, Mac29, Mac2A}, 15), ";rsroute2",
        "rsroute2 00:A0:C9:14:C8:29   00:A0:C9:14:C8:2A    secondary");
    row("15 other kind", built(Rsroute2Record{{}, 3, Mac29, Mac2A}, 15), ";rsroute2",
        "rsroute2 00:A0:C9:14:C8:29   00:A0:C9:14:C8:2A   ");
    row("17 rsarp2", built(ArpRecord{{}, qint32(0xAC100008), Mac29}, 17), ";rsarp2",
        "rsarp2 172.16.0.8        00:A0:C9:14:C8:29");
    row("19 server", built(DhcpInterfaceRecord{{}, DhcpServer, IfEth, 0}, 19), ";dhcp", "dhcp server interface eth0");
    row("19 relay", built(DhcpInterfaceRecord{{}, DhcpRelay, IfEth, 1}, 19), ";dhcp", "dhcp relay interface eth1");
    row("19 client", built(DhcpInterfaceRecord{{}, DhcpClient, IfRs, 4}, 19), ";dhcp", "dhcp client interface rs4");
    row("19 other role", built(DhcpInterfaceRecord{{}, 3, IfRs, 4}, 19), ";dhcp", "dhcp ??? rs4");
    row("21 netmask", built(DhcpServerValueRecord{{}, qint32(0xFFFFFF00)}, 21), ";dhcp",
        "dhcp server netmask 255.255.255.0");
    row("22 default-router", built(DhcpServerValueRecord{{}, qint32(0xC0A80101)}, 22), ";dhcp",
        "dhcp server default-router 192.168.1.1");
    const Slots dns{0x0A000001, 0x0A000002, 0x0A000003, 0x0A000004};
    row("23 count 0", built(DhcpDnsRecord{{}, 0, dns}, 23), ";dhcp", "dhcp server dns-server ");
    row("23 count -1", built(DhcpDnsRecord{{}, -1, dns}, 23), ";dhcp", "dhcp server dns-server ");
    row("23 count 1", built(DhcpDnsRecord{{}, 1, dns}, 23), ";dhcp", "dhcp server dns-server 10.0.0.1 ");
    row("23 count 3", built(DhcpDnsRecord{{}, 3, dns}, 23), ";dhcp",
        "dhcp server dns-server 10.0.0.1 10.0.0.2 10.0.0.3 ");
    row("23 count 5 prints four slots", built(DhcpDnsRecord{{}, 5, dns}, 23), ";dhcp",
        "dhcp server dns-server 10.0.0.1 10.0.0.2 10.0.0.3 10.0.0.4 ");
    row("24 scope", built(DhcpScopeRecord{{}, qint32(0xC0A80164), qint32(0xC0A801C7)}, 24), ";dhcp",
        "dhcp server scope 192.168.1.100 192.168.1.199");
    row("25 lease unsigned", built(DhcpServerValueRecord{{}, -1}, 25), ";dhcp", "dhcp server lease 4294967295");
    row("27 relay server", built(DhcpValueRecord{{}, 0x0A000002}, 27), ";dhcp", "dhcp relay server 10.0.0.2");
    row("29 disable", built(DhcpValueRecord{{}, 0}, 29), ";dhcp", "dhcp client disable");
    row("29 enable", built(DhcpValueRecord{{}, 1}, 29), ";dhcp", "dhcp client enable");
    row("29 other", built(DhcpValueRecord{{}, 2}, 29), ";dhcp", "dhcp client unknown");
    row("31 off", built(DhcpValueRecord{{}, 0}, 31), ";dhcp", "dhcp service off");
    row("31 server", built(DhcpValueRecord{{}, 1}, 31), ";dhcp", "dhcp service server");
    row("31 relay", built(DhcpValueRecord{{}, 2}, 31), ";dhcp", "dhcp service relay");
    row("31 other", built(DhcpValueRecord{{}, -1}, 31), ";dhcp", "dhcp service unknown");
    row("33 version_1", built(RipValueRecord{{}, IfEth, 0, 0}, 33), ";rip", "rip eth0 send version_1");
    row("33 version_1_compatible", built(RipValueRecord{{}, IfEth, 0, 1}, 33), ";rip",
        "rip eth0 send version_1_compatible");
    row("33 version_2", built(RipValueRecord{{}, IfRs, 2, 2}, 33), ";rip", "rip rs2 send version_2");
    row("33 other", built(RipValueRecord{{}, IfEth, 0, 3}, 33), ";rip", "rip eth0 send unknown");
    row("34 version_1", built(RipValueRecord{{}, IfEth, 0, 0}, 34), ";rip", "rip eth0 receive version_1");
    row("34 version_2", built(RipValueRecord{{}, IfEth, 0, 1}, 34), ";rip", "rip eth0 receive version_2");
    row("34 both", built(RipValueRecord{{}, IfEth, 0, 2}, 34), ";rip", "rip eth0 receive both");
    row("34 other", built(RipValueRecord{{}, IfEth, 0, 3}, 34), ";rip", "rip eth0 receive unknown");
    row("35 enable", built(RipValueRecord{{}, IfEth, 1, 1}, 35), ";rip", "rip eth1 triggered update enable");
    row("36 split_holizon", built(RipValueRecord{{}, IfEth, 0, 0}, 36), ";rip", "rip eth0 convergence split_holizon");
    row("36 poisoned_reverse", built(RipValueRecord{{}, IfEth, 0, 1}, 36), ";rip",
        "rip eth0 convergence poisoned_reverse");
    row("36 other", built(RipValueRecord{{}, IfEth, 0, 2}, 36), ";rip", "rip eth0 convergence unknown");
    row("37 password Latin-1", built(RipPasswordRecord{{}, IfEth, 0, QByteArray("pass\xE9")}, 37), ";rip",
        "rip eth0 password pass\xE9");
    row("37 password cut at 16", hex(37, "00000001 00000000 3031323334353637 3839616263646566 7A7A"), ";rip",
        "rip eth0 password 0123456789abcdef");
    row("38 disable", built(RipValueRecord{{}, IfEth, 0, 0}, 38), ";rip", "rip eth0 authentication disable");
    row("39 advertise", built(RipValueRecord{{}, IfEth, 0, 3600}, 39), ";rip", "rip eth0 advertise 3600");
    row("40 metric signed", built(RipValueRecord{{}, IfEth, 0, -1}, 40), ";rip", "rip eth0 metric -1");
    row("41 enable", built(RipValueRecord{{}, IfRs, 0, 1}, 41), ";rip", "rip rs0 enable");
    row("41 other", built(RipValueRecord{{}, IfRs, 0, 7}, 41), ";rip", "rip rs0 unknown");
    row("61 in no section", built(RipValueRecord{{}, IfEth, 0, 0}, 61), "", "rip eth0 advertise_default disable");
    row("44 hex4", built(Word16Record{{}, 0xAB}, 44), ";group_id", "group_id 0x00AB");
    row("44 hex4 high bit", built(Word16Record{{}, qint16(0xFFFE)}, 44), ";group_id", "group_id 0xFFFE");
    row("47 rfchannel", built(Word16Record{{}, 3}, 47), ";rfchannel", "rfchannel 3");
    row("47 rfchannel signed", hex(47, "8000"), ";rfchannel", "rfchannel -32768");
    row("49 enable unsigned ports", built(PortfilterRecord{{}, 1, qint16(40000), -1}, 49), ";portfilter",
        "portfilter enable 40000 65535");
    row("49 any non-zero enables", built(PortfilterRecord{{}, 2, 1024, 2048}, 49), ";portfilter",
        "portfilter enable 1024 2048");
    row("49 disable", built(PortfilterRecord{{}, 0, 0, 0}, 49), ";portfilter", "portfilter disable");
    row("51 hex8", built(Long32Record{{}, 0xAB}, 51), ";scramble", "scramble 0x000000AB");
    row("51 hex8 high bit", built(Long32Record{{}, qint32(0xFEDCBA98)}, 51), ";scramble", "scramble 0xFEDCBA98");
    row("53 disable", built(TestModeRecord{{}, TestDisable, 0, 0, 0, 0}, 53), ";testmode", "test_mode desable");
    row("53 send", built(TestModeRecord{{}, TestSend, -1, 100000, -1, -1}, 53), ";testmode",
        "test_mode send 65535 100000");
    row("53 receive", built(TestModeRecord{{}, TestReceive, 9, -1, qint32(0xAC100007), qint16(40000)}, 53),
        ";testmode", "test_mode receive 9 172.16.0.7 40000");
    row("53 other", built(TestModeRecord{{}, 3, 1, 1, 1, 1}, 53), ";testmode", "test_mode unknown");
    row("55 tdma_param", hex(55, "01 02 FF FF 8000"), ";tdmaparam", "tdma_param 1 2 255 -32768");
    row("57 tdma_tune", built(TdmatuneRecord{{}, {1, 2, 3, 200}, {100, 32767, -1}}, 57), ";tdmatune",
        "tdma_tune 1 2 3 200 100 32767 -1");
    row("59 csma", built(Byte8Record{{}, 1}, 59), ";txmethod", "txmethod csma");
    row("59 dtdma1", built(Byte8Record{{}, 2}, 59), ";txmethod", "txmethod dtdma1");
    row("59 dtdma2", built(Byte8Record{{}, 3}, 59), ";txmethod", "txmethod dtdma2");
    row("59 bidir", built(Byte8Record{{}, 4}, 59), ";txmethod", "txmethod bidir");
    row("59 zero", built(Byte8Record{{}, 0}, 59), ";txmethod", "txmethod unknown");
    row("59 five", built(Byte8Record{{}, 5}, 59), ";txmethod", "txmethod unknown");
    row("62 half", built(Byte8Record{{}, 0}, 62), ";fullduplex", "ethernet half_duplex");
    row("62 full", built(Byte8Record{{}, 1}, 62), ";fullduplex", "ethernet full_duplex");
    row("62 other", built(Byte8Record{{}, 2}, 62), ";fullduplex", "ethernet unknown");
    row("64 read_only", built(Long32Record{{}, 1}, 64), ";snmpsetup", "snmp state read_only");
    row("64 read_write", built(Long32Record{{}, 2}, 64), ";snmpsetup", "snmp state read_write");
    row("64 disable", built(Long32Record{{}, 3}, 64), ";snmpsetup", "snmp state disable");
    row("64 zero", built(Long32Record{{}, 0}, 64), ";snmpsetup", "snmp state unknown");
    row("64 lowest", built(Long32Record{{}, qint32(0x80000000)}, 64), ";snmpsetup", "snmp state unknown");
    row("66 community cut at 32", hex(66, "6162636465666768696A6B6C6D6E6F707172737475767778797A303132333435 36"),
        ";snmpsetup", "snmp read_only_community abcdefghijklmnopqrstuvwxyz012345");
    row("68 community", built(CommunityRecord{{}, QByteArray("priv\xFF")}, 68), ";snmpsetup",
        "snmp read_write_community priv\xFF");
    row("70 trap", built(Long32Record{{}, qint32(0xC0A80105)}, 70), ";snmpsetup", "snmp trap 192.168.1.5");
    row("71 enable", built(Byte8Record{{}, 1}, 71), ";L2AS", "l2as enable");
    row("71 zero", built(Byte8Record{{}, 0}, 71), ";L2AS", "l2as disable");
    row("71 other", built(Byte8Record{{}, 2}, 71), ";L2AS", "l2as disable");
    row("74 access_list", built(AccessListRecord{{}, 15, qint32(0xC0A80100), qint32(0xFFFFFF00)}, 74), "",
        "access_list 15 192.168.1.0 255.255.255.0");
    row("76 empty slot prints -1", built(AccessRecord{{}, AccessLogin, 2, {1, EmptySlot, EmptySlot, 2}}, 76), "",
        "login access 1 -1");
    row("76 allow_all", built(AccessRecord{{}, AccessConfig, 0, {1, 2, 3, 4}}, 76), "", "config access allow_all");
    row("76 deny_all", built(AccessRecord{{}, AccessSnmp, EmptySlot, {1, 2, 3, 4}}, 76), "", "snmp access deny_all");
    row("76 count 5 prints four", built(AccessRecord{{}, AccessRstest, 5, {0, 16, 3, 4}}, 76), "",
        "rstest access 0 16 3 4");
    row("76 rip", built(AccessRecord{{}, AccessRip, 1, {9, 2, 3, 4}}, 76), "", "rip access 9");
    row("76 other kind", built(AccessRecord{{}, 5, 1, {7, 2, 3, 4}}, 76), "", " 7");
    row("76 other count", built(AccessRecord{{}, AccessLogin, -2, {7, 2, 3, 4}}, 76), "", "login access");
    row("13 is no configuration code", hex(13, "00000001"), "", nullptr);
    row("0 is no configuration code", QByteArray(64, '\0'), "", nullptr);
}

void tst_ConfigFormatter::recordLine()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, comment);
    QFETCH(QString, line);
    SectionFlags flags;
    const QStringList first = FormatRecord(record, flags);
    const QStringList again = FormatRecord(record, flags);
    if (line.isNull()) {
        QCOMPARE(first, QStringList());
        QCOMPARE(again, QStringList());
        return;
    }
    QCOMPARE(first, (comment.isEmpty() ? QStringList{line} : QStringList{QString(), comment, line}));
    QCOMPARE(again, QStringList{line});  // one comment per section
}

namespace {
QByteArray groupId(int value) { return kit::expectedRecord(44, QByteArray::number(value, 16).rightJustified(4, '0').constData()); }
QByteArray ifconfig(int last)
{
    return built(IfconfigRecord{{}, IfEth, 0, 0x0A000000 | last, qint32(0xFF000000), 0x0AFFFFFF}, 1);
}
QString ifconfigLine(const char* address)
{
    return QStringLiteral("ifconfig  eth0 %1 netmask   255.0.0.0        broadcast 10.255.255.255")
        .arg(QLatin1String(address), -16);
}
const QByteArray Erased(64, char(0xFF));
// Code 13 with bytes 14-15 as given.
QByteArray unknown(const char* bytes12to15) { return kit::expectedRecord(13, bytes12to15); }
}  // namespace

void tst_ConfigFormatter::image_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("records 1, 1, 5, 1") << ifconfig(1) + ifconfig(2) + built(RouteRecord{{}, 0, 0, 0x0A0000FE}, 5) + ifconfig(3)
                                        << QStringList{"", ";ifconfig", ifconfigLine("10.0.0.1"), ifconfigLine("10.0.0.2"),
                                                       "", ";route", "route default 10.0.0.254", ifconfigLine("10.0.0.3")};
    QTest::newRow("61 then 33") << built(RipValueRecord{{}, IfEth, 0, 1}, 61) + built(RipValueRecord{{}, IfEth, 0, 2}, 33)
                                << QStringList{"rip eth0 advertise_default enable", "", ";rip", "rip eth0 send version_2"};
    QTest::newRow("erased first slot") << Erased + groupId(1) + QByteArray(28672 - 128, char(0xFF)) << QStringList{};
    QTest::newRow("unknown code, 14-15 not FFFF") << unknown("FFFF 0000") + groupId(2)
                                                  << QStringList{"", ";group_id", "group_id 0x0002"};
    QTest::newRow("unknown code, 14-15 FFFF") << unknown("0000 FFFF") + groupId(2) << QStringList{};
    QTest::newRow("record 70 read, 71 not")
        << QByteArray(70 * 64, '\0') + groupId(70) + groupId(71) << QStringList{"", ";group_id", "group_id 0x0046"};
    QTest::newRow("100 bytes") << groupId(3) + QByteArray::fromHex("0000 0017 00000000 FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF"
                                                               "00000004 0A000001 0A000002")
                               << QStringList{"", ";group_id", "group_id 0x0003", "", ";dhcp",
                                              "dhcp server dns-server 10.0.0.1 10.0.0.2 255.255.255.255 255.255.255.255 "};
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("all zeros") << QByteArray(28672, '\0') << QStringList{};
}

void tst_ConfigFormatter::image()
{
    QFETCH(QByteArray, image);
    QFETCH(QStringList, lines);
    QCOMPARE(FormatImage(image), lines);
}

void tst_ConfigFormatter::randomImagesReadOnlyTheirFirst71Records()
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 50; ++round) {
        QByteArray image(28672, '\0');
        for (char& c : image) c = char(random.bounded(256));
        // Plenty of known codes, so that the walk goes far.
        for (int i = 0; i < 448; ++i) {
            image[64 * i + 2] = 0;
            image[64 * i + 3] = char(1 + random.bounded(76));
        }
        const QStringList lines = FormatImage(image);
        QVERIFY2(lines.size() <= 71 + 2 * 21, qPrintable(QString::number(lines.size())));
        QCOMPARE(FormatImage(image.left(71 * 64)), lines);
        QByteArray past = image;
        past.replace(71 * 64, 28672 - 71 * 64, QByteArray(28672 - 71 * 64, 'x'));
        QCOMPARE(FormatImage(past), lines);
    }
}

QTEST_GUILESS_MAIN(tst_ConfigFormatter)
#include "tst_ConfigFormatter.moc"
