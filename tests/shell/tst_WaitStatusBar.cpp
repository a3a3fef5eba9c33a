// Each window's status bar: what it waits on the device for while a silent simulator keeps it
// waiting, "Ready" once the wait is over.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
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

#include <memory>

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
    QTest::addColumn<QString>("shown");  // while the exchange waits for its second send's answer
    const QString resend = "Waiting for the device's answer (resend 2 of 5)";
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

    std::unique_ptr<SetupSession> setup;
    std::unique_ptr<XferTestSession> xfer;
    std::unique_ptr<EchoTestSession> echo;
    std::unique_ptr<QWidget> w;
    frmUIF* uif = nullptr;
    if (window == "frmXferMain") {
        XferTestSession::Options o;
        o.uif.tickMs = 2;
        o.uif.localPort = 0;
        o.uif.remotePort = sim.uifPort();
        o.rcmp.localPort = 0;
        xfer = std::make_unique<XferTestSession>(clock, op, o);
        w = std::make_unique<frmXferMain>(*xfer, op, clipboard, 5);
        uif = &xfer->uif;
    } else if (window == "frmEchoMain") {
        EchoTestSession::Options o;
        o.rcmp.tickMs = 2;
        o.rcmp.localPort = 0;
        o.rcmp.remotePort = sim.rcmpPort();
        echo = std::make_unique<EchoTestSession>(clock, op, o);
        w = std::make_unique<frmEchoMain>(*echo, op, clipboard, 5);
        w->findChild<QComboBox*>("cmb_ID")->setEditText("00:80:45:01:00:03");
    } else {
        setup = std::make_unique<SetupSession>(clock, op, SessionOptionsFor(sim));
        if (window == "frmMain") {
            w = std::make_unique<frmMain>(*setup, op, clipboard, "127.0.0.2", 5);
        } else {
            QVERIFY(setup->load());
            setup->CheckIPAddress("127.0.0.2");
            if (window == "frmCheck")
                w = std::make_unique<frmCheck>(*setup, clipboard);
            else
                w = std::make_unique<frmFW>(*setup);
        }
        uif = &setup->uif;
    }
    if (auto* ip = w->findChild<QLineEdit*>("txt_IP")) ip->setText("127.0.0.2");
    auto* bar = w->findChild<QStatusBar*>("statusBar");
    QVERIFY(bar);
    QCOMPARE(bar->currentMessage(), QString("Ready"));

    QString seen;
    if (uif) {
        // Connected after the window's own bar: at the second send the bar already shows it.
        connect(uif, &frmUIF::waiting, this, [&seen, bar, uif](int send) {
            if (send != 2 || !seen.isNull()) return;
            seen = bar->currentMessage();
            uif->TermUIF();
        });
    }
    w->findChild<QPushButton*>(button)->click();
    if (!uif) {
        seen = bar->currentMessage();
        QSignalSpy ended(&echo->run, &EchoTestRun::runEnded);
        w->findChild<QPushButton*>("cmdStop")->click();
        QVERIFY(ended.count() > 0 || ended.wait(10000));
    }
    QCOMPARE(seen, shown);
    QCOMPARE(bar->currentMessage(), QString("Ready"));
}

QTEST_MAIN(tst_WaitStatusBar)
#include "tst_WaitStatusBar.moc"
