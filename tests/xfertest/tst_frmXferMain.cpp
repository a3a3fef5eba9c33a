// QLN_Xfer's main window, offscreen, against the simulator on free ports: the wiring of one
// receive-mode run, its counter and list, Mode Check, the log and the deferred close.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "StationBox.h"
#include "devsim/DeviceSim.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "xfertest/XferTestSession.h"
#include "xfertest/frmXferMain.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class tst_frmXferMain : public QObject {
    Q_OBJECT
private slots:
    void receiveModeStreamAndModeCheck();
    void stationIdOnLeavingTheBox_data();
    void stationIdOnLeavingTheBox();
};

void tst_frmXferMain::receiveModeStreamAndModeCheck()
{
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3, 120))};
    const QString At = QStringLiteral("09:05:03.120  ");
    ScriptedOperator op;
    MemoryClipboard clipboard;
    DeviceSim::Options so = FreePortSimOptions(QHostAddress::LocalHost, 3);
    so.xfer.limit = 20;
    so.xfer.gaps = 2;
    so.xfer.intervalMs = 0;
    DeviceSim sim(so);
    QVERIFY(sim.start());
    XferTestSession::Options o;
    o.uif.tickMs = 2;
    o.uif.localPort = 0;
    o.uif.remotePort = sim.uifPort();
    o.rcmp.tickMs = 2;
    o.rcmp.localPort = 0;
    o.rcmp.remotePort = sim.rcmpPort();
    XferTestSession session(clock, op, o);
    frmXferMain window(session, op, clipboard, 5);
    auto get = [&window](const char* name) { return window.findChild<QWidget*>(QLatin1String(name)); };
    auto box = [&window](const char* name) { return window.findChild<QLineEdit*>(QLatin1String(name)); };
    auto* view = window.findChild<QListWidget*>("lstStatus");
    auto* lblCnt = window.findChild<QLabel*>("lblCnt");

    QCOMPARE(window.windowTitle(), QString("Quillon Radio Data Transfer Test    Ver.1.0.0"));
    QCOMPARE((QStringList{box("txt_IP")->text(), box("txtID")->text(), box("txtRep")->text(), box("txtLimit")->text()}),
             (QStringList{"1.1.1.1", "0", "10", "0xffffffff"}));
    QCOMPARE(box("txtHostPort")->text(), QString::number(session.rcmp.localPort()));
    QCOMPARE(window.findChild<QGroupBox*>("fraCnt")->title(), QString("Packet Count (Lost/Receive)"));

    QTemporaryDir dir;
    op.savePaths << dir.filePath("xfer.txt");
    QTest::mouseClick(qobject_cast<QPushButton*>(get("cmd_LogPrint0")), Qt::LeftButton);
    box("txt_IP")->setText("127.0.0.1");
    box("txtHostIP")->setText("127.0.0.1");
    // An interval the box refuses: its message, the focus back, nothing stored.
    window.show();
    box("txtRep")->setText("0");
    QTest::keyClick(box("txtRep"), Qt::Key_Return);
    QCOMPARE(op.lastText(), QString("Interval Time out of range "));
    QCOMPARE(session.run.SendInterval, 10);

    QTest::mouseClick(qobject_cast<QPushButton*>(get("cmdRecv")), Qt::LeftButton);
    QVERIFY(get("cmdRecv")->isEnabled());
    auto* stream = sim.findChild<DeviceTestMode*>();
    QVERIFY(waitUntil([&] { return !stream->streaming(); }));
    QVERIFY(waitUntil([&] { return lblCnt->text() == "2/18"; }));
    QCOMPARE(window.findChild<QLabel*>("lblSig")->palette().color(QPalette::Window), QColor(128, 255, 128));

    QTest::mouseClick(qobject_cast<QPushButton*>(get("cmdCheck")), Qt::LeftButton);
    QTest::mouseClick(qobject_cast<QPushButton*>(get("cmd_LogPrint1")), Qt::LeftButton);
    const QStringList lines = session.lstStatus.lines();
    QCOMPARE(lines.size(), 2 + 18 + 7);
    // The stream may overtake the answer to the set: it arrives while the exchange waits.
    const QStringList test = lines.filter("RCMP test: ");
    QCOMPARE(test.size(), 18);
    QCOMPARE(test.first(), At + "RCMP test: 00:80:45:01:00:01  seq=0 ttl=14");
    QVERIFY(lines.mid(0, 20).contains(At + "Test Mode: Receive"));
    QCOMPARE(lines.mid(20, 3), (QStringList{"", At + "RCMP test mode parameters", At + "Test Mode: Receive"}));
    QCOMPARE(lines.last(), At + "Receive Host UDP port: " + QString::number(qint16(session.rcmp.localPort())));
    // The view catches up with the list within a tick.
    QVERIFY(waitUntil([&] { return view->count() == lines.size() && view->item(view->count() - 1)->text() == lines.last(); }));
    QCOMPARE(view->currentRow(), view->count() - 1);

    // Reset clears the counters; the log carries the tag XFER.
    QTest::mouseClick(qobject_cast<QPushButton*>(get("cmdReset")), Qt::LeftButton);
    QVERIFY(waitUntil([&] { return lblCnt->text() == "0/0"; }));
    QFile log(dir.filePath("xfer.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray bytes = log.readAll();
    QVERIFY2(bytes.contains(" Quillon:127.0.0.1 PC:127.0.0.1 XFER SEND\r\n\tReceive Mode\r\n"), bytes.constData());
    QVERIFY2(bytes.contains(" XFER RECV\r\n\t RCMP packet ID: 0x0000(0)\r\n"), bytes.constData());
    QCOMPARE(op.shown.size(), 1);

    // Exit is cancelled at first; two ticks later the window goes and the engines unload.
    bool rcmpClosed = false;
    QObject::connect(&session.rcmp, &RCMPLink::closed, [&] { rcmpClosed = true; });
    QTest::mouseClick(qobject_cast<QPushButton*>(get("cmdExit")), Qt::LeftButton);
    QVERIFY(window.isVisible());
    QVERIFY(waitUntil([&] { return !window.isVisible() && rcmpClosed && !session.uif.isOpen(); }));
}

void tst_frmXferMain::stationIdOnLeavingTheBox_data() { StationBoxRows(); }

void tst_frmXferMain::stationIdOnLeavingTheBox()
{
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3, 120))};
    ScriptedOperator op;
    MemoryClipboard clipboard;
    XferTestSession::Options o;
    o.uif.localPort = 0;
    o.rcmp.localPort = 0;
    XferTestSession session(clock, op, o);
    frmXferMain window(session, op, clipboard, 5);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    CheckLeavingStationBox(window, op, window.findChild<QWidget*>("txt_IP"));
}

QTEST_MAIN(tst_frmXferMain)
#include "tst_frmXferMain.moc"
