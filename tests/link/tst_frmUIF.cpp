// The UIF engine over real loopback sockets against a scripted device.
#include "link/basUIF.h"
#include "link/frmUIF.h"
#include "platform/ScriptedOperator.h"
#include "ScriptedPeer.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int Tick = 2;  // ms; a whole "No Response" takes about 0.4 s

QByteArray replyTo(const QByteArray& request, qint32 status = 0, int size = 64)
{
    QByteArray r = request.left(64);
    r.resize(size, char(0xEE));
    basConv::PutIntBE(1, r, 0);
    basConv::PutLongBE(status, r, 8);
    return r;
}

struct Rig {
    ScriptedOperator op;
    ScriptedPeer peer;
    frmUIF uif;
    explicit Rig(int waitTicks = 40) : uif(&op, options(peer.port(), waitTicks))
    {
        uif.load();
        uif.setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
    }
    static frmUIF::Options options(quint16 remotePort, int waitTicks)
    {
        frmUIF::Options o;
        o.tickMs = Tick;
        o.localPort = 0;
        o.remotePort = remotePort;
        o.waitTicks = waitTicks;
        return o;
    }
    qint32 echo()
    {
        uif.BuildLongRequest(0, 0x12345678);
        return uif.ExecUIF();
    }
    // The engine's ticks between the datagrams it sent, counted on its own timer: a count,
    // not a time, so a loaded machine cannot change it.
    QList<int> gapsInTicks()
    {
        int ticks = 0, sent = uif.sentCount() + 1, last = 0;
        QList<int> gaps;
        // Connected after the engine's own tick handler: it sees what that tick sent.
        QObject::connect(uif.findChild<QTimer*>(), &QTimer::timeout, &peer, [&] {
            ++ticks;
            if (uif.sentCount() == sent) return;
            sent = uif.sentCount();
            gaps << ticks - last;
            last = ticks;
        });
        echo();
        return gaps;
    }
};

QString shown(const QList<int>& gaps)
{
    QStringList l;
    for (int g : gaps) l << QString::number(g);
    return l.join(' ');
}

}  // namespace

class tst_frmUIF : public QObject {
    Q_OBJECT
private slots:
    void echoOnTheWire();
    void unansweredRequestIsSentFiveTimes();
    void xferWaitIsShorter();
    void nonMatchingDatagramsDoNotEndTheWait_data();
    void nonMatchingDatagramsDoNotEndTheWait();
    void replyIsReadUpTo80Bytes();
    void statusIsCarriedWhole_data();
    void statusIsCarriedWhole();
    void strayInTheSameTurnKeepsTheOutcome();
    void secondCallIsRefusedWhileWaiting();
    void exchangeStartedInTheEndingTurnKeepsItsOwnOutcome();
    void portAlreadyInUse();
    void identWraps();
    void collectModeFillsTheImage();
    void closeWhileWaitingEndsTheWaitFirst();
    void engineDeletedWhileWaiting();
    void strayWhileIdleChangesOnlyTheTrace();
};

void tst_frmUIF::echoOnTheWire()
{
    Rig rig;
    rig.peer.reply = [](const ScriptedPeer::Datagram& d) { return QList<QByteArray>{replyTo(d.data)}; };
    rig.uif.setIdentSeq(0x01020304);
    QCOMPARE(rig.echo(), 0);
    QCOMPARE(rig.peer.received.size(), 1);
    const QByteArray wire = rig.peer.received[0].data;
    QCOMPARE(wire.size(), 64);
    QCOMPARE(wire.left(16), QByteArray::fromHex("0000000001020304FFFFFFFF12345678"));
    QCOMPARE(wire.mid(16), QByteArray(48, char(0xFF)));
    QCOMPARE(rig.uif.UIFState, 0);
    QCOMPARE(rig.uif.UIFMessage, QString());
}

void tst_frmUIF::unansweredRequestIsSentFiveTimes()
{
    Rig rig;
    const QList<int> gaps = rig.gapsInTicks();
    QCOMPARE(rig.peer.received.size(), 5);
    for (const auto& d : rig.peer.received) QCOMPARE(d.data, rig.peer.received[0].data);
    QCOMPARE(rig.uif.UIFState, 1);
    QCOMPARE(rig.uif.UIFStatusText(-1), QString("-1,Proto-Err(1,No Response)."));
    // The resends come one wait of 41 ticks apart.
    QCOMPARE(shown(gaps), QString("41 41 41 41"));
}

void tst_frmUIF::xferWaitIsShorter()
{
    // 20-tick waits: the same five datagrams come 21 ticks apart instead of 41.
    Rig fast(20);
    const QList<int> gaps = fast.gapsInTicks();
    QCOMPARE(fast.peer.received.size(), 5);
    QCOMPARE(shown(gaps), QString("21 21 21 21"));
}

void tst_frmUIF::nonMatchingDatagramsDoNotEndTheWait_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("trace");
    QTest::newRow("ReplyFlag 0") << 0 << "DEBUG: request packet received";
    QTest::newRow("wrong CmdCode") << 1 << "DEBUG: Unexpected CmdCode received";
    QTest::newRow("stale Ident") << 2 << "DEBUG: Unexpected Ident received";
    QTest::newRow("11 bytes") << 3 << "";
}

void tst_frmUIF::nonMatchingDatagramsDoNotEndTheWait()
{
    QFETCH(int, kind);
    QFETCH(QString, trace);
    Rig rig;
    QString seenTrace;
    // First transmission: only the bad datagram. The resend gets the right reply.
    rig.peer.reply = [&](const ScriptedPeer::Datagram& d) {
        if (rig.peer.received.size() > 1) return QList<QByteArray>{replyTo(d.data)};
        QByteArray bad = replyTo(d.data, 0);
        if (kind == 0) basConv::PutIntBE(0, bad, 0);
        if (kind == 1) basConv::PutIntBE(99, bad, 2);
        if (kind == 2) basConv::PutLongBE(basConv::GetLongBE(bad, 4) - 1, bad, 4);
        if (kind == 3) bad.truncate(11);
        QTimer::singleShot(Tick * 10, [&] { seenTrace = rig.uif.UIFMessage; });
        return QList<QByteArray>{bad};
    };
    rig.uif.UIFMessage = "untouched";
    rig.uif.setIdentSeq(7);
    QCOMPARE(rig.echo(), 0);
    QCOMPARE(rig.peer.received.size(), 2);  // the bad one did not end the wait
    QCOMPARE(seenTrace, kind == 3 ? QString("untouched") : trace);
    QCOMPARE(rig.uif.UIFState, 0);
}

void tst_frmUIF::replyIsReadUpTo80Bytes()
{
    Rig rig;
    rig.peer.reply = [](const ScriptedPeer::Datagram& d) { return QList<QByteArray>{replyTo(d.data, 0, 100)}; };
    QCOMPARE(rig.echo(), 0);
    QCOMPARE(rig.uif.UIFReplyBuf.size(), 80);
    QCOMPARE(rig.uif.UIFReplyBuf.size() - basUIF::UIFHeaderSize, 68);
    QCOMPARE(basUIF::GetUIFByte(rig.uif.UIFReplyBuf, 67), uint8_t(0xEE));
}

void tst_frmUIF::statusIsCarriedWhole_data()
{
    QTest::addColumn<qint32>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("3") << 3 << "3,ErrACK(Invalid parameter).";
    QTest::newRow("65536 is no success") << 65536 << "65536,.";
    QTest::newRow("0x10003") << 0x10003 << "65539,.";
}

void tst_frmUIF::statusIsCarriedWhole()
{
    QFETCH(qint32, status);
    QFETCH(QString, text);
    Rig rig;
    rig.peer.reply = [&](const ScriptedPeer::Datagram& d) { return QList<QByteArray>{replyTo(d.data, status)}; };
    const qint32 got = rig.echo();
    QCOMPARE(got, status);
    QCOMPARE(rig.uif.UIFStatusText(got), text);
}

void tst_frmUIF::strayInTheSameTurnKeepsTheOutcome()
{
    Rig rig;
    rig.peer.reply = [](const ScriptedPeer::Datagram& d) {
        QByteArray good = replyTo(d.data, 0);
        basUIF::PutUIFLong(good, 0x600D, 0);
        QByteArray stray = replyTo(d.data, 5);
        basConv::PutLongBE(basConv::GetLongBE(stray, 4) + 1, stray, 4);
        basUIF::PutUIFLong(stray, 0xBAD, 0);
        QByteArray duplicate = replyTo(d.data, 7);
        return QList<QByteArray>{good, stray, duplicate, stray};
    };
    QCOMPARE(rig.echo(), 0);
    QCOMPARE(rig.uif.UIFState, 0);
    QCOMPARE(basUIF::GetUIFLong(rig.uif.UIFReplyBuf, 0), 0x600D);
}

void tst_frmUIF::secondCallIsRefusedWhileWaiting()
{
    Rig rig;
    qint32 inner = 0;
    int innerState = 0;
    QString innerMessage;
    QTimer::singleShot(Tick * 5, [&] {
        rig.uif.BuildLongRequest(0, 1);
        inner = rig.uif.ExecUIF();
        innerState = rig.uif.UIFState;
        innerMessage = rig.uif.UIFMessage;
        rig.uif.TermUIF();  // Stop
    });
    QCOMPARE(rig.echo(), -1);
    QCOMPARE(inner, -1);
    QCOMPARE(innerState, 5);
    QCOMPARE(innerMessage, QString("Sender Busy"));
    QCOMPARE(rig.uif.UIFState, -1);
    QCOMPARE(rig.uif.UIFStatusText(-1), QString("-1,Proto-Err(-1,Operator Break)."));
    QCOMPARE(rig.peer.received.size(), 1);  // the refused request never left
}

void tst_frmUIF::exchangeStartedInTheEndingTurnKeepsItsOwnOutcome()
{
    // Stop ends the first wait, and the same handler starts another exchange before the first
    // wait's loop has returned: each caller gets the outcome of its own exchange.
    Rig rig;
    frmUIF::UIFOutcome second;
    rig.peer.reply = [&](const ScriptedPeer::Datagram& d) {
        if (basUIF::GetUIFLong(d.data, 0) == 0x12345678) {
            QTimer::singleShot(0, &rig.peer, [&] {
                rig.uif.TermUIF();
                rig.uif.BuildLongRequest(0, 7);
                second = rig.uif.Exchange();
            });
            return QList<QByteArray>{};
        }
        QByteArray r = replyTo(d.data, 3);
        basUIF::PutUIFLong(r, 0x2222, 4);
        return QList<QByteArray>{r};
    };
    rig.uif.BuildLongRequest(0, 0x12345678);
    const frmUIF::UIFOutcome first = rig.uif.Exchange();
    QCOMPARE(second.status, 3);
    QCOMPARE(basUIF::GetUIFLong(second.reply, 4), 0x2222);
    QCOMPARE(first.status, -1);
    QCOMPARE(rig.uif.UIFStatusText(first), QString("-1,Proto-Err(-1,Operator Break)."));
    QCOMPARE(rig.uif.UIFState, -1);
}

void tst_frmUIF::portAlreadyInUse()
{
    Rig first;
    ScriptedOperator op;
    frmUIF::Options o = Rig::options(first.peer.port(), 40);
    o.localPort = first.uif.localPort();
    frmUIF second(&op, o);
    QVERIFY(!second.load());
    QCOMPARE(op.shown.size(), 1);
    QCOMPARE(op.shown[0].title, QString("WARNING"));
    QCOMPARE(op.shown[0].text, QString("Bind address already in use."));
    QCOMPARE(op.shown[0].icon, Operator::Icon::Critical);
    // At once: no wait runs, so an event already posted is still waiting afterwards.
    bool waited = false;
    QTimer::singleShot(0, &second, [&waited] { waited = true; });
    second.BuildLongRequest(0, 1);
    QCOMPARE(second.ExecUIF(), -1);
    QVERIFY(!waited);
    QCOMPARE(second.UIFState, 2);
    QVERIFY2(second.UIFMessage.startsWith("Send_VBErrNumber=10048/\\n    VBErrDesc="), qPrintable(second.UIFMessage));
    QVERIFY(!second.UIFBusy);
}

void tst_frmUIF::identWraps()
{
    ScriptedOperator op;
    frmUIF uif(&op);
    uif.setIdentSeq(2147483646);
    QCOMPARE(uif.NextUIFIdent(), 2147483646);
    QCOMPARE(uif.NextUIFIdent(), 2147483647);
    QCOMPARE(uif.NextUIFIdent(), 0);
    uif.BeginRequest(5);
    QCOMPARE(basConv::GetLongBE(uif.UIFRequestBuf, 4), 1);
}

void tst_frmUIF::collectModeFillsTheImage()
{
    Rig rig;
    rig.uif.UIFCollect = true;
    rig.uif.StartUIFCollect();
    for (int i = 0; i < 448; ++i) {
        rig.uif.BuildLongRequest(1, i);
        QCOMPARE(rig.uif.ExecUIF(), 0);
    }
    QCOMPARE(rig.uif.UIFCollectPos, 28672);
    const QByteArray full = rig.uif.UIFCollectBuf;
    rig.uif.BuildLongRequest(1, 448);
    QCOMPARE(rig.uif.ExecUIF(), 3);
    QCOMPARE(rig.uif.UIFCollectBuf, full);
    QCOMPARE(full.size(), 28672);
    QCOMPARE(basConv::GetLongBE(full, 447 * 64 + 12), 447);
    QCOMPARE(basConv::GetLongBE(full, 447 * 64 + 4), 447);  // consecutive identifiers
    spin(20);
    QCOMPARE(rig.peer.received.size(), 0);  // nothing was sent
    rig.uif.StartUIFCollect();
    QCOMPARE(rig.uif.UIFCollectBuf, QByteArray(28672, char(0xFF)));
}

void tst_frmUIF::closeWhileWaitingEndsTheWaitFirst()
{
    Rig rig;
    QSignalSpy closed(&rig.uif, &frmUIF::closed);
    bool closedBeforeReturn = true;
    QTimer::singleShot(Tick * 5, [&] { rig.uif.requestClose(); });
    const qint32 r = rig.echo();
    closedBeforeReturn = closed.count() > 0;
    QCOMPARE(r, -1);
    QCOMPARE(rig.uif.UIFMessage, QString("Operator Break"));
    QVERIFY(!closedBeforeReturn);
    QVERIFY(waitUntil([&] { return closed.count() == 1; }, 1000));
    QVERIFY(!rig.uif.isOpen());
}

void tst_frmUIF::engineDeletedWhileWaiting()
{
    // The wait on the stack returns Operator Break and never touches the deleted engine (the
    // sanitizer build sees any access).
    ScriptedOperator op;
    ScriptedPeer peer;
    auto* uif = new frmUIF(&op, Rig::options(peer.port(), 40));
    uif->load();
    uif->setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
    QTimer::singleShot(Tick * 5, [&uif] {
        delete uif;
        uif = nullptr;
    });
    uif->BuildLongRequest(0, 1);
    const frmUIF::UIFOutcome o = uif->Exchange();
    QVERIFY(!uif);
    QCOMPARE(o.status, -1);
    QCOMPARE(o.state, int(frmUIF::StateBreak));
    QCOMPARE(o.message, QString("Operator Break"));
}

void tst_frmUIF::strayWhileIdleChangesOnlyTheTrace()
{
    Rig rig;
    QByteArray req(64, char(0xFF));
    basConv::PutIntBE(0, req, 0);
    basConv::PutIntBE(77, req, 2);
    ScriptedPeer other;
    other.send(replyTo(req), QHostAddress::LocalHost, rig.uif.localPort());
    QVERIFY(waitUntil([&] { return rig.uif.UIFState == 4; }, 1000));
    QCOMPARE(rig.uif.UIFMessage, QString("DEBUG: Unexpected CmdCode received"));
    QVERIFY(!rig.uif.UIFBusy);
}

QTEST_GUILESS_MAIN(tst_frmUIF)
#include "tst_frmUIF.moc"
