// What all five programs share on the command line, and qln's progress line.
#include "cli/Cli.h"
#include "FreePortSim.h"
#include "QlnProcess.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

namespace {

QString programPath(const QString& name)
{
    static const QHash<QString, QString> paths{{"qln", QLN_PATH}, {"qln-devsim", QLN_DEVSIM_PATH}, {"QLN_Set", QLN_SET_PATH},
                                               {"QLN_Test", QLN_TEST_PATH}, {"QLN_Xfer", QLN_XFER_PATH}};
    return paths.value(name);
}

// The pieces drawn on the terminal stream between carriage returns, wiping spaces and repeats left out.
QStringList drawn(const QString& err)
{
    QStringList pieces;
    for (const QString& piece : err.split(QLatin1Char('\r'))) {
        const QString text = piece.trimmed();
        if (text.startsWith(QLatin1String("Waiting")) || text.startsWith(QLatin1String("Receiving")))
            if (pieces.isEmpty() || pieces.last() != text) pieces << text;
    }
    return pieces;
}

}  // namespace

class tst_programs : public QObject {
    Q_OBJECT
private slots:
    void conventions_data();
    void conventions();
    void secondLines_data();
    void secondLines();
    void progressLine_data();
    void progressLine();
};

void tst_programs::conventions_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("display");  // false: no DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("line");  // the first line of standard output (0) or standard error
    const QString noDisplay = "cannot open a display (DISPLAY is not set); run it under a desktop or xvfb-run";
    for (const QString name : {"QLN_Set", "QLN_Test", "QLN_Xfer", "qln", "qln-devsim"}) {
        const QByteArray row = name.toLatin1();
        QTest::newRow(row + " --version") << name << QStringList{"--version"} << true << 0 << name + " 1.0.0";
        const bool gui = name.startsWith("QLN_");
        const QString usage = name == "QLN_Set" ? "Usage: QLN_Set [--help] [--version] [ADDRESS]"
                              : gui             ? "Usage: " + name + " [--help] [--version]"
                              : name == "qln"   ? "Usage: qln [options] COMMAND [ARGS]"
                                                : "Usage: qln-devsim [options]";
        QTest::newRow(row + " --help") << name << QStringList{"--help"} << true << 0 << usage;
        if (!gui) continue;
        QTest::newRow(row + " --help, no display") << name << QStringList{"--help"} << false << 0 << usage;
        QTest::newRow(row + " no display") << name << QStringList{} << false << 1 << name + ": " + noDisplay;
    }
    QTest::newRow("QLN_Test bad option") << "QLN_Test" << QStringList{"--bogus"} << true << 2
                                         << "QLN_Test: unexpected argument '--bogus'; see QLN_Test --help";
    QTest::newRow("QLN_Xfer extra argument") << "QLN_Xfer" << QStringList{"1.2.3.4"} << true << 2
                                             << "QLN_Xfer: unexpected argument '1.2.3.4'; see QLN_Xfer --help";
    QTest::newRow("qln bad option") << "qln" << QStringList{"--bogus"} << true << 2 << "Unknown option 'bogus'; see qln --help";
    QTest::newRow("qln bad port") << "qln" << QStringList{"--local-port", "x", "save"} << true << 2
                                  << "Invalid port number 'x' of --local-port; see qln --help";
    QTest::newRow("qln no command") << "qln" << QStringList{} << true << 2
                                    << "Usage: qln [options] COMMAND [ARGS]: COMMAND is missing; see qln --help";
    QTest::newRow("qln lint, no file") << "qln" << QStringList{"lint"} << true << 2 << "lint: FILE is missing; see qln --help";
    QTest::newRow("qln lint, extra") << "qln" << QStringList{"lint", "a", "b"} << true << 2
                                     << "lint: unexpected argument 'b'; see qln --help";
    QTest::newRow("qln echo, extra") << "qln" << QStringList{"echo", "x"} << true << 2
                                     << "echo: unexpected argument 'x'; see qln --help";
    QTest::newRow("qln-devsim bad option") << "qln-devsim" << QStringList{"--bogus"} << true << 2
                                           << "qln-devsim: Unknown option 'bogus'; see qln-devsim --help";
    QTest::newRow("qln-devsim bad value") << "qln-devsim" << QStringList{"--drop", "2"} << true << 2
                                          << "qln-devsim: Invalid --drop; see qln-devsim --help";
    QTest::newRow("qln-devsim extra") << "qln-devsim" << QStringList{"extra"} << true << 2
                                      << "qln-devsim: unexpected argument 'extra'; see qln-devsim --help";
}

void tst_programs::conventions()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(bool, display);
    QFETCH(int, exitCode);
    QFETCH(QString, line);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Qt's own warning about a missing runtime folder would come before the program's line.
    QTemporaryDir runtime;
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    if (!display)
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    const ProgramRun r = RunProgram(programPath(program), args, 60000, env);
    QVERIFY2(r.exitCode == exitCode, qPrintable(r.err));
    if (exitCode == 0) {
        QCOMPARE(r.outLines().value(0), line);
        QCOMPARE(r.err, QString());
    } else {
        // One line, and nothing on standard output.
        QCOMPARE(r.err, line + '\n');
        QCOMPARE(r.out, QByteArray());
    }
}

void tst_programs::secondLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");  // %D the temporary folder, %P the taken port
    const QStringList device{"--device", "127.0.0.1", "--device-port", "9", "--local-port", "0"};
    QTest::newRow("no device") << QStringList{"echo"} << "WARNING: Invalid IP Address\n--device is missing\n";
    QTest::newRow("bad address") << QStringList{"--device", "300.1.1.1", "save"} << "WARNING: Invalid IP Address\n'300.1.1.1'\n";
    QTest::newRow("empty file") << QStringList{"lint", "%D/empty.conf"} << "WARNING: Invalid file pathname\n%D/empty.conf: is empty\n";
    QTest::newRow("folder") << QStringList{"lint", "%D"} << "WARNING: Invalid file pathname\n%D: is a folder\n";
    QTest::newRow("missing file") << QStringList{"lint", "%D/no.conf"} << "WARNING: Invalid file pathname\n%D/no.conf: does not exist\n";
    QTest::newRow("interactive, missing file") << device + QStringList{"interactive", "%D/no.conf"}
                                               << "WARNING: Invalid File Pathname\n%D/no.conf: does not exist\n";
    QTest::newRow("local port taken") << QStringList{"--device", "127.0.0.1", "--device-port", "9", "--local-port", "%P", "save"}
                                      << "WARNING: Bind address already in use.\nlocal port %P is taken: use --local-port 0\n";
}

void tst_programs::secondLines()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    QTemporaryDir dir;
    QFile empty(dir.filePath("empty.conf"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    const auto fill = [&](QString text) {
        return text.replace("%D", dir.path()).replace("%P", QString::number(holder.localPort()));
    };
    for (QString& a : args) a = fill(a);
    const ProgramRun r = RunProgram(programPath("qln"), args);
    QCOMPARE(r.exitCode, 1);
    // The flow's own lines may follow the message.
    QVERIFY2(r.err.startsWith(fill(err)), qPrintable(r.err));
}

void tst_programs::progressLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("mute");
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QStringList>("first");  // the first texts drawn
    QTest::addColumn<QString>("last");       // the last text drawn
    const QString waiting = "Waiting for the device's answer";
    QTest::newRow("resends") << "save" << true << true
                             << QStringList{waiting, waiting + " (resend 2 of 5)", waiting + " (resend 3 of 5)", waiting + " (resend 4 of 5)"}
                             << waiting + " (resend 5 of 5)";
    QTest::newRow("not a terminal") << "save" << true << false << QStringList{} << QString();
    QTest::newRow("transfer") << "receive" << false << true
                              << QStringList{waiting, "Waiting for the device's transfer", "Receiving: 1 blocks, 512 bytes", "Receiving: 2 blocks, 1024 bytes"}
                              << "Receiving: 57 blocks, 28672 bytes";
}

void tst_programs::progressLine()
{
    QFETCH(QString, command);
    QFETCH(bool, mute);
    QFETCH(bool, terminal);
    QFETCH(QStringList, first);
    QFETCH(QString, last);
    DeviceSim sim(FreePortSimOptions(QHostAddress::LocalHost));
    sim.faults().mute = mute;
    QVERIFY(sim.start());
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    CliContext ctx;
    ctx.device = "127.0.0.1";
    ctx.devicePort = sim.uifPort();
    ctx.localPort = 0;
    ctx.tftpPort = 0;
    ctx.args = command == "receive" ? QStringList{"running"} : QStringList{};
    ctx.out = &out;
    ctx.err = &err;
    ctx.errIsTerminal = terminal;
    ctx.tickMs = mute ? 2 : 0;  // the silent device's five waits in a fraction of a second
    for (const CliCommand& c : CliCommands())
        if (command == QLatin1String(c.name)) QCOMPARE(c.run(ctx), mute ? 1 : 0);
    const QStringList pieces = drawn(errText);
    QVERIFY2(pieces.mid(0, first.size()) == first, qPrintable(pieces.join('|')));
    QCOMPARE(pieces.value(pieces.size() - 1), last);
    if (!terminal) QVERIFY2(!errText.contains('\r'), qPrintable(errText));
    // The line is wiped when the wait ends; standard output never sees it.
    QVERIFY2(drawn(errText.section('\r', -1)).isEmpty(), qPrintable(errText));
    QVERIFY2(!outText.contains("Waiting") && !outText.contains("Receiving:") && !outText.contains('\r'), qPrintable(outText));
}

QTEST_GUILESS_MAIN(tst_programs)
#include "tst_programs.moc"
