// The RCMP engines over real loopback sockets, against a scripted device. Every case runs for
// QLN_Test's frmRCMP and for QLN_Xfer's frmRCMP2.
#include "platform/ScriptedOperator.h"
#include "rcmp/frmRCMP.h"
#include "ScriptedPeer.h"

#include <QtTest>
#include <memory>

namespace {

constexpr int Tick = 2;  // ms

QByteArray datagram(qint16 packetId, qint16 seqNo, int size = 64, char fill = '\0')
{
    QByteArray d(qMax(size, 26), '\0');
    basConv::PutIntBE(packetId, d, 4);
    basConv::PutIntBE(seqNo, d, 6);
    d[14] = 0;
    for (int i = 20; i < 26; ++i) d[i] = char(0x10 + i);
    if (size > 26) d.replace(26, size - 26, QByteArray(size - 26, fill));
    d.truncate(size);
    return d;
}

struct Arrival {
    RCMPPacket packet;
    int bytes = 0;
};

struct Rig {
    ScriptedOperator op;
    ScriptedPeer peer;
    std::unique_ptr<RCMPLink> link;
    QList<Arrival> arrivals;

    explicit Rig(bool xfer, quint16 localPort = 0)
    {
        RCMPLink::Options o;
        o.tickMs = Tick;
        o.localPort = localPort;
        o.remotePort = peer.port();
        if (xfer)
            link = std::make_unique<frmRCMP2>(&op, o);
        else
            link = std::make_unique<frmRCMP>(&op, o);
        link->load();
        link->setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
        // Recv_Reply reads the buffer inside the arrival, before the next datagram lands.
        QObject::connect(link.get(), &RCMPLink::replyArrived, [this] {
            arrivals.append({link->GetRCMPPacket(), int(link->RCMPRecvBuf.size())});
        });
    }
    int request(qint16 packetId, qint16 ttl)
    {
        RCMPPacket p;
        p.PacketID = packetId;
        p.SeqNo = link->NextRCMPSeq();
        p.TTL = ttl;
        p.TimeStamp = 4321000;
        p.StationID = {0x00, 0x80, 0x45, 0x01, 0x02, 0x03};
        link->PutRCMPPacket(p);
        return link->ExecRCMP();
    }
    void toLink(const QByteArray& d) { peer.send(d, QHostAddress::LocalHost, link->localPort()); }
};

}  // namespace

class tst_frmRCMP : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data();
    void requestOnTheWire();
    void sequenceWraps();
    void arrivals_data();
    void arrivals();
    void portAlreadyInUse();
    void sendRefusedBySocket();
    void closeIsDeferred();
};

void tst_frmRCMP::initTestCase_data()
{
    QTest::addColumn<bool>("xfer");
    QTest::newRow("frmRCMP") << false;
    QTest::newRow("frmRCMP2") << true;
}

void tst_frmRCMP::requestOnTheWire()
{
    QFETCH_GLOBAL(bool, xfer);
    Rig rig(xfer);
    rig.link->RCMPSeq = 5;
    QCOMPARE(rig.request(qint16(0x8001), -1), 0);
    QVERIFY(waitUntil([&] { return rig.peer.received.size() == 1; }));
    const QByteArray wire = rig.peer.received[0].data;
    QCOMPARE(wire.size(), 64);
    QCOMPARE(wire.left(26).toHex(),
             QByteArray("00000000" "8001" "0005" "00000000" "ffff" "00" "00" "0041eee8" "008045010203"));
    QCOMPARE(wire.mid(26), QByteArray(38, '\0'));
    QCOMPARE(int(rig.link->RCMPLastID), -32767);
    QCOMPARE(int(rig.link->RCMPLastSeq), 5);
    QCOMPARE(rig.link->RCMPState, 0);
    QCOMPARE(rig.op.shown.size(), 0);
}

void tst_frmRCMP::sequenceWraps()
{
    QFETCH_GLOBAL(bool, xfer);
    Rig rig(xfer);
    QCOMPARE(int(rig.link->NextRCMPSeq()), 0);  // loading starts the count
    rig.link->RCMPSeq = 32766;
    QList<int> seen;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(rig.request(7, 0), 0);
        seen << int(rig.link->RCMPLastSeq);
    }
    QCOMPARE(seen, (QList<int>{32766, 32767, 0, 1}));
    rig.link->load();
    QCOMPARE(rig.link->RCMPSeq, 0);
}

void tst_frmRCMP::arrivals_data()
{
    // The request out carries packet ID 0x4242, sequence 3. Each datagram is followed by one of the
    // request's own (sequence 99), so the outcome is known when that one arrives.
    QTest::addColumn<QByteArray>("incoming");
    QTest::addColumn<bool>("upInTest");
    QTest::addColumn<bool>("upInXfer");
    QTest::addColumn<int>("bytesKept");
    QTest::newRow("reply") << datagram(0x4242, 3) << true << true << 64;
    QTest::newRow("older sequence, same packet ID") << datagram(0x4242, 1) << true << true << 64;
    QTest::newRow("foreign packet ID") << datagram(0x4243, 3) << false << true << 64;
    QTest::newRow("300 bytes: the first 256 are read") << datagram(0x4242, 3, 300, char(0xAB)) << true << true << 256;
    QTest::newRow("26 bytes: just the fields") << datagram(0x4242, 3, 26) << true << true << 26;
    QTest::newRow("25 bytes: discarded") << datagram(0x4242, 3, 25) << false << false << 0;
    QTest::newRow("8 bytes with the packet ID: discarded") << datagram(0x4242, 3, 8) << false << false << 0;
}

void tst_frmRCMP::arrivals()
{
    QFETCH_GLOBAL(bool, xfer);
    QFETCH(QByteArray, incoming);
    QFETCH(bool, upInTest);
    QFETCH(bool, upInXfer);
    QFETCH(int, bytesKept);
    const bool up = xfer ? upInXfer : upInTest;
    Rig rig(xfer);
    rig.link->RCMPSeq = 3;
    QCOMPARE(rig.request(0x4242, 0), 0);
    rig.toLink(incoming);
    rig.toLink(datagram(0x4242, 99));
    QVERIFY(waitUntil([&] { return !rig.arrivals.isEmpty() && rig.arrivals.last().packet.SeqNo == 99; }));
    QCOMPARE(rig.arrivals.size(), up ? 2 : 1);
    if (!up) return;
    const Arrival& a = rig.arrivals[0];
    QCOMPARE(a.bytes, bytesKept);
    QCOMPARE(int(a.packet.PacketID), int(basConv::GetIntBE(incoming, 4)));
    QCOMPARE(int(a.packet.SeqNo), int(basConv::GetIntBE(incoming, 6)));
    QCOMPARE(basConv::FormatMAC(a.packet.StationID), QString("24:25:26:27:28:29"));
}

void tst_frmRCMP::portAlreadyInUse()
{
    QFETCH_GLOBAL(bool, xfer);
    Rig first(xfer);
    Rig second(xfer, first.link->localPort());
    QCOMPARE(second.op.shown.size(), 1);
    QCOMPARE(second.op.shown[0].title, QString("WARNING"));
    QCOMPARE(second.op.shown[0].text, QString("Bind address already in use."));
    QCOMPARE(second.op.shown[0].icon, Operator::Icon::Critical);

    // Sends then fail: QLN_Test reports each of its two attempts with the number, QLN_Xfer its one.
    QCOMPARE(second.request(1, 0), 2);
    QCOMPARE(second.link->RCMPState, 2);
    const QStringList expected = xfer ? QStringList{"Packet Send Error!"}
                                      : QStringList{"Packet Send Error!\r\nErrorNumber : 10048",
                                                    "Packet Send Error!\r\nErrorNumber : 10048"};
    QStringList texts;
    for (int i = 1; i < second.op.shown.size(); ++i) {
        texts << second.op.shown[i].text;
        QCOMPARE(second.op.shown[i].title, QString("ERROR"));
        QCOMPARE(second.op.shown[i].icon, Operator::Icon::Critical);
    }
    QCOMPARE(texts, expected);
    QCOMPARE(second.link->sentCount(), 0);

    // The first engine still owns the port and sends.
    QCOMPARE(first.request(1, 0), 0);
    QVERIFY(waitUntil([&] { return first.peer.received.size() == 1; }));
    QCOMPARE(second.peer.received.size(), 0);
}

void tst_frmRCMP::sendRefusedBySocket()
{
    // The socket refuses port 0 as a destination (Qt's network error, shown as 10050).
    QFETCH_GLOBAL(bool, xfer);
    Rig rig(xfer);
    const quint16 devicePort = rig.peer.port();
    rig.link->setRemotePort(0);
    QCOMPARE(rig.request(1, 0), 2);
    QStringList texts;
    for (const auto& s : rig.op.shown) texts << s.text;
    const QStringList expected = xfer ? QStringList{"Packet Send Error!"}
                                      : QStringList{"Packet Send Error!\r\nErrorNumber : 10050",
                                                    "Packet Send Error!\r\nErrorNumber : 10050"};
    QCOMPARE(texts, expected);
    // The next request that the socket takes is sent again.
    rig.link->setRemotePort(devicePort);
    QCOMPARE(rig.request(1, 0), 0);
    QCOMPARE(rig.link->RCMPState, 0);
    QVERIFY(waitUntil([&] { return rig.peer.received.size() == 1; }));
    QCOMPARE(int(basConv::GetIntBE(rig.peer.received[0].data, 6)), 1);
}

void tst_frmRCMP::closeIsDeferred()
{
    QFETCH_GLOBAL(bool, xfer);
    Rig rig(xfer);
    QSignalSpy closed(rig.link.get(), &RCMPLink::closed);
    rig.link->requestClose();
    QVERIFY(rig.link->isOpen());  // a Recv_Reply still on the stack may use it
    QCOMPARE(closed.count(), 0);
    QVERIFY(waitUntil([&] { return closed.count() == 1; }, 2000));
    QVERIFY(!rig.link->isOpen());
    QCOMPARE(rig.link->localPort(), quint16(0));
}

QTEST_GUILESS_MAIN(tst_frmRCMP)
#include "tst_frmRCMP.moc"
