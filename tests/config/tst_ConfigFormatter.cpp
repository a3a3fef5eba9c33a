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
    void imageFault_data();
    void imageFault();
};

void tst_ConfigFormatter::recordLine_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("comment");  // before a section's first record; "" for none
    QTest::addColumn<QString>("line");     // null: no lines at all
    const auto row = [](const QByteArray& record, const char* comment, const char* line) {
        QTest::newRow(line ? line : "none") << record << QString::fromLatin1(comment) << QString::fromLatin1(line);
    };
    const auto hex = [](int code, const char* payload) { return kit::expectedRecord(code, payload); };
    const auto rip = [](qint16 code, qint32 value) { return built(RipValueRecord{{}, IfEth, 0, value}, code); };
    const Slots dns{0x0A000001, 0x0A000002, 0x0A000003, 0x0A000004};

    row(built(IfconfigRecord{{}, IfEth, 0, 0x0A000001, qint32(0xFF000000), 0x0AFFFFFF}, 1), ";ifconfig",
        "ifconfig  eth0 10.0.0.1         netmask   255.0.0.0        broadcast 10.255.255.255");
    row(built(RsconfigRecord{{}, 3, 200}, 3), ";rsaddr", "rsconf rs0 200");
    row(hex(5, "00000001 00000000 00000000 00000000"), ";route", "route default 0.0.0.0");
    row(built(RouteRecord{{}, 0, qint32(0x80000000), 0x0A000001}, 5), ";route",
        "route 0.0.0.0         128.0.0.0       10.0.0.1");
    row(built(RsrouteRecord{{}, 5, 250}, 7), ";rsroute", "rsroute  5 250");
    row(built(ArpRecord{{}, qint32(0xC0A80114), Mac2A}, 9), ";arp", "arp 192.168.1.20      00:A0:C9:14:C8:2A");
    row(built(RsarpRecord{{}, qint32(0xAC100007), 255}, 11), ";rsarp", "rsarp 172.16.0.7        255");
    row(built(Rsroute2Record{{}, RouteSecondary, Mac29, Mac2A}, 15), ";rsroute2",
        "rsroute2 00:A0:C9:14:C8:29   00:A0:C9:14:C8:2A    secondary");
    row(built(Rsroute2Record{{}, 3, Mac29, Mac2A}, 15), ";rsroute2",
        "rsroute2 00:A0:C9:14:C8:29   00:A0:C9:14:C8:2A   ");
    row(built(ArpRecord{{}, qint32(0xAC100008), Mac29}, 17), ";rsarp2", "rsarp2 172.16.0.8        00:A0:C9:14:C8:29");
    row(built(DhcpInterfaceRecord{{}, DhcpClient, IfRs, 4}, 19), ";dhcp", "dhcp client interface rs4");
    row(built(DhcpInterfaceRecord{{}, 3, IfEth, 1}, 19), ";dhcp", "dhcp ??? eth1");
    row(built(DhcpServerValueRecord{{}, qint32(0xFFFFFF00)}, 21), ";dhcp", "dhcp server netmask 255.255.255.0");
    row(built(DhcpServerValueRecord{{}, 0x0A000001}, 22), ";dhcp", "dhcp server default-router 10.0.0.1");
    row(built(DhcpDnsRecord{{}, 0, dns}, 23), ";dhcp", "dhcp server dns-server ");
    row(built(DhcpDnsRecord{{}, 1, dns}, 23), ";dhcp", "dhcp server dns-server 10.0.0.1 ");
    row(built(DhcpDnsRecord{{}, 3, dns}, 23), ";dhcp", "dhcp server dns-server 10.0.0.1 10.0.0.2 10.0.0.3 ");
    row(built(DhcpDnsRecord{{}, 5, dns}, 23), ";dhcp", "dhcp server dns-server 10.0.0.1 10.0.0.2 10.0.0.3 10.0.0.4 ");
    row(built(DhcpScopeRecord{{}, 0x0A000064, 0x0A0000C7}, 24), ";dhcp", "dhcp server scope 10.0.0.100 10.0.0.199");
    row(built(DhcpServerValueRecord{{}, -1}, 25), ";dhcp", "dhcp server lease 4294967295");
    row(built(DhcpValueRecord{{}, 0x0A000002}, 27), ";dhcp", "dhcp relay server 10.0.0.2");
    row(built(DhcpValueRecord{{}, 2}, 29), ";dhcp", "dhcp client unknown");
    row(built(DhcpValueRecord{{}, 2}, 31), ";dhcp", "dhcp service relay");
    row(built(RipValueRecord{{}, IfRs, 2, 1}, 33), ";rip", "rip rs2 send version_1_compatible");
    row(rip(34, 2), ";rip", "rip eth0 receive both");
    row(rip(34, 3), ";rip", "rip eth0 receive unknown");
    row(rip(35, 1), ";rip", "rip eth0 triggered update enable");
    row(rip(36, 0), ";rip", "rip eth0 convergence split_holizon");
    row(built(RipPasswordRecord{{}, IfEth, 0, QByteArray("pass\xE9")}, 37), ";rip", "rip eth0 password pass\xE9");
    row(hex(37, "00000001 00000000 3031323334353637 3839616263646566 7A7A"), ";rip",
        "rip eth0 password 0123456789abcdef");
    row(rip(38, 0), ";rip", "rip eth0 authentication disable");
    row(rip(39, 3600), ";rip", "rip eth0 advertise 3600");
    row(rip(40, -1), ";rip", "rip eth0 metric -1");
    row(rip(41, 7), ";rip", "rip eth0 unknown");
    row(rip(61, 1), "", "rip eth0 advertise_default enable");
    row(built(Word16Record{{}, 0xAB}, 44), ";group_id", "group_id 0x00AB");
    row(hex(47, "8000"), ";rfchannel", "rfchannel -32768");
    row(built(PortfilterRecord{{}, 2, qint16(40000), -1}, 49), ";portfilter", "portfilter enable 40000 65535");
    row(built(PortfilterRecord{{}, 0, 0, 0}, 49), ";portfilter", "portfilter disable");
    row(built(Long32Record{{}, 0xAB}, 51), ";scramble", "scramble 0x000000AB");
    row(built(TestModeRecord{{}, TestDisable, 0, 0, 0, 0}, 53), ";testmode", "test_mode desable");
    row(built(TestModeRecord{{}, TestSend, -1, 100000, -1, -1}, 53), ";testmode", "test_mode send 65535 100000");
    row(built(TestModeRecord{{}, TestReceive, 9, -1, 0x0A000007, qint16(40000)}, 53), ";testmode",
        "test_mode receive 9 10.0.0.7 40000");
    row(built(TestModeRecord{{}, 3, 1, 1, 1, 1}, 53), ";testmode", "test_mode unknown");
    row(hex(55, "01 02 FF FF 8000"), ";tdmaparam", "tdma_param 1 2 255 -32768");
    row(built(TdmatuneRecord{{}, {1, 2, 3, 200}, {100, 32767, -1}}, 57), ";tdmatune",
        "tdma_tune 1 2 3 200 100 32767 -1");
    row(built(Byte8Record{{}, 4}, 59), ";txmethod", "txmethod bidir");
    row(built(Byte8Record{{}, 0}, 59), ";txmethod", "txmethod unknown");
    row(built(Byte8Record{{}, 1}, 62), ";fullduplex", "ethernet full_duplex");
    row(built(Long32Record{{}, 3}, 64), ";snmpsetup", "snmp state disable");
    row(built(Long32Record{{}, qint32(0x80000000)}, 64), ";snmpsetup", "snmp state unknown");
    row(hex(66, "6162636465666768696A6B6C6D6E6F707172737475767778797A303132333435 36"), ";snmpsetup",
        "snmp read_only_community abcdefghijklmnopqrstuvwxyz012345");
    row(built(CommunityRecord{{}, QByteArray("priv\xFF")}, 68), ";snmpsetup", "snmp read_write_community priv\xFF");
    row(built(Long32Record{{}, 0x0A000005}, 70), ";snmpsetup", "snmp trap 10.0.0.5");
    row(built(Byte8Record{{}, 2}, 71), ";L2AS", "l2as disable");
    row(built(AccessListRecord{{}, 15, 0x0A000000, qint32(0xFF000000)}, 74), "", "access_list 15 10.0.0.0 255.0.0.0");
    row(built(AccessRecord{{}, AccessLogin, 2, {1, EmptySlot, EmptySlot, 2}}, 76), "", "login access 1 -1");
    row(built(AccessRecord{{}, AccessConfig, 0, {1, 2, 3, 4}}, 76), "", "config access allow_all");
    row(built(AccessRecord{{}, AccessSnmp, EmptySlot, {1, 2, 3, 4}}, 76), "", "snmp access deny_all");
    row(built(AccessRecord{{}, AccessRstest, 5, {0, 16, 3, 4}}, 76), "", "rstest access 0 16 3 4");
    row(hex(13, "00000001"), "", nullptr);
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
QByteArray groupId(const char* hex) { return kit::expectedRecord(44, hex); }
QByteArray ifconfig(int last) { return built(IfconfigRecord{{}, IfEth, 0, 0x0A000000 | last, 0, 0}, 1); }
QString ifconfigLine(const char* address)
{
    const QString line = QStringLiteral("ifconfig  eth0 %1 netmask   0.0.0.0          broadcast 0.0.0.0");
    return line.arg(QLatin1String(address), -16);
}
}  // namespace

void tst_ConfigFormatter::image_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QStringList>("lines");
    const QByteArray route = built(RouteRecord{{}, 0, 0, 0x0A0000FE}, 5);
    QTest::newRow("records 1, 1, 5, 1")
        << ifconfig(1) + ifconfig(2) + route + ifconfig(3)
        << QStringList{"", ";ifconfig", ifconfigLine("10.0.0.1"), ifconfigLine("10.0.0.2"),
                       "", ";route", "route default 10.0.0.254", ifconfigLine("10.0.0.3")};
    QTest::newRow("61 then 33")
        << built(RipValueRecord{{}, IfEth, 0, 1}, 61) + built(RipValueRecord{{}, IfEth, 0, 2}, 33)
        << QStringList{"rip eth0 advertise_default enable", "", ";rip", "rip eth0 send version_2"};
    QTest::newRow("erased first slot") << QByteArray(64, char(0xFF)) + groupId("0001") << QStringList{};
    QTest::newRow("unknown code, 14-15 not FFFF")
        << kit::expectedRecord(13, "FFFF 0000") + groupId("0002") << QStringList{"", ";group_id", "group_id 0x0002"};
    QTest::newRow("unknown code, 14-15 FFFF")
        << kit::expectedRecord(13, "0000 FFFF") + groupId("0002") << QStringList{};
    QTest::newRow("record 70 read, 71 not")
        << QByteArray(70 * 64, '\0') + groupId("0046") + groupId("0047")
        << QStringList{"", ";group_id", "group_id 0x0046"};
    // 100 bytes: the dns-server record's last two slots are missing and read erased.
    QTest::newRow("100 bytes")
        << groupId("0003") +
               QByteArray::fromHex("0000 0017 00000000 FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF 00000004 0A000001 0A000002")
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
        for (int i = 0; i < image.size(); ++i)  // every record's code 1..76, so that the walk goes far
            image[i] = char(i % 64 == 2 ? 0 : i % 64 == 3 ? 1 + random.bounded(76) : random.bounded(256));
        const QStringList lines = FormatImage(image);
        QVERIFY2(lines.size() <= 71 + 2 * 21, qPrintable(QString::number(lines.size())));
        QCOMPARE(FormatImage(image.left(71 * 64)), lines);
    }
}

void tst_ConfigFormatter::imageFault_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("fault");  // unknown records a fault (--strict)
    QTest::addColumn<QString>("notes");  // otherwise: the lines that name them, joined by "|"
    const auto whole = [](const QByteArray& records) { return records + QByteArray(28672 - records.size(), char(0xFF)); };
    QTest::newRow("whole store") << whole(ifconfig(1) + groupId("0001")) << "" << "";
    QTest::newRow("erased store") << whole(QByteArray()) << "" << "";
    QTest::newRow("unknown code past the erased end") << whole(groupId("0001") + QByteArray(64, char(0xFF)) + kit::expectedRecord(13, "FFFF 0000")) << "" << "";
    QTest::newRow("unknown code past record 70") << whole(groupId("0001").repeated(71) + kit::expectedRecord(13, "FFFF 0000")) << "" << "";
    QTest::newRow("unknown code") << whole(groupId("0001") + kit::expectedRecord(13, "FFFF 0000")) << "record 1 has unknown code 13" << "record 1 has code 13, which this tool does not know; left out";
    QTest::newRow("scrambled code") << whole(QByteArray::fromHex("0000A5A4") + QByteArray(60, '\0')) << "record 0 has unknown code 42404" << "record 0 has code 42404, which this tool does not know; left out";
    QTest::newRow("cut mid-record") << ifconfig(1).left(40) << "the image is 40 bytes, not 28672" << "";
    QTest::newRow("one byte more") << whole(QByteArray()) + "x" << "the image is longer than 28672 bytes" << "";
    QTest::newRow("empty") << QByteArray() << "the image is 0 bytes, not 28672" << "";
}

void tst_ConfigFormatter::imageFault()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, fault);
    QFETCH(QString, notes);
    QCOMPARE(ImageFault(image), fault);
    QCOMPARE(UnknownRecordNotes(image).join('|'), notes);
    // Without --strict only the size is a fault.
    QCOMPARE(ImageFault(image, false), fault.startsWith("the image") ? fault : QString());
}

QTEST_GUILESS_MAIN(tst_ConfigFormatter)
#include "tst_ConfigFormatter.moc"
