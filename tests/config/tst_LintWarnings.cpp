// What `qln lint` warns of after a complete conversion: one line each, in file order.
#include "config/LintWarnings.h"

#include <QtTest>

class tst_LintWarnings : public QObject {
    Q_OBJECT
private slots:
    void warnings_data();
    void warnings();
};

void tst_LintWarnings::warnings_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");
    const QByteArray eth0("ifconfig eth0 10.0.0.1\n");

    QTest::newRow("clean") << QByteArray("ifconfig eth0 192.168.1.10\nroute default 192.168.1.1\n"
                                         "access_list 1 10.0.0.0 255.0.0.0\nlogin access 1\nconfig access deny_all\n")
                           << QStringList();
    QTest::newRow("no lines") << QByteArray("; only a comment\n") << QStringList();
    QTest::newRow("tokens after the command, tab between")
        << eth0 + "route default 10.0.0.254 metric\t3\nscramble 5 extra\n"
        << QStringList{"Line: 2  ignored: 'metric 3'", "Line: 3  ignored: 'extra'"};
    QTest::newRow("word that ends an access list")
        << QByteArray("access_list 3 10.0.0.0 255.0.0.0\nlogin access 3 foo bar\n")
        << QStringList{"Line: 2  ignored: 'foo bar'"};
    QTest::newRow("fifth list, word after allow_all")
        << QByteArray("access_list 1 10.0.0.0 255.0.0.0\naccess_list 2 10.0.0.0 255.0.0.0\n"
                      "access_list 3 10.0.0.0 255.0.0.0\naccess_list 4 10.0.0.0 255.0.0.0\n"
                      "rip access 1 2 3 4 1\nconfig access allow_all 3\n")
        << QStringList{"Line: 5  ignored: '1'", "Line: 6  ignored: '3'"};
    QTest::newRow("fifth dns server")
        << QByteArray("dhcp server dns-server 1.1.1.1 2.2.2.2 3.3.3.3 4.4.4.4 5.5.5.5\n")
        << QStringList{"Line: 1  ignored: '5.5.5.5'"};
    QTest::newRow("interface set twice and thrice, comments counted")
        << QByteArray("ifconfig eth0 10.0.0.1\n; c\nifconfig rs0 10.1.0.1\nifconfig eth0 10.0.0.2\n\nifconfig eth0 10.0.0.3\n")
        << QStringList{"Line: 4  second ifconfig for eth0 (first at line 1)",
                       "Line: 6  third ifconfig for eth0 (first at line 1)"};
    QTest::newRow("the same interface by other names")
        << QByteArray("ifconfig eth123 10.0.0.1\nifconfig eth1234 10.0.0.2\nifconfig rs1 10.1.0.1\nifconfig rs0x1 10.1.0.2\n")
        << QStringList{"Line: 2  second ifconfig for eth123 (first at line 1)",
                       "Line: 4  second ifconfig for rs1 (first at line 3)"};
    QTest::newRow("gateway off every subnet")
        << QByteArray("ifconfig eth0 192.168.1.10\nifconfig eth1 10.0.0.5 netmask 255.255.255.128\n"
                      "route 10.1.0.0 255.255.0.0 10.9.9.1\nroute default 10.0.0.200\nroute default 10.0.0.100\n")
        << QStringList{"Line: 3  gateway 10.9.9.1 is on no configured interface's subnet",
                       "Line: 4  gateway 10.0.0.200 is on no configured interface's subnet"};
    QTest::newRow("gateway reached by a later line")
        << QByteArray("route default 172.16.3.4\nifconfig rs0 172.16.0.1 netmask 255.255.0.0\n") << QStringList();
    QTest::newRow("gateway of an interface's first address only")
        << eth0 + "route default 10.0.0.254\nifconfig eth0 192.168.1.1\n"
        << QStringList{"Line: 2  gateway 10.0.0.254 is on no configured interface's subnet",
                       "Line: 3  second ifconfig for eth0 (first at line 1)"};
    QTest::newRow("no interface at all") << QByteArray("route default 10.0.0.1\n")
                                         << QStringList{"Line: 1  gateway 10.0.0.1 is on no configured interface's subnet"};
    QTest::newRow("undefined lists, defined later counts")
        << QByteArray("snmp access 2 5\nrip access 16\nrstest access 2\naccess_list 2 10.0.0.0 255.0.0.0\n")
        << QStringList{"Line: 1  snmp access names list 5, which no access_list line defines",
                       "Line: 2  rip access names list 16, which no access_list line defines"};
    QTest::newRow("71 records") << QByteArray("rfchannel 1\n").repeated(71) << QStringList();
    QTest::newRow("73 records")
        << QByteArray("; head\n") + QByteArray("rfchannel 1\n").repeated(73)
        << QStringList{"Line: 73  73 records: a receive shows only the first 71 (this line makes the 72nd)"};
    QTest::newRow("all kinds in file order")
        << QByteArray("login access 7 x\nroute default 10.0.0.9 y\n") + eth0 + eth0
        << QStringList{"Line: 1  ignored: 'x'", "Line: 1  login access names list 7, which no access_list line defines",
                       "Line: 2  ignored: 'y'", "Line: 4  second ifconfig for eth0 (first at line 3)"};
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF" "rfchannel 1\nscramble 5 extra\n")
                                     << QStringList{"Line: 1  a UTF-8 byte order mark begins the file; it is skipped",
                                                    "Line: 2  ignored: 'extra'"};
    QTest::newRow("escape sequence in a community, DEL in a password")
        << QByteArray("snmp read_only_community ab\x1B]52;c;SGk=\x07\nrip eth0 password x\x7F\n")
        << QStringList{QStringLiteral("Line: 1  'ab\uFFFD]52;c;SGk=\uFFFD' holds control character 0x1b"),
                       QStringLiteral("Line: 2  'x\uFFFD' holds control character 0x7f")};
    QTest::newRow("NUL cuts the value")
        << QByteArray("snmp read_write_community pub\0lic\n", 34)
        << QStringList{QStringLiteral("Line: 1  'pub\uFFFDlic' holds a NUL byte: the device keeps only 'pub'")};
    QTest::newRow("conversion stopped") << QByteArray("scramble 5 extra\nbogus\n") << QStringList();
    QTest::newRow("image full") << QByteArray("scramble 5 extra\n") + QByteArray("rfchannel 1\n").repeated(448)
                                << QStringList();
}

void tst_LintWarnings::warnings()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    QCOMPARE(config::LintWarningsOfText(text), expected);
}

QTEST_GUILESS_MAIN(tst_LintWarnings)
#include "tst_LintWarnings.moc"
