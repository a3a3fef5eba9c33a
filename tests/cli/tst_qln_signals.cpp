// SIGTERM, as `timeout`, systemd and Ansible send it, while the device holds a reply or a
// transfer: qln ends through the flow's Stop path, leaves the operator's files as they were and
// no temporary beside them, and its log ends with "Log End".
#include "FreePortSim.h"
#include "TestFiles.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace {
quint16 word(const QByteArray& packet, int at) { return quint16((quint8(packet[at]) << 8) | quint8(packet[at + 1])); }
}  // namespace

class tst_qln_signals : public QObject {
    Q_OBJECT
private slots:
    void sigtermIsStop_data();
    void sigtermIsStop();
};

void tst_qln_signals::sigtermIsStop_data()
{
    QTest::addColumn<QStringList>("args");      // in the run's folder: old.txt ("OLD"), conf.txt
    QTest::addColumn<QString>("hold");          // "reply": the first request is never answered;
                                                // "transfer": the device's packet after the first block
    QTest::addColumn<QStringList>("lastLines");  // standard output's last lines, as texts
    QTest::addColumn<QStringList>("files");      // the folder afterwards, hidden files included
    QTest::newRow("version") << QStringList{"version"} << "reply"
                             << QStringList{"Get Version Command Error.", "St: -1,Proto-Err(-1,Operator Break)."} << QStringList{"conf.txt", "old.txt"};
    QTest::newRow("check all -o") << QStringList{"check", "all", "-o", "old.txt", "--overwrite"} << "reply"
                                  << QStringList{"Error occurred on 'environment get' Command.", "St: -1,Proto-Err(-1,Operator Break)."} << QStringList{"conf.txt", "old.txt"};
    QTest::newRow("receive -o") << QStringList{"receive", "running", "-o", "old.txt", "--overwrite"} << "transfer"
                                << QStringList{"Config Data receive transfer Error.", "TFTP Start Command Error.  St: -6,Operator Break."} << QStringList{"conf.txt", "old.txt"};
    QTest::newRow("fw-read to a new name") << QStringList{"fw-read", "FW.BIN"} << "transfer"
                                           << QStringList{"Firmware receive transfer Error.", "TFTP Start Command Error.  St: -6,Operator Break."}
                                           << QStringList{"conf.txt", "old.txt"};
    // Config.bin is the copy of what is sent, written before the start command goes out.
    QTest::newRow("apply") << QStringList{"apply", "conf.txt"} << "transfer"
                           << QStringList{"Config Data Transfer Error.", "TFTP Start Command Error.  St: -6,Operator Break."}
                           << QStringList{"conf.txt", "Config.bin", "old.txt"};
}

void tst_qln_signals::sigtermIsStop()
{
    QFETCH(QStringList, args);
    QFETCH(QString, hold);
    QFETCH(QStringList, lastLines);
    QFETCH(QStringList, files);
    QTemporaryDir dir, logDir;
    QVERIFY(writeFile(dir.filePath("old.txt"), "OLD") && writeFile(dir.filePath("conf.txt"), "rfchannel 3\n"));
    DeviceSim sim(FreePortSimOptions(QHostAddress::LocalHost));
    QVERIFY(sim.start());
    QProcess qln;
    bool sent = false;
    const auto stop = [&] {
        if (sent) return;
        sent = true;
        ::kill(pid_t(qln.processId()), SIGTERM);
    };
    if (hold == "reply") {
        // Muted before the request is looked at: its answer never comes.
        connect(&sim, &DeviceSim::trace, &sim, [&](const QString& line) {
            if (!line.startsWith("uif <- ")) return;
            sim.faults().mute = true;
            stop();
        });
    } else {
        // The first block has moved (the PC's file is being written or served); the device's
        // next packet, DATA 2 or ACK 1, and everything after it are held.
        sim.tftpTap = [&](const QByteArray& packet) {
            const quint16 op = word(packet, 0), block = word(packet, 2);
            if (!sent && !((op == 3 && block == 2) || (op == 4 && block == 1))) return false;
            stop();
            return true;
        };
    }
    qln.setWorkingDirectory(dir.path());
    QEventLoop loop;
    connect(&qln, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    qln.start(QStringLiteral(QLN_PATH), QStringList{"--device", "127.0.0.1", "--device-port", QString::number(sim.uifPort()),
                                                    "--local-port", "0", "--tftp-port", "0", "--log",
                                                    logDir.filePath("qln.log")} + args);
    loop.exec();
    QVERIFY2(qln.state() == QProcess::NotRunning, "qln did not end");
    QVERIFY(sent);
    QCOMPARE(qln.exitStatus(), QProcess::NormalExit);
    const QStringList out = QString::fromLatin1(qln.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(qln.exitCode() == 1, qPrintable(out.join('\n')));
    // The last lines' texts, without their time stamps and indents.
    QStringList last;
    for (const QString& line : out.mid(out.size() - lastLines.size()))
        last << QString(line).remove(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}")).trimmed();
    QCOMPARE(last, lastLines);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), files);
    QCOMPARE(readFile(dir.filePath("old.txt")), QByteArray("OLD"));
    const QByteArray log = readFile(logDir.filePath("qln.log"));
    QVERIFY2(log.trimmed().split('\n').last().contains("Log End"), log.right(300).constData());
}

QTEST_GUILESS_MAIN(tst_qln_signals)
#include "tst_qln_signals.moc"
