// What the five programs share on the command line, and qln's progress line.
#include "cli/Cli.h"
#include "FreePortSim.h"
#include "QlnProcess.h"

#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <sys/stat.h>

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
    QTest::addColumn<bool>("display");  // false: no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("line");  // standard output's first line (status 0), else all of standard error
    const QString usage[] = {"Usage: QLN_Set [--help] [--version] [ADDRESS]", "Usage: QLN_Test [--help] [--version]",
                             "Usage: QLN_Xfer [--help] [--version]", "Usage: qln [options] COMMAND [ARGS]", "Usage: qln-devsim [options]"};
    int i = 0;
    for (const QString name : {QLN_SET_PATH, QLN_TEST_PATH, QLN_XFER_PATH, QLN_PATH, QLN_DEVSIM_PATH}) {
        const QString program = usage[i].section(' ', 1, 1);
        const QByteArray row = program.toLatin1();
        QTest::newRow(row + " --version") << name << QStringList{"--version"} << true << 0 << program + " 1.0.0";
        QTest::newRow(row + " --help") << name << QStringList{"--help"} << true << 0 << usage[i];
        if (i++ >= 3) continue;
        QTest::newRow(row + " --help, no display") << name << QStringList{"--help"} << false << 0 << usage[i - 1];
        QTest::newRow(row + " no display") << name << QStringList{} << false << 1
            << program + ": cannot open a display (DISPLAY is not set); run it under a desktop or xvfb-run\n";
    }
    QTest::newRow("QLN_Test bad option") << QLN_TEST_PATH << QStringList{"--bogus"} << true << 2
                                         << "QLN_Test: unexpected argument '--bogus'; see QLN_Test --help\n";
    QTest::newRow("QLN_Xfer extra") << QLN_XFER_PATH << QStringList{"1.2.3.4"} << true << 2
                                    << "QLN_Xfer: unexpected argument '1.2.3.4'; see QLN_Xfer --help\n";
    QTest::newRow("qln bad option") << QLN_PATH << QStringList{"--bogus"} << true << 2 << "Unknown option 'bogus'; see qln --help\n";
    QTest::newRow("qln extra") << QLN_PATH << QStringList{"echo", "x"} << true << 2 << "echo: unexpected argument 'x'; see qln --help\n";
    QTest::newRow("qln-devsim bad option") << QLN_DEVSIM_PATH << QStringList{"--bogus"} << true << 2
                                           << "qln-devsim: Unknown option 'bogus'; see qln-devsim --help\n";
    QTest::newRow("qln-devsim bad value") << QLN_DEVSIM_PATH << QStringList{"--drop", "2"} << true << 2
                                          << "qln-devsim: Invalid --drop; see qln-devsim --help\n";
    QTest::newRow("qln-devsim extra") << QLN_DEVSIM_PATH << QStringList{"extra"} << true << 2
                                      << "qln-devsim: unexpected argument 'extra'; see qln-devsim --help\n";
}

void tst_programs::conventions()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(bool, display);
    QFETCH(int, exitCode);
    QFETCH(QString, line);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QTemporaryDir runtime;  // else Qt's warning about the missing folder comes first
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!display) env.remove(name);
    const ProgramRun r = RunProgram(program, args, 60000, env);
    QVERIFY2(r.exitCode == exitCode, qPrintable(r.err));
    QCOMPARE(exitCode == 0 ? r.outLines().value(0) : r.err, line);
    QCOMPARE(exitCode == 0 ? r.err.size() : r.out.size(), 0);
}

void tst_programs::secondLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");  // its start; %D is the temporary folder, %P the taken port
    const QStringList device{"--device", "127.0.0.1", "--device-port", "9", "--local-port"};
    QTest::newRow("no device") << QStringList{"echo"} << "WARNING: Invalid IP Address\n--device is missing\n";
    QTest::newRow("bad address") << QStringList{"--device", "300.1.1.1", "save"} << "WARNING: Invalid IP Address\n'300.1.1.1'\n";
    QTest::newRow("empty file") << QStringList{"lint", "%D/e.conf"} << "WARNING: Invalid file pathname\n%D/e.conf: is empty\n";
    QTest::newRow("folder") << QStringList{"lint", "%D"} << "WARNING: Invalid file pathname\n%D: is a folder\n";
    QTest::newRow("FIFO to lint") << QStringList{"lint", "%D/f"} << "WARNING: Invalid file pathname\n%D/f: is not a regular file\n";
    QTest::newRow("FIFO to decode") << QStringList{"decode", "%D/f"} << "WARNING: Invalid file pathname\n%D/f: is not a regular file\n";
    QTest::newRow("interval out of range") << QStringList{"--device", "127.0.0.1", "--local-port", "0", "xfer", "mode", "send", "--interval", "0"}
                                           << "WARNING: Interval Time out of range \n--interval 0: from 1 to 100000\n";
    QTest::newRow("send limit") << QStringList{"--device", "127.0.0.1", "--local-port", "0", "xfer", "mode", "send", "--limit", "x"}
                                << "WARNING: Invalid Send Limit\n--limit 'x': a number (65535: no limit)\n";
    QTest::newRow("station ID") << QStringList{"--device", "127.0.0.1", "--local-port", "0", "--device-port", "9", "ping", "00:11:zz"}
                                << "WARNING: Invalid Station ID\nSTATION '00:11:zz': six two-digit hexadecimal bytes joined by ':' (00:80:4c:01:02:03)\n";
    QTest::newRow("100,000-character address") << QStringList{"--device", QString(100000, '9'), "version"}
                                               << "WARNING: Invalid IP Address\n'" + QString(64, '9') + "...' (100000 bytes)\n";
    QTest::newRow("device to decode") << QStringList{"decode", "/dev/zero"} << "WARNING: Invalid file pathname\n/dev/zero: is not a regular file\n";
    QTest::newRow("missing file") << device + QStringList{"0", "interactive", "%D/no"} << "WARNING: Invalid File Pathname\n%D/no: does not exist\n";
    QTest::newRow("port taken") << device + QStringList{"%P", "save"} << "WARNING: Bind address already in use.\nlocal port %P is taken: use --local-port 0\n";
}

void tst_programs::secondLines()
{
    QFETCH(QStringList, args);
    QFETCH(QString, err);
    QTemporaryDir dir;
    QFile empty(dir.filePath("e.conf"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    // Nobody ever writes this FIFO: a tool that opened it to read would wait for ever.
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("f")).constData(), 0600), 0);
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    const auto fill = [&](QString text) { return text.replace("%D", dir.path()).replace("%P", QString::number(holder.localPort())); };
    for (QString& a : args) a = fill(a);
    const ProgramRun r = RunProgram(QLN_PATH, args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith(fill(err)), qPrintable(r.err));
}

void tst_programs::progressLine_data()
{
    QTest::addColumn<QStringList>("args");  // save: a silent device; receive: the device sends its configuration
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QStringList>("drawn");  // the first texts drawn and the last
    const QString w = "Waiting for the device's answer";
    QTest::newRow("resends") << QStringList{"save"} << true
                             << QStringList{w, w + " (attempt 2 of 5)", w + " (attempt 3 of 5)", w + " (attempt 4 of 5)", w + " (attempt 5 of 5)"};
    QTest::newRow("not a terminal") << QStringList{"save"} << false << QStringList{};
    QTest::newRow("transfer") << QStringList{"receive", "running"} << true
                              << QStringList{w, "Waiting for the device's transfer", "Receiving: 1 blocks, 512 bytes", "Receiving: 57 blocks, 28672 bytes"};
}

void tst_programs::progressLine()
{
    QFETCH(QStringList, args);
    QFETCH(bool, terminal);
    QFETCH(QStringList, drawn);
    const bool mute = args.first() == "save";
    DeviceSim sim(FreePortSimOptions(QHostAddress::LocalHost));
    sim.faults().mute = mute;
    QVERIFY(sim.start());
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    CliContext ctx;
    ctx.device = "127.0.0.1";
    ctx.devicePort = sim.uifPort();
    ctx.localPort = ctx.tftpPort = 0;
    ctx.args = args.mid(1);
    ctx.out = &out;
    ctx.err = &err;
    ctx.errIsTerminal = terminal;
    ctx.tickMs = mute ? 2 : 0;  // the silent device's five waits in a fraction of a second
    for (const CliCommand& c : CliCommands())
        if (args.first() == QLatin1String(c.name)) QCOMPARE(c.run(ctx), mute ? 1 : 0);
    // The texts between carriage returns, without the wiping spaces, the repeats and the block lines between.
    QStringList pieces;
    for (const QString& piece : errText.split('\r'))
        if (piece.trimmed().startsWith("Waiting") || piece.trimmed().startsWith("Receiving")) pieces << piece.trimmed();
    pieces.removeDuplicates();
    if (pieces.size() > 4) pieces = pieces.mid(0, drawn.size() - 1) << pieces.last();
    QCOMPARE(pieces, drawn);
    QVERIFY2(terminal ? errText.endsWith('\r') : !errText.contains('\r'), qPrintable(errText));  // wiped at the end
    QVERIFY2(!outText.contains("Waiting") && !outText.contains('\r'), qPrintable(outText));
}

QTEST_GUILESS_MAIN(tst_programs)
#include "tst_programs.moc"
