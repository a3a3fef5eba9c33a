// The transfer sequencer against the simulator (and a scripted device where bytes matter).
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/SetupSession.h"
#include "tftp/TftpPacket.h"
#include "SequencerRig.h"
#include "TftpTestKit.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using namespace tftptest;

namespace {

bool toDevice(int type) { return type == frmTFR::ConfigToDevice || type == frmTFR::FirmwareToDevice; }

// What the device sends from or receives into: images to the device land in RAM (firmware goes
// to flash only with the copy to ROM).
QByteArray& deviceSide(DeviceSim& sim, int type)
{
    return type == frmTFR::FirmwareFromDevice ? sim.stores.firmware : sim.stores.ram;
}

// Calls `action` once, as soon as `when` holds, from the event loop of a running wait.
void whenThen(QObject* context, std::function<bool()> when, std::function<void()> action)
{
    auto* t = new QTimer(context);
    t->setInterval(1);
    QObject::connect(t, &QTimer::timeout, context, [t, when, action] {
        if (!when()) return;
        t->stop();
        t->deleteLater();
        action();
    });
    t->start();
}

}  // namespace

class tst_frmTFR : public QObject {
    Q_OBJECT
private slots:
    void transfersBothWays_data();
    void transfersBothWays();
    void deviceNeverOpensTheTransfer();
    void startCommandWithoutReply();
    void startCommandRefused_data();
    void startCommandRefused();
    void transferFailures_data();
    void transferFailures();
    void copyRequestOnTheWire_data();
    void copyRequestOnTheWire();
    void copyBetweenStores_data();
    void copyBetweenStores();
    void secondStartIsRefused_data();
    void secondStartIsRefused();
    void repeatWaitsForTheStartReply();
    void stopInEachPhase_data();
    void stopInEachPhase();
    void stopInTheTurnOfTheLastAnswer_data();
    void stopInTheTurnOfTheLastAnswer();
    void duplicatedAcksFromTheDevice();
    void serverPortTaken();
    void sessionStopAndDebugLine();
    void deferredClose();
};

void tst_frmTFR::transfersBothWays_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size");
    for (int type = 0; type <= 3; ++type)
        for (int size : {28672, 1536, 0, 1000})
            QTest::addRow("type %d, %d bytes", type, size) << type << size;
    QTest::newRow("firmware to the device, 16000000 bytes") << 2 << 16000000;
    QTest::newRow("firmware from the device, 16000000 bytes") << 3 << 16000000;
}

void tst_frmTFR::transfersBothWays()
{
    QFETCH(int, type);
    QFETCH(int, size);
    SequencerRig rig;
    const QByteArray data = contents(size, quint32(type * 7 + size));
    const QString path = rig.path(toDevice(type) ? "FW_UP.BIN" : "work.bin");
    if (toDevice(type))
        QVERIFY(writeFile(path, data));
    else {
        deviceSide(rig.sim, type) = data;
        QVERIFY(writeFile(path, "old contents"));
    }
    QCOMPARE(rig.start(type, path), 0);
    QCOMPARE(rig.tfr.TFRMessage, QStringLiteral("TFTP Start Complete."));
    if (toDevice(type))
        QVERIFY(deviceSide(rig.sim, type) == data);
    else
        QVERIFY(readFile(path) == data);
    QCOMPARE(rig.tfr.TFRType(), type);
    QCOMPARE(rig.tfr.TFRFileName(), QFileInfo(path).fileName());
    QVERIFY(rig.tfr.TFRPort() != 0);
    QCOMPARE(rig.tfr.startCommandsSent(), 1);
    QVERIFY(!rig.tfr.server().isLoaded());
    QCOMPARE(listing(rig.dir.path()), QStringList{QFileInfo(path).fileName()});
}

void tst_frmTFR::deviceNeverOpensTheTransfer()
{
    SequencerRig rig;
    rig.sim.faults().tftpNeverOpen = true;
    QVERIFY(writeFile(rig.path("Config.bin"), "x"));
    QElapsedTimer t;
    t.start();
    QCOMPARE(rig.start(0, rig.path("Config.bin")), -4);
    QCOMPARE(rig.tfr.TFRMessage, QStringLiteral("TFTP Start Timeout."));
    QCOMPARE(rig.tfr.startCommandsSent(), 7);
    QCOMPARE(rig.sim.requestsReceived, 7);
    QVERIFY(t.elapsed() >= 7 * 20 * 10);  // 21 ticks after each of the seven
    QVERIFY(!rig.tfr.server().isLoaded());
}

void tst_frmTFR::startCommandWithoutReply()
{
    SequencerTiming timing;
    timing.uifWaitTicks = 3;
    SequencerRig rig(timing);
    rig.sim.faults().mute = true;
    QVERIFY(writeFile(rig.path("Config.bin"), "x"));
    QCOMPARE(rig.start(0, rig.path("Config.bin")), -1);
    QCOMPARE(rig.tfr.TFRMessage, QStringLiteral("TFTP Start Command Error.  St: -1,Proto-Err(1,No Response)."));
    QCOMPARE(rig.tfr.startCommandsSent(), 1);
    QCOMPARE(rig.sim.requestsReceived, 5);  // one request and its four resends
}

void tst_frmTFR::startCommandRefused_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("refuseWith");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("TFTP failed") << 0 << 7 << 7 << "TFTP Start Command Error.  St: 7,ErrACK(TFTP failed).";
    QTest::newRow("unknown type") << 9 << 0 << 3 << "TFTP Start Command Error.  St: 3,ErrACK(Invalid parameter).";
}

void tst_frmTFR::startCommandRefused()
{
    QFETCH(int, type);
    QFETCH(int, refuseWith);
    QFETCH(int, status);
    QFETCH(QString, message);
    SequencerRig rig;
    if (refuseWith != 0) rig.sim.faults().refuse.insert(13, refuseWith);
    QVERIFY(writeFile(rig.path("Config.bin"), "x"));
    QCOMPARE(rig.start(type, rig.path("Config.bin")), status);
    QCOMPARE(rig.tfr.TFRMessage, message);
    QCOMPARE(rig.tfr.startCommandsSent(), 1);
    QVERIFY(!rig.tfr.server().isLoaded());
}

void tst_frmTFR::transferFailures_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("device asks for another name") << 0 << "name" << "DEBUG: File Name Mismatch\\n'other.bin' requested by 127.0.0.2";
    QTest::newRow("device asks in other letter case") << 3 << "case" << "DEBUG: File Name Mismatch\\n'conf_up.bin' requested by 127.0.0.2";
    QTest::newRow("device sends ERROR while reading") << 2 << "error" << "TFTP Error Receive. Code: 2";
    QTest::newRow("device sends ERROR while writing") << 1 << "error" << "TFTP Error Receive. Code: 2";
    QTest::newRow("folder to receive into is missing") << 1 << "missing"
                                                       << "TFTP File Open Error.\\n%D/absent/work.bin: No such file or directory";
    QTest::newRow("device goes silent") << 2 << "silent" << "TFTP No Acknowledge.";
}

void tst_frmTFR::transferFailures()
{
    QFETCH(int, type);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    SequencerRig rig;
    const QByteArray data = contents(2000000, 11);
    QString path = rig.path("Conf_UP.BIN");
    if (toDevice(type))
        QVERIFY(writeFile(path, data));
    else {
        deviceSide(rig.sim, type) = data;
        QVERIFY(writeFile(path, "old"));
    }
    const QByteArray storeBefore = deviceSide(rig.sim, type);
    if (fault == "name") rig.sim.faults().tftpAskName = "other.bin";
    if (fault == "case") rig.sim.faults().tftpAskName = "conf_up.bin";
    if (fault == "error") {
        rig.sim.faults().tftpErrorAtBlock = 3;
        rig.sim.faults().tftpErrorCode = 2;
    }
    if (fault == "missing") path = rig.path("absent/work.bin");
    if (fault == "silent")  // mid-transfer the device's packets stop arriving
        whenThen(this, [&] { return rig.tfr.server().TFTPBlock >= 4; }, [&] { rig.sim.faults().tftpDropRate = 1.0; });
    QCOMPARE(rig.start(type, path), -5);
    QCOMPARE(rig.tfr.TFRMessage, QString(message).replace("%D", rig.path("").chopped(1)));
    QVERIFY(!rig.tfr.server().isLoaded());
    QVERIFY(deviceSide(rig.sim, type) == storeBefore);
    if (!toDevice(type) && fault != "missing") QCOMPARE(readFile(path), QByteArray("old"));
}

void tst_frmTFR::copyRequestOnTheWire_data()
{
    QTest::addColumn<bool>("afterStart");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("destination");
    QTest::addColumn<QByteArray>("payload");  // bytes 12 to 63
    const QByteArray ff(52, char(0xFF));
    QByteArray before = ff;
    before.replace(0, 9, QByteArray("\0\0\0\0" "\0\0\xFF\xFF" "\0", 9));
    before.replace(24, 8, QByteArray("\0\0\0\2" "\0\0\0\1", 8));
    QTest::newRow("before any start: type 0, port 0, no name") << false << 2 << 1 << before;
    QByteArray after = ff;
    after.replace(0, 8, QByteArray("\0\0\0\2" "\x21\xC1\xFF\xFF", 8));
    after.replace(8, 16, "ABCDEFGHIJKLMNOP");  // the name, cut by the store codes
    after.replace(24, 8, QByteArray("\0\0\0\1" "\0\0\0\0", 8));
    QTest::newRow("after a start: its type, port and name") << true << 1 << 0 << after;
}

void tst_frmTFR::copyRequestOnTheWire()
{
    QFETCH(bool, afterStart);
    QFETCH(int, source);
    QFETCH(int, destination);
    QFETCH(QByteArray, payload);
    ScriptedPeer device;
    device.reply = [](const ScriptedPeer::Datagram& d) -> QList<QByteArray> {
        QByteArray r = d.data;
        basConv::PutIntBE(1, r, 0);
        basConv::PutLongBE(0, r, 8);
        return {r};
    };
    frmUIF::Options uo;
    uo.tickMs = 10;
    uo.localPort = 0;
    uo.remotePort = device.port();
    frmUIF uif(nullptr, uo);
    uif.load();
    uif.setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
    frmTFR tfr(uif);
    tfr.load();
    CopyFields carried;
    if (afterStart)  // what a start of firmware "ABCDEFGHIJKLMNOPQRST" on port 8641 carries
        carried = {2, 8641, QStringLiteral("ABCDEFGHIJKLMNOPQRST")};
    QCOMPARE(tfr.Copy_Request_Send(source, destination, carried), 0);
    QCOMPARE(device.received.size(), 1);
    const QByteArray sent = device.received.first().data;
    QCOMPARE(sent.size(), 64);
    QCOMPARE(basConv::GetIntBE(sent, 2), qint16(14));
    QCOMPARE(sent.mid(12), payload);
}

void tst_frmTFR::copyBetweenStores_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("destination");
    QTest::addColumn<int>("status");
    QTest::newRow("running to RAM") << 2 << 1 << 0;
    QTest::newRow("RAM to ROM, the flash write") << 1 << 0 << 0;
    QTest::newRow("ROM to RAM") << 0 << 1 << 0;
    QTest::newRow("RAM to running") << 1 << 2 << 0;
    QTest::newRow("same store") << 1 << 1 << 8;
    QTest::newRow("no such source") << 3 << 0 << 8;
    QTest::newRow("no such destination") << 0 << -1 << 8;
}

void tst_frmTFR::copyBetweenStores()
{
    QFETCH(int, source);
    QFETCH(int, destination);
    QFETCH(int, status);
    SequencerRig rig;
    rig.sim.stores.rom = QByteArray(28672, 'R');
    rig.sim.stores.ram = QByteArray(28672, 'A');
    rig.sim.stores.running = QByteArray(28672, 'N');
    const DeviceStores before = rig.sim.stores;
    QCOMPARE(rig.tfr.Copy_Request_Send(source, destination, CopyFields()), status);
    for (int s = 0; s <= 2; ++s) {
        const QByteArray expected = (status == 0 && s == destination) ? *const_cast<DeviceStores&>(before).store(source)
                                                                      : *const_cast<DeviceStores&>(before).store(s);
        QCOMPARE(*rig.sim.stores.store(s), expected);
    }
}

void tst_frmTFR::secondStartIsRefused_data()
{
    QTest::addColumn<bool>("inTransferPhase");
    QTest::newRow("while the first waits for the device") << false;
    QTest::newRow("while the first transfers") << true;
}

void tst_frmTFR::secondStartIsRefused()
{
    QFETCH(bool, inTransferPhase);
    SequencerRig rig;
    const QByteArray data = contents(inTransferPhase ? 300000 : 1500, 5);
    QVERIFY(writeFile(rig.path("FW_UP.BIN"), data));
    QVERIFY(writeFile(rig.path("other.bin"), "other"));
    if (!inTransferPhase) rig.sim.faults().tftpDelayMs = 100;  // the request (and every packet) comes late
    int second = 99;
    QString secondMessage;
    whenThen(this, [&] { return inTransferPhase ? rig.tfr.server().TFTPBlock > 20 : rig.tfr.TFRWaiting && !rig.uif.UIFBusy; },
             [&] {
                 // Another window names its own file and starts: refused, nothing taken over.
                 basTFTP::Transfer other = makeTransfer(1, rig.path("other.bin"));
                 second = rig.tfr.TFTP_StartRequest(other);
                 secondMessage = rig.tfr.TFRMessage;
                 QCOMPARE(rig.tfr.TFRType(), 2);
                 QCOMPARE(rig.tfr.TFRFileName(), QStringLiteral("FW_UP.BIN"));
             });
    QCOMPARE(rig.start(2, rig.path("FW_UP.BIN")), 0);
    QCOMPARE(second, -1);
    QVERIFY2(secondMessage.contains("Sender Busy"), qPrintable(secondMessage));
    QCOMPARE(rig.tfr.TFRMessage, QStringLiteral("TFTP Start Complete."));
    QVERIFY(rig.sim.stores.ram == data);
    QCOMPARE(rig.tfr.startCommandsSent(), 1);
    QCOMPARE(rig.transfers().transfersStarted, 1);
}

void tst_frmTFR::repeatWaitsForTheStartReply()
{
    // Each start reply comes 300 ms late, past the 21 ticks (210 ms) the device has to open.
    SequencerRig rig;
    rig.sim.faults().delayMs = 300;
    rig.sim.faults().tftpNeverOpen = true;
    QVERIFY(writeFile(rig.path("Config.bin"), "x"));
    QElapsedTimer t;
    t.start();
    QCOMPARE(rig.start(0, rig.path("Config.bin")), -4);
    QCOMPARE(rig.tfr.TFRMessage, QStringLiteral("TFTP Start Timeout."));
    QCOMPARE(rig.tfr.startCommandsSent(), 7);
    QCOMPARE(rig.sim.requestsReceived, 7);
    QVERIFY(!rig.uif.UIFMessage.contains("Sender Busy"));
    // After each late reply the device still had its 21 ticks.
    QVERIFY2(t.elapsed() >= 7 * 300 + 7 * 20 * 10, qPrintable(QString::number(t.elapsed())));
}

void tst_frmTFR::stopInEachPhase_data()
{
    QTest::addColumn<QString>("phase");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("start command waits for its reply") << "reply" << 0 << -1 << "TFTP Start Command Error.  St: -1,Proto-Err(-1,Operator Break).";
    QTest::newRow("waiting for the device's request") << "device" << 0 << -6 << "TFTP Start Command Error.  St: -6,Operator Break.";
    QTest::newRow("sending firmware") << "transfer" << 2 << -6 << "TFTP Start Command Error.  St: -6,Operator Break.";
    QTest::newRow("receiving a configuration") << "transfer" << 1 << -6 << "TFTP Start Command Error.  St: -6,Operator Break.";
}

void tst_frmTFR::stopInEachPhase()
{
    QFETCH(QString, phase);
    QFETCH(int, type);
    QFETCH(int, status);
    QFETCH(QString, message);
    SequencerRig rig;
    const QByteArray data = contents(2000000, 3);
    const QString path = rig.path("Conf_UP.BIN");
    if (toDevice(type))
        QVERIFY(writeFile(path, data));
    else {
        deviceSide(rig.sim, type) = data;
        QVERIFY(writeFile(path, "old"));
    }
    const QByteArray storeBefore = deviceSide(rig.sim, type);
    if (phase == "reply") rig.sim.faults().mute = true;
    if (phase == "device") rig.sim.faults().tftpNeverOpen = true;
    whenThen(this,
             [&] {
                 if (phase == "reply") return rig.uif.UIFBusy;
                 if (phase == "device") return rig.tfr.TFRWaiting && !rig.uif.UIFBusy && rig.tfr.startCommandsSent() == 2;
                 return rig.tfr.server().TFTPBlock > 50;
             },
             [&] { rig.tfr.TermTFRACT(); });
    QCOMPARE(rig.start(type, path), status);
    QCOMPARE(rig.tfr.TFRMessage, QString(message).replace("%D", rig.path("").chopped(1)));
    QVERIFY(!rig.tfr.server().isLoaded());
    spin(50);
    QVERIFY(deviceSide(rig.sim, type) == storeBefore);
    if (!toDevice(type)) QCOMPARE(readFile(path), QByteArray("old"));
    QCOMPARE(listing(rig.dir.path()), QStringList{"Conf_UP.BIN"});
}

void tst_frmTFR::stopInTheTurnOfTheLastAnswer_data()
{
    // The Stop runs in the same event-loop turn as the answer, before the wait has returned.
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("type");
    QTest::newRow("the start command's reply matched") << "reply" << 0;
    QTest::newRow("the device acknowledged the last block") << "end" << 0;
    QTest::newRow("the last block was received") << "end" << 1;
}

void tst_frmTFR::stopInTheTurnOfTheLastAnswer()
{
    QFETCH(QString, answer);
    QFETCH(int, type);
    SequencerRig rig;
    rig.sim.stores.ram = contents(3000, 4);
    QVERIFY(writeFile(rig.path("work.bin"), contents(3000, 5)));
    bool stopped = false;
    auto stop = [&] {
        if (stopped) return;
        stopped = true;
        rig.tfr.TermTFRACT();
    };
    // Connected after the engines' own handlers, so these run right behind them.
    if (answer == "reply")
        connect(rig.uif.findChild<QUdpSocket*>(), &QUdpSocket::readyRead, this, [&] {
            if (!rig.uif.UIFBusy) stop();
        });
    else
        connect(&rig.tfr.server(), &frmTFTP::transferEnded, this, stop);
    QCOMPARE(rig.start(type, rig.path("work.bin")), -6);
    QVERIFY(stopped);
    QCOMPARE(rig.tfr.TFRMessage, QStringLiteral("TFTP Start Command Error.  St: -6,Operator Break."));
    QCOMPARE(rig.tfr.TFRStatus, -6);
    QVERIFY(!rig.tfr.server().isLoaded());
    QCOMPARE(rig.tfr.startCommandsSent(), 1);
}

void tst_frmTFR::duplicatedAcksFromTheDevice()
{
    // Every packet of the device goes out twice: each block of the 57 still leaves once, but for
    // block 1, sent again for the repeated read request.
    SequencerRig rig;
    rig.sim.faults().tftpDuplicateRate = 1.0;
    const QByteArray image = contents(28672, 6);
    QVERIFY(writeFile(rig.path("Config.bin"), image));
    QCOMPARE(rig.start(frmTFR::ConfigToDevice, rig.path("Config.bin")), 0);
    QVERIFY(rig.sim.stores.ram == image);
    QCOMPARE(rig.tfr.server().sentCount(), 58);
}

void tst_frmTFR::serverPortTaken()
{
    QUdpSocket taken;
    QVERIFY(taken.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    SequencerRig probe;
    frmTFR::Options o = SequencerRig::tfrOptions(SequencerTiming());
    o.tftp.port = taken.localPort();
    frmTFR tfr(probe.uif, o);
    tfr.load();
    QVERIFY(writeFile(probe.path("Config.bin"), "x"));
    basTFTP::Transfer t = makeTransfer(0, probe.path("Config.bin"));
    QCOMPARE(tfr.TFTP_StartRequest(t), -4);
    QCOMPARE(tfr.TFRMessage, QStringLiteral("Bind address already in use."));
    QCOMPARE(probe.sim.requestsReceived, 0);
}

void tst_frmTFR::sessionStopAndDebugLine()
{
    DeviceSim sim(simOptions());
    sim.faults().tftpTimeoutMs = 50;
    QVERIFY(sim.start());
    FixedClock clock(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678)));
    ScriptedOperator op;
    SetupSession::Options so;
    so.uif.tickMs = 10;
    so.uif.localPort = 0;
    so.uif.remotePort = sim.uifPort();
    so.tfr = SequencerRig::tfrOptions(SequencerTiming());
    SetupSession session(clock, op, so);
    QVERIFY(session.load());
    QCOMPARE(session.CheckIPAddress("127.0.0.2"), 0);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.path() + "/FW_UP.BIN", contents(2000000, 8)));
    ScriptedPeer stranger;
    whenThen(this, [&] { return session.tfr.server().TFTPBlock > 20; }, [&] {
        stranger.send(basTFTP::MakeAck(1), QHostAddress::LocalHost, session.tfr.server().localPort());
        whenThen(this, [&] { return session.lstStatus.count() > 0; }, [&] { session.stop(); });
    });
    basTFTP::Transfer t = makeTransfer(2, dir.path() + "/FW_UP.BIN");
    QCOMPARE(session.tfr.TFTP_StartRequest(t), -6);
    QCOMPARE(session.lstStatus.lines(), QStringList{QStringLiteral("03:04:05.678  DEBUG: Unexpected Port: %1 from 127.0.0.1").arg(stranger.port())});
    QVERIFY(!sim.stores.ramHoldsFirmware);
}

void tst_frmTFR::deferredClose()
{
    SequencerRig rig;
    rig.sim.faults().tftpNeverOpen = true;
    QVERIFY(writeFile(rig.path("Config.bin"), "x"));
    QSignalSpy closed(&rig.tfr, &frmTFR::closed);
    whenThen(this, [&] { return rig.tfr.TFRWaiting && !rig.uif.UIFBusy; }, [&] { rig.tfr.requestClose(); });
    QCOMPARE(rig.start(0, rig.path("Config.bin")), -6);
    // The wait has returned; the window goes two ticks later.
    QVERIFY(rig.tfr.isOpen());
    QCOMPARE(closed.count(), 0);
    QVERIFY(closed.wait(1000));
    QVERIFY(!rig.tfr.isOpen());
}

QTEST_GUILESS_MAIN(tst_frmTFR)
#include "tst_frmTFR.moc"
