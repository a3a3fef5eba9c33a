// Interactive mode and Save to ROM against the simulator in this process: the message lines, what
// the device took, and that neither writes Config.bin or starts a transfer.
#include "SetupFlowRig.h"
#include "config/ApplyFlow.h"
#include "config/InteractiveFlow.h"
#include "config/SaveToRomFlow.h"
#include "devsim/DeviceRecords.h"

namespace {
const QString S = QStringLiteral("10:00:00.000  ");
const QString I = QString(14, QLatin1Char(' '));
}  // namespace

class tst_InteractiveSave : public QObject {
    Q_OBJECT
private slots:
    void interactive_data();
    void interactive();
    void interactiveAfterFailedApplySends();
    void save_data();
    void save();
};

void tst_InteractiveSave::interactive_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("taken");  // records the device took
    QTest::addColumn<QString>("box");

    QTest::newRow("second line refused")
        << QByteArray("ifconfig eth0 10.9.0.1\nifconfig eth9 10.1.0.1\nrfchannel 4\n")
        << QStringList{S + "TOTAL Send Records: 1", S + "Line: 2  'ifconfig' Command Error.",
                       I + " St: 2,ErrACK(No such NetIF)."}
        << 1 << "";
    QTest::newRow("comments only") << QByteArray("; nothing\n\n;\n")
                                   << QStringList{S + "TOTAL Send Records: 0", S + "Setting Complete."} << 0 << "";
    QTest::newRow("all taken") << QByteArray("rfchannel 4\n; c\nifconfig eth0 10.9.0.1\n")
                               << QStringList{S + "TOTAL Send Records: 2", S + "Setting Complete."} << 2 << "";
    QTest::newRow("bad parameter after one sent") << QByteArray("rfchannel 4\nrfchannel x\n")
                                                  << QStringList{S + "TOTAL Send Records: 1", S + "Line: 2  Invalid Parameter 'x'"}
                                                  << 1 << "";
    QTest::newRow("unknown command") << QByteArray("bogus\n")
                                     << QStringList{S + "TOTAL Send Records: 0", S + "Line: 1  Invalid Command 'bogus'"} << 0 << "";
    QTest::newRow("empty file") << QByteArray() << QStringList() << 0 << "Invalid File Pathname";
}

void tst_InteractiveSave::interactive()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, lines);
    QFETCH(int, taken);
    QFETCH(QString, box);
    SetupFlowRig rig;
    rig.write("conf.txt", text);
    const config::InteractiveResult r = config::RunInteractive(*rig.s, "127.0.0.2", rig.path("conf.txt"));
    QCOMPARE(rig.s->lstStatus.lines(), lines);
    QCOMPARE(rig.sim->findChild<DeviceRecords*>()->recordsTaken, taken);
    QCOMPARE(rig.op.lastText(), box);
    QCOMPARE(r.fileRejected, !box.isEmpty());
    QCOMPARE(rig.transfers(), 0);
    QVERIFY(!QFile::exists(rig.path("Config.bin")));
}

void tst_InteractiveSave::interactiveAfterFailedApplySends()
{
    SetupFlowRig rig;
    rig.write("bad.txt", "rfchannel 3\nbogus\n");
    rig.write("good.txt", "rfchannel 4\n");
    QVERIFY(!config::RunApply(*rig.s, "127.0.0.2", rig.path("bad.txt")).applied);
    QVERIFY(config::RunInteractive(*rig.s, "127.0.0.2", rig.path("good.txt")).ok());
    QCOMPARE(rig.sim->tables.rfChannel, 4);
}

void tst_InteractiveSave::save_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("mute");
    QTest::addColumn<int>("refuse");  // the status the copy is answered with, 0: none
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("saved") << "127.0.0.2" << false << 0 << QStringList{"", S + "Current Configuration Save Complete."};
    QTest::newRow("refused") << "127.0.0.2" << false << 8
                             << QStringList{"", S + "Copy Command Error.", I + "8,ErrACK(Invalid copy request)."};
    QTest::newRow("no device") << "127.0.0.2" << true << 0
                               << QStringList{"", S + "Copy Command Error.", I + "-1,Proto-Err(1,No Response)."};
    QTest::newRow("bad address") << "127.0.0" << false << 0 << QStringList{""};
}

void tst_InteractiveSave::save()
{
    QFETCH(QString, address);
    QFETCH(bool, mute);
    QFETCH(int, refuse);
    QFETCH(QStringList, lines);
    SetupFlowRig rig(refuse ? QHash<int, int>{{14, refuse}} : QHash<int, int>{});
    rig.sim->faults().mute = mute;
    rig.sim->stores.rom = QByteArray(28672, char(0xFF));
    const config::SaveResult r = config::RunSaveToRom(*rig.s, address);
    QCOMPARE(rig.s->lstStatus.lines(), lines);
    QCOMPARE(r.saved, lines.size() == 2 && lines[1].endsWith("Complete."));
    QCOMPARE(rig.sim->stores.rom == rig.sim->stores.running, r.saved);
    QCOMPARE(rig.transfers(), 0);
}

QTEST_GUILESS_MAIN(tst_InteractiveSave)
#include "tst_InteractiveSave.moc"
