// `qln` as a script runs it: a real process against the simulator, its output and exit status.
#include "devsim/DeviceSim.h"
#include "link/basConv.h"
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <unistd.h>

namespace {

struct Run {
    int exitCode = -1;
    QStringList out;
    QString err;
    qint64 ms = 0;
};

// Runs qln while this process's event loop keeps serving an in-process simulator.
Run runQln(const QStringList& args, int timeoutMs = 60000)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral(QLN_PATH), args);
    waitUntil([&] { return p.state() == QProcess::NotRunning; }, timeoutMs);
    Run r;
    r.ms = t.elapsed();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    if (r.out.last().isEmpty()) r.out.removeLast();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

DeviceSim::Options simOptions() { return FreePortSimOptions(QHostAddress::LocalHost); }

const QRegularExpression stamped("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  (.*)$");

QString text(const QString& line)
{
    const auto m = stamped.match(line);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("<unstamped> ") + line;
}

}  // namespace

class tst_qln_echo : public QObject {
    Q_OBJECT
private slots:
    void usage_data();
    void usage();
    void echoOutcomes_data();
    void echoOutcomes();
    void logFile();
    void logCannotBeOpened();
    void logSameAsOutput_data();
    void logSameAsOutput();
    void localPortTaken();
    void ping();
    void tracerouteJson();
    void pingJsonWithDuplicates();
};

void tst_qln_echo::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outHas");
    QTest::addColumn<QString>("errHas");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "echo" << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "qln 1." << "";
    QTest::newRow("no command") << QStringList{} << 2 << "" << "Usage: qln [options] COMMAND [ARGS]: COMMAND is missing; see qln --help\n";
    QTest::newRow("unknown command") << QStringList{"frob"} << 2 << "" << "Unknown command 'frob'; see qln --help\n";
    QTest::newRow("invalid address") << QStringList{"--device", "10.0.0.300", "echo"} << 1 << "" << "WARNING: Invalid IP Address\n'10.0.0.300'\n";
    QTest::newRow("no address") << QStringList{"echo"} << 1 << "" << "WARNING: Invalid IP Address\n--device is missing\n";
    QTest::newRow("bad port") << QStringList{"--device-port", "x", "--device", "1.2.3.4", "echo"} << 2 << "" << "Invalid port number 'x' of --device-port; see qln --help\n";
    QTest::newRow("xfer has no --json") << QStringList{"--device", "1.2.3.4", "--json", "xfer", "check"} << 2 << ""
                                        << "xfer: option --json does not belong to this command; see qln --help\n";
    QTest::newRow("-o is --output") << QStringList{"--device", "1.2.3.4", "save", "-o", "x"} << 2 << ""
                                    << "save: option --output does not belong to this command; see qln --help\n";
}

void tst_qln_echo::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, outHas);
    QFETCH(QString, errHas);
    const Run r = runQln(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.out.join('\n').contains(outHas), qPrintable(r.out.join('\n')));
    QVERIFY2(r.err.contains(errHas), qPrintable(r.err));
    if (exitCode != 0) QVERIFY(r.out.join("").trimmed().isEmpty());
}

void tst_qln_echo::echoOutcomes_data()
{
    QTest::addColumn<int>("refuse");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("normal end") << -1 << 0 << QStringList{"Echo Command Normal end."};
    QTest::newRow("refused") << 3 << 1 << QStringList{"Echo Command Error.", "<indented> St: 3,ErrACK(Invalid parameter)."};
    QTest::newRow("65536 is a failure") << 65536 << 1 << QStringList{"Echo Command Error.", "<indented> St: 65536,."};
}

void tst_qln_echo::echoOutcomes()
{
    QFETCH(int, refuse);
    QFETCH(int, exitCode);
    QFETCH(QStringList, texts);
    DeviceSim::Options o = simOptions();
    if (refuse >= 0) o.faults.refuse.insert(0, refuse);
    DeviceSim sim(o);
    QVERIFY(sim.start());
    const Run r = runQln({"--device", "127.0.0.1", "--device-port", QString::number(sim.uifPort()), "--local-port", "0", "echo"});
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out.size(), texts.size() + 1);
    QCOMPARE(r.out[0], QString());  // the echo test starts with an empty line
    for (int i = 0; i < texts.size(); ++i) {
        const QString line = r.out[i + 1];
        const QString got = line.startsWith(QString(14, ' ')) ? "<indented>" + line.mid(14) : text(line);
        QCOMPARE(got, texts[i]);
    }
}

void tst_qln_echo::logFile()
{
    DeviceSim sim(simOptions());
    QVERIFY(sim.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("echo.log");
    const QStringList args{"--device", "127.0.0.1", "--device-port", QString::number(sim.uifPort()), "--local-port", "0", "--log", path, "echo"};
    QCOMPARE(runQln(args).exitCode, 0);
    QCOMPARE(runQln(args).exitCode, 0);  // appends
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 2 * 8 + 1);
    const QRegularExpression first("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} Quillon:(\\S+) PC:(\\S+) CONF (\\S+)\r$");
    const QStringList kinds{"____", "SEND", "RECV", "____"};
    // Every record, the start and end ones included, names the device given and one PC address.
    QSet<QString> pcs;
    for (int rec = 0; rec < 8; ++rec) {
        const auto m = first.match(QString::fromUtf8(lines[2 * rec]));
        QVERIFY2(m.hasMatch(), lines[2 * rec].constData());
        QCOMPARE(m.captured(3), kinds[rec % 4]);
        QCOMPARE(m.captured(1), QString("127.0.0.1"));
        pcs << m.captured(2);
        QVERIFY(lines[2 * rec + 1].startsWith('\t') && lines[2 * rec + 1].endsWith('\r'));
    }
    QVERIFY2(pcs.size() == 1, qPrintable(pcs.values().join(' ')));
    QCOMPARE(lines[5], QByteArray("\tEcho Command Normal end.\r"));
    QVERIFY(lines[1].startsWith("\tLog Start: Version "));
    QVERIFY(lines[7].startsWith("\tLog End: Version "));
    QCOMPARE(runQln(args + QStringList{}).exitCode, 0);
    QCOMPARE(runQln(QStringList{"--overwrite"} + args).exitCode, 0);  // truncates
    f.seek(0);
    QCOMPARE(f.readAll().count('\n'), 8);
}

void tst_qln_echo::logSameAsOutput_data()
{
    // How -o names the log's file: spelled otherwise, a link to it, a path through a link to its
    // folder, a second name (hard link) of the existing log.
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("logExists");
    QTest::newRow("dot") << "./same.txt" << false;
    QTest::newRow("link to the log") << "link.txt" << true;
    QTest::newRow("folder link") << "sub/same.txt" << false;
    QTest::newRow("hard link") << "hard.txt" << true;
}

void tst_qln_echo::logSameAsOutput()
{
    QFETCH(QString, output);
    QFETCH(bool, logExists);
    QTemporaryDir dir;
    const QString file = dir.filePath("same.txt");
    if (logExists) QVERIFY(writeFile(file, "kept\n"));
    QVERIFY(QFile::link(file, dir.filePath("link.txt")));
    QVERIFY(QFile::link(dir.path(), dir.filePath("sub")));
    if (logExists) QCOMPARE(::link(QFile::encodeName(file), QFile::encodeName(dir.filePath("hard.txt"))), 0);
    const QString given = dir.path() + '/' + output;
    const Run r = runQln({"--log", file, "-o", given, "encode", file});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err, "--log and -o name the same file '" + given + "'; see qln --help\n");
    if (logExists)
        QCOMPARE(readFile(file), QByteArray("kept\n"));
    else
        QVERIFY(!QFileInfo::exists(file));
}

void tst_qln_echo::logCannotBeOpened()
{
    QTemporaryDir dir;
    const Run r = runQln({"--device", "127.0.0.1", "--device-port", "9", "--local-port", "0", "--log", dir.filePath("no/such/dir/x.log"), "echo"});
    QVERIFY(r.exitCode != 0);
    QCOMPARE(r.err, "Log Data Write Error\n" + dir.filePath("no/such/dir/x.log") + ": No such file or directory\n");
    QVERIFY(r.ms < 3000);  // refused before anything is sent
}

void tst_qln_echo::localPortTaken()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    const Run r = runQln({"--device", "127.0.0.1", "--device-port", "9", "--local-port", QString::number(holder.localPort()), "echo"});
    QVERIFY(r.exitCode != 0);
    QVERIFY2(r.err.contains("Bind address already in use."), qPrintable(r.err));
    QVERIFY(r.ms < 3000);  // fails at once, no resends
    QCOMPARE(r.out.size(), 4);
    QCOMPARE(text(r.out[1]), QString("Echo Command Error."));
    QVERIFY2(r.out[2].startsWith(QString(14, ' ') + " St: -1,Proto-Err(2,Send_VBErrNumber=10048/"), qPrintable(r.out[2]));
    QVERIFY2(r.out[3].startsWith("    VBErrDesc="), qPrintable(r.out[3]));
}

// The wiring of `qln ping`: the run's lines as the list shows them, --count and the exit status.
void tst_qln_echo::ping()
{
    DeviceSim sim(simOptions());
    QVERIFY(sim.start());
    QTemporaryDir dir;
    const QString path = dir.filePath("ping.log");
    const Run r = runQln({"--device", "127.0.0.1", "--device-port", QString::number(sim.rcmpPort()), "--local-port", "0",
                          "--log", path, "ping", "00:80:45:01:00:03", "--count", "2", "--packet-id", "0x8001"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(r.out.value(0), QString(14, ' ') + "RCMP packet ID: 0x8001");
    QCOMPARE(r.out.value(1), QString());
    QCOMPARE(text(r.out.value(2)), QString("RCMP ping 127.0.0.1"));
    // A loopback answer has 1.1 s until the next repetition (or the end of the run).
    QVERIFY2(text(r.out.value(3)).startsWith("Reply  00:80:45:01:00:03  seq=0 ttl=12 time="), qPrintable(r.out.join('\n')));
    QVERIFY2(text(r.out.value(4)).startsWith("Reply  00:80:45:01:00:03  seq=1 ttl=-1 time="), qPrintable(r.out.join('\n')));
    QCOMPARE(text(r.out.value(5)), QString("2 packets transmitted, 2 packets received,"));
    QCOMPARE(r.out.value(6), QString(14, ' ') + "0% packet loss.");
    QVERIFY2(r.out.value(7).startsWith("rtt min/avg/max/mdev = "), qPrintable(r.out.value(7)));
    QCOMPARE(r.out.size(), 8);
    QCOMPARE(sim.rcmpRequestsReceived, 2);
    // The log is QLN_Test's: tag TEST, the run's first record a SEND of "Echo Request".
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QVERIFY2(lines.value(2).contains(" Quillon:127.0.0.1 PC:") && lines.value(2).endsWith(" TEST SEND\r"), lines.value(2).constData());
    QCOMPARE(lines.value(3), QByteArray("\tEcho Request\r"));
}

// --json: the document alone on standard output, the lines on standard error.
void tst_qln_echo::tracerouteJson()
{
    DeviceSim sim(simOptions());
    QVERIFY(sim.start());
    const Run r = runQln({"--device", "127.0.0.1", "--device-port", QString::number(sim.rcmpPort()), "--local-port", "0",
                          "--json", "traceroute", "00:80:45:01:00:01"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QJsonObject o = QJsonDocument::fromJson(r.out.join('\n').toUtf8()).object();
    QCOMPARE(o.value("destination").toString(), QString("00:80:45:01:00:01"));
    QCOMPARE(o.value("complete").toBool(), true);
    const QJsonArray hops = o.value("hops").toArray();
    QCOMPARE(hops.size(), 1);
    QCOMPARE(hops[0].toObject().value("station").toString(), QString("00:80:45:01:00:01"));
    const QJsonArray times = hops[0].toObject().value("times").toArray();
    QCOMPARE(times.size(), 3);
    for (const QJsonValue& t : times) QVERIFY(t.isDouble());
    QVERIFY2(r.err.contains("Tracing RS route to 00:80:45:01:00:01") && r.err.contains("Trace complete."), qPrintable(r.err));
}

// A station that answers every request twice: received counts distinct replies, the loss stays 0
// and the round-trip statistics take all four replies.
void tst_qln_echo::pingJsonWithDuplicates()
{
    DeviceSim::Options so = simOptions();
    for (RadioStation& s : so.radio.stations)
        if (basConv::FormatMAC(s.id) == "00:80:45:01:00:02") s.duplicateRate = 1.0;
    DeviceSim sim(so);
    QVERIFY(sim.start());
    const Run r = runQln({"--device", "127.0.0.1", "--device-port", QString::number(sim.rcmpPort()), "--local-port", "0",
                          "--json", "ping", "00:80:45:01:00:02", "--count", "2"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QJsonObject o = QJsonDocument::fromJson(r.out.join('\n').toUtf8()).object();
    QVERIFY2((QList<int>{o.value("sent").toInt(), o.value("received").toInt(), o.value("duplicates").toInt()}) == (QList<int>{2, 2, 2}),
             qPrintable(r.out.join('\n')));
    QCOMPARE(o.value("loss").toDouble(-1), 0.0);
    QCOMPARE(o.value("replies").toArray().size(), 4);
    QVERIFY2(r.err.contains("+2 duplicates"), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(tst_qln_echo)
#include "tst_qln_echo.moc"
