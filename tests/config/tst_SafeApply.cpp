// The safe apply against the simulator in this process, one row per branch: what is sent, the
// outcome, the last message lines, and the device's running and saved configuration afterwards.
#include "SetupFlowRig.h"
#include "config/ConfigConversion.h"
#include "config/RecordSinks.h"
#include "config/SafeApplyFlow.h"

#include <QtTest>

namespace {

const QString S = QStringLiteral("10:00:00.000  ");
const QByteArray Device = "ifconfig eth0 127.0.0.2 netmask 255.255.255.0\nifconfig eth1 10.0.0.5 netmask 255.0.0.0\nrfchannel 3\n";
const QByteArray NewChannel = QByteArray(Device).replace("rfchannel 3", "rfchannel 9");

QByteArray imageOf(const QByteArray& text)
{
    config::ImageSink sink;
    config::ConvertConfigBytes(text, sink);
    return sink.image();
}

}  // namespace

class tst_SafeApply : public QObject {
    Q_OBJECT
private slots:
    void branches_data();
    void branches();
    void backupText();
};

void tst_SafeApply::branches_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("flags");   // check, save, strict, allow
    QTest::addColumn<QString>("faults");  // alter, refuse-rollback, mute
    QTest::addColumn<QString>("stopAt");  // Stop when the device traces this line for the n-th time: "LINE#n"
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("copiesToRunning");  // what the device was asked to copy into RUNNING
    QTest::addColumn<QString>("running");      // afterwards: "before", "file" or "altered" (the file's, its last record altered)
    QTest::addColumn<QString>("rom");
    QTest::addColumn<QStringList>("tail");     // the last message lines

    const QString noEcho = S + "Its saved configuration in ROM is unchanged: a restart of the device restores it.";
    const QString rolledBack = S + "Rolled back: the running configuration is the one the device had before.";
    const QString unchanged = S + "Stopped: the device's configuration is unchanged.";
    QTest::newRow("does not convert") << QByteArray("rfchannel 3\nbogus 1\n") << "" << "" << "" << 1 << 0 << "before" << "before"
                                      << QStringList{S + "Line: 2  Invalid Command 'bogus'",
                                                     S + "The file does not convert: nothing was received or sent."};
    QTest::newRow("lint warning, strict") << QByteArray(Device + "ifconfig eth1 10.0.0.6\n") << "strict" << "" << "" << 1 << 0
                                          << "before" << "before"
                                          << QStringList{S + "1 lint warnings fail the strict run: nothing was received or sent."};
    QTest::newRow("identical") << Device << "save" << "" << "" << 0 << 0 << "before" << "before"
                               << QStringList{S + "Compare: 3 records identical: nothing changes, nothing was sent."};
    QTest::newRow("check mode") << NewChannel << "check" << "" << "" << 0 << 0 << "before" << "before"
                                << QStringList{S + "Check: 1 of 3 records would change; nothing was sent."};
    QTest::newRow("applied") << NewChannel << "" << "" << "" << 0 << 1 << "file" << "before"
                             << QStringList{S + "Verify: 3 records identical", S + "Safe Apply: reachability",
                                            S + "Echo Command Normal end.", S + "Safe Apply complete: applied, verified, answering."};
    QTest::newRow("applied and saved") << NewChannel << "save" << "" << "" << 0 << 1 << "file" << "file"
                                       << QStringList{S + "Current Configuration Save Complete.",
                                                      S + "Safe Apply complete: applied, verified, answering, saved to ROM."};
    QTest::newRow("guard refuses") << QByteArray(NewChannel).replace("127.0.0.2", "10.9.0.1") << "" << "" << "" << 1 << 0
                                   << "before" << "before"
                                   << QStringList{S + "Safe Apply: management address",
                                                  S + "Refused: eth0 has 127.0.0.2, the address this PC talks to, and the file changes it "
                                                      "to 10.9.0.1: the device would stop answering here. Nothing was sent."};
    QTest::newRow("guard, address removed") << QByteArray(NewChannel).replace("ifconfig eth0 127.0.0.2 netmask 255.255.255.0\n", "")
                                            << "check" << "" << "" << 1 << 0 << "before" << "before"
                                            << QStringList{S + "Refused: eth0 has 127.0.0.2, the address this PC talks to, and the "
                                                               "file removes it: the device would stop answering here. Nothing was sent."};
    QTest::newRow("guard allowed") << QByteArray(NewChannel).replace("127.0.0.2", "10.9.0.1") << "allow save" << "" << "" << 0 << 1
                                   << "file" << "before"
                                   << QStringList{S + "Applied: the device is not verified or saved from here; ask it at 10.9.0.1."};
    QTest::newRow("copy altered: rolled back") << NewChannel << "save" << "alter" << "" << 1 << 2 << "before" << "before"
                                               << QStringList{S + "Verify: 3 records identical", rolledBack};
    QTest::newRow("mute after the copy") << NewChannel << "save" << "mute" << "" << 3 << 1 << "file" << "before"
                                         << QStringList{S + "The device no longer answers at 127.0.0.2.", noEcho};
    QTest::newRow("roll back refused too") << NewChannel << "save" << "alter refuse-rollback" << "" << 3 << 2 << "altered" << "before"
                                           << QStringList{S + "Not rolled back: the running configuration may be the new one or neither.",
                                                          noEcho};
    QTest::newRow("stop in compare") << NewChannel << "" << "" << "copy   2 -> 1#1" << 1 << 0 << "before" << "before"
                                     << QStringList{unchanged};
    QTest::newRow("stop in the transfer") << NewChannel << "" << "" << "start  type 0#1" << 1 << 0 << "before" << "before"
                                          << QStringList{unchanged};
    QTest::newRow("stop at the copy: rolled back") << NewChannel << "save" << "" << "copy   1 -> 2#1" << 1 << 2 << "before"
                                                   << "before" << QStringList{rolledBack};
    QTest::newRow("stop in verify: rolled back") << NewChannel << "save" << "" << "copy   2 -> 1#2" << 1 << 2 << "before"
                                                 << "before" << QStringList{rolledBack};
    QTest::newRow("stop in the roll back") << NewChannel << "save" << "alter" << "copy   1 -> 2#2" << 3 << 2 << "before" << "before"
                                           << QStringList{S + "Not rolled back: the running configuration may be the new one or neither.",
                                                          noEcho};
    QTest::newRow("stop in the save") << NewChannel << "save" << "" << "copy   2 -> 0#1" << 3 << 1 << "file" << "file"
                                      << QStringList{S + "Not saved: the new configuration runs, verified; ROM may still hold the one "
                                                         "before, which a restart brings back. Save again to keep the new one."};
}

void tst_SafeApply::branches()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, flags);
    QFETCH(QString, faults);
    QFETCH(QString, stopAt);
    QFETCH(int, outcome);
    QFETCH(int, copiesToRunning);
    QFETCH(QString, running);
    QFETCH(QString, rom);
    QFETCH(QStringList, tail);

    SetupFlowRig rig;
    const QByteArray before = imageOf(Device);
    rig.sim->stores.rom = rig.sim->stores.ram = rig.sim->stores.running = before;
    DeviceFaults& f = rig.sim->faults();
    f.alterRunningCopies = faults.contains("alter") ? 1 : 0;
    f.refuseRunningCopiesAfter = faults.contains("refuse-rollback") ? 1 : -1;
    f.muteAfterRunningCopyMs = faults.contains("mute") ? 0 : -1;
    int seen = 0;
    const QString stopLine = stopAt.section('#', 0, 0);
    const int stopAtCount = stopAt.section('#', 1).toInt();
    QObject::connect(rig.sim.get(), &DeviceSim::trace, rig.s.get(), [&](const QString& line) {
        if (!stopLine.isEmpty() && line.startsWith(stopLine) && ++seen == stopAtCount) rig.s->stop();
    });
    rig.write("conf.txt", file);

    config::SafeApplyOptions o;
    o.checkOnly = flags.contains("check");
    o.save = flags.contains("save");
    o.strict = flags.contains("strict");
    o.allowAddressChange = flags.contains("allow");
    const config::SafeApplyResult r = config::RunSafeApply(*rig.s, "127.0.0.2", rig.path("conf.txt"), o);

    const QStringList lines = rig.s->lstStatus.lines();
    QCOMPARE(lines.mid(lines.size() - tail.size()), tail);
    QCOMPARE(int(r.outcome), outcome);
    QCOMPARE(rig.sim->findChild<DeviceTransfers*>()->copiesToRunning, copiesToRunning);
    if (tail.last().endsWith("nothing was received or sent.")) QCOMPARE(rig.sim->requestsReceived, 0);
    QCOMPARE(r.rolledBack, outcome == 1 && copiesToRunning == 2);
    QCOMPARE(r.error.isEmpty(), outcome == 0);
    const QByteArray after = imageOf(file);
    QByteArray altered = after;
    altered[2 * 64 + 23] = char(altered[2 * 64 + 23] ^ 0x01);  // byte 23 of the third and last record
    QCOMPARE(rig.sim->stores.running.toHex(), (running == "before" ? before : running == "altered" ? altered : after).toHex());
    QCOMPARE(rig.sim->stores.rom.toHex(), (rom == "before" ? before : after).toHex());
    QCOMPARE(r.saved, outcome == 0 && rom == "file");
    // Whatever happened, a restart gives the device the configuration saved in ROM back.
    rig.sim->restart();
    QCOMPARE(rig.sim->stores.running, rig.sim->stores.rom);
}

void tst_SafeApply::backupText()
{
    SetupFlowRig rig;
    rig.sim->stores.rom = rig.sim->stores.ram = rig.sim->stores.running = imageOf(Device);
    rig.write("conf.txt", NewChannel);
    rig.write("before.txt", "an older backup\r\n");
    config::SafeApplyOptions o;
    o.backupPath = rig.path("before.txt");
    const config::SafeApplyResult r = config::RunSafeApply(*rig.s, "127.0.0.2", rig.path("conf.txt"), o);
    QCOMPARE(int(r.outcome), 0);
    QCOMPARE(r.backup, rig.path("before.txt"));
    QCOMPARE(rig.read("before.txt"),
             QByteArray("\r\n;ifconfig\r\n"
                        "ifconfig  eth0 127.0.0.2        netmask   255.255.255.0    broadcast 127.0.0.255\r\n"
                        "ifconfig  eth1 10.0.0.5         netmask   255.0.0.0        broadcast 10.255.255.255\r\n"
                        "\r\n;rfchannel\r\nrfchannel 3\r\n"));
    // What a failing backup file leaves: nothing sent.
    QVERIFY(QDir(rig.dir.path()).mkdir("folder"));
    rig.sim->stores.running = imageOf(Device);
    o.backupPath = rig.path("folder");
    const config::SafeApplyResult refused = config::RunSafeApply(*rig.s, "127.0.0.2", rig.path("conf.txt"), o);
    QCOMPARE(int(refused.outcome), 1);
    QCOMPARE(refused.backup, QString());
    QCOMPARE(rig.sim->stores.running, imageOf(Device));
}

QTEST_GUILESS_MAIN(tst_SafeApply)
#include "tst_SafeApply.moc"
