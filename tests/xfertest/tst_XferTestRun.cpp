// QLN_Xfer's run logic over real loopback: a scripted device for the test_mode exchanges, a
// scripted sender for the RCMP datagrams, and the simulator for the stream end to end. The test
// delivers datagrams first and then lets the event loop run until each one has been taken.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "devsim/DeviceSim.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "xfertest/XferTestSession.h"

#include <QtTest>
#include <memory>

namespace {

// The fields of an echo run: the device and the packet ID, the window's defaults for the rest.
XferTestRun::Fields echoFields(const char* ip, const char* id)
{
    XferTestRun::Fields f;
    f.ip = QString::fromLatin1(ip);
    f.id = QString::fromLatin1(id);
    return f;
}

const QString At = QStringLiteral("23:59:59.990  ");
const QString I14(14, ' ');

struct Rig {
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59, 990))};
    ScriptedOperator op;
    ScriptedPeer device;  // answers UIF requests: status `status`, payload `payload` from byte 12
    ScriptedPeer sender;  // sends RCMP datagrams to the link
    qint32 status = 0;
    QByteArray payload;
    std::unique_ptr<XferTestSession> s;
    int arrivals = 0;

    explicit Rig(quint16 uifPort = 0, quint16 rcmpPort = 0, bool reloadOnHostPort = true)
    {
        device.reply = [this](const ScriptedPeer::Datagram& d) {
            QByteArray r = d.data;
            basConv::PutIntBE(1, r, 0);
            basConv::PutLongBE(status, r, 8);
            r.replace(12, payload.size(), payload);
            return QList<QByteArray>{r};
        };
        XferTestSession::Options o;
        o.uif.tickMs = 2;
        o.uif.localPort = 0;
        o.uif.remotePort = uifPort ? uifPort : device.port();
        o.rcmp.localPort = 0;
        o.rcmp.remotePort = rcmpPort ? rcmpPort : sender.port();
        o.run.tickMs = 0;
        o.run.reloadOnHostPort = reloadOnHostPort;
        s = std::make_unique<XferTestSession>(clock, op, o);
        QObject::connect(&s->rcmp, &RCMPLink::replyArrived, [this] { ++arrivals; });
        s->load();
        s->run.CheckIPAddress("127.0.0.1");
    }
    // Datagrams to the link, all sent before any is read.
    void deliver(const QList<RCMPPacket>& packets)
    {
        const int until = arrivals + int(packets.size());
        for (const RCMPPacket& p : packets) {
            QByteArray d;
            basRCMP::PutRCMPPacket(d, p);
            sender.send(d, QHostAddress::LocalHost, s->rcmp.localPort());
        }
        QVERIFY(waitUntil([&] { return arrivals == until; }, 20000));
    }
    XferTestRun& run() { return s->run; }
};

RCMPPacket Packet(qint16 id, qint16 seq, uint8_t result = 0, qint32 stamp = 8639999)
{
    RCMPPacket p;
    p.PacketID = id;
    p.SeqNo = seq;
    p.TTL = 12;
    p.Result = result;
    p.TimeStamp = stamp;
    p.StationID = {0x00, 0x80, 0x45, 0x01, 0x00, 0x02};
    return p;
}

}  // namespace

Q_DECLARE_METATYPE(RCMPPacket)

class tst_XferTestRun : public QObject {
    Q_OBJECT
private slots:
    void boxes_data();
    void boxes();
    void hostPortRebinds();
    void modeRequests_data();
    void modeRequests();
    void modeCheck_data();
    void modeCheck();
    void sorting_data();
    void sorting();
    void firstPacketAddsNothing();
    void echoRunStatistics();
    void streamEndToEnd();
};

// Each box: the text, the message when refused, else what is stored (TestPacketID/EchoPacketID,
// SendInterval or SendLimit).
void tst_XferTestRun::boxes_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<qint64>>("stored");
    QTest::newRow("id 0: echo 1") << "id" << "0" << "" << QList<qint64>{0, 1};
    QTest::newRow("id 1: echo 0") << "id" << "1" << "" << QList<qint64>{1, 0};
    QTest::newRow("id 65535 is -1") << "id" << "65535" << "" << QList<qint64>{-1, -2};
    QTest::newRow("id 0x8000") << "id" << "0x8000" << "" << QList<qint64>{-32768, -32767};
    QTest::newRow("id 65536") << "id" << "65536" << "Invalid RCMP packet ID" << QList<qint64>{0, 1};
    QTest::newRow("id 0xffffffff") << "id" << "0xffffffff" << "Invalid RCMP packet ID" << QList<qint64>{0, 1};
    QTest::newRow("interval 0") << "rep" << "0" << "Interval Time out of range " << QList<qint64>{10};
    QTest::newRow("interval 100001") << "rep" << "100001" << "Interval Time out of range " << QList<qint64>{10};
    QTest::newRow("interval 1") << "rep" << "1" << "" << QList<qint64>{1};
    QTest::newRow("interval 100000") << "rep" << "100000" << "" << QList<qint64>{100000};
    QTest::newRow("interval 1e3") << "rep" << "1e3" << "Invalid Interval time" << QList<qint64>{10};
    QTest::newRow("limit box default") << "limit" << "0xffffffff" << "" << QList<qint64>{-1};
    QTest::newRow("limit 65535: no limit") << "limit" << "65535" << "" << QList<qint64>{-1};
    QTest::newRow("limit 32768 not widened") << "limit" << "32768" << "" << QList<qint64>{32768};
    QTest::newRow("limit 65534") << "limit" << "65534" << "" << QList<qint64>{65534};
    QTest::newRow("limit 100000") << "limit" << "100000" << "" << QList<qint64>{100000};
    QTest::newRow("limit ten digits") << "limit" << "4294967295" << "Invalid Send Limit" << QList<qint64>{0};
    QTest::newRow("host ip") << "hostip" << "1.2.3" << "Invalid IP Address" << QList<qint64>{};
    QTest::newRow("host port") << "hostport" << "65536" << "Invalid Port number" << QList<qint64>{};
}

void tst_XferTestRun::boxes()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QList<qint64>, stored);
    Rig rig;
    XferTestRun& run = rig.run();
    const bool ok = box == "id" ? run.CheckPacketID(text) : box == "rep" ? run.CheckInterval(text)
                  : box == "limit" ? run.CheckLimit(text) : box == "hostip" ? run.CheckHostIP(text) : run.CheckHostPort(text);
    QCOMPARE(ok, message.isEmpty());
    QCOMPARE(rig.op.lastText(), message);
    if (box == "id") QCOMPARE((QList<qint64>{run.TestPacketID, run.EchoPacketID}), stored);
    if (box == "rep") QCOMPARE(qint64(run.SendInterval), stored.value(0));
    if (box == "limit") QCOMPARE(qint64(run.SendLimit), stored.value(0));
}

void tst_XferTestRun::hostPortRebinds()
{
    Rig rig;
    const quint16 before = rig.s->rcmp.localPort();
    quint16 free = 0;
    {
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress::AnyIPv4, 0));
        free = probe.localPort();
    }
    QVERIFY(!rig.run().CheckHostPort("70000"));
    QCOMPARE(rig.s->rcmp.localPort(), before);
    QVERIFY(rig.run().CheckHostPort(QString::number(free)));
    QCOMPARE(rig.s->rcmp.localPort(), free);
    QCOMPARE(quint16(rig.run().RecvHostPort), free);
    // The stream's socket asks for 4 MiB and gets at most net.core.rmem_max; Linux reports
    // twice what it keeps for data.
    QFile max("/proc/sys/net/core/rmem_max");
    QVERIFY(max.open(QIODevice::ReadOnly));
    QCOMPARE(rig.s->rcmp.receiveBufferSize(), 2 * qMin(4194304, max.readAll().trimmed().toInt()));
}

// Bytes 12-35 of the test_mode set request; 36-63 stay 0xFF.
void tst_XferTestRun::modeRequests_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("boxes");  // id, rep, limit, host ip, host port
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("line");
    QTest::newRow("send") << 1 << QStringList{"0x1234", "250", "40000", "10.0.0.1", "1"}
                          << "00000001 1234 FFFF 000000FA FFFFFFFF FFFF FFFF 00009C40" << "Test Mode: Send";
    QTest::newRow("send, the box's default limit") << 1 << QStringList{"3", "10", "0xffffffff", "10.0.0.1", "1"}
                          << "00000001 0003 FFFF 0000000A FFFFFFFF FFFF FFFF FFFFFFFF" << "Test Mode: Send";
    QTest::newRow("receive") << 2 << QStringList{"7", "0", "x", "192.168.1.2", "40000"}
                             << "00000002 0007 FFFF FFFFFFFF C0A80102 9C40 FFFF 00000000" << "Test Mode: Receive";
    QTest::newRow("disable") << 0 << QStringList{"x", "x", "x", "x", "x"}
                             << "00000000 FFFF FFFF FFFFFFFF FFFFFFFF FFFF FFFF 00000000" << "Test Mode: Disable";
}

void tst_XferTestRun::modeRequests()
{
    QFETCH(int, mode);
    QFETCH(QStringList, boxes);
    QFETCH(QString, payload);
    QFETCH(QString, line);
    Rig rig(0, 0, false);  // the host port is only sent, not bound
    XferTestRun::Fields f{"127.0.0.1", boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]};
    QCOMPARE(rig.run().ValidateMode(mode, f), XferTestRun::Box::None);
    QCOMPARE(rig.run().SetTestMode(mode), 0);
    QCOMPARE(rig.device.received.size(), 1);
    const QByteArray sent = rig.device.received[0].data;
    QCOMPARE(sent.size(), 64);
    QCOMPARE(sent.mid(0, 4).toHex().toUpper(), QByteArray("00000035"));
    QCOMPARE(QString(sent.mid(12, 24).toHex().toUpper()), QString(payload).remove(' '));
    QCOMPARE(sent.mid(36), QByteArray(28, char(0xFF)));
    QCOMPARE(rig.s->lstStatus.lines(), (QStringList{"", At + line}));
}

void tst_XferTestRun::modeCheck_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("receive, packet ID -1, port 40000")
        << 0 << "00000002 FFFF FFFF FFFFFFFF 0A000005 9C40 FFFF 00000000"
        << QStringList{"Test Mode: Receive", "RCMP packet ID: 0xFFFF(65535)", "Send Interval Time: -1",
                       "Receive Host IP address: 10.0.0.5", "Receive Host UDP port: -25536"};
    QTest::newRow("unknown mode") << 0 << "00000007 00FF FFFF 000186A0 FFFFFFFF FFFF FFFF 00000000"
        << QStringList{"Test Mode: ??\?(7)", "RCMP packet ID: 0x00FF(255)", "Send Interval Time: 100000",
                       "Receive Host IP address: 255.255.255.255", "Receive Host UDP port: -1"};
    QTest::newRow("refused") << 3 << "" << QStringList{"Error: test_mode get command.", "<14> St: 3,ErrACK(Invalid parameter)."};
    // QLN_Xfer's status texts have nothing for 11.
    QTest::newRow("status 11") << 11 << "" << QStringList{"Error: test_mode get command.", "<14> St: 11,."};
}

void tst_XferTestRun::modeCheck()
{
    QFETCH(int, status);
    QFETCH(QString, payload);
    QFETCH(QStringList, lines);
    Rig rig;
    rig.status = status;
    rig.payload = QByteArray::fromHex(payload.toLatin1());
    QCOMPARE(rig.run().ModeCheck(), status);
    QCOMPARE(basConv::GetIntBE(rig.device.received.value(0).data, 2), qint16(54));
    QStringList expected{"", At + "RCMP test mode parameters"};
    for (const QString& l : lines) expected << (l.startsWith("<14>") ? I14 + l.mid(4) : At + l);
    QCOMPARE(rig.s->lstStatus.lines(), expected);
}

// Datagrams after "Receive Mode" with test packet ID 4 (echo ID 5): the lines they leave and the
// counters lost/received.
void tst_XferTestRun::sorting_data()
{
    QTest::addColumn<bool>("echo");  // an echo run is going
    QTest::addColumn<QList<RCMPPacket>>("packets");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("count");
    const QString t = "RCMP test: 00:80:45:01:00:02  seq=";
    QTest::newRow("5 6 9: two lost") << false << QList<RCMPPacket>{Packet(4, 5), Packet(4, 6), Packet(4, 9)}
        << QStringList{At + t + "5 ttl=12", At + t + "6 ttl=12", At + t + "9 ttl=12"} << "2/3";
    QTest::newRow("then 8: two fewer") << false << QList<RCMPPacket>{Packet(4, 5), Packet(4, 6), Packet(4, 9), Packet(4, 8)}
        << QStringList{At + t + "5 ttl=12", At + t + "6 ttl=12", At + t + "9 ttl=12", At + t + "8 ttl=12"} << "0/4";
    QTest::newRow("the device's wrap") << false << QList<RCMPPacket>{Packet(4, 32767), Packet(4, 0)}
        << QStringList{At + t + "32767 ttl=12", At + t + "0 ttl=12"} << "0/2";
    QTest::newRow("a gap across the wrap") << false << QList<RCMPPacket>{Packet(4, 32766), Packet(4, 1)}
        << QStringList{At + t + "32766 ttl=12", At + t + "1 ttl=12"} << "2/2";
    QTest::newRow("late across the wrap, then a repeat") << false << QList<RCMPPacket>{Packet(4, 0), Packet(4, 32767), Packet(4, 32767)}
        << QStringList{At + t + "0 ttl=12", At + t + "32767 ttl=12", At + t + "32767 ttl=12"} << "-3/3";
    // A packet numbered -1 (0xFFFF) is a packet like any other, not "none yet": the gap after it counts.
    QTest::newRow("sequence -1 first") << false << QList<RCMPPacket>{Packet(4, -1), Packet(4, 2)}
        << QStringList{At + t + "-1 ttl=12", At + t + "2 ttl=12"} << "2/2";
    QTest::newRow("results 2 and 1 still count") << false << QList<RCMPPacket>{Packet(4, 1, 2), Packet(4, 3, 1)}
        << QStringList{"RCMP test: Time exceeded.", "RCMP test: Destination unreachable."} << "1/2";
    QTest::newRow("a foreign stream") << false << QList<RCMPPacket>{Packet(9, 3), Packet(-1, 4)}
        << QStringList{At + "Receive different ID: 0x0009(9) seq=3", At + "Receive different ID: 0xFFFF(65535) seq=4"} << "0/0";
    QTest::newRow("echo ID without a run") << false << QList<RCMPPacket>{Packet(5, 0)} << QStringList{} << "0/0";
    // The stamp 23:59:59.99 after a stamp of the Long's lowest value: beyond 32 bits.
    QTest::newRow("echo replies, 64-bit time") << true
        << QList<RCMPPacket>{Packet(5, 0), Packet(5, 1, 0, qint32(0x80000000)), Packet(5, 2, 2), Packet(5, 3, 1), Packet(4, 7)}
        << QStringList{At + "Reply  00:80:45:01:00:02  seq=0 ttl=12 time=0ms",
                       At + "Reply  00:80:45:01:00:02  seq=1 ttl=12 time=21561236470ms",
                       I14 + "time exceeded.", I14 + "Destination unreachable.", At + t + "7 ttl=12"} << "0/1";
}

void tst_XferTestRun::sorting()
{
    QFETCH(bool, echo);
    QFETCH(QList<RCMPPacket>, packets);
    QFETCH(QStringList, lines);
    QFETCH(QString, count);
    Rig rig;
    XferTestRun& run = rig.run();
    QVERIFY(run.ValidateMode(XferTestRun::ModeReceive, {"127.0.0.1", "4", "", "", "127.0.0.1", QString::number(rig.s->rcmp.localPort())})
            == XferTestRun::Box::None);
    QCOMPARE(run.SetTestMode(XferTestRun::ModeReceive), 0);
    if (echo) QVERIFY(run.StartEcho(echoFields("127.0.0.1", "4"), "00:80:45:01:00:02"));
    const int skip = int(rig.s->lstStatus.count());
    rig.deliver(packets);
    QCOMPARE(rig.s->lstStatus.lines().mid(skip), lines);
    QCOMPARE(run.countText(), count);
    QCOMPARE(run.EchoRecvCnt, echo ? 2 : 0);
    QCOMPARE(run.comboStations(), QStringList{"00:80:45:01:00:02"});
    QVERIFY(run.lampLit());
}

void tst_XferTestRun::firstPacketAddsNothing()
{
    Rig rig;
    XferTestRun& run = rig.run();
    rig.deliver({Packet(0, 100)});  // after start-up
    QCOMPARE(run.countText(), QString("0/1"));
    run.Reset();
    QCOMPARE(run.countText(), QString("0/0"));
    rig.deliver({Packet(0, 200), Packet(0, 202)});  // after Reset
    QCOMPARE(run.countText(), QString("1/2"));
    QCOMPARE(run.ValidateMode(XferTestRun::ModeReceive, {"127.0.0.1", "0", "", "", "127.0.0.1", QString::number(rig.s->rcmp.localPort())}),
             XferTestRun::Box::None);
    QCOMPARE(run.SetTestMode(XferTestRun::ModeReceive), 0);
    rig.deliver({Packet(0, 7)});  // after Receive Mode: the counters stay, the last number is forgotten
    QCOMPARE(run.countText(), QString("1/3"));
}

void tst_XferTestRun::echoRunStatistics()
{
    DeviceSim sim(FreePortSimOptions(QHostAddress::LocalHost));
    QVERIFY(sim.start());
    Rig rig(sim.uifPort(), sim.rcmpPort());
    XferTestRun& run = rig.run();
    // A text the conversion refuses starts nothing and stays out of the station list.
    QVERIFY(!run.StartEcho(echoFields("127.0.0.1", "0x10"), "12-34-56"));
    QCOMPARE(rig.op.lastText(), QString("Invalid Station ID"));
    QCOMPARE(run.comboStations(), QStringList());
    QVERIFY(run.StartEcho(echoFields("127.0.0.1", "0x10"), "00:80:45:01:00:03"));
    QVERIFY(!run.StartEcho(echoFields("127.0.0.1", "0x10"), "00:80:45:01:00:03"));  // one run at a time
    QVERIFY(waitUntil([&] { return rig.arrivals == 1; }));
    for (int i = 0; i < 11; ++i) run.tmrRep_Timer();  // the repetition
    QVERIFY(waitUntil([&] { return rig.arrivals == 2; }));
    QCOMPARE(sim.rcmpRequestsReceived, 2);
    run.EchoStop();
    QCOMPARE(rig.s->lstStatus.lines().mid(4),
             (QStringList{I14 + "--- 00:80:45:01:00:03 ping statistics ---", At + "2 packets transmitted, 2 packets received,",
                          I14 + "0% packet loss."}));
    QCOMPARE(rig.s->lstStatus.lines().mid(1, 2), (QStringList{At + "RCMP ping 00:80:45:01:00:03",
                                                              At + "Reply  00:80:45:01:00:03  seq=0 ttl=-1 time=0ms"}));
    QCOMPARE((QList<qint32>{run.EchoSentCnt, run.EchoRecvCnt, run.LastEchoSent}), (QList<qint32>{0, 0, 2}));
    QCOMPARE(run.countText(), QString("0/0"));  // echo replies are not test packets
}

// Receive mode against the simulator: 40,000 sequence numbers, past the device's wrap from 32767
// to 0, with 37 of them skipped.
void tst_XferTestRun::streamEndToEnd()
{
    DeviceSim::Options so = FreePortSimOptions(QHostAddress::LocalHost, 7);
    so.xfer.limit = 40000;
    so.xfer.gaps = 37;
    so.xfer.intervalMs = 0;
    DeviceSim sim(so);
    QVERIFY(sim.start());
    auto* mode = sim.findChild<DeviceTestMode*>();
    Rig rig(sim.uifPort(), sim.rcmpPort());
    XferTestRun& run = rig.run();
    QCOMPARE(run.ValidateMode(XferTestRun::ModeReceive, {"127.0.0.1", "0x2A", "", "", "127.0.0.1", QString::number(rig.s->rcmp.localPort())}),
             XferTestRun::Box::None);
    QCOMPARE(run.SetTestMode(XferTestRun::ModeReceive), 0);
    QVERIFY(waitUntil([&] { return !mode->streaming(); }, 60000));
    QCOMPARE(mode->streamSent(), quint64(39963));
    QVERIFY(waitUntil([&] { return run.TestRecvCnt == 39963; }, 60000));
    QCOMPARE(run.countText(), QString("37/39963"));
    QCOMPARE(mode->packetId(), qint16(0x2A));
}

QTEST_GUILESS_MAIN(tst_XferTestRun)
#include "tst_XferTestRun.moc"
