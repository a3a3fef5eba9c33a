// QLN_Test's runs against the simulated radio network. The test gives the ticks itself, each one
// only after the simulator has answered what was sent, so no row depends on how fast replies come.
#include "devsim/DeviceSim.h"
#include "echotest/EchoTestRun.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "rcmp/frmRCMP.h"
#include "shell/ToolContext.h"
#include "FreePortSim.h"
#include "ScriptedPeer.h"

#include <QtTest>

namespace {

const QString I14(14, ' ');
const QString At = QStringLiteral("09:05:03.120  ");

struct RigOptions {
    QString lossy;      // a station whose answers are all lost
    QString doubled;    // a station whose answers all arrive twice
    int echoCount = 0;
};

struct Rig {
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3, 120))};
    ScriptedOperator op;
    ToolContext ctx{clock, op, QStringLiteral("TEST")};
    DeviceSim sim;
    frmRCMP rcmp;
    EchoTestRun run;
    int replies = 0;

    static DeviceSim::Options simOptions(const RigOptions& o)
    {
        DeviceSim::Options so = FreePortSimOptions(QHostAddress::LocalHost);
        for (RadioStation& s : so.radio.stations) {
            if (basConv::FormatMAC(s.id) == o.lossy) s.lossRate = 1.0;
            if (basConv::FormatMAC(s.id) == o.doubled) s.duplicateRate = 1.0;
        }
        return so;
    }
    static frmRCMP::Options linkOptions(quint16 devicePort)
    {
        frmRCMP::Options lo;
        lo.tickMs = 2;
        lo.localPort = 0;
        lo.remotePort = devicePort;
        return lo;
    }
    explicit Rig(const RigOptions& o = RigOptions())
        : sim((simOptions(o))), rcmp(&op, linkOptions((sim.start(), sim.rcmpPort()))), run(ctx, rcmp, {0, o.echoCount})
    {
        QObject::connect(&rcmp, &RCMPLink::replyArrived, [this] { ++replies; });
        run.Load();
    }
    // Every request reached the simulator and every answer it sent has arrived.
    void settle()
    {
        QVERIFY(waitUntil([this] { return sim.rcmpRequestsReceived == rcmp.sentCount() && replies == sim.rcmpRepliesSent; }));
    }
    void runToEnd()
    {
        for (int guard = 0; run.TestState != 0 && guard < 10000; ++guard) {
            settle();
            run.tmrRep_Timer();
        }
        settle();
    }
    // The lines after the packet ID line.
    QStringList lines() const { return ctx.lstStatus.lines().mid(1); }
};

QString hop(int n, const QString& rest) { return I14 + QStringLiteral("%1").arg(n, 5) + rest; }

}  // namespace

class tst_EchoTestRun : public QObject {
    Q_OBJECT
private slots:
    void statistics_data();
    void statistics();
    void rttSummary_data();
    void rttSummary();
    void runs_data();
    void runs();
    void olderSeqNoOnlyReportsItsStation();
    void refusedStart_data();
    void refusedStart();
};

void tst_EchoTestRun::statistics_data()
{
    QTest::addColumn<int>("sent");
    QTest::addColumn<int>("received");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("stopped before the first send") << 0 << 0 << QStringList{"0 packets transmitted, 0 packets received,"};
    QTest::newRow("all answered") << 4 << 4 << QStringList{"4 packets transmitted, 4 packets received,", "0% packet loss."};
    QTest::newRow("half") << 2 << 1 << QStringList{"2 packets transmitted, 1 packets received,", "50% packet loss."};
    QTest::newRow("a third lost") << 3 << 2 << QStringList{"3 packets transmitted, 2 packets received,", "33.3333333333333% packet loss."};
    QTest::newRow("none") << 7 << 0 << QStringList{"7 packets transmitted, 0 packets received,", "100% packet loss."};
    QTest::newRow("duplicates") << 3 << 4 << QStringList{"3 packets transmitted, 4 packets received,", "-33.3333333333333% packet loss."};
}

void tst_EchoTestRun::statistics()
{
    QFETCH(int, sent);
    QFETCH(int, received);
    QFETCH(QStringList, texts);
    QCOMPARE(EchoStatistics(sent, received), texts);
}

void tst_EchoTestRun::rttSummary_data()
{
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<QString>("line");
    QTest::newRow("no replies") << QList<qint64>{} << "";
    QTest::newRow("one") << QList<qint64>{0} << "rtt min/avg/max/mdev = 0.000/0.000/0.000/0.000 ms";
    QTest::newRow("population deviation") << QList<qint64>{10, 30, 20} << "rtt min/avg/max/mdev = 10.000/20.000/30.000/8.165 ms";
    QTest::newRow("beyond 32 bits") << QList<qint64>{40, 5000000000} << "rtt min/avg/max/mdev = 40.000/2500000020.000/5000000000.000/2499999980.000 ms";
}

void tst_EchoTestRun::rttSummary()
{
    QFETCH(QList<qint64>, times);
    QFETCH(QString, line);
    QCOMPARE(EchoRttSummary(times), line);
}

void tst_EchoTestRun::runs_data()
{
    QTest::addColumn<bool>("trace");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("lossy");
    QTest::addColumn<QString>("doubled");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("lstSID");
    QTest::addColumn<int>("duplicates");
    QTest::addColumn<QList<qint64>>("hop0");  // the first hop's probe times; -1 timed out
    QTest::addColumn<QList<qint64>>("rtts");  // the echo's round-trip times, every reply
    const QList<qint64> answered{0, 0, 0};

    const QString ends = QStringLiteral("      0      0      0 ");
    QTest::newRow("three hops") << true << "00:80:45:01:00:03" << "" << ""
        << QStringList{"", At + "Tracing RS route to 00:80:45:01:00:03",
                       hop(0, ends + "00:80:45:01:00:01"), hop(1, ends + "00:80:45:01:00:02"), hop(2, ends + "00:80:45:01:00:03"),
                       At + "Trace end.", I14 + "Trace complete."}
        << "9/9" << QStringList{"00:80:45:01:00:01", "00:80:45:01:00:02", "00:80:45:01:00:03"} << 0 << answered << QList<qint64>{};
    QTest::newRow("unanswered hop") << true << "00:80:45:01:00:02" << "00:80:45:01:00:01" << ""
        << QStringList{"", At + "Tracing RS route to 00:80:45:01:00:02",
                       hop(0, "      *      *      * Request timed out."), hop(1, ends + "00:80:45:01:00:02"),
                       At + "Trace end.", I14 + "Trace complete."}
        << "3/6" << QStringList{"00:80:45:01:00:02"} << 0 << QList<qint64>{-1, -1, -1} << QList<qint64>{};
    // An unknown station: the device answers every probe itself (unreachable), up to hop 15.
    QStringList sixteen{"", At + "Tracing RS route to 00:80:45:01:00:99"};
    for (int h = 0; h <= 15; ++h) sixteen << hop(h, ends + "00:80:45:01:00:00");
    sixteen << At + "Trace end." << I14 + "Trace complete.";
    QTest::newRow("the 16th hop ends it") << true << "00:80:45:01:00:99" << "" << "" << sixteen << "48/48"
                                          << QStringList{"00:80:45:01:00:00"} << 0 << answered << QList<qint64>{};
    // The clock moves 250 ms while the first request is out: its replies took 250 ms.
    const QString later = QStringLiteral("09:05:03.370  ");
    QTest::newRow("echo, duplicates counted") << false << "00:80:45:01:00:02" << "" << "00:80:45:01:00:02"
        << QStringList{"", At + "RCMP ping 127.0.0.1",
                       later + "Reply  00:80:45:01:00:02  seq=0 ttl=13 time=250ms", later + "Reply  00:80:45:01:00:02  seq=0 ttl=13 time=250ms",
                       later + "Reply  00:80:45:01:00:02  seq=1 ttl=-1 time=0ms", later + "Reply  00:80:45:01:00:02  seq=1 ttl=-1 time=0ms",
                       later + "2 packets transmitted, 4 packets received,", I14 + "-100% packet loss."}
        << "4/2" << QStringList{"00:80:45:01:00:02"} << 2 << QList<qint64>{} << QList<qint64>{250, 250, 0, 0};
    QTest::newRow("echo, unknown station") << false << "00:80:45:01:00:99" << "" << ""
        << QStringList{"", At + "RCMP ping 127.0.0.1", I14 + "Destination unreachable.", I14 + "Destination unreachable.",
                       later + "2 packets transmitted, 0 packets received,", I14 + "100% packet loss."}
        << "0/2" << QStringList{"00:80:45:01:00:00"} << 0 << QList<qint64>{} << QList<qint64>{};
}

void tst_EchoTestRun::runs()
{
    QFETCH(bool, trace);
    QFETCH(QString, station);
    QFETCH(QString, lossy);
    QFETCH(QString, doubled);
    QFETCH(QStringList, lines);
    QFETCH(QString, count);
    QFETCH(QStringList, lstSID);
    QFETCH(int, duplicates);
    QFETCH(QList<qint64>, hop0);
    QFETCH(QList<qint64>, rtts);
    RigOptions o;
    o.lossy = lossy;
    o.doubled = doubled;
    o.echoCount = 2;
    Rig rig(o);
    QVERIFY(trace ? rig.run.StartTrace("127.0.0.1", station) : rig.run.StartEcho("127.0.0.1", station));
    if (!trace) rig.clock.advanceMs(250);
    rig.runToEnd();
    QCOMPARE(rig.lines(), lines);
    QCOMPARE(rig.run.countText(), count);
    QCOMPARE(rig.run.lstSID(), lstSID);
    QCOMPARE(rig.run.TraceDone, trace && station != "00:80:45:01:00:99");
    QCOMPARE(rig.run.duplicateReplies(), duplicates);
    QCOMPARE(rig.run.replyTimesMs(), rtts);
    QCOMPARE(rig.run.traceHops().isEmpty() ? QList<qint64>{} : rig.run.traceHops().first().timesMs, hop0);
    QVERIFY2(rig.op.shown.isEmpty(), qPrintable(rig.op.lastText()));
}

void tst_EchoTestRun::olderSeqNoOnlyReportsItsStation()
{
    Rig rig;
    QVERIFY(rig.run.StartTrace("127.0.0.1", "00:80:45:01:00:03"));
    rig.settle();
    for (int i = 0; i < 6; ++i) rig.run.tmrRep_Timer();  // the pause, then hop 0's second probe
    rig.settle();
    QCOMPARE(rig.run.TestState, 3);
    const QString line = rig.ctx.lstStatus.last();
    // A late answer to the first probe, from a station not seen yet.
    RCMPPacket late;
    late.PacketID = rig.run.EchoPacketID;
    late.SeqNo = qint16(rig.rcmp.RCMPLastSeq - 1);
    late.StationID = {0x00, 0x80, 0x45, 0x01, 0x00, 0x77};
    QByteArray datagram(64, '\0');
    basRCMP::PutRCMPPacket(datagram, late);
    QUdpSocket stranger;
    stranger.writeDatagram(datagram, QHostAddress::LocalHost, rig.rcmp.localPort());
    const int replies = rig.replies;
    QVERIFY(waitUntil([&] { return rig.replies == replies + 1; }));
    QCOMPARE(rig.ctx.lstStatus.last(), line);
    QCOMPARE(rig.run.countText(), QString("2/2"));
    QCOMPARE(rig.run.lstSID(), (QStringList{"00:80:45:01:00:01", "00:80:45:01:00:77"}));
    QVERIFY(rig.run.comboStations().contains("00:80:45:01:00:77"));
}

void tst_EchoTestRun::refusedStart_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("box");
    QTest::newRow("five parts") << "127.0.0.1" << "00:80:45:01:00" << "Invalid Station ID";
    QTest::newRow("seven parts") << "127.0.0.1" << "00:80:45:01:00:03:04" << "Invalid Station ID";
    QTest::newRow("wrong separators") << "127.0.0.1" << "00-80-45-01-00-03" << "Invalid Station ID";
    QTest::newRow("bad address") << "127.0.0.256" << "00:80:45:01:00:03" << "Invalid IP Address";
}

void tst_EchoTestRun::refusedStart()
{
    QFETCH(QString, ip);
    QFETCH(QString, station);
    QFETCH(QString, box);
    Rig rig;
    QVERIFY(!rig.run.StartEcho(ip, station));
    QVERIFY(!rig.run.StartTrace(ip, station));
    QCOMPARE(rig.op.shown.size(), 2);
    QCOMPARE(rig.op.shown[0].title, QString("WARNING"));
    QCOMPARE(rig.op.lastText(), box);
    QCOMPARE(rig.run.TestState, 0);
    QCOMPARE(rig.rcmp.sentCount(), 0);
    QCOMPARE(rig.ctx.lstStatus.count(), 1);  // the packet ID line alone
}

QTEST_GUILESS_MAIN(tst_EchoTestRun)
#include "tst_EchoTestRun.moc"
