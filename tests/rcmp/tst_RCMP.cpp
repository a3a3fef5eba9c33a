// RCMP: the packet layout, QLN_Test's frmRCMP and QLN_Xfer's frmRCMP2 over real loopback, against
// a scripted peer and against the simulated device's radio network.
#include "devsim/DeviceSim.h"
#include "platform/ScriptedOperator.h"
#include "rcmp/frmRCMP.h"
#include "FreePortSim.h"
#include "ScriptedPeer.h"

#include <QtTest>
#include <memory>

namespace {

QString describe(const RCMPPacket& p)
{
    return QStringLiteral("id %1 seq %2 stamp %3 ttl %4 result %5 station %6 unused %7%8%9%10/%11/%12")
        .arg(p.PacketID).arg(p.SeqNo).arg(p.TimeStamp).arg(p.TTL).arg(p.Result).arg(basConv::FormatMAC(p.StationID))
        .arg(p.Byte0).arg(p.Byte1).arg(p.Byte2).arg(p.Byte3).arg(p.Reserved8).arg(p.Byte15);
}

struct Rig {
    ScriptedOperator op;
    ScriptedPeer peer;  // the device, or (with a simulator) a stranger on the link's port
    std::unique_ptr<DeviceSim> sim;
    std::unique_ptr<RCMPLink> link;
    QList<RCMPPacket> arrivals;
    QList<int> sizes;

    // With `stations` ("" for the default network) the device is the simulator.
    explicit Rig(bool xfer, const char* stations = nullptr, quint32 seed = 1, quint16 localPort = 0)
    {
        RCMPLink::Options o;
        o.tickMs = 2;
        o.localPort = localPort;
        o.remotePort = peer.port();
        if (stations) {
            DeviceSim::Options so = FreePortSimOptions(QHostAddress::LocalHost, seed);
            QString error;
            if (*stations && !RadioTopology::Parse(stations, so.radio, error)) qFatal("%s", qPrintable(error));
            sim = std::make_unique<DeviceSim>(so);
            sim->start();
            o.remotePort = sim->rcmpPort();
        }
        link = xfer ? std::unique_ptr<RCMPLink>(new frmRCMP2(&op, o)) : std::unique_ptr<RCMPLink>(new frmRCMP(&op, o));
        link->load();
        link->setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
        // Recv_Reply reads the buffer inside the arrival, before the next datagram lands.
        QObject::connect(link.get(), &RCMPLink::replyArrived, [this] {
            arrivals << link->GetRCMPPacket();
            sizes << int(link->RCMPRecvBuf.size());
        });
    }
    int request(qint16 packetId, qint16 ttl, const char* station = "00:80:45:01:02:03")
    {
        RCMPPacket p;
        p.PacketID = packetId;
        p.SeqNo = link->NextRCMPSeq();
        p.TTL = ttl;
        p.TimeStamp = 4321000;
        int convError = 0;
        basConv::ParseMAC(station, p.StationID, convError);
        link->PutRCMPPacket(p);
        return link->ExecRCMP();
    }
    QList<int> seqs() const
    {
        QList<int> s;
        for (const RCMPPacket& p : arrivals) s << p.SeqNo;
        return s;
    }
};

}  // namespace

class tst_RCMP : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void requestsOnTheWire();
    void arrivals_data();
    void arrivals();
    void sendFailures_data();
    void sendFailures();
    void closeIsDeferred();
    void radioNetwork_data();
    void radioNetwork();
    void stationFaultsFollowTheSeed();
};

void tst_RCMP::layout_data()
{
    QTest::addColumn<QByteArray>("wire");  // bytes 0-25
    QTest::addColumn<QString>("decoded");
    QTest::newRow("TTL -1")
        << QByteArray::fromHex("00000000" "1234" "0007" "00000000" "FFFF" "00" "00" "0041EEE8" "FFFFFFFFFFFF")
        << "id 4660 seq 7 stamp 4321000 ttl -1 result 0 station FF:FF:FF:FF:FF:FF unused 0000/0/0";
    QTest::newRow("packet ID 0x8000 reads back negative")
        << QByteArray::fromHex("00000000" "8000" "7FFF" "00000000" "0000" "02" "00" "0083D600" "008045010203")
        << "id -32768 seq 32767 stamp 8640000 ttl 0 result 2 station 00:80:45:01:02:03 unused 0000/0/0";
    QTest::newRow("what the device may put in the unused fields")
        << QByteArray::fromHex("01020304" "FFFF" "8001" "A1B2C3D4" "000E" "FF" "5A" "7FFFFFFF" "000000000001")
        << "id -1 seq -32767 stamp 2147483647 ttl 14 result 255 station 00:00:00:00:00:01 unused 1234/-1582119980/90";
}

void tst_RCMP::layout()
{
    QFETCH(QByteArray, wire);
    QFETCH(QString, decoded);
    QCOMPARE(wire.size(), 26);
    const RCMPPacket p = basRCMP::GetRCMPPacket(wire + QByteArray(38, char(0xEE)));  // padding is not read
    QCOMPARE(describe(p), decoded);
    QByteArray encoded;
    basRCMP::PutRCMPPacket(encoded, p);
    QCOMPARE(encoded.toHex(), (wire + QByteArray(38, '\0')).toHex());
}

void tst_RCMP::requestsOnTheWire()
{
    Rig rig(false);
    rig.link->RCMPSeq = 32767;
    QCOMPARE(rig.request(qint16(0x8001), -1), 0);
    QCOMPARE(rig.request(qint16(0x8001), 14), 0);
    QVERIFY(waitUntil([&] { return rig.peer.received.size() == 2; }));
    const QByteArray zeros(38, '\0');
    QCOMPARE(rig.peer.received[0].data,
             QByteArray::fromHex("00000000" "8001" "7FFF" "00000000" "FFFF" "0000" "0041EEE8" "008045010203") + zeros);
    QCOMPARE(rig.peer.received[1].data,
             QByteArray::fromHex("00000000" "8001" "0000" "00000000" "000E" "0000" "0041EEE8" "008045010203") + zeros);
    QCOMPARE(int(rig.link->RCMPLastID), -32767);
    rig.link->load();
    QCOMPARE(int(rig.link->NextRCMPSeq()), 0);  // loading starts the count again
}

void tst_RCMP::arrivals_data()
{
    // The link's last request went to the simulator: packet ID 2 to station 02 after packet ID 1 to
    // 01, both answered in that order. Then a stranger sends `size` bytes with `id` and `seq`, and
    // a datagram of packet ID 2, sequence 0x7F7F, after it.
    QTest::addColumn<bool>("xfer");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("passedUp");  // sequence numbers of what reached Recv_Reply
    QTest::addColumn<int>("kept");             // bytes read of the stranger's datagram
    QTest::newRow("reply") << false << 2 << 64 << QList<int>{1, 9, 0x7F7F} << 64;
    QTest::newRow("foreign packet ID") << false << 3 << 64 << QList<int>{1, 0x7F7F} << 0;
    QTest::newRow("all packet IDs in frmRCMP2") << true << 3 << 64 << QList<int>{0, 1, 9, 0x7F7F} << 64;
    QTest::newRow("300 bytes") << false << 2 << 300 << QList<int>{1, 9, 0x7F7F} << 256;
    QTest::newRow("26 bytes") << true << 2 << 26 << QList<int>{0, 1, 9, 0x7F7F} << 26;
    QTest::newRow("25 bytes: discarded") << false << 2 << 25 << QList<int>{1, 0x7F7F} << 0;
    QTest::newRow("25 bytes: discarded by frmRCMP2") << true << 2 << 25 << QList<int>{0, 1, 0x7F7F} << 0;
}

void tst_RCMP::arrivals()
{
    QFETCH(bool, xfer);
    QFETCH(int, id);
    QFETCH(int, size);
    QFETCH(QList<int>, passedUp);
    QFETCH(int, kept);
    Rig rig(xfer, "");
    QCOMPARE(rig.request(1, -1, "00:80:45:01:00:01"), 0);
    QCOMPARE(rig.request(2, -1, "00:80:45:01:00:02"), 0);
    QVERIFY(waitUntil([&] { return rig.sim->rcmpRepliesSent == 2 && rig.seqs().endsWith(1); }));
    QByteArray d = QByteArray::fromHex("00000000" "0000" "0009" "00000000" "0000" "0000" "00000000" "242526272829");
    d[5] = char(id);
    d.resize(size, char(0xAB));
    rig.peer.send(d, QHostAddress::LocalHost, rig.link->localPort());
    rig.peer.send(QByteArray::fromHex("00000000" "0002" "7F7F" "00000000" "0000" "0000" "00000000" "000000000000"),
                  QHostAddress::LocalHost, rig.link->localPort());
    QVERIFY(waitUntil([&] { return rig.seqs().endsWith(0x7F7F); }));
    QCOMPARE(rig.seqs(), passedUp);
    if (kept) {
        QCOMPARE(rig.sizes[rig.sizes.size() - 2], kept);
        QCOMPARE(basConv::FormatMAC(rig.arrivals[rig.arrivals.size() - 2].StationID), QString("24:25:26:27:28:29"));
    }
}

void tst_RCMP::sendFailures_data()
{
    // QLN_Test reports each of its two attempts with the number, QLN_Xfer its one.
    QTest::addColumn<bool>("xfer");
    QTest::addColumn<bool>("portTaken");  // else the socket refuses the destination port 0
    QTest::addColumn<QStringList>("boxes");
    const QString bind = "WARNING: Bind address already in use.";
    const QString taken = "ERROR: Packet Send Error!\r\nErrorNumber : 10048";
    const QString refused = "ERROR: Packet Send Error!\r\nErrorNumber : 10050";
    QTest::newRow("taken port") << false << true << QStringList{bind, taken, taken};
    QTest::newRow("taken port, frmRCMP2") << true << true << QStringList{bind, "ERROR: Packet Send Error!"};
    QTest::newRow("refused") << false << false << QStringList{refused, refused};
    QTest::newRow("refused, frmRCMP2") << true << false << QStringList{"ERROR: Packet Send Error!"};
}

void tst_RCMP::sendFailures()
{
    QFETCH(bool, xfer);
    QFETCH(bool, portTaken);
    QFETCH(QStringList, boxes);
    Rig owner(xfer);
    Rig rig(xfer, nullptr, 1, portTaken ? owner.link->localPort() : 0);
    if (!portTaken) rig.link->setRemotePort(0);
    QCOMPARE(rig.request(1, 0), 2);
    QCOMPARE(rig.link->RCMPState, 2);
    QStringList shown;
    for (const auto& s : rig.op.shown) shown << s.title + ": " + s.text;
    QCOMPARE(shown, boxes);
    QVERIFY(rig.op.shown.last().icon == Operator::Icon::Critical);
    QCOMPARE(rig.link->sentCount(), 0);
}

void tst_RCMP::closeIsDeferred()
{
    Rig rig(false);
    QSignalSpy closed(rig.link.get(), &RCMPLink::closed);
    rig.link->requestClose();
    QVERIFY(rig.link->isOpen() && rig.link->localPort() != 0);  // a Recv_Reply on the stack may still use it
    QVERIFY(waitUntil([&] { return closed.count() == 1; }));
    QVERIFY(!rig.link->isOpen() && rig.link->localPort() == 0);
}

void tst_RCMP::radioNetwork_data()
{
    // The default network: 01 - 02 - 03 in a chain, 11 - 12 beside it; the device is 00.
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("ttl");
    QTest::addColumn<QString>("reply");  // what was left of the TTL, result, station that answered
    QTest::newRow("neighbour, TTL 0") << QByteArray("00:80:45:01:00:01") << 0 << "ttl 0 result 0 station 00:80:45:01:00:01";
    QTest::newRow("TTL 0 runs out at the first") << QByteArray("00:80:45:01:00:03") << 0 << "ttl 0 result 2 station 00:80:45:01:00:01";
    QTest::newRow("TTL 1 runs out at the second") << QByteArray("00:80:45:01:00:03") << 1 << "ttl 0 result 2 station 00:80:45:01:00:02";
    QTest::newRow("TTL 2 reaches the third") << QByteArray("00:80:45:01:00:03") << 2 << "ttl 0 result 0 station 00:80:45:01:00:03";
    QTest::newRow("first echo TTL 14") << QByteArray("00:80:45:01:00:03") << 14 << "ttl 12 result 0 station 00:80:45:01:00:03";
    QTest::newRow("TTL -1: no limit") << QByteArray("00:80:45:01:00:03") << -1 << "ttl -1 result 0 station 00:80:45:01:00:03";
    QTest::newRow("other branch") << QByteArray("00:80:45:01:00:12") << 0 << "ttl 0 result 2 station 00:80:45:01:00:11";
    QTest::newRow("unknown station") << QByteArray("00:80:45:09:09:09") << -1 << "ttl -1 result 1 station 00:80:45:01:00:00";
    QTest::newRow("broadcast ID is no station") << QByteArray("FF:FF:FF:FF:FF:FF") << 14 << "ttl 14 result 1 station 00:80:45:01:00:00";
}

void tst_RCMP::radioNetwork()
{
    QFETCH(QByteArray, to);
    QFETCH(int, ttl);
    QFETCH(QString, reply);
    Rig rig(false, "");
    rig.link->RCMPSeq = 32767;
    QCOMPARE(rig.request(qint16(0x9A01), qint16(ttl), to.constData()), 0);
    QVERIFY(waitUntil([&] { return !rig.arrivals.isEmpty(); }));
    QCOMPARE(describe(rig.arrivals[0]), "id -26111 seq 32767 stamp 4321000 " + reply + " unused 0000/0/0");
    QCOMPARE(rig.sizes, QList<int>{64});
}

void tst_RCMP::stationFaultsFollowTheSeed()
{
    // 01 loses half its answers; 02 answers twice and late, so its request, sent first, is answered last.
    auto run = [](quint32 seed) {
        Rig rig(true, "00:80:45:01:00:01 loss 0.5\n00:80:45:01:00:02 duplicate 1 delay 5\n", seed);
        rig.request(1, -1, "00:80:45:01:00:02");
        for (int i = 0; i < 40; ++i) rig.request(1, -1, "00:80:45:01:00:01");
        waitUntil([&] {
            return rig.sim->rcmpRequestsReceived == 41 && rig.arrivals.size() == rig.sim->rcmpRepliesSent &&
                   rig.seqs().count(0) == 2;
        });
        return rig.seqs();
    };
    const QList<int> a = run(7), b = run(7), c = run(8);
    QCOMPARE(a, b);
    QVERIFY(a != c);
    QVERIFY2(a.size() > 10 && a.size() < 37 && a.mid(a.size() - 2) == (QList<int>{0, 0}), qPrintable(QString::number(a.size())));
}

QTEST_GUILESS_MAIN(tst_RCMP)
#include "tst_RCMP.moc"
