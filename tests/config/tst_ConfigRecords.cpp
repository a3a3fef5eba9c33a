// Each accepted command line becomes exactly its 64-byte record, and records fill the image.
#include "ConfigTestKit.h"

#include <QtTest>

class tst_ConfigRecords : public QObject {
    Q_OBJECT
private slots:
    void acceptedLine_data();
    void acceptedLine();
    void textFieldsKeepTheFileBytes_data();
    void textFieldsKeepTheFileBytes();
    void oneRecordImage();
    void recordsTakeConsecutiveIdents();
    void imageHolds448Records();
    void record449IsRefused();
};

void tst_ConfigRecords::acceptedLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char* line, int code, const char* hex) {
        QTest::newRow(line) << QByteArray(line) << kit::expectedRecord(code, hex);
    };
    // ifconfig: default mask and computed broadcast; options in any order; later overrides earlier.
    row("ifconfig eth0 192.168.1.10", 1, "00000001 00000000 C0A8010A FFFFFF00 C0A801FF");
    row("ifconfig eth1 10.0.0.5 broadcast 10.0.0.127 netmask 255.255.255.128", 1,
        "00000001 00000001 0A000005 FFFFFF80 0A00007F");
    row("ifconfig rs2 172.16.0.1 netmask 255.255.0.0", 1, "00000002 00000002 AC100001 FFFF0000 AC10FFFF");
    row("ifconfig eth0 10.0.0.5 netmask 255.0.0.0 netmask 255.255.0.0", 1,
        "00000001 00000000 0A000005 FFFF0000 0A00FFFF");
    row("ifconfig eth0 10.0.0.5 broadcast 10.0.0.9 broadcast 10.0.0.8", 1,
        "00000001 00000000 0A000005 FFFFFF00 0A000008");
    row("ifconfig eth1234 10.0.0.1", 1, "00000001 0000007B 0A000001 FFFFFF00 0A0000FF");
    row("ifconfig rs0x1f 10.0.0.1", 1, "00000002 00000001 0A000001 FFFFFF00 0A0000FF");
    row("ifconfig\teth3\t10.0.0.1\t", 1, "00000001 00000003 0A000001 FFFFFF00 0A0000FF");
    row("rsconfig rs1 5", 3, "00000001 05");
    row("rsconfig rs0 255", 3, "00000000 FF");
    row("route default 10.0.0.1", 5, "00000001 00000000 00000000 0A000001 00000000 FFFFFFFF 00000001");
    row("route 10.1.0.0 255.255.0.0 10.0.0.1", 5, "00000001 0A010000 FFFF0000 0A000001 00000000 FFFFFFFF 00000001");
    row("rsroute 5 7", 7, "00000001 00000000 FFFFFFFF 05 07");
    row("rsroute2 00:A0:C9:14:C8:29 00:a0:c9:14:c8:2a", 15,
        "00000001 00000000 FFFFFFFF 0001 00A0C914C829 00A0C914C82A");
    row("rsroute2 00:A0:C9:14:C8:29 00:A0:C9:14:C8:2B static", 15,
        "00000001 00000000 FFFFFFFF 0001 00A0C914C829 00A0C914C82B");
    row("rsroute2 00:A0:C9:14:C8:29 00:A0:C9:14:C8:2C primary", 15,
        "00000001 00000001 FFFFFFFF 0001 00A0C914C829 00A0C914C82C");
    row("rsroute2 00:A0:C9:14:C8:29 00:A0:C9:14:C8:2D secondary", 15,
        "00000001 00000002 FFFFFFFF 0001 00A0C914C829 00A0C914C82D");
    row("arp 192.168.1.20 00:11:22:33:44:55", 9, "00000001 00000000 FFFFFFFF C0A80114 001122334455");
    row("rsarp 172.16.0.7 7", 11, "00000001 00000000 FFFFFFFF AC100007 07");
    row("rsarp2 172.16.0.8 0a:0b:0c:0d:0e:0f", 17, "00000001 00000000 FFFFFFFF AC100008 0A0B0C0D0E0F");
    // dhcp
    row("dhcp server interface eth0", 19, "00000000 00000001 00000000");
    row("dhcp relay interface eth1", 19, "00000001 00000001 00000001");
    row("dhcp client interface rs4", 19, "00000002 00000002 00000004");
    row("dhcp server netmask 255.255.255.0", 21, "FFFFFFFF FFFFFFFF FFFFFFFF FFFFFF00");
    row("dhcp server default-router 192.168.1.1", 22, "FFFFFFFF FFFFFFFF FFFFFFFF C0A80101");
    row("dhcp server dns-server", 23, "FFFFFFFF FFFFFFFF FFFFFFFF 00000001 00000000 00000000 00000000 00000000");
    row("dhcp server dns-server 10.0.0.1", 23,
        "FFFFFFFF FFFFFFFF FFFFFFFF 00000002 0A000001 00000000 00000000 00000000");
    row("dhcp server dns-server 10.0.0.1 10.0.0.2 10.0.0.3", 23,
        "FFFFFFFF FFFFFFFF FFFFFFFF 00000004 0A000001 0A000002 0A000003 00000000");
    row("dhcp server dns-server 10.0.0.1 10.0.0.2 10.0.0.3 10.0.0.4 junk", 23,
        "FFFFFFFF FFFFFFFF FFFFFFFF 00000004 0A000001 0A000002 0A000003 0A000004");
    row("dhcp server scope 192.168.1.100 192.168.1.199", 24, "FFFFFFFF FFFFFFFF FFFFFFFF C0A80164 C0A801C7");
    row("dhcp server lease 86400", 25, "FFFFFFFF FFFFFFFF FFFFFFFF 00015180");
    row("dhcp server lease 4294967295", 25, "FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF");
    row("dhcp relay server 10.0.0.2", 27, "FFFFFFFF FFFFFFFF 0A000002");
    row("dhcp client enable", 29, "FFFFFFFF FFFFFFFF 00000001");
    row("dhcp client disable", 29, "FFFFFFFF FFFFFFFF 00000000");
    row("dhcp service server", 31, "FFFFFFFF FFFFFFFF 00000001");
    row("dhcp service relay", 31, "FFFFFFFF FFFFFFFF 00000002");
    row("dhcp service off", 31, "FFFFFFFF FFFFFFFF 00000000");
    // rip
    row("rip eth0 send version_1", 33, "00000001 00000000 00000000");
    row("rip eth0 send version_1_compatible", 33, "00000001 00000000 00000001");
    row("rip eth0 send version_2", 33, "00000001 00000000 00000002");
    row("rip eth0 receive version_1", 34, "00000001 00000000 00000000");
    row("rip eth0 receive version_2", 34, "00000001 00000000 00000001");
    row("rip eth0 receive both", 34, "00000001 00000000 00000002");
    row("rip rs1 triggered update enable", 35, "00000002 00000001 00000001");
    row("rip rs1 triggered update disable", 35, "00000002 00000001 00000000");
    row("rip eth0 convergence split_holizon", 36, "00000001 00000000 00000000");
    row("rip eth0 convergence poisoned_reverse", 36, "00000001 00000000 00000001");
    row("rip eth2 password abc", 37, "00000001 00000002 616263 00");
    row("rip eth2 password 0123456789abcdef", 37, "00000001 00000002 30313233343536373839616263646566 00");
    row("rip eth2 password", 37, "00000001 00000002 00");
    row("rip eth0 authentication enable", 38, "00000001 00000000 00000001");
    row("rip eth0 authentication disable", 38, "00000001 00000000 00000000");
    row("rip eth0 advertise 1", 39, "00000001 00000000 00000001");
    row("rip eth0 advertise 3600", 39, "00000001 00000000 00000E10");
    row("rip eth0 metric 1", 40, "00000001 00000000 00000001");
    row("rip eth0 metric 64", 40, "00000001 00000000 00000040");
    row("rip eth0 enable", 41, "00000001 00000000 00000001");
    row("rip rs0 disable", 41, "00000002 00000000 00000000");
    row("rip eth0 advertise_default enable", 61, "00000001 00000000 00000001");
    row("rip eth0 advertise_default disable", 61, "00000001 00000000 00000000");
    row("rip access 1 2", 76, "00000004 00000002 00000001 00000002 FFFFFFFF FFFFFFFF");
    // single values
    row("group_id 65535", 44, "FFFF");
    row("group_id 0x0102", 44, "0102");
    row("rfchannel 3", 47, "0003");
    row("portfilter enable 1024 2048", 49, "00000001 0400 0800");
    row("portfilter disable", 49, "00000000 0000 0000");
    row("scramble 0x12345678", 51, "12345678");
    row("scramble 5 extra", 51, "00000005");
    row("test_mode disable", 53, "00000000 0000 FFFF 00000000 00000000 0000");
    row("test_mode send 1 1000", 53, "00000001 0001 FFFF 000003E8 FFFFFFFF FFFF");
    row("test_mode send 65535 100000", 53, "00000001 FFFF FFFF 000186A0 FFFFFFFF FFFF");
    row("test_mode receive 1 172.16.0.7 2", 53, "00000002 0001 FFFF FFFFFFFF AC100007 0002");
    row("tdmaparam 1 2 3 1000", 55, "01 02 03 FF 03E8");
    row("tdmatune 1 2 3 4 100 200 300", 57, "01020304 0064 00C8 012C");
    row("txmethod csma", 59, "01");
    row("txmethod dtdma1", 59, "02");
    row("txmethod dtdma2", 59, "03");
    row("txmethod bidir", 59, "04");
    // snmp
    row("snmp state read_only", 64, "00000001");
    row("snmp state read_write", 64, "00000002");
    row("snmp state disable", 64, "00000003");
    row("snmp state foo", 64, "00000000");
    row("snmp state", 64, "00000000");
    row("snmp read_only_community public", 66, "7075626C6963 00");
    row("snmp read_write_community private", 68, "70726976617465 00");
    row("snmp trap 192.168.1.5", 70, "C0A80105");
    row("snmp access allow_all", 76, "00000002 00000000 FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF");
    row("l2as enable", 71, "01");
    row("l2as disable", 71, "00");
    row("l2as on", 71, "00");
    row("l2as", 71, "00");
    // access lists and access restrictions
    row("access_list 15 192.168.1.0 255.255.255.0", 74, "0000000F C0A80100 FFFFFF00");
    row("access_list 007 10.0.0.0 255.0.0.0", 74, "00000007 0A000000 FF000000");
    row("login access 3 3 5", 76, "00000000 00000002 00000003 00000005 FFFFFFFF FFFFFFFF");
    row("login access 1 1 1 2", 76, "00000000 00000002 00000001 FFFFFFFF FFFFFFFF 00000002");
    row("login access 5 5 5 5", 76, "00000000 00000001 00000005 FFFFFFFF FFFFFFFF FFFFFFFF");
    row("login access 4 x 5", 76, "00000000 00000001 00000004 FFFFFFFF FFFFFFFF FFFFFFFF");
    row("login access 16 0 1 2 3", 76, "00000000 00000004 00000010 00000000 00000001 00000002");
    row("config access deny_all", 76, "00000001 FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF");
    row("rstest access allow_all", 76, "00000003 00000000 FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF");
}

void tst_ConfigRecords::acceptedLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    const kit::Converted c = kit::convert(line + "\r\n");
    QCOMPARE(c.result.status, 0);
    QCOMPARE(c.result.commandCount, 1);
    QCOMPARE(c.collectPos, 64);
    QCOMPARE(kit::maskedRecord(c.image).toHex(' '), expected.toHex(' '));
}

void tst_ConfigRecords::textFieldsKeepTheFileBytes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray u16 = QByteArray("\xC3\xBC").repeated(16);  // 16 x "ü": 32 bytes
    QTest::newRow("latin-1 bytes pass unchanged")
        << QByteArray("rip eth0 password \xE9t\xE9") << 0 << kit::expectedRecord(37, "00000001 00000000 E974E9 00");
    QTest::newRow("utf-8 community of 32 bytes")
        << QByteArray("snmp read_only_community " + u16) << 0
        << kit::expectedRecord(66, (u16.toHex() + "00").constData());
    QTest::newRow("utf-8 community of 34 bytes") << QByteArray("snmp read_write_community " + u16 + "\xC3\xBC") << -3
                                                  << QByteArray();
    QTest::newRow("password of 8 two-byte characters")
        << QByteArray("rip eth0 password " + QByteArray("\xC3\xBC").repeated(8)) << 0
        << kit::expectedRecord(37, ("0000000100000000" + QByteArray("\xC3\xBC").repeated(8).toHex() + "00").constData());
    QTest::newRow("password of 9 two-byte characters")
        << QByteArray("rip eth0 password " + QByteArray("\xC3\xBC").repeated(9)) << -3 << QByteArray();
}

void tst_ConfigRecords::textFieldsKeepTheFileBytes()
{
    QFETCH(QByteArray, line);
    QFETCH(int, status);
    QFETCH(QByteArray, expected);
    const kit::Converted c = kit::convert(line);
    QCOMPARE(c.result.status, status);
    if (status == 0)
        QCOMPARE(kit::maskedRecord(c.image).toHex(' '), expected.toHex(' '));
    else
        QCOMPARE(c.collectPos, 0);
}

void tst_ConfigRecords::oneRecordImage()
{
    const kit::Converted c = kit::convert("ifconfig eth0 192.168.1.10\n");
    QCOMPARE(c.image.size(), 28672);
    QCOMPARE(c.image.mid(8, 4), QByteArray(4, char(0xFF)));  // Status is never written
    QCOMPARE(c.image.mid(64), QByteArray(28672 - 64, char(0xFF)));
}

void tst_ConfigRecords::recordsTakeConsecutiveIdents()
{
    config::ImageSink sink(2147483646);  // the sequence wraps past 0x7FFFFFFF to 0
    const auto r = config::ConvertConfigBytes("group_id 1\nrfchannel 2\nscramble 3\n", sink);
    QCOMPARE(r.status, 0);
    const qint32 expected[] = {2147483646, 2147483647, 0};
    for (int i = 0; i < 3; ++i) QCOMPARE(basConv::GetLongBE(sink.image(), 64 * i + 4), expected[i]);
}

void tst_ConfigRecords::imageHolds448Records()
{
    const kit::Converted c = kit::convert(QByteArray("rfchannel 7\n").repeated(448));
    QCOMPARE(c.result.status, 0);
    QCOMPARE(c.result.commandCount, 448);
    QCOMPARE(c.collectPos, 28672);
    QCOMPARE(kit::maskedRecord(c.image, 447), kit::expectedRecord(47, "0007"));
}

void tst_ConfigRecords::record449IsRefused()
{
    const kit::Converted full = kit::convert(QByteArray("rfchannel 7\n").repeated(448));
    const kit::Converted over = kit::convert(QByteArray("rfchannel 7\n").repeated(448) + "group_id 9\nrfchannel 1\n");
    QCOMPARE(over.result.status, 3);
    QCOMPARE(over.result.lineNumber, 449);
    QCOMPARE(over.result.commandCount, 448);
    QCOMPARE(over.result.keyword, QByteArray("group_id"));
    QCOMPARE(config::ConversionResultText(over.result), QStringLiteral("Line: 449  DEBUG: internal error. status: 3"));
    QCOMPARE(over.image, full.image);  // the refused record is not stored
}

QTEST_GUILESS_MAIN(tst_ConfigRecords)
#include "tst_ConfigRecords.moc"
