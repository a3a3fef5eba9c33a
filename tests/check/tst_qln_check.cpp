// `qln check` as a script runs it, against the simulator's default tables in this process: the
// report of `check all -o`, the JSON document, the exit status and the usage errors.
#include "FreePortSim.h"
#include "QlnProcess.h"
#include "devsim/DeviceSim.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ProgramRun runQln(const QStringList& args) { return RunProgram(QStringLiteral(QLN_PATH), args); }

QStringList deviceArgs(const DeviceSim& sim)
{
    return {"--device", "127.0.0.1", "--device-port", QString::number(sim.uifPort()), "--local-port", "0"};
}

// Time stamps become "<t>", so lines compare as literals.
QStringList masked(const QStringList& lines)
{
    static const QRegularExpression stamp("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  ");
    QStringList out;
    for (QString line : lines) out << line.replace(stamp, "<t>  ");
    return out;
}

const QString I14(14, ' ');

}  // namespace

class tst_qln_check : public QObject {
    Q_OBJECT
private slots:
    void usage_data();
    void usage();
    void exitStatus_data();
    void exitStatus();
    void checkAllReport_data();
    void checkAllReport();
    void json();
};

void tst_qln_check::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outHas");
    QTest::addColumn<QString>("errHas");
    QTest::newRow("help lists it") << QStringList{"--help"} << 0 << "check QUERY...|all" << "";
    QTest::newRow("unknown query") << QStringList{"check", "ifconfig", "ifconfg"} << 2 << ""
                                   << "check: unknown query 'ifconfg'; see qln --help";
    QTest::newRow("nothing to check") << QStringList{"check"} << 2 << "" << "check: QUERY or all is missing";
    QTest::newRow("all with a query") << QStringList{"check", "all", "route"} << 2 << "" << "'all' takes no other query";
    QTest::newRow("-o without all") << QStringList{"check", "route", "-o", "r.txt"} << 2 << "" << "-o saves the report";
}

void tst_qln_check::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, outHas);
    QFETCH(QString, errHas);
    const ProgramRun r = runQln(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.out.join('\n').contains(outHas), qPrintable(r.out.join('\n')));
    QVERIFY2(r.err.contains(errHas), qPrintable(r.err));
}

void tst_qln_check::exitStatus_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("refused");  // status the device answers the RF channel request (48) with
    QTest::addColumn<int>("exitCode");
    QTest::newRow("query answered") << "rfchannel" << -1 << 0;
    QTest::newRow("query refused") << "rfchannel" << 3 << 1;
    QTest::newRow("query not supported") << "rfchannel" << 11 << 1;
    QTest::newRow("all goes on past 11") << "all" << 11 << 0;
    QTest::newRow("all stopped") << "all" << 3 << 1;
}

void tst_qln_check::exitStatus()
{
    QFETCH(QString, query);
    QFETCH(int, refused);
    QFETCH(int, exitCode);
    DeviceSim::Options o = FreePortSimOptions(QHostAddress::LocalHost);
    if (refused >= 0) o.faults.refuse.insert(48, refused);
    DeviceSim sim(o);
    QVERIFY(sim.start());
    const ProgramRun r = runQln(deviceArgs(sim) + QStringList{"check", query});
    QVERIFY2(r.exitCode == exitCode, qPrintable(r.err + r.out.join('\n')));
    QCOMPARE(r.out.join('\n').contains("Error occurred on 'rfchannel get' Command."), refused >= 0);
}

void tst_qln_check::checkAllReport_data()
{
    QTest::addColumn<QByteArray>("old");  // the file's content before the run; empty: no file
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("new file") << QByteArray() << false << 0;
    QTest::newRow("existing, --overwrite") << QByteArray("old\r\n") << true << 0;
    QTest::newRow("existing, kept") << QByteArray("old\r\n") << false << 1;
}

void tst_qln_check::checkAllReport()
{
    QFETCH(QByteArray, old);
    QFETCH(bool, overwrite);
    QFETCH(int, exitCode);
    DeviceSim sim(FreePortSimOptions(QHostAddress::LocalHost));
    QVERIFY(sim.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("report.txt");
    if (!old.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    QStringList args = deviceArgs(sim) + QStringList{"check", "all", "-o", path};
    if (overwrite) args << "--overwrite";
    const ProgramRun r = runQln(args);
    QVERIFY2(r.exitCode == exitCode, qPrintable(r.err));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray report = f.readAll();
    if (exitCode != 0) {
        QCOMPARE(report, old);
        QVERIFY2(r.err.contains("File Exist: " + path), qPrintable(r.err));
        return;
    }
    QVERIFY(report.endsWith("\r\n"));
    QStringList lines = QString::fromLatin1(report).split("\r\n");
    lines.removeLast();
    // Standard output had the list's lines as they were added; the report is the list.
    QCOMPARE(lines, r.out);
    // The default tables, in the report's order.
    const QStringList expected{
        "",
        I14 + "Environment",
        "<t>  FW version : Ver.3.2.1",
        "<t>  MAC Address: 00:80:45:01:00:00",
        "<t>  Group-ID: 0x0102(258)",
        I14 + "Netif     Address           Netmask           Broadcast",
        "<t>  eth0      192.168.1.10      255.255.255.0     192.168.1.255",
        "<t>  eth1      10.0.0.1          255.0.0.0         10.255.255.255",
        "<t>  rs0       172.16.0.1        255.255.0.0       172.16.255.255",
        "<t>  0.0.0.0          0.0.0.0          192.168.1.1      eth0    1       S",
        "<t>  10.1.0.0         255.255.0.0      10.0.0.254       eth1    2       D",
        "<t>  172.17.0.0       255.255.0.0      172.16.0.2       rs0     3       ?(5)",
        "<t>  192.168.1.1       00:11:22:33:44:55   static",
        "<t>  172.16.0.3        00:80:45:01:00:11   dynamic",
        "<t>  Port: eth1",
        "<t>   State: Not assigned.",
        "<t>  RF channel: 0x000B(11)",
        "<t>  portfilter: 1024 - 4096",
        "<t>  scramble: 0x00C0FFEE(12648430)",
        "<t>  txmethod: dtdma1",
        "<t>  ethernet: full duplex",
        "<t>  read only community: public",
        "<t>  L2AS state: enable",
        "<t>  2       10.0.0.0          10.255.255.255",
        "<t>  config     1     2    ",
        "<t>  snmp      Deny All",
        "<t>  rip       Allow All",
    };
    const QStringList got = masked(lines);
    int at = 0;
    for (const QString& line : expected) {
        const int found = got.indexOf(line, at);
        QVERIFY2(found >= 0, qPrintable("missing after line " + QString::number(at) + ": '" + line + "'\n" + got.join('\n')));
        at = found + 1;
    }
    QVERIFY2(r.err.contains("File Exist. Overwrite") == !old.isEmpty(), qPrintable(r.err));
}

// --json: one document on standard output with the values the lines show; the lines on standard error.
void tst_qln_check::json()
{
    DeviceSim sim(FreePortSimOptions(QHostAddress::LocalHost));
    QVERIFY(sim.start());
    const ProgramRun r = runQln(deviceArgs(sim) + QStringList{"check", "ifconfig", "route", "--json"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(r.out.join('\n').toUtf8(), &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QCOMPARE(o.keys(), (QStringList{"ifconfig", "route"}));
    QCOMPARE(o["ifconfig"]["status"].toInt(-1), 0);
    const QJsonArray interfaces = o["ifconfig"]["interfaces"].toArray();
    QCOMPARE(interfaces.size(), 3);
    QCOMPARE(interfaces[0].toObject(), (QJsonObject{{"name", "eth0"}, {"address", "192.168.1.10"},
                                                    {"netmask", "255.255.255.0"}, {"broadcast", "192.168.1.255"}}));
    QCOMPARE(interfaces[2]["name"].toString(), QString("rs0"));
    QCOMPARE(o["route"]["status"].toInt(-1), 0);
    const QJsonArray routes = o["route"]["routes"].toArray();
    QCOMPARE(routes.size(), 3);
    QCOMPARE(routes[2].toObject(), (QJsonObject{{"destination", "172.17.0.0"}, {"netmask", "255.255.0.0"},
                                                {"gateway", "172.16.0.2"}, {"interface", "rs0"}, {"metric", 3},
                                                {"flag", "?(5)"}}));
    QVERIFY2(r.err.contains("192.168.1.10      255.255.255.0") && r.err.contains("Routing tables"), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(tst_qln_check)
#include "tst_qln_check.moc"
