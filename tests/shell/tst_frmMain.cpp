// QLN_Set's main window, offscreen: its controls, the command-line address, the echo test against
// the simulator, Stop, the deferred close, the message list, copy, the log buttons and Ref.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "devsim/DeviceSim.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/MainClose.h"
#include "shell/SetupSession.h"
#include "shell/SubTimeStamp.h"
#include "shell/Version.h"
#include "shell/frmMain.h"
#include "check/frmCheck.h"
#include "firmware/frmFW.h"

#include <QAction>
#include <QDir>
#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <QtTest>
#include <memory>

namespace {

const QString Stamp = QStringLiteral("10:00:00.000  ");

// One window on a session whose UIF engine talks to an in-process simulator on free ports.
struct Rig {
    explicit Rig(const QString& commandLine = QString(), bool mute = false, int refuse = -1, int tickMs = 2,
                 quint16 localPort = 0)
        : clock(QDateTime(QDate(2024, 1, 1), QTime(10, 0)))
    {
        DeviceSim::Options so = FreePortSimOptions();
        so.faults.mute = mute;
        if (refuse >= 0) so.faults.refuse.insert(0, refuse);
        sim = std::make_unique<DeviceSim>(so);
        started = sim->start();
        SetupSession::Options o;
        o.uif.localPort = localPort;
        o.uif.remotePort = sim->uifPort();
        o.uif.tickMs = tickMs;
        o.tfr.tickMs = tickMs;
        o.tfr.tftp.port = 0;
        o.tfr.tftp.tickMs = 20;
        session = std::make_unique<SetupSession>(clock, op, o);
        window = std::make_unique<frmMain>(*session, op, clipboard, commandLine, 5);
    }

    template <class T = QPushButton>
    T* get(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    QListWidget* list() const { return get<QListWidget>("lstStatus"); }
    QStringList shownLines() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i) out << list()->item(i)->text();
        return out;
    }
    bool activate()
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    FixedClock clock;
    ScriptedOperator op;
    MemoryClipboard clipboard;
    std::unique_ptr<DeviceSim> sim;
    bool started = false;
    std::unique_ptr<SetupSession> session;
    std::unique_ptr<frmMain> window;
};

}  // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void captionAndList();
    void commandLine_data();
    void commandLine();
    void checkWindow();
    void firmwareWindow_data();
    void firmwareWindow();
    void reopenedAfterExit_data();
    void reopenedAfterExit();
    void configButtons_data();
    void configButtons();
    void secondFlowDuringATransfer_data();
    void secondFlowDuringATransfer();
    void checksBeforeDisabling_data();
    void checksBeforeDisabling();
    void echo_data();
    void echo();
    void echoButtonIsOffWhileWaiting();
    void echoWithPortInUse();
    void stopEndsWait();
    void closeWhileWaiting_data();
    void closeWhileWaiting();
    void closeGoesThroughOnSecondTick();
    void capDropsFirstLine();
    void statelistKeepsNoSelection();
    void subTimeStamp();
    void copy_data();
    void copy();
    void copyMenuEnabledOnlyWithSelection();
    void logButtons_data();
    void logButtons();
    void enterInAddress_data();
    void enterInAddress();
    void browse_data();
    void browse();
};

void tst_frmMain::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("Ref.") << "cmdFile" << "Ref." << true;
    QTest::newRow("Apply") << "cmdOK" << "Apply" << true;
    QTest::newRow("Verify after Apply") << "chkVerify" << "Verify after Apply" << true;
    QTest::newRow("Roll back on failure") << "chkRollback" << "Roll back on failure" << true;
    QTest::newRow("ROM Config") << "ComGetstat0" << "ROM Config" << true;
    QTest::newRow("RAM Config") << "ComGetstat1" << "RAM Config" << true;
    QTest::newRow("Save") << "cmdROM" << "Save" << true;
    QTest::newRow("Interactive Mode") << "cmdIntr" << "Interactive Mode" << true;
    QTest::newRow("Check") << "cmdChk" << "Check" << true;
    QTest::newRow("FW Update") << "cmdFW" << "FW Update" << true;
    QTest::newRow("Echo test") << "cmdEcho" << "Echo test" << true;
    QTest::newRow("Stop") << "cmdStop" << "Stop" << true;
    QTest::newRow("Exit") << "cmdExit" << "Exit" << true;
    QTest::newRow("Log Start") << "Cmd_ListLog0" << "Log Start" << true;
    QTest::newRow("Log  End") << "Cmd_ListLog1" << "Log  End" << true;
    QTest::newRow("lbl_IP") << "lbl_IP" << "Quillon IP Address :" << true;
    QTest::newRow("lblFile") << "lblFile" << "Configuration File :" << true;
}

void tst_frmMain::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    Rig rig;
    QWidget* w = rig.window->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    const QString text = w->property("text").toString();
    QCOMPARE(text, caption);
    QCOMPARE(w->isEnabled(), enabled);
    for (const char* field : {"txt_IP", "txtFile", "Statelist"}) QVERIFY(rig.window->findChild<QWidget*>(field));
}

void tst_frmMain::captionAndList()
{
    Rig rig;
    QVERIFY(rig.window->windowTitle().startsWith("Quillon Setup    Ver."));
    QVERIFY(QRegularExpression("^Quillon Setup    Ver\\.\\d+\\.\\d+\\.\\d+$").match(rig.window->windowTitle()).hasMatch());
    QCOMPARE(rig.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    // Columns line up: every glyph of the list's font is one width.
    const QFontMetrics metrics(rig.list()->font());
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiiiii")), metrics.horizontalAdvance(QStringLiteral("WWWWWW")));
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral(" ")), metrics.horizontalAdvance(QStringLiteral("0")));
    QCOMPARE(rig.get<QLineEdit>("txtFile")->text(), rig.window->fileChoice().DefDir);
    QVERIFY(rig.window->fileChoice().DefDir.endsWith('/'));
    QCOMPARE(rig.window->fileChoice().DefName, QString());
    auto* menu = rig.get<QMenu>("ListMenu");
    QVERIFY(menu);
    QCOMPARE(menu->title(), QString("Menu"));
    QCOMPARE(rig.get<QAction>("lstcopy")->text(), QString("Copy"));
}

void tst_frmMain::commandLine_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << "" << "" << QStringList();
    QTest::newRow("valid") << "127.0.0.2" << "127.0.0.2" << QStringList();
    QTest::newRow("leading zeros are valid") << "010.0.0.1" << "010.0.0.1" << QStringList();
    QTest::newRow("part above 255") << "10.0.0.300" << "" << QStringList{"Command line parameter error. '10.0.0.300'"};
    QTest::newRow("two words") << "10.0.0.1 x" << "" << QStringList{"Command line parameter error. '10.0.0.1 x'"};
    QTest::newRow("three parts") << "1.2.3" << "" << QStringList{"Command line parameter error. '1.2.3'"};
    QTest::newRow("non-ASCII digit") << QString("1.2.3.") + QChar(0x0664) << ""
                                     << QStringList{QString("Command line parameter error. '1.2.3.") + QChar(0x0664) + "'"};
}

void tst_frmMain::commandLine()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, field);
    QFETCH(QStringList, lines);
    Rig rig(commandLine);
    QCOMPARE(rig.get<QLineEdit>("txt_IP")->text(), field);
    QCOMPARE(rig.shownLines(), lines);
    QCOMPARE(rig.op.shown.size(), 0);
}

// Check opens the one status check window, modeless, once the address has passed its check;
// it goes with the main window.
void tst_frmMain::checkWindow()
{
    Rig rig;
    QVERIFY(rig.activate());
    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");
    QTest::mouseClick(rig.get("cmdChk"), Qt::LeftButton);
    QTest::mouseClick(rig.get("cmdChk"), Qt::LeftButton);
    const QList<frmCheck*> windows = rig.window->findChildren<frmCheck*>();
    QCOMPARE(windows.size(), 1);
    QVERIFY(windows[0]->isVisible() && windows[0]->isWindow() && !windows[0]->isModal());
    QCOMPARE(rig.session->uif.remoteHost(), 0x7F000002u);
    // The check window goes with the main window (and may be deleted with it).
    const QPointer<frmCheck> check = windows[0];
    rig.window->close();
    QVERIFY(waitUntil([&] { return !check || !check->isVisible(); }, 5000));
}

void tst_frmMain::firmwareWindow_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("windows");
    QTest::newRow("invalid address") << "10.0.0.300" << "Invalid IP Address" << 0;
    QTest::newRow("valid address") << "127.0.0.2" << "" << 1;
}

// FW Update opens the one firmware window, modeless, once the address has passed its check.
void tst_frmMain::firmwareWindow()
{
    QFETCH(QString, address);
    QFETCH(QString, box);
    QFETCH(int, windows);
    Rig rig;
    QVERIFY(rig.activate());
    rig.get<QLineEdit>("txt_IP")->setText(address);
    QTest::mouseClick(rig.get("cmdFW"), Qt::LeftButton);
    QTest::mouseClick(rig.get("cmdFW"), Qt::LeftButton);
    QCOMPARE(rig.op.shown.size(), box.isEmpty() ? 0 : 2);
    if (!box.isEmpty()) QCOMPARE(rig.op.lastText(), box);
    const QList<frmFW*> found = rig.window->findChildren<frmFW*>();
    QCOMPARE(found.size(), windows);
    for (frmFW* w : found) {
        QVERIFY(w->isVisible() && w->isWindow() && !w->isModal());
        QCOMPARE(w->windowTitle(), QString("QLN Update"));
    }
}

void tst_frmMain::reopenedAfterExit_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("name");
    QTest::newRow("check window") << "cmdChk" << "frmCheck";
    QTest::newRow("QLN Update") << "cmdFW" << "frmFW";
}

// Exit unloads the window: opened again, it has the list, path and version it had at load.
void tst_frmMain::reopenedAfterExit()
{
    QFETCH(QString, opener);
    QFETCH(QString, name);
    Rig rig;
    QVERIFY(rig.activate());
    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");
    QTest::mouseClick(rig.get(qPrintable(opener)), Qt::LeftButton);
    QPointer<QWidget> first = rig.window->findChild<QWidget*>(name);
    QVERIFY(first);
    if (auto* check = qobject_cast<frmCheck*>(first.data())) check->lstMsg.MesgDisp("the previous device");
    if (auto* path = first->findChild<QLineEdit*>("txtFile")) path->setText("/previous/FW_UP.BIN");
    if (auto* version = first->findChild<QPushButton*>("cmdVers")) QTest::mouseClick(version, Qt::LeftButton);
    QTest::mouseClick(first->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());

    QTest::mouseClick(rig.get(qPrintable(opener)), Qt::LeftButton);
    const QList<QWidget*> open = rig.window->findChildren<QWidget*>(name);
    QCOMPARE(open.size(), 1);
    QVERIFY(open[0]->isVisible());
    if (auto* list = open[0]->findChild<QListWidget*>("lstMsg")) QCOMPARE(list->count(), 0);
    if (auto* path = open[0]->findChild<QLineEdit*>("txtFile")) QCOMPARE(path->text(), QString());
    if (auto* version = open[0]->findChild<QLabel*>("lblVers")) QCOMPARE(version->text(), QString("unknown"));
}

void tst_frmMain::configButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("tail");  // the last message lines
    QTest::addColumn<QStringList>("statelist");
    QTest::addColumn<int>("rfChannel");     // the simulator's tables afterwards
    QTest::addColumn<QByteArray>("running");  // the head of its running store afterwards
    QTest::addColumn<bool>("romIsRunning");
    const QByteArray running = "0000002f00000002ffffffff0007";
    QTest::newRow("Apply") << "cmdOK"
                           << QStringList{Stamp + "Config Data Transfer Complete.", Stamp + "Current Configuration Update Complete."}
                           << QStringList() << 9 << QByteArray("0000002f00000000ffffffff0009") << false;
    // The box's wiring: the safe steps run, Apply's outcome on the device is the same.
    QTest::newRow("Apply, roll back on failure")
        << "chkRollback cmdOK"
        << QStringList{Stamp + "Echo Command Normal end.", Stamp + "Safe Apply complete: applied, verified, answering."}
        << QStringList() << 9 << QByteArray("0000002f00000000ffffffff0009") << false;
    QTest::newRow("ROM Config") << "ComGetstat0"
                                << QStringList{Stamp + "Copy Command Send.(ROM->RAM)", Stamp + "Copy Command normal end.",
                                               Stamp + "Config Data receive transfer request.",
                                               Stamp + "Config Data receive transfer complete."}
                                << QStringList{"", ";rfchannel", "rfchannel 5"} << 11 << running << false;
    QTest::newRow("RAM Config") << "ComGetstat1" << QStringList{Stamp + "Config Data receive transfer complete."}
                                << QStringList{"", ";rfchannel", "rfchannel 7"} << 11 << running << false;
    QTest::newRow("Interactive Mode") << "cmdIntr" << QStringList{Stamp + "TOTAL Send Records: 1", Stamp + "Setting Complete."}
                                      << QStringList() << 9 << running << false;  // the record goes after the one there
    QTest::newRow("Save") << "cmdROM" << QStringList{Stamp + "Current Configuration Save Complete."} << QStringList() << 11
                          << running << true;
}
void tst_frmMain::configButtons()
{
    QFETCH(QString, button);
    QFETCH(QStringList, tail);
    QFETCH(QStringList, statelist);
    QFETCH(int, rfChannel);
    QFETCH(QByteArray, running);
    QFETCH(bool, romIsRunning);
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());  // where Apply writes Config.bin
    Rig rig;
    QVERIFY(rig.activate());
    QByteArray rom(28672, char(0xFF)), run = rom;
    rom.replace(0, 14, QByteArray::fromHex("0000002f00000001ffffffff0005"));
    run.replace(0, 14, QByteArray::fromHex("0000002f00000002ffffffff0007"));
    rig.sim->stores.rom = rom;
    rig.sim->stores.running = run;
    QFile conf(dir.filePath("conf.txt"));
    QVERIFY(conf.open(QIODevice::WriteOnly) && conf.write("rfchannel 9\n") == 12);
    conf.close();
    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");
    rig.get<QLineEdit>("txtFile")->setText(conf.fileName());
    QAbstractButton* pressed = nullptr;
    for (const QString& name : button.split(' ')) {
        pressed = rig.get<QAbstractButton>(qPrintable(name));
        QTest::mouseClick(pressed, Qt::LeftButton);
    }
    QDir::setCurrent(previous);
    const QStringList lines = rig.shownLines();
    QCOMPARE(lines.mid(lines.size() - tail.size()), tail);
    QCOMPARE(rig.session->Statelist.lines(), statelist);
    QVERIFY(pressed->isEnabled());
    QCOMPARE(rig.sim->tables.rfChannel, rfChannel);
    QCOMPARE(rig.sim->stores.running.left(running.size() / 2).toHex(), running);
    QCOMPARE(rig.sim->stores.rom == rig.sim->stores.running, romIsRunning);
}

void tst_frmMain::secondFlowDuringATransfer_data()
{
    QTest::addColumn<QString>("first");   // "Apply", or "FW Update" in the firmware window
    QTest::addColumn<QString>("second");  // the main window's button pressed while it transfers
    QTest::addColumn<QString>("busy");    // the refused operation's line
    QTest::newRow("RAM Config during Apply") << "Apply" << "ComGetstat1" << "RAM Config";
    QTest::newRow("ROM Config during Apply") << "Apply" << "ComGetstat0" << "ROM Config";
    QTest::newRow("Save during Apply") << "Apply" << "cmdROM" << "Save";
    QTest::newRow("RAM Config during FW Update") << "FW Update" << "ComGetstat1" << "RAM Config";
}

// The second button is pressed while the device's transfer is held open (at the moment the
// transfer phase begins): it is refused before it writes or sends anything, and the device sees
// only the first flow's start and copy, with that flow's own type, port and name.
void tst_frmMain::secondFlowDuringATransfer()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, busy);
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    Rig rig;
    QVERIFY(rig.activate());
    QFile conf(dir.filePath("conf.txt")), fw(dir.filePath("fw.bin"));
    QVERIFY(conf.open(QIODevice::WriteOnly) && conf.write("rfchannel 9\n") == 12);
    QVERIFY(fw.open(QIODevice::WriteOnly) && fw.write(QByteArray(3000, 'f')) == 3000);
    conf.close();
    fw.close();
    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");
    rig.get<QLineEdit>("txtFile")->setText(conf.fileName());
    QStringList seen;
    QObject::connect(rig.sim.get(), &DeviceSim::trace, [&seen](const QString& l) {
        if (l.startsWith("start ") || l.startsWith("copy ")) seen << l;
    });
    int pressed = 0;
    QObject::connect(&rig.session->tfr, &frmTFR::transferWaiting, [&](bool waiting) {
        if (!waiting || pressed++) return;
        QTest::mouseClick(rig.get(qPrintable(second)), Qt::LeftButton);
        QVERIFY(rig.get(qPrintable(second))->isEnabled());
    });
    if (first == "Apply") {
        QTest::mouseClick(rig.get("cmdOK"), Qt::LeftButton);
    } else {
        QTest::mouseClick(rig.get("cmdFW"), Qt::LeftButton);
        frmFW* w = rig.window->findChild<frmFW*>();
        QVERIFY(w);
        w->findChild<QLineEdit*>("txtFile")->setText(fw.fileName());
        QTest::mouseClick(w->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    }
    QDir::setCurrent(previous);
    QCOMPARE(pressed, 1);
    const QString port = QString::number(rig.session->tfr.TFRPort());
    const QStringList expected = first == "Apply"
        ? QStringList{"start  type 0 port " + port + " \"Config.bin\"", "copy   1 -> 2 type 0 port " + port + " \"Config.bin\""}
        : QStringList{"start  type 2 port " + port + " \"fw.bin\"", "copy   1 -> 0 type 2 port " + port + " \"fw.bin\""};
    QCOMPARE(seen, expected);
    const QStringList lines = rig.shownLines();
    const int at = lines.indexOf(Stamp + busy + ": another operation is running.");
    QVERIFY2(at >= 0, qPrintable(lines.join('\n')));
    QCOMPARE(lines.value(at + 1), QString(14, ' ') + " St: -1,Proto-Err(5,Sender Busy).");
    QVERIFY(rig.get(qPrintable(second))->isEnabled());
    if (first == "Apply")
        QCOMPARE(rig.sim->tables.rfChannel, 9);
    else
        QCOMPARE(rig.sim->stores.firmware, QByteArray(3000, 'f'));
}

void tst_frmMain::checksBeforeDisabling_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<QString>("box");
    QTest::newRow("Apply, address") << "cmdOK" << "10.0.0.300" << true << "Invalid IP Address";
    QTest::newRow("Apply, file") << "cmdOK" << "127.0.0.2" << false << "Invalid file pathname";
    QTest::newRow("Interactive Mode, address") << "cmdIntr" << "1.2.3" << true << "Invalid IP Address";
    QTest::newRow("Interactive Mode, file") << "cmdIntr" << "127.0.0.2" << false << "Invalid File Pathname";
    QTest::newRow("Save, address") << "cmdROM" << "" << true << "Invalid IP Address";
    QTest::newRow("ROM Config, address") << "ComGetstat0" << "10.0.0.300" << true << "Invalid IP Address";
    QTest::newRow("RAM Config, address") << "ComGetstat1" << "10.0.0.300" << true << "Invalid IP Address";
}

// A refused address or file is reported while the pressed button is still enabled and before
// the focus has moved to Stop; nothing is sent.
void tst_frmMain::checksBeforeDisabling()
{
    QFETCH(QString, button);
    QFETCH(QString, address);
    QFETCH(bool, fileThere);
    QFETCH(QString, box);
    QTemporaryDir dir;
    Rig rig;
    QVERIFY(rig.activate());
    const QString conf = dir.filePath("conf.txt");
    if (fileThere) {
        QFile f(conf);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("rfchannel 9\n") == 12);
    }
    rig.get<QLineEdit>("txt_IP")->setText(address);
    rig.get<QLineEdit>("txtFile")->setText(conf);
    QPushButton* pressed = rig.get(qPrintable(button));
    pressed->setFocus();
    QStringList behind;
    rig.op.whileShown = [&](const QString&) {
        behind << QString("%1 %2").arg(pressed->isEnabled() ? "enabled" : "disabled",
                                       QApplication::focusWidget() == rig.get("cmdStop") ? "Stop" : "not Stop");
    };
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(rig.op.lastText(), box);
    QCOMPARE(behind, QStringList{"enabled not Stop"});
    QCOMPARE(rig.session->uif.sentCount(), 0);
}

void tst_frmMain::echo_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("mute");
    QTest::addColumn<int>("refuse");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("focus");
    QTest::newRow("normal end") << "127.0.0.2" << false << -1 << QStringList{"", Stamp + "Echo Command Normal end."}
                                << "" << "cmdEcho";
    QTest::newRow("refused") << "127.0.0.2" << false << 3
                             << QStringList{"", Stamp + "Echo Command Error.",
                                            QString(14, ' ') + " St: 3,ErrACK(Invalid parameter)."}
                             << "" << "cmdEcho";
    QTest::newRow("no device") << "127.0.0.2" << true << -1
                               << QStringList{"", Stamp + "Echo Command Error.",
                                              QString(14, ' ') + " St: -1,Proto-Err(1,No Response)."}
                               << "" << "cmdEcho";
    QTest::newRow("invalid address") << "10.0.0.300" << false << -1 << QStringList{""} << "Invalid IP Address"
                                     << "txt_IP";
    QTest::newRow("empty address") << "" << false << -1 << QStringList{""} << "Invalid IP Address" << "txt_IP";
}

void tst_frmMain::echo()
{
    QFETCH(QString, address);
    QFETCH(bool, mute);
    QFETCH(int, refuse);
    QFETCH(QStringList, lines);
    QFETCH(QString, box);
    QFETCH(QString, focus);
    Rig rig(QString(), mute, refuse);
    QVERIFY(rig.started);
    QVERIFY(rig.activate());
    rig.get<QLineEdit>("txt_IP")->setText(address);
    QTest::mouseClick(rig.get("cmdEcho"), Qt::LeftButton);
    QCOMPARE(rig.shownLines(), lines);
    QVERIFY(rig.get("cmdEcho")->isEnabled());
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    if (box.isEmpty()) {
        QCOMPARE(rig.op.shown.size(), 0);
        // A silent device hears the request and its four resends.
        QCOMPARE(rig.sim->requestsReceived, mute ? 5 : 1);
        QCOMPARE(rig.session->uif.sentCount(), mute ? 5 : 1);
    } else {
        QCOMPARE(rig.op.shown.size(), 1);
        QCOMPARE(rig.op.shown[0].title, QString("WARNING"));
        QCOMPARE(rig.op.shown[0].text, box);
        QCOMPARE(rig.op.shown[0].icon, Operator::Icon::Critical);
        QCOMPARE(rig.session->uif.sentCount(), 0);
    }
}

void tst_frmMain::echoButtonIsOffWhileWaiting()
{
    // A muted device keeps the first echo waiting; the button must refuse a second start.
    // Long ticks: the first resend is two seconds away, well after the checks.
    Rig rig(QString(), true, -1, 50);
    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");
    bool enabledDuringWait = true;
    int sentDuringWait = -1;
    QTimer::singleShot(30, [&] {
        enabledDuringWait = rig.get("cmdEcho")->isEnabled();
        QTest::mouseClick(rig.get("cmdEcho"), Qt::LeftButton);
        sentDuringWait = rig.session->uif.sentCount();
        QTest::mouseClick(rig.get("cmdStop"), Qt::LeftButton);
    });
    QTest::mouseClick(rig.get("cmdEcho"), Qt::LeftButton);
    QVERIFY(!enabledDuringWait);
    QCOMPARE(sentDuringWait, 1);
    QCOMPARE(rig.shownLines().count(QString("")), 1);
    QVERIFY(rig.get("cmdEcho")->isEnabled());
}

void tst_frmMain::echoWithPortInUse()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    Rig rig(QString(), false, -1, 2, holder.localPort());
    QCOMPARE(rig.op.shown.size(), 1);
    QCOMPARE(rig.op.shown[0].title, QString("WARNING"));
    QCOMPARE(rig.op.shown[0].text, QString("Bind address already in use."));
    QCOMPARE(rig.op.shown[0].icon, Operator::Icon::Critical);

    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");
    QTest::mouseClick(rig.get("cmdEcho"), Qt::LeftButton);
    const QStringList lines = rig.shownLines();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[1], Stamp + "Echo Command Error.");
    // The send-error text carries a literal backslash-n: it shows as two lines.
    QVERIFY2(lines[2].startsWith(QString(14, ' ') + " St: -1,Proto-Err(2,Send_VBErrNumber=10048"), qPrintable(lines[2]));
    QVERIFY(lines[2].endsWith('/'));
    QVERIFY2(lines[3].startsWith("    VBErrDesc="), qPrintable(lines[3]));
    QCOMPARE(rig.session->uif.sentCount(), 0);
    QCOMPARE(rig.sim->requestsReceived, 0);
    QVERIFY(rig.get("cmdEcho")->isEnabled());
}

void tst_frmMain::stopEndsWait()
{
    // Long ticks: without Stop the wait would last five times 41 ticks of 50 ms.
    Rig rig(QString(), true, -1, 50);
    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");
    QTimer::singleShot(50, [&] { QTest::mouseClick(rig.get("cmdStop"), Qt::LeftButton); });
    QTest::mouseClick(rig.get("cmdEcho"), Qt::LeftButton);
    QCOMPARE(rig.shownLines(), (QStringList{"", Stamp + "Echo Command Error.",
                                            QString(14, ' ') + " St: -1,Proto-Err(-1,Operator Break)."}));
    // Ended before the first resend: no second datagram left.
    QCOMPARE(rig.session->uif.sentCount(), 1);
    QVERIFY(rig.get("cmdEcho")->isEnabled());
}

void tst_frmMain::closeWhileWaiting_data()
{
    QTest::addColumn<bool>("byExitButton");
    QTest::newRow("close box") << false;
    QTest::newRow("Exit") << true;
}

void tst_frmMain::closeWhileWaiting()
{
    QFETCH(bool, byExitButton);
    QTemporaryDir dir;
    Rig rig(QString(), true, -1, 20);
    rig.window->show();
    QVERIFY(rig.session->log.open(dir.filePath("close.txt"), true));
    rig.get<QLineEdit>("txt_IP")->setText("127.0.0.2");

    bool visibleAfterRequest = false;
    bool visibleAtBreak = false;
    connect(&rig.session->lstStatus, &MessageList::lineAdded, [&](const QString& line) {
        if (line.contains("Operator Break")) visibleAtBreak = rig.window->isVisible();
    });
    QTimer::singleShot(50, [&] {
        if (byExitButton)
            QTest::mouseClick(rig.get("cmdExit"), Qt::LeftButton);
        else
            rig.window->close();
        visibleAfterRequest = rig.window->isVisible();
    });
    QTest::mouseClick(rig.get("cmdEcho"), Qt::LeftButton);
    QVERIFY(visibleAfterRequest);
    QVERIFY(visibleAtBreak);
    QCOMPARE(rig.shownLines().mid(1), (QStringList{Stamp + "Echo Command Error.",
                                                   QString(14, ' ') + " St: -1,Proto-Err(-1,Operator Break)."}));
    QVERIFY(rig.window->isVisible());
    QVERIFY(waitUntil([&] { return !rig.window->isVisible(); }, 3000));
    // The engines went with the window.
    QVERIFY(waitUntil([&] { return !rig.session->uif.isOpen() && !rig.session->tfr.isOpen(); }, 3000));
    QVERIFY(!rig.session->log.isOpen());
    QFile f(dir.filePath("close.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray log = f.readAll();
    QVERIFY(log.contains("CONF RECV\r\n\tEcho Command Error.  St: -1,Proto-Err(-1,Operator Break).\r\n"));
    QVERIFY(log.endsWith(" CONF ____\r\n\tLog End: Version " + basMain::ProgramVersion().toUtf8() + "\r\n"));
}

void tst_frmMain::closeGoesThroughOnSecondTick()
{
    QTemporaryDir dir;
    Rig rig;
    rig.window->show();
    QVERIFY(rig.session->log.open(dir.filePath("ticks.txt"), true));
    auto* closer = rig.window->findChild<MainClose*>();
    QVERIFY(closer);
    // The real timer must not interfere: the ticks are given by hand.
    rig.window->findChild<QTimer*>("tmrCheck")->stop();
    rig.window->close();
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.session->log.isOpen());
    closer->tmrCheck_Timer();
    QVERIFY(rig.window->isVisible());
    closer->tmrCheck_Timer();
    QVERIFY(!rig.window->isVisible());
    QVERIFY(!rig.session->log.isOpen());
    // Once gone it stays gone; a later close is not deferred again.
    closer->tmrCheck_Timer();
    QVERIFY(closer->request());
}

void tst_frmMain::capDropsFirstLine()
{
    Rig rig;
    QListWidget* list = rig.list();
    for (int i = 1; i <= 1001; ++i) {
        rig.session->lstStatus.MesgDisp_sub(QString("line %1").arg(i));
        if (i == 6) list->item(5)->setSelected(true);  // the operator's selection, kept while lines come
    }
    QCOMPARE(list->count(), 1000);
    QCOMPARE(list->item(0)->text(), QString("line 2"));
    QCOMPARE(list->item(999)->text(), QString("line 1001"));
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(4)});
    QCOMPARE(list->item(4)->text(), QString("line 6"));
    QCOMPARE(list->currentRow(), 999);
}

void tst_frmMain::statelistKeepsNoSelection()
{
    Rig rig;
    rig.session->Statelist.MesgDisp("ifconfig eth0\\nroute add");
    auto* list = rig.get<QListWidget>("Statelist");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(1)->text(), QString("route add"));
    QCOMPARE(list->selectedItems().size(), 0);
}

void tst_frmMain::subTimeStamp()
{
    Rig rig;
    rig.clock.set(QDateTime(QDate(2000, 6, 12), QTime(9, 5, 3, 42)));
    Sub_TimeStamp(*rig.session);
    QCOMPARE(rig.shownLines(), QStringList{"***2000/06/12 09:05:03.042***"});
}

void tst_frmMain::copy_data()
{
    QTest::addColumn<QList<int>>("selectInOrder");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("clipboard");
    const QList<int> none;
    QTest::newRow("menu, none selected") << none << "menu" << "";
    QTest::newRow("menu, one") << QList<int>{1} << "menu" << "b\r\n";
    QTest::newRow("menu, picked backwards") << QList<int>{3, 0} << "menu" << "a\r\nd\r\n";
    QTest::newRow("Ctrl+C, three") << QList<int>{2, 0, 1} << "ctrl+c" << "a\r\nb\r\n\r\n";
    QTest::newRow("Ctrl+C, none selected") << none << "ctrl+c" << "";
    QTest::newRow("Ctrl+Shift+C copies nothing") << QList<int>{0} << "ctrl+shift+c" << "old";
}

void tst_frmMain::copy()
{
    QFETCH(QList<int>, selectInOrder);
    QFETCH(QString, how);
    QFETCH(QString, clipboard);
    Rig rig;
    rig.session->lstStatus.MesgDisp("a\\nb\\n\\nd");
    QListWidget* list = rig.list();
    // New lines select nothing: what is selected is the operator's alone.
    for (int row : selectInOrder) list->item(row)->setSelected(true);
    rig.clipboard.setText("old");
    if (how == "menu")
        rig.get<QAction>("lstcopy")->trigger();
    else if (how == "ctrl+c")
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    else
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(rig.clipboard.text(), clipboard);
}

void tst_frmMain::copyMenuEnabledOnlyWithSelection()
{
    Rig rig;
    QVERIFY(rig.activate());
    rig.session->lstStatus.MesgDisp("a\\nb");
    QListWidget* list = rig.list();
    auto* menu = rig.get<QMenu>("ListMenu");
    auto* copy = rig.get<QAction>("lstcopy");
    const QPoint at = list->visualItemRect(list->item(0)).center();

    int requested = 0;
    connect(list, &QWidget::customContextMenuRequested, [&] { ++requested; });
    list->clearSelection();
    // Through the window, as the desktop delivers it, so the right press becomes a menu request.
    QTest::mouseClick(rig.window->windowHandle(), Qt::RightButton, {}, list->viewport()->mapTo(rig.window.get(), at));
    QCOMPARE(requested, 1);
    QVERIFY(waitUntil([&] { return menu->isVisible(); }, 2000));
    QVERIFY(!copy->isEnabled());
    menu->hide();

    // A right press on another line keeps the selection that is to be copied.
    list->item(1)->setSelected(true);
    QTest::mouseClick(rig.window->windowHandle(), Qt::RightButton, {}, list->viewport()->mapTo(rig.window.get(), at));
    QCOMPARE(requested, 2);
    QVERIFY(waitUntil([&] { return menu->isVisible(); }, 2000));
    QVERIFY(copy->isEnabled());
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(1)});
    menu->hide();
}

void tst_frmMain::logButtons_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("savePath");  // relative to the temporary folder; "" cancels the dialog
    QTest::addColumn<int>("choice");        // Operator::LogOpenChoice, when the file exists
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("keepsOld");
    const int overwrite = int(Operator::LogOpenChoice::Overwrite);
    const int append = int(Operator::LogOpenChoice::Append);
    const int cancel = int(Operator::LogOpenChoice::Cancel);
    QTest::newRow("new file") << false << "log.txt" << cancel << true << "" << false;
    QTest::newRow("dialog cancelled") << false << "" << cancel << false << "" << false;
    QTest::newRow("exists, Cancel") << true << "log.txt" << cancel << false << "" << true;
    QTest::newRow("exists, Append") << true << "log.txt" << append << true << "" << true;
    QTest::newRow("exists, Overwrite") << true << "log.txt" << overwrite << true << "" << false;
    QTest::newRow("folder missing") << false << "no/such/log.txt" << cancel << false << "Log Data Write Error" << false;
    QTest::newRow("a folder, not a file") << true << "adir" << append << false << "Log Data Write Error" << false;
}

void tst_frmMain::logButtons()
{
    QFETCH(bool, exists);
    QFETCH(QString, savePath);
    QFETCH(int, choice);
    QFETCH(bool, opened);
    QFETCH(QString, box);
    QFETCH(bool, keepsOld);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("adir");
    const QString path = savePath.isEmpty() ? QString() : dir.filePath(savePath);
    const QByteArray old = "old line\r\n";
    if (exists && savePath != "adir") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    Rig rig;
    rig.op.savePaths << path;
    rig.op.logChoices << Operator::LogOpenChoice(choice);
    QPushButton* start = rig.get("Cmd_ListLog0");
    QPushButton* end = rig.get("Cmd_ListLog1");
    QTest::mouseClick(start, Qt::LeftButton);

    QCOMPARE(rig.op.dialogFilters, QStringList{"Text File (*.txt)|*.txt|All Files (*.*)|*.*"});
    QCOMPARE(rig.op.logQuestions, exists ? 1 : 0);
    QCOMPARE(rig.session->log.isOpen(), opened);
    QCOMPARE(start->isEnabled(), !opened);
    if (box.isEmpty()) {
        QCOMPARE(rig.op.shown.size(), 0);
    } else {
        QCOMPARE(rig.op.shown.size(), 1);
        QCOMPARE(rig.op.shown[0].title, QString("Data Write Error"));
        QCOMPARE(rig.op.shown[0].text, box);
        QCOMPARE(rig.op.shown[0].icon, Operator::Icon::Exclamation);
    }

    QTest::mouseClick(end, Qt::LeftButton);
    QVERIFY(start->isEnabled());
    QVERIFY(!rig.session->log.isOpen());
    if (path.isEmpty() || savePath == "adir") return;
    QFile f(path);
    const bool present = f.open(QIODevice::ReadOnly);
    const QByteArray bytes = present ? f.readAll() : QByteArray();
    QCOMPARE(bytes.startsWith(old), keepsOld);
    const QByteArray version = basMain::ProgramVersion().toUtf8();
    const QByteArray startRecord = "2024/01/01 10:00:00.000 Quillon:0.0.0.0 PC:";
    if (opened) {
        QVERIFY(bytes.mid(keepsOld ? old.size() : 0).startsWith(startRecord));
        QVERIFY(bytes.contains(" CONF ____\r\n\tLog Start: Version " + version + "\r\n"));
        QVERIFY(bytes.endsWith(" CONF ____\r\n\tLog End: Version " + version + "\r\n"));
    } else {
        QCOMPARE(bytes, keepsOld ? old : QByteArray());
    }
}

void tst_frmMain::enterInAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("echoEnabled");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("boxes");
    QTest::newRow("valid, echo enabled") << "127.0.0.2" << true << "cmdEcho" << 0;
    QTest::newRow("valid, echo disabled") << "127.0.0.2" << false << "txt_IP" << 0;
    QTest::newRow("invalid") << "127.0.0" << true << "txt_IP" << 1;
}

void tst_frmMain::enterInAddress()
{
    QFETCH(QString, address);
    QFETCH(bool, echoEnabled);
    QFETCH(QString, focus);
    QFETCH(int, boxes);
    Rig rig;
    QVERIFY(rig.activate());
    auto* ip = rig.get<QLineEdit>("txt_IP");
    ip->setText(address);
    rig.get("cmdEcho")->setEnabled(echoEnabled);
    ip->setFocus();
    QTest::keyClick(ip, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
    QCOMPARE(rig.op.shown.size(), boxes);
    // A valid address becomes the device the next request goes to.
    if (boxes == 0) QCOMPARE(rig.session->uif.remoteHost(), quint32(0x7F000002));
}

void tst_frmMain::browse_data()
{
    QTest::addColumn<QString>("file");      // "" cancels the dialog
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("remembered");
    QTest::newRow("file with data") << "conf.txt" << QByteArray("ifconfig\r\n") << true;
    QTest::newRow("empty file") << "empty.txt" << QByteArray() << false;
    QTest::newRow("no such file") << "missing.txt" << QByteArray("-") << false;
    QTest::newRow("cancelled") << "" << QByteArray() << false;
}

void tst_frmMain::browse()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(bool, remembered);
    QTemporaryDir dir;
    const QString path = file.isEmpty() ? QString() : dir.filePath(file);
    if (!path.isEmpty() && content != "-") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    Rig rig;
    const QString startDir = rig.window->fileChoice().DefDir;
    const QString startField = rig.get<QLineEdit>("txtFile")->text();
    rig.op.openPaths << path;
    QTest::mouseClick(rig.get("cmdFile"), Qt::LeftButton);
    QCOMPARE(rig.op.dialogFilters, QStringList{"Text File (*.txt)|*.txt|All Files (*.*)|*.*"});
    QCOMPARE(rig.get<QLineEdit>("txtFile")->text(), path.isEmpty() ? startField : path);
    QCOMPARE(rig.window->fileChoice().DefDir, remembered ? dir.path() + "/" : startDir);
    QCOMPARE(rig.window->fileChoice().DefName, remembered ? file : QString());
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
