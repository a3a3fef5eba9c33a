// `qln check` as a script runs it, against the simulator's default tables in this process.
#include "FreePortSim.h"
#include "ScriptedPeer.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class tst_qln_check : public QObject {
    Q_OBJECT
private slots:
    void run_data();
    void run();
};

void tst_qln_check::run_data()
{
    QTest::addColumn<QStringList>("args");     // after "check"; REPORT is a file in a fresh folder
    QTest::addColumn<QByteArray>("report");    // what REPORT holds before the run ("": no file)
    QTest::addColumn<int>("refused");          // the status that answers the RF channel request, 0: none
    QTest::addColumn<int>("exitCode");
    // In this order in the report (after -o), the compact JSON (with --json) or standard output;
    // time stamps masked as <t>.
    QTest::addColumn<QStringList>("has");
    QTest::newRow("all -o") << QStringList{"all", "-o", "REPORT"} << QByteArray() << 0 << 0
                            << QStringList{"<t>  MAC Address: 00:80:45:01:00:00", "<t>  Group-ID: 0x0102(258)",
                                           "<t>  rs0       172.16.0.1        255.255.0.0       172.16.255.255",
                                           "<t>  172.17.0.0       255.255.0.0      172.16.0.2       rs0     3       ?(5)",
                                           "<t>  172.16.0.3        00:80:45:01:00:11   dynamic",
                                           "<t>   State: Not assigned.", "<t>  config     1     2    "};
    QTest::newRow("all -o, existing kept") << QStringList{"all", "-o", "REPORT"} << QByteArray("old\r\n") << 0 << 1
                                           << QStringList{"old"};
    QTest::newRow("all -o --overwrite") << QStringList{"all", "-o", "REPORT", "--overwrite"} << QByteArray("old\r\n") << 0
                                        << 0 << QStringList{"<t>  scramble: 0x00C0FFEE(12648430)"};
    QTest::newRow("--json") << QStringList{"ifconfig", "route", "--json"} << QByteArray() << 0 << 0
                            << QStringList{R"j({"ifconfig":{"interfaces":[{"address":"192.168.1.10","broadcast":"192.168.1.255","name":"eth0","netmask":"255.255.255.0"},)j",
                                           R"j({"destination":"172.17.0.0","flag":5,"gateway":"172.16.0.2","interface":"rs0","metric":3,"netmask":"255.255.0.0"}],"status":0}})j"};
    QTest::newRow("not supported") << QStringList{"rfchannel"} << QByteArray() << 11 << 1
                                   << QStringList{"<t>  Error occurred on 'rfchannel get' Command."};
    QTest::newRow("all goes on past 11") << QStringList{"all"} << QByteArray() << 11 << 0 << QStringList{"<t>  L2AS state: enable"};
    QTest::newRow("all --json stops") << QStringList{"all", "--json"} << QByteArray() << 4 << 1
                                      << QStringList{R"("completed":false)", R"("report":null)",
                                                     R"("rfchannel":{"error":{"command":"rfchannel get","status":4,"status_text":"4,ErrACK(No entry)."},"status":4})",
                                                     R"("stopped_at":"rfchannel")"};
    // Usage errors: standard error.
    QTest::newRow("unknown query") << QStringList{"ifconfig", "ifconfg"} << QByteArray() << 0 << 2
                                   << QStringList{"check: unknown query 'ifconfg'; see qln --help\n"};
    QTest::newRow("a query twice") << QStringList{"route", "arp", "route"} << QByteArray() << 0 << 2
                                   << QStringList{"check: query 'route' given twice; see qln --help\n"};
}

void tst_qln_check::run()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, report);
    QFETCH(int, refused);
    QFETCH(int, exitCode);
    QFETCH(QStringList, has);
    DeviceSim::Options o = FreePortSimOptions(QHostAddress::LocalHost);
    if (refused) o.faults.refuse.insert(48, refused);
    DeviceSim sim(o);
    QVERIFY(sim.start());
    QTemporaryDir dir;
    QFile file(dir.filePath("report.txt"));
    if (!report.isEmpty()) QVERIFY(file.open(QIODevice::WriteOnly) && file.write(report) == report.size() && file.flush());
    file.close();
    QProcess p;
    p.start(QLN_PATH, QStringList{"--device", "127.0.0.1", "--device-port", QString::number(sim.uifPort()), "--local-port", "0",
                                  "check"} + args.replaceInStrings("REPORT", file.fileName()));
    QVERIFY(waitUntil([&] { return p.state() == QProcess::NotRunning; }, 60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == exitCode, qPrintable(err));
    QString text = out;
    if (args.contains("-o")) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        text = QString::fromLatin1(file.readAll());
        if (exitCode == 0) QCOMPARE(text, QString(out).replace("\n", "\r\n"));  // standard output had the list
    } else if (args.contains("--json")) {
        text = QJsonDocument::fromJson(out.toUtf8()).toJson(QJsonDocument::Compact);
        if (!args.contains("all"))
            QVERIFY2(err.contains("  eth1      10.0.0.1          255.0.0.0") && err.contains("Routing tables"), qPrintable(err));
    }
    if (exitCode == 2) text = err;
    text.replace(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  ", QRegularExpression::MultilineOption), "<t>  ");
    qsizetype at = 0;
    for (const QString& line : has) {
        at = text.indexOf(line, at);
        QVERIFY2(at >= 0, qPrintable(line + "\nnot in\n" + text));
    }
}

QTEST_GUILESS_MAIN(tst_qln_check)
#include "tst_qln_check.moc"
