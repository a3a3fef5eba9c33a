// The firmware window's operations against the simulator in this process: the message lines,
// what the device's firmware and ROM become, and that a refused, failed or stopped operation
// leaves the PC's files as they were.
#include "SetupFlowRig.h"
#include "firmware/FirmwareFlows.h"
#include "link/basMain.h"


namespace {
const QString S = QStringLiteral("10:00:00.000  ");
const QString I = QString(14, QLatin1Char(' '));
const QByteArray Old = "old file, kept";

using firmware::Outcome;
Outcome runOperation(const QString& op, SetupFlowRig& rig, firmware::FileChoices& c, const QString& path)
{
    if (op == "fw-update") return firmware::FwUpdate(*rig.s, rig.s->op, c, path);
    if (op == "fw-read") return firmware::FwRead(*rig.s, rig.s->op, c);
    if (op == "config-read") return firmware::ConfigRead(*rig.s, rig.s->op, c);
    return firmware::ConfigWrite(*rig.s, rig.s->op, c);
}
}  // namespace

class tst_FirmwareFlows : public QObject {
    Q_OBJECT
private slots:
    void operations_data();
    void operations();
    void stoppedReadKeepsOldFile();
    void versionCheck_data();
    void versionCheck();
};

void tst_FirmwareFlows::operations_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("name");       // the file the window or dialog names
    QTest::addColumn<QByteArray>("before");  // its bytes before, "<none>": no file, "<folder>", "<huge>"
    QTest::addColumn<bool>("yes");           // the answer to the overwrite question
    QTest::addColumn<int>("refuseCode");
    QTest::addColumn<int>("refuseStatus");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QByteArray>("after");   // the file afterwards; "<device>": what the device holds
    QTest::addColumn<bool>("deviceChanged");  // firmware (fw-update) or ROM (config-write) replaced

    const QByteArray fw = "FIRMWARE IMAGE\x01\x02";
    const QStringList update{"", S + "Firmware send transfer request.", S + "Firmware send transfer complete.",
                             S + "Write Command Send."};
    const QStringList read{"", S + "Firmware receive transfer request."};
    QTest::newRow("update, 15-byte name") << "fw-update" << "abcdefghijk.bin" << fw << false << 0 << 0
                                          << update + QStringList{S + "Write Flash-ROM Start."} << "" << fw << true;
    QTest::newRow("update, 16-byte name") << "fw-update" << "abcdefghijkl.bin" << fw << false << 0 << 0 << QStringList()
                                          << "Too Long File Name" << fw << false;
    QTest::newRow("update, 16 bytes in 8 characters") << "fw-update" << QString::fromUtf8("ファーム.bin") << fw << false << 0 << 0
                                                      << QStringList() << "Too Long File Name" << fw << false;
    QTest::newRow("update, empty file") << "fw-update" << "fw.bin" << QByteArray() << false << 0 << 0 << QStringList()
                                        << "Invalid File Pathname" << QByteArray() << false;
    QTest::newRow("update, folder") << "fw-update" << "fw.bin" << QByteArray("<folder>") << false << 0 << 0
                                    << QStringList() << "Invalid File Pathname" << QByteArray("<folder>") << false;
    QTest::newRow("update, flash write refused") << "fw-update" << "fw.bin" << fw << false << 14 << 1
                                                 << update + QStringList{S + "Write Command Error.", I + " St: 1,ErrACK(Failed)."}
                                                 << "" << fw << false;
    QTest::newRow("update, too large for TFTP") << "fw-update" << "fw.bin" << QByteArray("<huge>") << false << 0 << 0
                                                << QStringList{"", S + "Firmware send transfer request.",
                                                               S + "Firmware send transfer Error.", I + "TFTP File Too Large.",
                                                               I + "the file is 33553921 bytes; at most 33553919 bytes can be sent"}
                                                << "" << QByteArray("<huge>") << false;
    QTest::newRow("read, new file") << "fw-read" << "FW_UP.BIN" << QByteArray("<none>") << false << 0 << 0
                                    << read + QStringList{S + "Firmware receive transfer complete."} << "" << QByteArray("<device>") << false;
    QTest::newRow("read, existing, Yes") << "fw-read" << "FW_UP.BIN" << Old << true << 0 << 0
                                         << read + QStringList{S + "Firmware receive transfer complete."}
                                         << QString::fromUtf8("File Exist. Overwrite？") << QByteArray("<device>") << false;
    QTest::newRow("read, existing, No") << "fw-read" << "FW_UP.BIN" << Old << false << 0 << 0 << QStringList()
                                        << QString::fromUtf8("File Exist. Overwrite？") << Old << false;
    QTest::newRow("read, 16-byte name") << "fw-read" << "abcdefghijkl.bin" << QByteArray("<none>") << false << 0 << 0
                                        << QStringList() << "Too Long File Name" << QByteArray("<none>") << false;
    QTest::newRow("read, start refused") << "fw-read" << "FW_UP.BIN" << Old << true << 13 << 7
                                         << read + QStringList{S + "Firmware receive transfer Error.",
                                                               I + "TFTP Start Command Error.  St: 7,ErrACK(TFTP failed)."}
                                         << QString::fromUtf8("File Exist. Overwrite？") << Old << false;
    QTest::newRow("config read, copy refused") << "config-read" << "Conf_UP.BIN" << QByteArray("<none>") << false << 14 << 8
                                               << QStringList{"", S + "Copy Command Send.(ROM->RAM)", S + "Copy Command Error.",
                                                              I + " St: 8,ErrACK(Invalid copy request)."}
                                               << "" << QByteArray("<none>") << false;
    QTest::newRow("config read") << "config-read" << "Conf_UP.BIN" << QByteArray("<none>") << false << 0 << 0
                                 << QStringList{"", S + "Copy Command Send.(ROM->RAM)", S + "Copy Command normal end.",
                                                "Config Data receive transfer request.", S + "Config Data receive transfer complete."}
                                 << "" << QByteArray("<device>") << false;
    QTest::newRow("config write") << "config-write" << "conf.bin" << QByteArray(28672, '\xFF') << false << 0 << 0
                                  << QStringList{"", S + "Config Data send transfer request.", S + "Config Data send transfer complete.",
                                                 S + "Write Command Send.", S + "Write Flash-ROM Complete."}
                                  << "" << QByteArray(28672, '\xFF') << true;
    QTest::newRow("config write, 16-byte name") << "config-write" << "abcdefghijkl.bin" << QByteArray(64, '\xFF') << false << 0 << 0
                                                << QStringList() << "Too Long File Name" << QByteArray(64, '\xFF') << false;
}

void tst_FirmwareFlows::operations()
{
    QFETCH(QString, op);
    QFETCH(QString, name);
    QFETCH(QByteArray, before);
    QFETCH(bool, yes);
    QFETCH(int, refuseCode);
    QFETCH(int, refuseStatus);
    QFETCH(QStringList, lines);
    QFETCH(QString, box);
    QFETCH(QByteArray, after);
    QFETCH(bool, deviceChanged);
    SetupFlowRig rig(refuseCode ? QHash<int, int>{{refuseCode, refuseStatus}} : QHash<int, int>{});
    const QString path = rig.path(name);
    if (before == "<folder>")
        QVERIFY(QDir().mkdir(path));
    else if (before == "<huge>") {
        QFile f(path);  // one byte more than 65535 full blocks, sparse on disk
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(65535LL * 512 + 1));
    } else if (before != "<none>")
        rig.write(name, before);
    const QByteArray firmware = rig.sim->stores.firmware;
    const QByteArray rom = rig.sim->stores.rom;
    rig.op.savePaths << path;
    rig.op.openPaths << path;
    rig.op.answers << (yes ? Operator::Answer::Yes : Operator::Answer::No);
    rig.s->CheckIPAddress("127.0.0.2");
    firmware::FileChoices choices(rig.dir.path() + "/");

    runOperation(op, rig, choices, path);
    QCOMPARE(rig.s->lstStatus.lines(), lines);
    QCOMPARE(rig.op.lastText(), box);
    if (after == "<device>") after = op == "fw-read" ? rig.sim->stores.firmware : rig.sim->stores.rom;
    if (after != "<folder>" && after != "<huge>") QCOMPARE(rig.read(name), after);
    if (before == "<huge>") QCOMPARE(rig.sim->requestsReceived, 0);  // refused before the device is asked
    if (op == "fw-update") QCOMPARE(rig.sim->stores.firmware != firmware, deviceChanged);
    if (op == "config-write") QCOMPARE(rig.sim->stores.rom == before, deviceChanged);
    if (op != "config-write") QCOMPARE(rig.sim->stores.rom, rom);
    // Nothing but the named file is ever left in its folder.
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), QFile::exists(path) && !QFileInfo(path).isDir() ? 1 : 0);
}

void tst_FirmwareFlows::stoppedReadKeepsOldFile()
{
    SetupFlowRig rig;
    rig.write("FW_UP.BIN", Old);
    rig.op.savePaths << rig.path("FW_UP.BIN");
    rig.op.answers << Operator::Answer::Yes;
    // Stop in the turn the device sends its first block: the transfer can no longer complete.
    QObject::connect(rig.sim.get(), &DeviceSim::trace, rig.s.get(), [&rig](const QString& line) {
        if (line.startsWith("tftp -> ")) rig.s->stop();
    });
    rig.s->CheckIPAddress("127.0.0.2");
    firmware::FileChoices choices(rig.dir.path() + "/");
    QCOMPARE(firmware::FwRead(*rig.s, rig.s->op, choices), firmware::Outcome::Failed);
    QCOMPARE(rig.s->lstStatus.lines().value(2), S + "Firmware receive transfer Error.");
    QCOMPARE(rig.read("FW_UP.BIN"), Old);
    QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"FW_UP.BIN"});
}

void tst_FirmwareFlows::versionCheck_data()
{
    QTest::addColumn<int>("refuse");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("answered") << 0 << "3.2.1" << QStringList{"", S + "Version Check", S + "FW version : 3.2.1"};
    QTest::newRow("refused") << 5 << "before"
                             << QStringList{"", S + "Version Check", S + "Get Version Command Error.", I + " St: 5,ErrACK(Table full)."};
}

void tst_FirmwareFlows::versionCheck()
{
    QFETCH(int, refuse);
    QFETCH(QString, version);
    QFETCH(QStringList, lines);
    SetupFlowRig rig(refuse ? QHash<int, int>{{46, refuse}} : QHash<int, int>{});
    rig.s->CheckIPAddress("127.0.0.2");
    QString shown = "before";
    firmware::VersionCheck(*rig.s, shown);
    QCOMPARE(shown, version);
    QCOMPARE(rig.s->lstStatus.lines(), lines);
}

QTEST_GUILESS_MAIN(tst_FirmwareFlows)
#include "tst_FirmwareFlows.moc"
