// Apply and the receive buttons against the simulator in this process: the message lines, what
// reaches the device's stores, Config.bin, the saved file, and the verify after Apply.
#include "SetupFlowRig.h"
#include "ScriptedPeer.h"
#include "config/ApplyFlow.h"
#include "config/ConfigConversion.h"
#include "config/ReceiveFlow.h"
#include "config/RecordSinks.h"
#include "devsim/DeviceTransfers.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "link/basUIF.h"
#include "tftp/TransferTexts.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString S = QStringLiteral("10:00:00.000  ");
const QString I = QString(14, QLatin1Char(' '));

QByteArray imageOf(const QByteArray& text)
{
    config::ImageSink sink;
    config::ConvertConfigBytes(text, sink);
    return sink.image();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

using Rig = SetupFlowRig;

}  // namespace

class tst_ApplyReceive : public QObject {
    Q_OBJECT
private slots:
    void apply_data();
    void apply();
    void applyWithConfigBinUnwritable();
    void verify_data();
    void verify();
    void receive_data();
    void receive();
    void receiveStoppedAsTheDeviceSends();
    void transferMessageLines_data();
    void transferMessageLines();
};

void tst_ApplyReceive::apply_data()
{
    QTest::addColumn<QByteArray>("text");  // the configuration file; "<folder>" and "<missing>" name no file
    QTest::addColumn<int>("refusedCopy");  // the status the device answers the copy with, 0: none
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("transfers");
    QTest::addColumn<int>("configBin");  // its length, -1: not written

    const QStringList sent{S + "Config Data Transfer Request Send.", S + "Config Data Transfer Complete."};
    QTest::newRow("one record") << QByteArray("ifconfig eth0 192.168.1.10\n") << 0
                                << QStringList{"", S + "Conversion Complete.", I + "TOTAL Records: 1"} + sent +
                                       QStringList{S + "Current Configuration Update Complete."}
                                << "" << 1 << 28672;
    QTest::newRow("comments only") << QByteArray("; nothing\n\n;\n") << 0
                                   << QStringList{"", S + "Conversion Complete.", I + "TOTAL Records: 0",
                                                  S + "WARNING: No Valid Records!!!"} + sent +
                                          QStringList{S + "Current Configuration Update Complete."}
                                   << "" << 1 << 28672;
    QTest::newRow("unknown keyword on line 3") << QByteArray("; first\nrfchannel 3\nbogus 1 2\n") << 0
                                               << QStringList{"", S + "Line: 3  Invalid Command 'bogus'"} << "" << 0 << -1;
    QTest::newRow("449 command lines") << QByteArray("rfchannel 3\n").repeated(449) << 0
                                       << QStringList{"", S + "Line: 449  DEBUG: internal error. status: 3"} << "" << 0 << -1;
    QTest::newRow("binary file") << QByteArray("\x7F" "ELF\x02\x01\x01", 7) << 0
                                 << QStringList{"", S + "Line: 1  Invalid Command '\xEF\xBF\xBD" "ELF\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD'"}
                                 << "" << 0 << -1;
    QTest::newRow("copy refused") << QByteArray("rfchannel 3\n") << 8
                                  << QStringList{"", S + "Conversion Complete.", I + "TOTAL Records: 1"} + sent +
                                         QStringList{S + "Copy Command Error.", I + "  St: 8,ErrACK(Invalid copy request)."}
                                  << "" << 1 << 28672;
    QTest::newRow("empty file") << QByteArray() << 0 << QStringList{""} << "Invalid file pathname" << 0 << -1;
    QTest::newRow("folder") << QByteArray("<folder>") << 0 << QStringList{""} << "Invalid file pathname" << 0 << -1;
    QTest::newRow("missing") << QByteArray("<missing>") << 0 << QStringList{""} << "Invalid file pathname" << 0 << -1;
}

void tst_ApplyReceive::apply()
{
    QFETCH(QByteArray, text);
    QFETCH(int, refusedCopy);
    QFETCH(QStringList, lines);
    QFETCH(QString, box);
    QFETCH(int, transfers);
    QFETCH(int, configBin);
    Rig rig(refusedCopy ? QHash<int, int>{{14, refusedCopy}} : QHash<int, int>{});
    if (text == "<folder>")
        QVERIFY(QDir(rig.dir.path()).mkdir("conf.txt"));
    else if (text != "<missing>")
        rig.write("conf.txt", text);

    const config::ApplyResult r = config::RunApply(*rig.s, "127.0.0.2", rig.path("conf.txt"));
    QCOMPARE(rig.s->lstStatus.lines(), lines);
    QCOMPARE(rig.op.shown.isEmpty() ? QString() : rig.op.lastText(), box);
    QCOMPARE(r.fileRejected, !box.isEmpty());
    QCOMPARE(rig.transfers(), transfers);
    const QByteArray bin = readFile(rig.path("Config.bin"));
    QCOMPARE(bin == "<none>" ? -1 : int(bin.size()), configBin);
    QCOMPARE(r.applied, transfers == 1 && refusedCopy == 0);
    // What arrived is what was written; the running configuration changes only with the copy.
    if (transfers == 1) QCOMPARE(rig.sim->stores.ram, bin);
    if (r.applied) QCOMPARE(rig.sim->stores.running, bin);
    QVERIFY(!rig.s->uif.UIFCollect);
}

void tst_ApplyReceive::applyWithConfigBinUnwritable()
{
    Rig rig;
    rig.write("conf.txt", "rfchannel 3\n");
    // A folder in the place of Config.bin: the image cannot be written there.
    QVERIFY(QDir(rig.dir.path()).mkdir("Config.bin"));
    const config::ApplyResult r = config::RunApply(*rig.s, "127.0.0.2", rig.path("conf.txt"));
    QCOMPARE(rig.s->lstStatus.lines().mid(3),
             QStringList({S + "Config Data Transfer Error.", I + "File Write Error.(Disk Full?)",
                          I + rig.path("Config.bin") + ": is a folder"}));
    QVERIFY(!r.applied);
    QCOMPARE(rig.transfers(), 0);
    QCOMPARE(rig.s->uif.sentCount(), 0);
}

void tst_ApplyReceive::verify_data()
{
    QTest::addColumn<bool>("alter");  // the device changes the route's gateway as it copies into RUNNING
    QTest::addColumn<QStringList>("tail");
    const QString received = S + "Config Data receive transfer complete.";
    QTest::newRow("identical") << false << QStringList{received, S + "Verify: 2 records identical"};
    QTest::newRow("altered") << true
                             << QStringList{received, S + "Verify: 1 of 2 records differ", "--- sent", "+++ device running",
                                            "@@ -3,4 +3,4 @@",
                                            " ifconfig  eth1 10.0.0.5         netmask   255.0.0.0        broadcast 10.255.255.255", " ", " ;route",
                                            "-route 10.1.0.0        255.255.0.0     10.0.0.1",
                                            "+route 10.1.0.0        255.255.0.0     10.0.0.9"};
}

void tst_ApplyReceive::verify()
{
    QFETCH(bool, alter);
    QFETCH(QStringList, tail);
    Rig rig;
    if (alter) {
        DeviceStores& stores = rig.sim->stores;
        rig.sim->setHandler(14, [&stores](const DeviceSim::Request& r, QByteArray&) {
            QByteArray* to = stores.store(basUIF::GetUIFLong(r.bytes, 28));
            *to = *stores.store(basUIF::GetUIFLong(r.bytes, 24));
            if (to == &stores.running) (*to)[64 + 27] = 9;  // the last byte of the route's gateway
            return 0;
        });
    }
    rig.write("conf.txt", "ifconfig eth1 10.0.0.5 netmask 255.0.0.0\nroute 10.1.0.0 255.255.0.0 10.0.0.1\n");
    const config::ApplyResult r = config::RunApply(*rig.s, "127.0.0.2", rig.path("conf.txt"), true);
    QVERIFY(r.applied);
    QCOMPARE(r.verified, !alter);
    const QStringList lines = rig.s->lstStatus.lines();
    QCOMPARE(lines.mid(lines.size() - tail.size()), tail);
    QCOMPARE(rig.transfers(), 2);
}

void tst_ApplyReceive::receive_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("store");     // what the device's store holds (configuration text or raw)
    QTest::addColumn<QByteArray>("existing");  // the file chosen in the save dialog before the run; "<none>"
    QTest::addColumn<QString>("saveAs");       // "" cancels the dialog
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QStringList>("statelist");
    QTest::addColumn<QByteArray>("saved");     // the file afterwards

    const QByteArray two = imageOf("ifconfig eth0 10.0.0.1 netmask 255.0.0.0\nroute default 10.0.0.254\n");
    const QStringList twoLines{"",
                               ";ifconfig",
                               "ifconfig  eth0 10.0.0.1         netmask   255.0.0.0        broadcast 10.255.255.255",
                               "",
                               ";route",
                               "route default 10.0.0.254"};
    const QByteArray twoText = twoLines.join("\r\n").toLatin1() + "\r\n";
    QTest::newRow("saved") << 1 << two << QByteArray("<none>") << "out.txt" << false << twoLines << twoText;
    QTest::newRow("rom, overwrite yes") << 0 << two << QByteArray("old\r\n") << "out.txt" << true << twoLines << twoText;
    QTest::newRow("overwrite no keeps the file") << 1 << two << QByteArray("old\x00\xFF\r\n", 7) << "out.txt" << false
                                                 << twoLines << QByteArray("old\x00\xFF\r\n", 7);
    QTest::newRow("cancelled save") << 1 << two << QByteArray("<none>") << "" << false << twoLines << QByteArray("<none>");
    QTest::newRow("erased first slot") << 1 << QByteArray(28672, char(0xFF)) << QByteArray("<none>") << "out.txt" << false
                                       << QStringList() << QByteArray();
    QTest::newRow("short image") << 1 << two.left(64) << QByteArray("<none>") << "out.txt" << false
                                 << twoLines.mid(0, 3) << (twoLines.mid(0, 3).join("\r\n").toLatin1() + "\r\n");
    QTest::newRow("oversized image") << 1 << two + QByteArray(40000, 'x') << QByteArray("<none>") << "out.txt" << false
                                     << twoLines << twoText;
    QTest::newRow("device text bytes") << 1 << imageOf("snmp read_only_community p\xFA" "bl\\nic\n") << QByteArray("<none>")
                                       << "out.txt" << false
                                       << QStringList{"", ";snmpsetup", QString::fromLatin1("snmp read_only_community p\xFA" "bl\\nic")}
                                       << QByteArray("\r\n;snmpsetup\r\nsnmp read_only_community p\xFA" "bl\\nic\r\n");
}

void tst_ApplyReceive::receive()
{
    QFETCH(int, index);
    QFETCH(QByteArray, store);
    QFETCH(QByteArray, existing);
    QFETCH(QString, saveAs);
    QFETCH(bool, overwrite);
    QFETCH(QStringList, statelist);
    QFETCH(QByteArray, saved);
    Rig rig;
    (index == 0 ? rig.sim->stores.rom : rig.sim->stores.running) = store;
    if (existing != "<none>") rig.write("out.txt", existing);
    if (!saveAs.isEmpty()) rig.op.savePaths << rig.path(saveAs);
    rig.op.answers << (overwrite ? Operator::Answer::Yes : Operator::Answer::No);
    rig.s->Statelist.MesgDisp_sub("from before");

    const config::ReceiveResult r = config::RunReceive(*rig.s, "127.0.0.2", index);
    QVERIFY(r.received);
    QCOMPARE(rig.s->lstStatus.lines(),
             QStringList({"", S + (index ? "Copy Command Send.(RUNNING->RAM)" : "Copy Command Send.(ROM->RAM)"),
                          S + "Copy Command normal end.", S + "Config Data receive transfer request.",
                          S + "Config Data receive transfer complete."}));
    QCOMPARE(rig.s->Statelist.lines(), statelist);
    QCOMPARE(rig.op.dialogFilters, QStringList{"Text File (*.txt)|*.txt|All Files (*.*)|*.*"});
    QCOMPARE(rig.op.shown.size(), existing != "<none>" ? 1 : 0);
    if (!rig.op.shown.isEmpty()) QCOMPARE(rig.op.shown[0].text, QString::fromUtf8("File Exist. Overwrite\xEF\xBC\x9F"));
    QCOMPARE(readFile(rig.path("out.txt")), saved);
    // Nothing is left behind: the only file is the one saved.
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files), saved == "<none>" ? QStringList() : QStringList{"out.txt"});
}

void tst_ApplyReceive::receiveStoppedAsTheDeviceSends()
{
    Rig rig;
    rig.s->Statelist.MesgDisp_sub("from before");
    rig.op.savePaths << rig.path("out.txt");
    // Stop in the turn the device sends its first TFTP packet: the transfer can no longer complete.
    // Whether the start command's reply was read before is up to the event loop, so the stop's
    // status text is not compared.
    QObject::connect(rig.sim.get(), &DeviceSim::trace, rig.s.get(), [&rig](const QString& line) {
        if (line.startsWith("tftp -> ")) rig.s->stop();
    });
    const config::ReceiveResult r = config::RunReceive(*rig.s, "127.0.0.2", config::ReceiveRunning);
    QVERIFY(!r.received);
    const QStringList lines = rig.s->lstStatus.lines();
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[4], S + "Config Data receive transfer Error.");
    QVERIFY2(lines[5].startsWith(I + "TFTP Start Command Error.  St: ") && lines[5].contains("Operator Break"), qPrintable(lines[5]));
    QCOMPARE(rig.s->Statelist.lines(), QStringList{"from before"});
    QCOMPARE(rig.op.dialogFilters.size(), 0);
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files), QStringList());
}

void tst_ApplyReceive::transferMessageLines_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("plain") << "TFTP No Acknowledge." << QStringList{"TFTP No Acknowledge."};
    QTest::newRow("socket error") << "Send_VBErrNumber=10013/\\n    VBErrDesc=Permission denied"
                                  << QStringList{"Send_VBErrNumber=10013/", "    VBErrDesc=Permission denied"};
    QTest::newRow("backslash last") << "a\\" << QStringList{"a", ""};
}

void tst_ApplyReceive::transferMessageLines()
{
    QFETCH(QString, message);
    QFETCH(QStringList, lines);
    QCOMPARE(basTFTP::TransferMessageLines(message), lines);
}

QTEST_GUILESS_MAIN(tst_ApplyReceive)
#include "tst_ApplyReceive.moc"
