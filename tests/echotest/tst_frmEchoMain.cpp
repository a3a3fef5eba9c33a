// QLN_Test's main window, offscreen, against the simulator on free ports. The test gives tmrRep's
// ticks itself, each one only after the simulator has answered what was sent.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "StationBox.h"
#include "devsim/DeviceSim.h"
#include "echotest/EchoTestSession.h"
#include "echotest/frmEchoMain.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString At = QStringLiteral("09:05:03.120  ");
const QString I14(14, ' ');

struct Rig {
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3, 120))};
    ScriptedOperator op;
    MemoryClipboard clipboard;
    DeviceSim sim{FreePortSimOptions(QHostAddress::LocalHost)};
    std::unique_ptr<EchoTestSession> session;
    std::unique_ptr<frmEchoMain> window;
    int replies = 0;

    Rig()
    {
        sim.start();
        EchoTestSession::Options o;
        o.rcmp.tickMs = 2;
        o.rcmp.localPort = 0;
        o.rcmp.remotePort = sim.rcmpPort();
        o.run.tickMs = 0;
        o.run.fixedPacketID = true;
        o.run.packetID = 0x1234;
        session = std::make_unique<EchoTestSession>(clock, op, o);
        QObject::connect(&session->rcmp, &RCMPLink::replyArrived, [this] { ++replies; });
        window = std::make_unique<frmEchoMain>(*session, op, clipboard, 5);
    }
    template <class T = QPushButton>
    T* get(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    static QStringList items(const QListWidget* view)
    {
        QStringList out;
        for (int i = 0; i < view->count(); ++i) out << view->item(i)->text();
        return out;
    }
    void settle()
    {
        QVERIFY(waitUntil([this] { return sim.rcmpRequestsReceived == session->rcmp.sentCount() && replies == sim.rcmpRepliesSent; }));
    }
    QColor lamp() const { return get<QLabel>("lblSig")->palette().color(QPalette::Window); }
};

}  // namespace

class tst_frmEchoMain : public QObject {
    Q_OBJECT
private slots:
    void echoRunThroughTheWindow();
    void stationIdOnLeavingTheBox_data();
    void stationIdOnLeavingTheBox();
    void closeIsDeferred();
};

void tst_frmEchoMain::echoRunThroughTheWindow()
{
    Rig rig;
    QCOMPARE(rig.window->windowTitle(), QString("Quillon Radio Echo Test    Ver.1.0.0"));
    QCOMPARE(rig.get<QLineEdit>("txt_IP")->text(), QString("1.1.1.1"));
    QCOMPARE(rig.get<QComboBox>("cmb_ID")->currentText(), QString("FF:FF:FF:FF:FF:FF"));
    QTemporaryDir dir;
    rig.op.savePaths << dir.filePath("test.txt");
    QTest::mouseClick(rig.get("cmd_LogPrint0"), Qt::LeftButton);
    QVERIFY(!rig.get("cmd_LogPrint0")->isEnabled());

    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.1");
    rig.get<QComboBox>("cmb_ID")->setEditText("00:80:45:01:00:02");
    QTest::mouseClick(rig.get("cmdEcho"), Qt::LeftButton);
    QVERIFY(!rig.get("cmdEcho")->isEnabled());
    rig.settle();
    QCOMPARE(rig.lamp(), QColor(128, 255, 128));
    for (int i = 0; i < 11; ++i) rig.session->run.tmrRep_Timer();  // the repetition, TTL -1
    QCOMPARE(rig.lamp(), QColor(0, 0, 0));
    rig.settle();
    QTest::mouseClick(rig.get("cmdStop"), Qt::LeftButton);
    QTest::mouseClick(rig.get("cmd_LogPrint1"), Qt::LeftButton);

    QCOMPARE(Rig::items(rig.get<QListWidget>("lstStatus")),
             (QStringList{I14 + "RCMP packet ID: 0x1234", "", At + "RCMP ping 127.0.0.1",
                          At + "Reply  00:80:45:01:00:02  seq=0 ttl=13 time=0ms",
                          At + "Reply  00:80:45:01:00:02  seq=1 ttl=-1 time=0ms",
                          At + "2 packets transmitted, 2 packets received,", I14 + "0% packet loss."}));
    QCOMPARE(rig.get<QLabel>("lblCnt")->text(), QString("2/2"));
    QCOMPARE(Rig::items(rig.get<QListWidget>("lstSID")), QStringList{"00:80:45:01:00:02"});
    QCOMPARE(rig.get<QComboBox>("cmb_ID")->findText("00:80:45:01:00:02"), 0);
    QVERIFY(rig.get("cmdEcho")->isEnabled());
    QVERIFY(rig.get("cmd_LogPrint0")->isEnabled());

    // The log carries the tag TEST and the address box's text.
    QFile log(dir.filePath("test.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray bytes = log.readAll();
    QVERIFY2(bytes.contains(" Quillon:127.0.0.1 PC:127.0.0.1 TEST SEND\r\n\tEcho Request\r\n"), bytes.constData());

    // Stop while idle and after a traceroute gives Traceroute back.
    QTest::mouseClick(rig.get("cmdTR"), Qt::LeftButton);
    QVERIFY(!rig.get("cmdTR")->isEnabled());
    QTest::mouseClick(rig.get("cmdStop"), Qt::LeftButton);
    QVERIFY(rig.get("cmdTR")->isEnabled());
    QCOMPARE(rig.session->lstStatus.last(), At + "Trace end.");

    // Ctrl+C in the station list puts the selected station on the clipboard.
    QTest::keyClick(rig.get<QListWidget>("lstSID"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(rig.clipboard.text(), QString("00:80:45:01:00:02\r\n"));
    QVERIFY2(rig.op.shown.isEmpty(), qPrintable(rig.op.lastText()));
}

void tst_frmEchoMain::stationIdOnLeavingTheBox_data() { StationBoxRows(); }

void tst_frmEchoMain::stationIdOnLeavingTheBox()
{
    Rig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    CheckLeavingStationBox(*rig.window, rig.op, rig.get<QWidget>("txt_IP"));
}

void tst_frmEchoMain::closeIsDeferred()
{
    Rig rig;
    rig.window->show();
    bool rcmpClosed = false;
    QObject::connect(&rig.session->rcmp, &RCMPLink::closed, [&] { rcmpClosed = true; });
    QTest::mouseClick(rig.get("cmdExit"), Qt::LeftButton);
    QVERIFY(rig.window->isVisible());  // cancelled now, asked again two ticks later
    QVERIFY(waitUntil([&] { return !rig.window->isVisible(); }));
    QVERIFY(waitUntil([&] { return rcmpClosed; }));
}

QTEST_MAIN(tst_frmEchoMain)
#include "tst_frmEchoMain.moc"
