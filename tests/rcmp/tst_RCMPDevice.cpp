// The RCMP engines against the simulated device and its radio network, over loopback.
#include "devsim/DeviceSim.h"
#include "platform/ScriptedOperator.h"
#include "rcmp/frmRCMP.h"
#include "FreePortSim.h"
#include "ScriptedPeer.h"

#include <QtTest>
#include <memory>

namespace {

basConv::Mac station(const QString& text)
{
    basConv::Mac id{};
    int convError = 0;
    basConv::ParseMAC(text.toLatin1(), id, convError);
    return id;
}

struct Rig {
    explicit Rig(const QByteArray& stations = QByteArray(), bool xfer = false, quint32 seed = 1)
    {
        DeviceSim::Options o = FreePortSimOptions(QHostAddress::LocalHost, seed);
        QString error;
        if (!stations.isEmpty() && !RadioTopology::Parse(stations, o.radio, error)) qFatal("%s", qPrintable(error));
        sim = std::make_unique<DeviceSim>(o);
        if (!sim->start(&error)) qFatal("%s", qPrintable(error));
        RCMPLink::Options lo;
        lo.tickMs = 2;
        lo.localPort = 0;
        lo.remotePort = sim->rcmpPort();
        if (xfer)
            link = std::make_unique<frmRCMP2>(&op, lo);
        else
            link = std::make_unique<frmRCMP>(&op, lo);
        link->load();
        link->setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
        QObject::connect(link.get(), &RCMPLink::replyArrived, [this] {
            arrivals.append(link->GetRCMPPacket());
            bytes.append(link->RCMPRecvBuf);
        });
    }
    int request(qint16 packetId, const QString& to, qint16 ttl)
    {
        RCMPPacket p;
        p.PacketID = packetId;
        p.SeqNo = link->NextRCMPSeq();
        p.TTL = ttl;
        p.TimeStamp = 4321000;
        p.StationID = station(to);
        link->PutRCMPPacket(p);
        return link->ExecRCMP();
    }
    // Every request reached the device and every answer it sent has come in.
    bool settled(int requests)
    {
        return waitUntil([&] { return sim->rcmpRequestsReceived == requests && arrivals.size() == sim->rcmpRepliesSent; });
    }
    ScriptedOperator op;
    std::unique_ptr<DeviceSim> sim;
    std::unique_ptr<RCMPLink> link;
    QList<RCMPPacket> arrivals;
    QList<QByteArray> bytes;
};

QList<int> answeredSeqs(quint32 seed)
{
    Rig rig("00:80:45:01:00:01 loss 0.5\n", false, seed);
    for (int i = 0; i < 40; ++i) rig.request(0x0101, "00:80:45:01:00:01", -1);
    rig.settled(40);
    QList<int> seqs;
    for (const RCMPPacket& p : rig.arrivals) seqs << p.SeqNo;
    return seqs;
}

}  // namespace

class tst_RCMPDevice : public QObject {
    Q_OBJECT
private slots:
    void topology_data();
    void topology();
    void replyOfAnEarlierRun_data();
    void replyOfAnEarlierRun();
    void lossIsRepeatableBySeed();
    void duplicateAndDelay();
    void muteAnswersNothing();
};

void tst_RCMPDevice::topology_data()
{
    // The default network: 01 - 02 - 03 in a chain, 11 - 12 beside it; the device is 00.
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("ttl");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("answeredBy");
    QTest::addColumn<int>("replyTtl");
    QTest::newRow("neighbour, TTL 0") << "00:80:45:01:00:01" << 0 << 0 << "00:80:45:01:00:01" << 0;
    QTest::newRow("three hops, TTL 0: runs out at the first") << "00:80:45:01:00:03" << 0 << 2 << "00:80:45:01:00:01" << 0;
    QTest::newRow("three hops, TTL 1: runs out at the second") << "00:80:45:01:00:03" << 1 << 2 << "00:80:45:01:00:02" << 0;
    QTest::newRow("three hops, TTL 2: reached") << "00:80:45:01:00:03" << 2 << 0 << "00:80:45:01:00:03" << 0;
    QTest::newRow("three hops, first echo TTL 14") << "00:80:45:01:00:03" << 14 << 0 << "00:80:45:01:00:03" << 12;
    QTest::newRow("three hops, TTL -1: no limit") << "00:80:45:01:00:03" << -1 << 0 << "00:80:45:01:00:03" << -1;
    QTest::newRow("other branch, TTL 0") << "00:80:45:01:00:12" << 0 << 2 << "00:80:45:01:00:11" << 0;
    QTest::newRow("other branch, TTL 1") << "00:80:45:01:00:12" << 1 << 0 << "00:80:45:01:00:12" << 0;
    QTest::newRow("unknown station") << "00:80:45:09:09:09" << -1 << 1 << "00:80:45:01:00:00" << -1;
    QTest::newRow("broadcast ID is no station") << "FF:FF:FF:FF:FF:FF" << 14 << 1 << "00:80:45:01:00:00" << 14;
    QTest::newRow("the device itself") << "00:80:45:01:00:00" << 0 << 0 << "00:80:45:01:00:00" << 0;
}

void tst_RCMPDevice::topology()
{
    QFETCH(QString, to);
    QFETCH(int, ttl);
    QFETCH(int, result);
    QFETCH(QString, answeredBy);
    QFETCH(int, replyTtl);
    Rig rig;
    rig.link->RCMPSeq = 32767;
    QCOMPARE(rig.request(qint16(0x9A01), to, qint16(ttl)), 0);
    QVERIFY(rig.settled(1));
    QCOMPARE(rig.arrivals.size(), 1);
    const RCMPPacket& r = rig.arrivals[0];
    QCOMPARE(int(r.Result), result);
    QCOMPARE(basConv::FormatMAC(r.StationID), answeredBy);
    QCOMPARE(int(r.TTL), replyTtl);
    QCOMPARE(int(r.PacketID), -26111);  // 0x9A01
    QCOMPARE(int(r.SeqNo), 32767);
    QCOMPARE(r.TimeStamp, 4321000);
    QCOMPARE(rig.bytes[0].size(), 64);
    QCOMPARE(rig.bytes[0].mid(26), QByteArray(38, '\0'));
}

void tst_RCMPDevice::replyOfAnEarlierRun_data()
{
    QTest::addColumn<bool>("xfer");
    QTest::addColumn<QList<int>>("packetIds");
    QTest::newRow("QLN_Test drops it") << false << QList<int>{2};
    QTest::newRow("QLN_Xfer passes it up") << true << QList<int>{1, 2};
}

void tst_RCMPDevice::replyOfAnEarlierRun()
{
    // Both requests leave before either answer comes in, so the first answer arrives after
    // packet ID 2 was sent last.
    QFETCH(bool, xfer);
    QFETCH(QList<int>, packetIds);
    Rig rig(QByteArray(), xfer);
    QCOMPARE(rig.request(1, "00:80:45:01:00:01", -1), 0);
    QCOMPARE(rig.request(2, "00:80:45:01:00:02", -1), 0);
    // The device answers in order: when the second answer is in, the first has been seen.
    QVERIFY(waitUntil([&] { return !rig.arrivals.isEmpty() && rig.arrivals.last().PacketID == 2; }));
    QCOMPARE(rig.sim->rcmpRepliesSent, 2);
    QList<int> seen;
    for (const RCMPPacket& p : rig.arrivals) seen << p.PacketID;
    QCOMPARE(seen, packetIds);
}

void tst_RCMPDevice::lossIsRepeatableBySeed()
{
    const QList<int> a = answeredSeqs(7), b = answeredSeqs(7), c = answeredSeqs(8);
    QCOMPARE(a, b);
    QVERIFY(a != c);
    QVERIFY2(a.size() > 5 && a.size() < 35, qPrintable(QString::number(a.size())));
}

void tst_RCMPDevice::duplicateAndDelay()
{
    // 02 is heard late; 01 twice. 02's request goes first, its answer still comes last.
    Rig rig("00:80:45:01:00:01 duplicate 1\n00:80:45:01:00:02 delay 5\n");
    QCOMPARE(rig.request(5, "00:80:45:01:00:02", -1), 0);
    QCOMPARE(rig.request(5, "00:80:45:01:00:01", -1), 0);
    QVERIFY(waitUntil([&] { return rig.arrivals.size() == 3; }));
    QStringList from;
    for (const RCMPPacket& p : rig.arrivals) from << basConv::FormatMAC(p.StationID) + " seq " + QString::number(p.SeqNo);
    QCOMPARE(from, (QStringList{"00:80:45:01:00:01 seq 1", "00:80:45:01:00:01 seq 1", "00:80:45:01:00:02 seq 0"}));
}

void tst_RCMPDevice::muteAnswersNothing()
{
    DeviceSim::Options o = FreePortSimOptions(QHostAddress::LocalHost);
    o.faults.mute = true;
    DeviceSim sim(o);
    QVERIFY(sim.start());
    ScriptedPeer peer;
    QByteArray request(64, '\0');
    peer.send(request, QHostAddress::LocalHost, sim.rcmpPort());
    QVERIFY(waitUntil([&] { return sim.rcmpRequestsReceived == 1; }));
    QCOMPARE(sim.rcmpRepliesSent, 0);
}

QTEST_GUILESS_MAIN(tst_RCMPDevice)
#include "tst_RCMPDevice.moc"
