// The status check window, offscreen, against the simulator on free ports: each button's wiring,
// Check ALL with its buttons off until the report is saved, Stop and Exit ending a wait, a second
// query refused while one waits, copy.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "check/frmCheck.h"
#include "devsim/DeviceSim.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/SetupSession.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

const QString Stamp = QStringLiteral("10:00:00.000  ");
const QString I14(14, ' ');

// Answers the save dialog from the script after `atSave` has looked at the window.
struct SaveWatchingOperator : ScriptedOperator {
    std::function<void()> atSave;
    QString saveFile(const QString& filter, const QString& folder, const QString& name) override
    {
        if (atSave) atSave();
        return ScriptedOperator::saveFile(filter, folder, name);
    }
};

struct RigOptions {
    bool mute = false;
    int tickMs = 2;
};

struct Rig {
    explicit Rig(const RigOptions& ro = RigOptions())
    {
        DeviceSim::Options so = FreePortSimOptions();
        so.faults.mute = ro.mute;
        sim = std::make_unique<DeviceSim>(so);
        started = sim->start();
        session = std::make_unique<SetupSession>(clock, op, SessionOptionsFor(*sim, ro.tickMs));
        session->load();
        session->CheckIPAddress(QStringLiteral("127.0.0.2"));
        QVERIFY(session->log.open(dir.filePath("check.log"), true));
        window = std::make_unique<frmCheck>(*session, clipboard);
    }

    template <class T = QPushButton>
    T* get(const QString& name) const { return window->findChild<T*>(name); }
    QStringList shown() const
    {
        auto* view = get<QListWidget>("lstMsg");
        QStringList out;
        for (int i = 0; i < view->count(); ++i) out << view->item(i)->text();
        return out;
    }
    QByteArray log() const
    {
        QFile f(dir.filePath("check.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool activate()
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
    QString focused() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

    QTemporaryDir dir;
    FixedClock clock{QDateTime(QDate(2024, 1, 1), QTime(10, 0))};
    SaveWatchingOperator op;
    MemoryClipboard clipboard;
    std::unique_ptr<DeviceSim> sim;
    bool started = false;
    std::unique_ptr<SetupSession> session;
    std::unique_ptr<frmCheck> window;
};

const QStringList QueryButtons{"cmd_environment", "cmdComp", "cmdIfconf", "cmdRoute", "cmdRsRoute", "cmdArp",
                               "cmdRsArp", "cmdDHCP", "cmdRIP", "cmdRFCh", "cmdFilter", "cmdScramble",
                               "cmdTxMethod", "cmdEthFulDup", "cmdSnmpSetup", "CmdL2AS", "cmd_accesslist",
                               "cmd_accesslimit"};

}  // namespace

class tst_frmCheck : public QObject {
    Q_OBJECT
private slots:
    void controls();
    void queryButton_data();
    void queryButton();
    void checkAllSavesTheList();
    void waitEndedByButton_data();
    void waitEndedByButton();
    void secondQueryWhileOneWaits();
    void copy_data();
    void copy();
};

void tst_frmCheck::controls()
{
    Rig rig;
    QCOMPARE(rig.window->windowTitle(), QString("QLN Setup (Check)"));
    const QList<QPair<QString, QString>> others{
        {"cmdCheckAll", "Check ALL"}, {"comstp", "Stop"}, {"cmdExit", "Exit"}, {"cmdDMY", ""}};
    for (const auto& [name, caption] : others) {
        QVERIFY2(rig.get(name), qPrintable(name));
        QCOMPARE(rig.get(name)->text(), caption);
    }
    QCOMPARE(rig.get<QListWidget>("lstMsg")->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(rig.get<QMenu>("ListMenu")->title(), QString("Menu"));
    QCOMPARE(rig.get<QAction>("lstCopy")->text(), QString("Copy"));
    QVERIFY(rig.shown().isEmpty());
}

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

// Each button runs its own query (its title is what the log records as asked, once) and is
// given back with the focus.
void tst_frmCheck::queryButton()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    Rig rig;
    QVERIFY(rig.started);
    QVERIFY(rig.activate());
    QPushButton* b = rig.get(button);
    QVERIFY2(b, qPrintable(button));
    QCOMPARE(b->text(), caption);
    QTest::mouseClick(b, Qt::LeftButton);
    const QByteArray log = rig.log();
    const QByteArray asked = " CONF SEND\r\n\t" + title.toLatin1() + "\r\n";
    QVERIFY2(log.count(asked) == 1, log.constData());
    QVERIFY(rig.sim->requestsReceived > 0);
    QCOMPARE(rig.shown().value(0), QString());  // every query starts with an empty line
    QVERIFY2(!rig.shown().join('\n').contains("Error occurred"), qPrintable(rig.shown().join('\n')));
    QVERIFY(b->isEnabled());
    QCOMPARE(rig.focused(), button);
}

void tst_frmCheck::checkAllSavesTheList()
{
    Rig rig;
    QVERIFY(rig.started);
    const QString path = rig.dir.filePath("report.txt");
    rig.op.savePaths << path;
    QStringList enabledAtSave;
    rig.op.atSave = [&] {
        for (QPushButton* b : rig.window->findChildren<QPushButton*>())
            if (b->isEnabled() && b->objectName() != "cmdDMY") enabledAtSave << b->objectName();
    };
    rig.window->show();
    QTest::mouseClick(rig.get("cmdCheckAll"), Qt::LeftButton);

    QCOMPARE(rig.op.dialogFilters.size(), 1);
    // Only Stop stays on while Check ALL runs.
    QCOMPARE(enabledAtSave, QStringList{"comstp"});
    for (const QString& name : QueryButtons + QStringList{"cmdCheckAll", "cmdExit"}) QVERIFY2(rig.get(name)->isEnabled(), qPrintable(name));
    const QStringList lines = rig.shown();
    QVERIFY2(lines.size() > 2 * 18, qPrintable(lines.join('\n')));
    QVERIFY2(!lines.join('\n').contains("Error occurred"), qPrintable(lines.join('\n')));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), (lines.join("\r\n") + "\r\n").toLatin1());
    QCOMPARE(rig.window->lstMsg.lines(), lines);
}

void tst_frmCheck::waitEndedByButton_data()
{
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<QString>("ender");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("visible");
    const QStringList rfBreak{"", Stamp + "Error occurred on 'rfchannel get' Command.",
                              I14 + " St: -1,Proto-Err(-1,Operator Break)."};
    QTest::newRow("Stop") << "cmdRFCh" << "comstp" << rfBreak << true;
    QTest::newRow("Exit") << "cmdRFCh" << "cmdExit" << rfBreak << false;
    // Stop is the one button that Check ALL leaves on; the run ends without a save dialog.
    QTest::newRow("Stop in Check ALL") << "cmdCheckAll" << "comstp"
                                       << QStringList{"", "", I14 + "Environment",
                                                      Stamp + "Error occurred on 'environment get' Command.",
                                                      I14 + " St: -1,Proto-Err(-1,Operator Break)."}
                                       << true;
}

void tst_frmCheck::waitEndedByButton()
{
    QFETCH(QString, pressed);
    QFETCH(QString, ender);
    QFETCH(QStringList, lines);
    QFETCH(bool, visible);
    // A muted device: without the button the wait would last five times 41 ticks of 100 ms.
    RigOptions ro;
    ro.mute = true;
    ro.tickMs = 100;
    Rig rig(ro);
    QVERIFY(rig.activate());
    bool pressedOn = true;
    bool otherOn = false;
    QString focusInWait;
    // Fires inside the pressed button's wait, after its request has gone out.
    QTimer::singleShot(0, [&] {
        pressedOn = rig.get(pressed)->isEnabled();
        otherOn = rig.get("cmdScramble")->isEnabled();
        focusInWait = rig.focused();
        QTest::mouseClick(rig.get(ender), Qt::LeftButton);
    });
    QTest::mouseClick(rig.get(pressed), Qt::LeftButton);
    QCOMPARE(rig.shown(), lines);
    QVERIFY(!pressedOn);
    QCOMPARE(otherOn, pressed != "cmdCheckAll");
    if (pressed != "cmdCheckAll") QCOMPARE(focusInWait, QString("cmdDMY"));
    QCOMPARE(rig.session->uif.sentCount(), 1);
    QCOMPARE(rig.op.dialogFilters.size(), 0);
    QVERIFY(rig.get(pressed)->isEnabled());
    QCOMPARE(rig.window->isVisible(), visible);
}

// A second query pressed while one waits is refused by the engine and says so; the first one
// then gets its answer and ends as it should.
void tst_frmCheck::secondQueryWhileOneWaits()
{
    RigOptions ro;
    ro.mute = true;
    ro.tickMs = 20;
    Rig rig(ro);
    QVERIFY(rig.activate());
    QTimer::singleShot(0, [&] {
        // The device has heard (and ignored) the first request before anything else happens.
        QVERIFY(waitUntil([&] { return rig.sim->requestsReceived == 1; }, 60000));
        QTest::mouseClick(rig.get("cmdScramble"), Qt::LeftButton);
        rig.sim->faults().mute = false;  // the first query's resend is answered
    });
    QTest::mouseClick(rig.get("cmdRFCh"), Qt::LeftButton);
    QCOMPARE(rig.shown(), (QStringList{"", "", Stamp + "Error occurred on 'scramble get' Command.",
                                       I14 + " St: -1,Proto-Err(5,Sender Busy).", Stamp + "RF channel: 0x000B(11)"}));
    QCOMPARE(rig.session->uif.sentCount(), 2);  // the first request and its resend; the second never left
    QVERIFY(rig.get("cmdRFCh")->isEnabled() && rig.get("cmdScramble")->isEnabled());
}

void tst_frmCheck::copy_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("copyEnabled");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("menu, picked backwards") << QList<int>{2, 0} << "menu" << true << "a\r\nc\r\n";
    QTest::newRow("menu, none selected") << QList<int>{} << "menu" << false << "old";
    QTest::newRow("Ctrl+C, one") << QList<int>{1} << "ctrl+c" << true << "b\r\n";
    QTest::newRow("Ctrl+C, none selected") << QList<int>{} << "ctrl+c" << true << "";
}

void tst_frmCheck::copy()
{
    QFETCH(QList<int>, selected);
    QFETCH(QString, how);
    QFETCH(bool, copyEnabled);
    QFETCH(QString, clipboard);
    Rig rig;
    QVERIFY(rig.activate());
    rig.window->lstMsg.MesgDisp("a\\nb\\nc");
    auto* view = rig.get<QListWidget>("lstMsg");
    view->clearSelection();
    for (int row : selected) view->item(row)->setSelected(true);
    rig.clipboard.setText("old");
    auto* copy = rig.get<QAction>("lstCopy");
    if (how == "menu") {
        auto* menu = rig.get<QMenu>("ListMenu");
        const QPoint at = view->visualItemRect(view->item(1)).center();
        QTest::mouseClick(rig.window->windowHandle(), Qt::RightButton, {}, view->viewport()->mapTo(rig.window.get(), at));
        QVERIFY(waitUntil([&] { return menu->isVisible(); }, 5000));
        QCOMPARE(copy->isEnabled(), copyEnabled);
        if (copy->isEnabled()) copy->trigger();
        menu->hide();
        // The right press leaves the selection as it was.
        QCOMPARE(view->selectedItems().size(), selected.size());
    } else {
        view->setFocus();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    }
    QCOMPARE(rig.clipboard.text(), clipboard);
}

QTEST_MAIN(tst_frmCheck)
#include "tst_frmCheck.moc"
