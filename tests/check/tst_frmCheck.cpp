// The status check window, offscreen, against the simulator on free ports: each button's wiring,
// Check ALL saving its list, and what the buttons do while a query waits.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "check/frmCheck.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QString Stamp = QStringLiteral("10:00:00.000  ");
const QString I14(14, ' ');

struct Rig {
    explicit Rig(bool mute = false, int tickMs = 2) : sim(FreePortSimOptions())
    {
        sim.faults().mute = mute;
        ready = sim.start();
        session = std::make_unique<SetupSession>(clock, op, SessionOptionsFor(sim, tickMs));
        session->load();
        session->CheckIPAddress(QStringLiteral("127.0.0.2"));
        session->log.open(dir.filePath("check.log"), true);
        window = std::make_unique<frmCheck>(*session, clipboard);
        window->show();
        window->activateWindow();
        ready = QTest::qWaitForWindowActive(window.get()) && ready;
    }
    QPushButton* get(const QString& name) const { return window->findChild<QPushButton*>(name); }
    QStringList shown() const
    {
        QStringList out;
        for (auto* view = window->findChild<QListWidget*>("lstMsg"); out.size() < view->count();) out << view->item(out.size())->text();
        return out;
    }

    QTemporaryDir dir;
    FixedClock clock{QDateTime(QDate(2024, 1, 1), QTime(10, 0))};
    ScriptedOperator op;
    MemoryClipboard clipboard;
    DeviceSim sim;
    std::unique_ptr<SetupSession> session;
    std::unique_ptr<frmCheck> window;
    bool ready = false;  // the simulator listens and the window is active
};

}  // namespace

class tst_frmCheck : public QObject {
    Q_OBJECT
private slots:
    void queryButton_data();
    void queryButton();
    void checkAllSavesTheList();
    void pressedWhileWaiting_data();
    void pressedWhileWaiting();
};

void tst_frmCheck::queryButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::newRow("environment") << "cmd_environment" << "environment" << "show environment";
    QTest::newRow("Group ID") << "cmdComp" << "Group ID" << "show Group ID";
    QTest::newRow("ifconfig") << "cmdIfconf" << "ifconfig" << "show ifconfig";
    QTest::newRow("route") << "cmdRoute" << "route" << "show route";
    QTest::newRow("rsroute") << "cmdRsRoute" << "rsroute" << "show rsroute";
    QTest::newRow("arp") << "cmdArp" << "arp" << "show arp";
    QTest::newRow("rsarp") << "cmdRsArp" << "rsarp" << "show rsarp";
    QTest::newRow("DHCP") << "cmdDHCP" << "DHCP" << "show DHCP";
    QTest::newRow("RIP") << "cmdRIP" << "RIP" << "show RIP";
    QTest::newRow("RF channel") << "cmdRFCh" << "RF channel" << "show rfchannel";
    QTest::newRow("portfilter") << "cmdFilter" << "portfilter" << "show portfilter";
    QTest::newRow("scramble") << "cmdScramble" << "scramble" << "show scramble";
    QTest::newRow("txmethod") << "cmdTxMethod" << "txmethod" << "show txmethod";
    QTest::newRow("full duplex") << "cmdEthFulDup" << "full duplex" << "show fullduplex";
    QTest::newRow("snmp setup") << "cmdSnmpSetup" << "snmp setup" << "show snmp setup";
    QTest::newRow("L2AS") << "CmdL2AS" << "L2AS" << "show l2as";
    QTest::newRow("access list") << "cmd_accesslist" << "access list" << "show access list";
    QTest::newRow("access limit") << "cmd_accesslimit" << "access limit" << "show access list number";
}

// Each button runs its own query, which the log records as asked, and gets the focus back.
void tst_frmCheck::queryButton()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    Rig rig;
    QVERIFY(rig.ready);
    QCOMPARE(rig.window->windowTitle(), QString("QLN Setup (Check)"));
    QCOMPARE(rig.get(button)->text(), caption);
    QTest::mouseClick(rig.get(button), Qt::LeftButton);
    QFile log(rig.dir.filePath("check.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().count(" CONF SEND\r\n\t" + title.toLatin1() + "\r\n"), 1);
    QVERIFY2(rig.shown().size() > 1 && !rig.shown().join('\n').contains("Error"), qPrintable(rig.shown().join('\n')));
    QVERIFY(rig.get(button)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), rig.get(button));
}

void tst_frmCheck::checkAllSavesTheList()
{
    Rig rig;
    rig.op.savePaths << rig.dir.filePath("report.txt");
    QTest::mouseClick(rig.get("cmdCheckAll"), Qt::LeftButton);
    for (QPushButton* b : rig.window->findChildren<QPushButton*>()) QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    const QStringList lines = rig.shown();
    QVERIFY2(lines.size() > 100 && !lines.join('\n').contains("Error"), qPrintable(lines.join('\n')));
    QFile f(rig.dir.filePath("report.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), (lines.join("\r\n") + "\r\n").toLatin1());
    QCOMPARE(rig.op.askedFrom, QStringList{"frmCheck"});  // the save dialog belongs to this window
}

void tst_frmCheck::pressedWhileWaiting_data()
{
    QTest::addColumn<QString>("first");   // waits on a device that says nothing
    QTest::addColumn<QString>("second");  // pressed meanwhile; then the device answers again
    QTest::addColumn<QString>("inWait");  // the focus and the buttons on (of 22) during the wait
    QTest::addColumn<QStringList>("lines");
    const QStringList rfBreak{"", Stamp + "Error occurred on 'rfchannel get' Command.",
                              I14 + " St: -1,Proto-Err(-1,Operator Break)."};
    QTest::newRow("Stop") << "cmdRFCh" << "comstp" << "cmdDMY 21 on, cmdRFCh off" << rfBreak;
    QTest::newRow("Exit") << "cmdRFCh" << "cmdExit" << "cmdDMY 21 on, cmdRFCh off" << rfBreak;
    // Check ALL leaves on Stop (and cmdDMY) only.
    QTest::newRow("Stop ends Check ALL") << "cmdCheckAll" << "comstp" << "comstp cmdDMY"
                                         << QStringList{"", "", I14 + "Environment",
                                                        Stamp + "Error occurred on 'environment get' Command.",
                                                        I14 + " St: -1,Proto-Err(-1,Operator Break)."};
    QTest::newRow("another query is refused") << "cmdRFCh" << "cmdScramble" << "cmdDMY 21 on, cmdRFCh off"
                                              << QStringList{"", "", Stamp + "Error occurred on 'scramble get' Command.",
                                                             I14 + " St: -1,Proto-Err(5,Sender Busy).",
                                                             Stamp + "RF channel: 0x000B(11)"};
}

void tst_frmCheck::pressedWhileWaiting()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, inWait);
    QFETCH(QStringList, lines);
    // Each wait lasts 40 ticks of 20 ms before a resend; the buttons act well within the first.
    Rig rig(true, 20);
    QVERIFY(rig.ready);
    QStringList on;
    QTimer::singleShot(0, [&] {
        QVERIFY(waitUntil([&] { return rig.sim.requestsReceived >= 1; }, 60000));
        for (QPushButton* b : rig.window->findChildren<QPushButton*>())
            if (b->isEnabled()) on << b->objectName();
        if (on.size() > 2)
            on = QStringList{QApplication::focusWidget()->objectName(), QString::number(on.size()), "on,", first,
                             on.contains(first) ? "on" : "off"};
        QTest::mouseClick(rig.get(second), Qt::LeftButton);
        rig.sim.faults().mute = false;
    });
    QTest::mouseClick(rig.get(first), Qt::LeftButton);
    QCOMPARE(on.join(' '), inWait);
    QCOMPARE(rig.shown(), lines);
    QCOMPARE(rig.op.dialogFilters.size(), 0);
    QVERIFY(rig.get(first)->isEnabled() && rig.get(second)->isEnabled());
}

QTEST_MAIN(tst_frmCheck)
#include "tst_frmCheck.moc"
