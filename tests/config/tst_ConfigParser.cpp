// The line loop, the tokens and the refusals: the first failing line stops the conversion with
// its status, line number and quoted token, and no record of it is stored.
#include "ConfigTestKit.h"
#include "config/AccessRestriction.h"
#include "config/ConfigParams.h"

#include <QtTest>

class tst_ConfigParser : public QObject {
    Q_OBJECT
private slots:
    void rejectedLine_data();
    void rejectedLine();
    void lineLoop_data();
    void lineLoop();
    void netIf_data();
    void netIf();
    void accessRestriction_data();
    void accessRestriction();
    void resultText_data();
    void resultText();
};

void tst_ConfigParser::rejectedLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("token");
    const auto bad = [](const char* line, const QByteArray& token) {
        QTest::newRow(line) << QByteArray(line) << -3 << token;
    };
    QTest::newRow("unknown keyword") << QByteArray("foo 1") << -2 << QByteArray("foo");
    QTest::newRow("keywords are case-sensitive") << QByteArray("IFCONFIG eth0 1.2.3.4") << -2 << QByteArray("IFCONFIG");
    QTest::newRow("blank then ;") << QByteArray(" ;x") << -2 << QByteArray(";x");
    bad("ifconfig eth0 10.0.0.5 metric 3", "metric");
    bad("ifconfig eth 10.0.0.1", "eth");
    bad("ifconfig ethx 10.0.0.1", "ethx");
    bad("ifconfig ppp0 10.0.0.1", "ppp0");
    bad("ifconfig eth0", "");
    bad("ifconfig eth0 10.0.0.256", "10.0.0.256");
    bad("ifconfig eth0 10.0.0.5 netmask", "");
    bad("ifconfig eth0 10.0.0.5 netmask 255.255.255.0 broadcast x", "x");
    bad("ifconfig eth0 10.0.0.5 Netmask 255.255.255.0", "Netmask");
    bad("rsconfig eth0 5", "eth0");
    bad("rsconfig rs0 256", "256");
    bad("rsconfig rs0", "");
    bad("route 10.0.0.0 255.0.0.0", "");
    bad("route defaults 10.0.0.1", "defaults");
    bad("route default", "");
    bad("route", "");
    bad("rsroute 5", "");
    bad("rsroute 5 -1", "-1");
    bad("rsroute2 00:11:22:33:44:55 00:11:22:33:44:66 backup", "backup");
    bad("rsroute2 00:11:22:33:44 00:11:22:33:44:66", "00:11:22:33:44");
    bad("arp 10.0.0.1 00:11:22:33:44:5G", "00:11:22:33:44:5G");
    bad("rsarp 10.0.0.1 300", "300");
    bad("rsarp2 10.0.0.1", "");
    bad("dhcp", "");
    bad("dhcp server foo", "foo");
    bad("dhcp relay netmask 255.0.0.0", "netmask");
    bad("dhcp client foo", "foo");
    bad("dhcp service on", "on");
    bad("dhcp server interface eth", "eth");
    bad("dhcp relay interface", "");
    bad("dhcp client interface rs", "rs");
    bad("dhcp server netmask 255.255.255", "255.255.255");
    bad("dhcp server default-router", "");
    bad("dhcp server dns-server 10.0.0.1 x", "x");
    bad("dhcp server lease 4294967296", "4294967296");
    bad("dhcp server lease 4294967299", "4294967299");
    bad("dhcp server scope 10.0.0.1", "");
    bad("dhcp relay server", "");
    bad("rip eth0 advertise 0", "0");
    bad("rip eth0 advertise 3601", "3601");
    bad("rip eth0 metric 65", "65");
    bad("rip eth0 metric 0", "0");
    bad("rip eth0 metric 4294967295", "4294967295");
    bad("rip eth0 triggered enable", "enable");
    bad("rip eth0 triggered update", "");
    bad("rip eth0 send version_3", "version_3");
    bad("rip eth0 receive version_1_compatible", "version_1_compatible");
    bad("rip eth0 convergence split_horizon", "split_horizon");
    bad("rip eth0 authentication on", "on");
    bad("rip eth0 advertise_default", "");
    bad("rip eth0 password 0123456789abcdefX", "0123456789abcdefX");
    bad("rip eth0 foo", "foo");
    bad("rip eth0", "");
    bad("rip foo send version_1", "foo");
    bad("rip access", "");
    bad("rip access deny", "deny");
    bad("rip rsx enable", "rsx");
    bad("rip eth0 receive", "");
    bad("group_id 65536", "65536");
    bad("group_id -1", "-1");
    bad("rfchannel", "");
    bad("rfchannel 0x10000", "0x10000");
    bad("test_mode send 1 0", "0");
    bad("test_mode send 1 100001", "100001");
    bad("test_mode send 65536 5", "65536");
    bad("test_mode receive 1 10.0.0.1", "");
    bad("test_mode enable", "enable");
    bad("test_mode", "");
    bad("tdmaparam 1 2 3", "");
    bad("tdmaparam 1 2 256 4", "256");
    bad("tdmatune 1 2 3 4 5 6 65536", "65536");
    bad("portfilter enable 1", "");
    bad("portfilter on", "on");
    bad("scramble 4294967299", "4294967299");
    bad("scramble 0x", "0x");
    bad("scramble 0x123456789", "0x123456789");
    bad("txmethod tdma", "tdma");
    bad("txmethod", "");
    bad("snmp foo", "foo");
    bad("snmp", "");
    bad("snmp read_only_community 012345678901234567890123456789012", "012345678901234567890123456789012");
    bad("snmp trap 10.0.0", "10.0.0");
    bad("snmp access none", "none");
    bad("snmp access 17", "17");
    bad("snmp read_write_community 012345678901234567890123456789012", "012345678901234567890123456789012");
    bad("access_list 16 10.0.0.0 255.0.0.0", "16");
    bad("access_list 0x1 10.0.0.0 255.0.0.0", "0x1");
    bad("access_list 99999999999999999999999 10.0.0.0 255.0.0.0", "99999999999999999999999");
    bad("access_list 1 10.0.0.0", "");
    bad("login access 17", "17");
    bad("login access 4 17", "17");
    bad("login access 4294967297", "4294967297");
    bad("login access 18446744073709551617", "18446744073709551617");
    bad("login access", "");
    bad("login access some", "some");
    bad("login 1", "1");
    bad("config allow_all", "allow_all");
    bad("rstest", "");
}

void tst_ConfigParser::rejectedLine()
{
    QFETCH(QByteArray, line);
    QFETCH(int, status);
    QFETCH(QByteArray, token);
    // Two good lines first: the failing one is line 3 and nothing of it is stored.
    const kit::Converted c = kit::convert("group_id 1\n; note\n" + line + "\ngroup_id 2\n");
    QCOMPARE(c.result.status, status);
    QCOMPARE(c.result.lineNumber, 3);
    QCOMPARE(c.result.token, token);
    QCOMPARE(c.result.keyword, line.trimmed().split(' ').first());
    QCOMPARE(c.result.commandCount, 1);
    QCOMPARE(c.collectPos, 64);
    QCOMPARE(c.image.mid(64), QByteArray(28672 - 64, char(0xFF)));
}

void tst_ConfigParser::lineLoop_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("lineNumber");
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QByteArray() << 0 << 0 << QByteArray() << 0;
    QTest::newRow("comments, blank lines and blanks only")
        << QByteArray(";a\n\n   \n\t \t\n;b c\n") << 0 << 5 << QByteArray() << 0;
    QTest::newRow("line numbers count comments") << QByteArray(";c1\n;c2\nbogus 1\n") << -2 << 3 << QByteArray("bogus") << 0;
    QTest::newRow("line numbers count blank lines") << QByteArray("\n\n  \nbogus") << -2 << 4 << QByteArray("bogus") << 0;
    QTest::newRow("LF") << QByteArray("group_id 1\ngroup_id 2\nbad 1\n") << -2 << 3 << QByteArray("bad") << 2;
    QTest::newRow("CR LF") << QByteArray("group_id 1\r\ngroup_id 2\r\nbad 1\r\n") << -2 << 3 << QByteArray("bad") << 2;
    QTest::newRow("CR") << QByteArray("group_id 1\rgroup_id 2\rbad 1\r") << -2 << 3 << QByteArray("bad") << 2;
    QTest::newRow("CR then CR LF is two line ends") << QByteArray("group_id 1\r\r\nbad") << -2 << 3 << QByteArray("bad") << 1;
    QTest::newRow("LF CR is two line ends") << QByteArray("group_id 1\n\rbad") << -2 << 3 << QByteArray("bad") << 1;
    QTest::newRow("no final line end") << QByteArray("group_id 1\ngroup_id 2") << 0 << 2 << QByteArray() << 2;
    QTest::newRow("failing last line without end") << QByteArray("group_id 1\ngroup_id x") << -3 << 2 << QByteArray("x") << 1;
    QTest::newRow("tabs separate tokens") << QByteArray("\tgroup_id\t7\t\n") << 0 << 1 << QByteArray() << 1;
    QTest::newRow("; inside a line is a character") << QByteArray("group_id ;1\n") << -3 << 1 << QByteArray(";1") << 0;
    QTest::newRow("; after the command is ignored") << QByteArray("group_id 1 ;note\n") << 0 << 1 << QByteArray() << 1;
    QTest::newRow("NUL in a value") << QByteArray("group_id 1\0\n", 12) << -3 << 1 << QByteArray("1\0", 2) << 0;
    QTest::newRow("NUL as keyword") << QByteArray("group_id 1\n\0\n", 13) << -2 << 2 << QByteArray("\0", 1) << 1;
    QTest::newRow("non-UTF-8 keyword") << QByteArray("\xFF\xFE\x80 1\n") << -2 << 1 << QByteArray("\xFF\xFE\x80") << 0;
    QTest::newRow("form feed is no blank") << QByteArray("group_id\f1\n") << -2 << 1 << QByteArray("group_id\f1") << 0;
}

void tst_ConfigParser::lineLoop()
{
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(int, lineNumber);
    QFETCH(QByteArray, token);
    QFETCH(int, count);
    const kit::Converted c = kit::convert(text);
    QCOMPARE(c.result.status, status);
    QCOMPARE(c.result.lineNumber, lineNumber);
    QCOMPARE(c.result.token, token);
    QCOMPARE(c.result.commandCount, count);
    QCOMPARE(c.collectPos, 64 * count);
}

void tst_ConfigParser::netIf_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("number");
    QTest::newRow("eth0") << QByteArray("eth0") << true << 1 << 0;
    QTest::newRow("rs12") << QByteArray("rs12") << true << 2 << 12;
    QTest::newRow("eth999") << QByteArray("eth999") << true << 1 << 999;
    QTest::newRow("only three digits count") << QByteArray("eth1234") << true << 1 << 123;
    QTest::newRow("rs three digits then junk") << QByteArray("rs007xyz") << true << 2 << 7;
    QTest::newRow("hexadecimal") << QByteArray("rs0xA") << true << 2 << 10;
    QTest::newRow("no number") << QByteArray("eth") << false << 0 << 0;
    QTest::newRow("rs alone") << QByteArray("rs") << false << 0 << 0;
    QTest::newRow("letters") << QByteArray("ethA") << false << 0 << 0;
    QTest::newRow("sign") << QByteArray("eth-1") << false << 0 << 0;
    QTest::newRow("upper case") << QByteArray("ETH0") << false << 0 << 0;
    QTest::newRow("other prefix") << QByteArray("wlan0") << false << 0 << 0;
    QTest::newRow("empty") << QByteArray() << false << 0 << 0;
}

void tst_ConfigParser::netIf()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, valid);
    QFETCH(int, type);
    QFETCH(int, number);
    config::IfRef ifRef;
    QCOMPARE(config::ParseNetIf(name, ifRef), valid);
    if (!valid) return;
    QCOMPARE(ifRef.if_type, type);
    QCOMPARE(ifRef.if_num, number);
}

void tst_ConfigParser::accessRestriction_data()
{
    QTest::addColumn<QByteArray>("restriction");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint32>("countOrMode");
    QTest::addColumn<QList<qint32>>("lists");
    constexpr qint32 E = config::EmptySlot;
    QTest::newRow("allow_all") << QByteArray("allow_all") << true << 0 << QList<qint32>{E, E, E, E};
    QTest::newRow("deny_all") << QByteArray("deny_all") << true << E << QList<qint32>{E, E, E, E};
    QTest::newRow("one") << QByteArray("7") << true << 1 << QList<qint32>{7, E, E, E};
    QTest::newRow("four") << QByteArray("0 16 2 3") << true << 4 << QList<qint32>{0, 16, 2, 3};
    QTest::newRow("fifth number ignored") << QByteArray("1 2 3 4 99") << true << 4 << QList<qint32>{1, 2, 3, 4};
    QTest::newRow("3 3 5") << QByteArray("3 3 5") << true << 2 << QList<qint32>{3, 5, E, E};
    QTest::newRow("1 1 1 2 keeps a gap") << QByteArray("1 1 1 2") << true << 2 << QList<qint32>{1, E, E, 2};
    QTest::newRow("1 2 1 2") << QByteArray("1 2 1 2") << true << 2 << QList<qint32>{1, 2, E, E};
    QTest::newRow("2 2") << QByteArray("2 2") << true << 1 << QList<qint32>{2, E, E, E};
    QTest::newRow("word ends the list") << QByteArray("4 x 5") << true << 1 << QList<qint32>{4, E, E, E};
    QTest::newRow("17") << QByteArray("17") << false << 0 << QList<qint32>{};
    QTest::newRow("17 later") << QByteArray("1 2 17") << false << 0 << QList<qint32>{};
    QTest::newRow("wraps in 32 bits to 1") << QByteArray("4294967297") << false << 0 << QList<qint32>{};
    QTest::newRow("hexadecimal is no number") << QByteArray("0x1") << false << 0 << QList<qint32>{};
    QTest::newRow("upper case word") << QByteArray("ALLOW_ALL") << false << 0 << QList<qint32>{};
    QTest::newRow("nothing") << QByteArray("") << false << 0 << QList<qint32>{};
}

void tst_ConfigParser::accessRestriction()
{
    QFETCH(QByteArray, restriction);
    QFETCH(bool, valid);
    QFETCH(qint32, countOrMode);
    QFETCH(QList<qint32>, lists);
    config::TokenCursor t;
    t.reset(restriction);
    config::AccessRecord r;
    QCOMPARE(config::ReadAccessRestriction(t, r), valid);
    if (!valid) return;
    QCOMPARE(r.countOrMode, countOrMode);
    QCOMPARE(QList<qint32>(r.lists.begin(), r.lists.end()), lists);
}

void tst_ConfigParser::resultText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");  // as logged
    QTest::addColumn<QString>("shown");    // as the screen shows it, where that differs
    QTest::newRow("complete") << QByteArray("group_id 1\n") << QStringLiteral("Conversion Complete.") << QString();
    QTest::newRow("invalid parameter") << QByteArray(";\n;\nrip eth0 metric 65\n")
                                       << QStringLiteral("Line: 3  Invalid Parameter '65'") << QString();
    QTest::newRow("missing parameter") << QByteArray("route default\n") << QStringLiteral("Line: 1  Invalid Parameter ''")
                                       << QString();
    QTest::newRow("invalid command") << QByteArray("\n\n\nfoo 1\n") << QStringLiteral("Line: 4  Invalid Command 'foo'")
                                     << QString();
    QTest::newRow("each byte one character") << QByteArray("snmp state x\nsnmp trap \xC3\xBC\n")
                                             << QStringLiteral("Line: 2  Invalid Parameter '\u00C3\u00BC'") << QString();
    QTest::newRow("byte 0xFF") << QByteArray("\xFF 1") << QStringLiteral("Line: 1  Invalid Command '\u00FF'") << QString();
    QTest::newRow("64-byte token whole") << ("group_id " + QByteArray(64, 'x'))
                                         << "Line: 1  Invalid Parameter '" + QString(64, 'x') + "'" << QString();
    QTest::newRow("65-byte token cut") << ("group_id " + QByteArray(65, 'x'))
                                       << "Line: 1  Invalid Parameter '" + QString(64, 'x') + "...' (65 bytes)" << QString();
    QTest::newRow("control characters never reach the screen")
        << QByteArray("group_id \x1B[2J\x07\x85\n") << QStringLiteral("Line: 1  Invalid Parameter '\x1B[2J\x07\u0085'")
        << QStringLiteral("Line: 1  Invalid Parameter '\uFFFD[2J\uFFFD\uFFFD'");
}

void tst_ConfigParser::resultText()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    const QString result = config::ConversionResultText(kit::convert(text).result);
    QCOMPARE(result, message);
    QCOMPARE(config::ShownText(result), shown.isNull() ? message : shown);
}

QTEST_GUILESS_MAIN(tst_ConfigParser)
#include "tst_ConfigParser.moc"
