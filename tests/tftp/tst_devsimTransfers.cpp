// qln-devsim's transfer options, and a transfer with qln-devsim running as a process of its own.
#include "devsim/DeviceSimOptions.h"
#include "link/frmUIF.h"
#include "tftp/frmTFR.h"
#include "TftpTestKit.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace tftptest;

class tst_devsimTransfers : public QObject {
    Q_OBJECT
private slots:
    void options_data();
    void options();
    void badOptions_data();
    void badOptions();
    void transfersWithTheSimulatorProcess();
};

void tst_devsimTransfers::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("drop") << QStringList{"--tftp-drop", "0.2"} << "drop" << "0.2";
    QTest::newRow("duplicate") << QStringList{"--tftp-duplicate", "0.1"} << "duplicate" << "0.1";
    QTest::newRow("reorder") << QStringList{"--tftp-reorder", "0.05"} << "reorder" << "0.05";
    QTest::newRow("delay") << QStringList{"--tftp-delay", "40"} << "delay" << "40";
    QTest::newRow("never open") << QStringList{"--tftp-never-open"} << "never" << "1";
    QTest::newRow("reversed") << QStringList{"--tftp-reversed"} << "reversed" << "1";
    QTest::newRow("ask name") << QStringList{"--tftp-ask-name", "other.bin"} << "name" << "other.bin";
    QTest::newRow("error at") << QStringList{"--tftp-error-at", "7=2"} << "error" << "7/2";
    QTest::newRow("timeout") << QStringList{"--tftp-timeout", "25"} << "timeout" << "25";
    QTest::newRow("retries") << QStringList{"--tftp-retries", "9"} << "retries" << "9";
    QTest::newRow("defaults") << QStringList{} << "timeout" << "1000";
}

void tst_devsimTransfers::options()
{
    QFETCH(QStringList, args);
    QFETCH(QString, field);
    QFETCH(QString, value);
    DeviceSim::Options o;
    bool verbose = false;
    QString error;
    QVERIFY2(ParseDeviceSimOptions(QStringList{"qln-devsim"} + args, o, verbose, error), qPrintable(error));
    const DeviceFaults& f = o.faults;
    const QMap<QString, QString> got = {
        {"drop", QString::number(f.tftpDropRate)},
        {"duplicate", QString::number(f.tftpDuplicateRate)},
        {"reorder", QString::number(f.tftpReorderRate)},
        {"delay", QString::number(f.tftpDelayMs)},
        {"never", QString::number(int(f.tftpNeverOpen))},
        {"reversed", QString::number(int(f.tftpReversed))},
        {"name", QString::fromUtf8(f.tftpAskName)},
        {"error", QStringLiteral("%1/%2").arg(f.tftpErrorAtBlock).arg(f.tftpErrorCode)},
        {"timeout", QString::number(f.tftpTimeoutMs)},
        {"retries", QString::number(f.tftpRetries)},
    };
    QCOMPARE(got.value(field), value);
}

void tst_devsimTransfers::badOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("share above 1") << QStringList{"--tftp-drop", "1.5"};
    QTest::newRow("share not a number") << QStringList{"--tftp-duplicate", "lots"};
    QTest::newRow("error at block 0") << QStringList{"--tftp-error-at", "0=1"};
    QTest::newRow("error without code") << QStringList{"--tftp-error-at", "3"};
    QTest::newRow("timeout 0") << QStringList{"--tftp-timeout", "0"};
    QTest::newRow("empty name") << QStringList{"--tftp-ask-name", ""};
}

void tst_devsimTransfers::badOptions()
{
    QFETCH(QStringList, args);
    DeviceSim::Options o;
    bool verbose = false;
    QString error;
    QVERIFY(!ParseDeviceSimOptions(QStringList{"qln-devsim"} + args, o, verbose, error));
    QVERIFY(error.contains("--tftp-"));
}

void tst_devsimTransfers::transfersWithTheSimulatorProcess()
{
    QProcess sim;
    sim.start(QStringLiteral(QLN_DEVSIM_PATH), {"--uif-port", "0", "--rcmp-port", "0", "--tftp-timeout", "50", "-v"});
    QVERIFY(sim.waitForStarted());
    QRegularExpressionMatch m;
    QVERIFY(runUntil([&] {
        m = QRegularExpression("UIF port (\\d+)").match(QString::fromUtf8(sim.peek(4096)));
        return m.hasMatch();
    }, 5000));

    frmUIF::Options uo;
    uo.tickMs = 10;
    uo.localPort = 0;
    uo.remotePort = quint16(m.captured(1).toUInt());
    frmUIF uif(nullptr, uo);
    uif.load();
    uif.setRemoteHost(QHostAddress(QStringLiteral("127.0.0.2")).toIPv4Address());
    frmTFR::Options to;
    to.tickMs = 10;
    to.tftp.tickMs = 20;
    to.tftp.port = 0;
    frmTFR tfr(uif, to);
    tfr.load();

    // A configuration image goes in, is made the running one, comes back from RAM after a copy.
    QTemporaryDir dir;
    const QByteArray image = contents(28672, 99);
    QVERIFY(writeFile(dir.path() + "/Config.bin", image));
    basTFTP::Transfer apply = makeTransfer(frmTFR::ConfigToDevice, dir.path() + "/Config.bin");
    QCOMPARE(tfr.TFTP_StartRequest(apply), 0);
    QCOMPARE(tfr.Copy_Request_Send(frmTFR::RAM, frmTFR::RUNNING, CopyFields::Of(apply)), 0);
    QVERIFY(writeFile(dir.path() + "/work.bin", QByteArray(28672, char(0xFF))));
    QCOMPARE(tfr.Copy_Request_Send(frmTFR::RUNNING, frmTFR::ROM, CopyFields()), 0);
    QCOMPARE(tfr.Copy_Request_Send(frmTFR::ROM, frmTFR::RAM, CopyFields()), 0);
    basTFTP::Transfer receive = makeTransfer(frmTFR::ConfigFromDevice, dir.path() + "/work.bin");
    QCOMPARE(tfr.TFTP_StartRequest(receive), 0);
    QVERIFY(readFile(dir.path() + "/work.bin") == image);
    QCOMPARE(tfr.Copy_Request_Send(frmTFR::RAM, frmTFR::RAM, CopyFields()), 8);

    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    const QString trace = QString::fromUtf8(sim.readAllStandardOutput());
    QVERIFY2(trace.contains("RRQ \"Config.bin\""), qPrintable(trace));
    QVERIFY(trace.contains("WRQ \"work.bin\""));
}

QTEST_GUILESS_MAIN(tst_devsimTransfers)
#include "tst_devsimTransfers.moc"
