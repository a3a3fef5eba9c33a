// Each window's status bar: what it waits on the device for while a silent simulator keeps it
// waiting, "Ready" once the wait is over.
#include "FreePortSim.h"
#include "check/frmCheck.h"
#include "echotest/EchoTestSession.h"
#include "echotest/frmEchoMain.h"
#include "firmware/frmFW.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/frmMain.h"
#include "xfertest/XferTestSession.h"
#include "xfertest/frmXferMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

class tst_WaitStatusBar : public QObject {
    Q_OBJECT
private slots:
    void waiting_data();
    void waiting();
};

void tst_WaitStatusBar::waiting_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shown");  // at the exchange's second send; QLN_Test's once its run started
    const QString resend = "Waiting for the device's answer (attempt 2 of 5)";
    QTest::newRow("QLN_Set main window") << "frmMain" << "cmdEcho" << resend;
    QTest::newRow("check window") << "frmCheck" << "cmd_environment" << resend;
    QTest::newRow("firmware window") << "frmFW" << "cmdVers" << resend;
    QTest::newRow("QLN_Xfer") << "frmXferMain" << "cmdCheck" << resend;
    QTest::newRow("QLN_Test") << "frmEchoMain" << "cmdEcho" << "Waiting for the echo replies of 00:80:45:01:00:03";
}

void tst_WaitStatusBar::waiting()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, shown);
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(10, 0))};
    ScriptedOperator op;
    MemoryClipboard clipboard;
    DeviceSim sim(FreePortSimOptions());
    sim.faults().mute = true;
    QVERIFY(sim.start());
    XferTestSession::Options xo;
    xo.uif.tickMs = 2;
    xo.uif.localPort = 0;
    xo.uif.remotePort = sim.uifPort();
    xo.rcmp.localPort = 0;
    EchoTestSession::Options eo;
    eo.rcmp.localPort = 0;
    eo.rcmp.remotePort = sim.rcmpPort();
    SetupSession setup(clock, op, SessionOptionsFor(sim));
    XferTestSession xfer(clock, op, xo);
    EchoTestSession echo(clock, op, eo);
    setup.load();
    setup.CheckIPAddress("127.0.0.2");
    std::unique_ptr<QWidget> w;
    if (window == "frmMain") w = std::make_unique<frmMain>(setup, op, clipboard, "127.0.0.2", 5);
    if (window == "frmCheck") w = std::make_unique<frmCheck>(setup, clipboard);
    if (window == "frmFW") w = std::make_unique<frmFW>(setup);
    if (window == "frmXferMain") w = std::make_unique<frmXferMain>(xfer, op, clipboard, 5);
    if (window == "frmEchoMain") w = std::make_unique<frmEchoMain>(echo, op, clipboard, 5);
    if (auto* ip = w->findChild<QLineEdit*>("txt_IP")) ip->setText("127.0.0.2");
    if (auto* id = w->findChild<QComboBox*>("cmb_ID")) id->setEditText("00:80:45:01:00:03");
    auto* bar = w->findChild<QStatusBar*>("statusBar");
    QVERIFY(bar);
    QCOMPARE(bar->currentMessage(), QString("Ready"));

    // Connected after the window's bar: at the second send the bar shows it already; the wait ends there.
    QString seen;
    frmUIF& uif = window == "frmXferMain" ? xfer.uif : setup.uif;
    connect(&uif, &frmUIF::waiting, this, [&](int send) {
        if (send != 2 || !seen.isNull()) return;
        seen = bar->currentMessage();
        uif.TermUIF();
    });
    w->findChild<QPushButton*>(button)->click();
    if (window == "frmEchoMain") {
        seen = bar->currentMessage();
        QSignalSpy ended(&echo.run, &EchoTestRun::runEnded);
        w->findChild<QPushButton*>("cmdStop")->click();
        QVERIFY(ended.count() > 0 || ended.wait(10000));
    }
    QCOMPARE(seen, shown);
    QCOMPARE(bar->currentMessage(), QString("Ready"));
}

QTEST_MAIN(tst_WaitStatusBar)
#include "tst_WaitStatusBar.moc"
