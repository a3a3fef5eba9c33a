// The firmware window, offscreen, against the simulator on free ports: its controls, each
// button's effect on the device's stores and the saved files, Ref., and closing while a
// transfer waits.
#include "FreePortSim.h"
#include "TestFiles.h"
#include "ScriptedPeer.h"
#include "firmware/frmFW.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

const QString Stamp = QStringLiteral("10:00:00.000  ");
const QString I14(14, ' ');

// A saved configuration unlike the running one: a read of RAM instead of ROM shows.
QByteArray image(const char* head)
{
    QByteArray bytes(28672, char(0xFF));
    return bytes.replace(0, 14, QByteArray::fromHex(head));
}

struct Rig {
    explicit Rig(const QHash<int, int>& refuse = {}, int tfrTickMs = 2)
    {
        DeviceSim::Options so = FreePortSimOptions();
        so.tables.firmwareVersion = "4.0.7b";
        so.faults.refuse = refuse;
        so.faults.tftpTimeoutMs = 50;
        sim = std::make_unique<DeviceSim>(so);
        ready = sim->start();
        sim->stores.rom = image("0000002f00000001ffffffff0005");
        SetupSession::Options o = SessionOptionsFor(*sim);
        o.tfr.tickMs = tfrTickMs;
        o.tfr.tftp.port = 0;
        o.tfr.tftp.tickMs = 20;
        session = std::make_unique<SetupSession>(clock, op, o);
        ready = session->load() && session->CheckIPAddress(QStringLiteral("127.0.0.2")) == 0 && ready;
        window = std::make_unique<frmFW>(*session);
        window->show();
        window->activateWindow();
        ready = QTest::qWaitForWindowActive(window.get()) && ready;
    }
    template <class T = QPushButton>
    T* get(const QString& name) const { return window->findChild<T*>(name); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    FixedClock clock{QDateTime(QDate(2024, 1, 1), QTime(10, 0))};
    ScriptedOperator op;
    std::unique_ptr<DeviceSim> sim;
    std::unique_ptr<SetupSession> session;
    std::unique_ptr<frmFW> window;
    bool ready = false;  // the simulator listens, the engines are loaded and the window is active
};

}  // namespace

class tst_frmFW : public QObject {
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void buttons_data();
    void buttons();
    void refFillsTheField_data();
    void refFillsTheField();
    void closeEndsTheWait();
    void refusalBelongsToThisWindow();
};

void tst_frmFW::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("frmSend") << "frmSend" << "Send";
    QTest::newRow("lblFile") << "lblFile" << "Firmware File";
    QTest::newRow("txtFile") << "txtFile" << "";
    QTest::newRow("cmdFile") << "cmdFile" << "Ref.";
    QTest::newRow("cmdOK") << "cmdOK" << "FW Update";
    QTest::newRow("frmRecv") << "frmRecv" << "Receive";
    QTest::newRow("cmdRecvFW") << "cmdRecvFW" << "FW RD";
    QTest::newRow("cmdSendConf") << "cmdSendConf" << "Config WR";
    QTest::newRow("cmdRecvConf") << "cmdRecvConf" << "Config RD";
    QTest::newRow("Frame1") << "Frame1" << "FW version";
    QTest::newRow("lblVers") << "lblVers" << "unknown";
    QTest::newRow("cmdVers") << "cmdVers" << "Version Check";
    QTest::newRow("cmdExit") << "cmdExit" << "Exit";
    QTest::newRow("cmdDMY") << "cmdDMY" << "";
}

void tst_frmFW::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Rig rig;
    QCOMPARE(rig.window->windowTitle(), QString("QLN Update"));
    QWidget* w = rig.get<QWidget>(name);
    QVERIFY2(w, qPrintable(name));
    const char* property = w->inherits("QGroupBox") ? "title" : "text";
    QCOMPARE(w->property(property).toString(), caption);
    QVERIFY(w->isEnabled());
}

void tst_frmFW::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("content");  // the file the button sends; empty: it saves one
    QTest::addColumn<int>("refuse");          // the status command 46 is answered with, or -1
    QTest::addColumn<QString>("store");       // the simulator's store the file equals afterwards
    QTest::addColumn<QStringList>("tail");    // the last lines of the main window's list
    QTest::addColumn<QString>("version");     // lblVers afterwards
    QTest::newRow("FW Update") << "cmdOK" << QByteArray("QUILLON FIRMWARE 9.9 ").repeated(100) << -1 << "firmware"
                               << QStringList{Stamp + "Firmware send transfer complete.", Stamp + "Write Command Send.",
                                              Stamp + "Write Flash-ROM Start."}
                               << "unknown";
    QTest::newRow("FW RD") << "cmdRecvFW" << QByteArray() << -1 << "firmware"
                           << QStringList{"", Stamp + "Firmware receive transfer request.", Stamp + "Firmware receive transfer complete."}
                           << "unknown";
    QTest::newRow("Config RD") << "cmdRecvConf" << QByteArray() << -1 << "rom"
                               << QStringList{Stamp + "Copy Command normal end.", "Config Data receive transfer request.",
                                              Stamp + "Config Data receive transfer complete."}
                               << "unknown";
    QTest::newRow("Config WR") << "cmdSendConf" << image("0000002f00000003ffffffff0009") << -1 << "rom"
                               << QStringList{Stamp + "Config Data send transfer complete.", Stamp + "Write Command Send.",
                                              Stamp + "Write Flash-ROM Complete."}
                               << "unknown";
    QTest::newRow("Version Check") << "cmdVers" << QByteArray() << -1 << ""
                                   << QStringList{"", Stamp + "Version Check", Stamp + "FW version : 4.0.7b"} << "4.0.7b";
    QTest::newRow("Version Check refused") << "cmdVers" << QByteArray() << 5 << ""
                                           << QStringList{"", Stamp + "Version Check", Stamp + "Get Version Command Error.",
                                                          I14 + " St: 5,ErrACK(Table full)."}
                                           << "unknown";
}

void tst_frmFW::buttons()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, content);
    QFETCH(int, refuse);
    QFETCH(QString, store);
    QFETCH(QStringList, tail);
    QFETCH(QString, version);
    Rig rig(refuse < 0 ? QHash<int, int>() : QHash<int, int>{{46, refuse}});
    QVERIFY(rig.ready);
    const QString path = rig.path("image.bin");
    if (content.isEmpty())
        rig.op.savePaths << path;
    else
        QVERIFY(writeFile(path, content));
    rig.op.openPaths << path;
    rig.get<QLineEdit>("txtFile")->setText(path);
    QTest::mouseClick(rig.get(button), Qt::LeftButton);
    const QStringList lines = rig.session->lstStatus.lines();
    QCOMPARE(lines.mid(lines.size() - tail.size()), tail);
    QCOMPARE(rig.op.shown.size(), 0);
    if (store == "firmware") QVERIFY(readFile(path) == rig.sim->stores.firmware);
    if (store == "rom") QVERIFY(readFile(path) == rig.sim->stores.rom);
    QCOMPARE(rig.get<QLabel>("lblVers")->text(), version);
    QVERIFY(rig.get(button)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), rig.get(button));
}

void tst_frmFW::refFillsTheField_data()
{
    QTest::addColumn<QString>("answer");  // "" cancels the dialog
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("field");
    QTest::newRow("file with data") << "fw.bin" << QByteArray("image") << "fw.bin";
    QTest::newRow("empty file") << "empty.bin" << QByteArray() << "empty.bin";
    QTest::newRow("cancelled") << "" << QByteArray() << "before.bin";
}

void tst_frmFW::refFillsTheField()
{
    QFETCH(QString, answer);
    QFETCH(QByteArray, content);
    QFETCH(QString, field);
    Rig rig;
    if (!answer.isEmpty()) QVERIFY(writeFile(rig.path(answer), content));
    rig.get<QLineEdit>("txtFile")->setText(rig.path("before.bin"));
    rig.op.openPaths << (answer.isEmpty() ? QString() : rig.path(answer));
    QTest::mouseClick(rig.get("cmdFile"), Qt::LeftButton);
    QCOMPARE(rig.op.dialogFilters, QStringList{"Binary Files (*.bin)|*.bin|All Files (*.*)|*.*"});
    QCOMPARE(rig.op.askedFrom, QStringList{"frmFW"});  // the dialog belongs to this window
    QCOMPARE(rig.get<QLineEdit>("txtFile")->text(), rig.path(field));
    QCOMPARE(rig.op.shown.size(), 0);
}

// The box is this window's, shown while FW Update is still enabled, and after it the focus is in
// this window's file field.
void tst_frmFW::refusalBelongsToThisWindow()
{
    Rig rig;
    QVERIFY(rig.ready);
    rig.get<QLineEdit>("txtFile")->setText(rig.path("missing.bin"));
    bool enabledBehind = false;
    rig.op.whileShown = [&](const QString&) { enabledBehind = rig.get("cmdOK")->isEnabled(); };
    QTest::mouseClick(rig.get("cmdOK"), Qt::LeftButton);
    QVERIFY(enabledBehind);
    QCOMPARE(rig.op.lastText(), QString("Invalid File Pathname"));
    QCOMPARE(rig.op.askedFrom, QStringList{"frmFW"});
    QCOMPARE(QApplication::focusWidget(), rig.get<QLineEdit>("txtFile"));
}

// The window closes while FW RD waits for a device that never opens its transfer: the wait
// ends at once, the operation reports its failure and the file it was to replace stays.
void tst_frmFW::closeEndsTheWait()
{
    // Long ticks: the device's time to open the transfer (21 ticks) would run for ten seconds.
    Rig rig({}, 500);
    QVERIFY(rig.ready);
    rig.sim->faults().tftpNeverOpen = true;
    const QString path = rig.path("old.bin");
    QVERIFY(writeFile(path, "old firmware"));
    rig.op.savePaths << path;
    rig.op.answers << Operator::Answer::Yes;
    bool waited = false;
    QTimer::singleShot(0, [&] {
        waited = waitUntil([&] { return rig.session->tfr.TFRWaiting && rig.sim->requestsReceived == 1; }, 60000);
        rig.window->close();
    });
    QTest::mouseClick(rig.get("cmdRecvFW"), Qt::LeftButton);
    QVERIFY(waited);
    QVERIFY(!rig.window->isVisible());
    QCOMPARE(rig.op.shown.size(), 1);
    QCOMPARE(rig.op.shown[0].title, QString("Firmware Save"));
    const QStringList lines = rig.session->lstStatus.lines();
    QCOMPARE(lines.mid(lines.size() - 2), (QStringList{Stamp + "Firmware receive transfer Error.", I14 + "TFTP Start Command Error.  St: -6,Operator Break."}));
    QCOMPARE(readFile(path), QByteArray("old firmware"));
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files), QStringList{"old.bin"});
}

QTEST_MAIN(tst_frmFW)
#include "tst_frmFW.moc"
