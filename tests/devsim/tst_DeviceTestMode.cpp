// The simulator's radio data transfer test: test_mode set and get, the receive-mode stream with
// its injected faults, the send-mode count, Disable, and the qln-devsim options that shape it.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "devsim/DeviceSim.h"
#include "devsim/DeviceSimOptions.h"

#include <QtTest>

namespace {

// A test_mode set request: mode, packet ID, interval, host 127.0.0.1 and port, limit.
QByteArray SetRequest(qint32 mode, qint16 id, qint32 interval, quint16 port, qint32 limit)
{
    QByteArray r(64, char(0xFF));
    basConv::PutIntBE(0, r, 0);
    basConv::PutIntBE(53, r, 2);
    basConv::PutLongBE(9, r, 4);
    basConv::PutLongBE(mode, r, 12);
    basConv::PutIntBE(id, r, 16);
    basConv::PutLongBE(interval, r, 20);
    basConv::PutLongBE(0x7F000001, r, 24);
    basConv::PutIntBE(qint16(port), r, 28);
    basConv::PutLongBE(limit, r, 32);
    return r;
}

struct Rig {
    DeviceSim sim;
    ScriptedPeer tool;  // the PC: sends UIF, receives the stream
    DeviceTestMode* mode;
    explicit Rig(const XferStreamOptions& x)
        : sim([&] {
              DeviceSim::Options o = FreePortSimOptions(QHostAddress::LocalHost, 11);
              o.xfer = x;
              return o;
          }())
    {
        sim.start();
        mode = sim.findChild<DeviceTestMode*>();
    }
    int replies() const
    {
        int n = 0;
        for (const auto& d : tool.received) n += d.fromPort == sim.uifPort();
        return n;
    }
    void uif(const QByteArray& request)
    {
        const int before = replies();
        tool.send(request, QHostAddress::LocalHost, sim.uifPort());
        QVERIFY(waitUntil([&] { return replies() == before + 1; }));
    }
    QByteArray lastReply() const
    {
        for (int i = int(tool.received.size()) - 1; i >= 0; --i)
            if (tool.received[i].fromPort == sim.uifPort()) return tool.received[i].data;
        return QByteArray();
    }
    // The sequence numbers of the stream's datagrams, in arrival order.
    QList<int> stream() const
    {
        QList<int> seqs;
        for (const auto& d : tool.received)
            if (d.data.size() == 64 && basConv::GetIntBE(d.data, 4) == 0x77) seqs << basConv::GetIntBE(d.data, 6);
        return seqs;
    }
};

}  // namespace

class tst_DeviceTestMode : public QObject {
    Q_OBJECT
private slots:
    void streams_data();
    void streams();
    void setGetSendAndDisable();
    void options();
};

void tst_DeviceTestMode::streams_data()
{
    QTest::addColumn<int>("limit");  // the request's SendLimit; 0 takes the option
    QTest::addColumn<double>("duplicate");
    QTest::addColumn<double>("reorder");
    QTest::addColumn<QList<int>>("seqs");
    QTest::newRow("the request's limit") << 5 << 0.0 << 0.0 << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("the option's limit") << 0 << 0.0 << 0.0 << QList<int>{0, 1, 2};
    QTest::newRow("every one twice") << 3 << 1.0 << 0.0 << QList<int>{0, 0, 1, 1, 2, 2};
    QTest::newRow("every other one late") << 6 << 0.0 << 1.0 << QList<int>{1, 0, 3, 2, 5, 4};
    QTest::newRow("a held packet is not kept at the end") << 5 << 0.0 << 1.0 << QList<int>{1, 0, 3, 2, 4};
}

void tst_DeviceTestMode::streams()
{
    QFETCH(int, limit);
    QFETCH(double, duplicate);
    QFETCH(double, reorder);
    QFETCH(QList<int>, seqs);
    XferStreamOptions x;
    x.limit = 3;
    x.duplicateRate = duplicate;
    x.reorderRate = reorder;
    Rig rig(x);
    rig.uif(SetRequest(2, 0x77, 0, rig.tool.port(), limit));
    QVERIFY(waitUntil([&] { return !rig.mode->streaming() && rig.stream().size() == seqs.size(); }));
    QCOMPARE(rig.stream(), seqs);
    const QByteArray d = rig.tool.received.first().data;
    QCOMPARE(d.mid(12, 4).toHex(), QByteArray("000e0000"));  // TTL 14, Result 0
    QCOMPARE(d.mid(20, 6).toHex(), QByteArray("008045010001"));
}

void tst_DeviceTestMode::setGetSendAndDisable()
{
    XferStreamOptions x;
    x.gaps = 4;
    Rig rig(x);
    // Before any set the device holds the disable column.
    QByteArray get = QByteArray::fromHex("00000036000000AAFFFFFFFF") + QByteArray(52, char(0xFF));
    rig.uif(get);
    QCOMPARE(rig.lastReply().mid(12, 24).toHex().toUpper(), QByteArray("00000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00000000"));
    // An endless stream with gaps: each gap lies inside it, so none is the first packet.
    rig.uif(SetRequest(2, 0x77, 0, rig.tool.port(), 0));
    QVERIFY(waitUntil([&] { return rig.stream().size() >= 200; }));
    rig.uif(get);
    QCOMPARE(rig.lastReply().mid(12, 24).toHex().toUpper(), QByteArray("000000020077FFFF000000007F000001") +
             QByteArray::number(rig.tool.port(), 16).toUpper().rightJustified(4, '0') + "FFFF00000000");
    rig.uif(SetRequest(0, -1, -1, 0xFFFF, 0));
    QVERIFY(!rig.mode->streaming());
    const quint64 sent = rig.mode->streamSent();
    QCOMPARE(rig.stream().first(), 0);
    // Send mode counts the packets of its ID that reach the RCMP port and answers none of them.
    rig.uif(SetRequest(1, 0x12, 10, 0xFFFF, 100));
    QByteArray packet(64, '\0');
    basConv::PutIntBE(0x12, packet, 4);
    for (int i = 0; i < 3; ++i) rig.tool.send(packet, QHostAddress::LocalHost, rig.sim.rcmpPort());
    basConv::PutIntBE(0x13, packet, 4);
    rig.tool.send(packet, QHostAddress::LocalHost, rig.sim.rcmpPort());
    QVERIFY(waitUntil([&] { return rig.sim.rcmpRequestsReceived == 4 && rig.sim.rcmpRepliesSent == 1; }));
    QCOMPARE(rig.mode->sendModeCount(), quint64(3));
    QCOMPARE(rig.mode->streamSent(), sent);  // Disable stopped the stream
    // An unknown mode is refused and changes nothing.
    rig.uif(SetRequest(3, 0x12, 10, 0xFFFF, 100));
    QCOMPARE(basConv::GetLongBE(rig.lastReply(), 8), 3);
    QCOMPARE(rig.mode->mode(), 1);
}

void tst_DeviceTestMode::options()
{
    DeviceSim::Options o;
    bool verbose = false;
    QString error;
    QVERIFY2(ParseDeviceSimOptions({"qln-devsim", "--seed", "9", "--xfer-interval", "0", "--xfer-limit", "10000", "--xfer-gaps", "37",
                                    "--xfer-duplicate", "0.5", "--xfer-reorder", "0.25", "--xfer-rate", "200000"},
                                   o, verbose, error), qPrintable(error));
    QCOMPARE((QList<double>{double(o.xfer.intervalMs), double(o.xfer.limit), double(o.xfer.gaps), o.xfer.duplicateRate,
                            o.xfer.reorderRate, o.xfer.rate, double(o.xfer.seed)}),
             (QList<double>{0, 10000, 37, 0.5, 0.25, 200000, 9}));
    QVERIFY(!ParseDeviceSimOptions({"qln-devsim", "--xfer-reorder", "2"}, o, verbose, error));
    QCOMPARE(error, QString("Invalid --xfer-reorder"));
}

QTEST_GUILESS_MAIN(tst_DeviceTestMode)
#include "tst_DeviceTestMode.moc"
