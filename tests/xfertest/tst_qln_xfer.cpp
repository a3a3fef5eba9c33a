// `qln xfer` as a script runs it: `count` listening on a free port, `mode receive` pointing the
// simulated device's stream at it, Ctrl+C once the last packet was printed.
#include "FreePortSim.h"
#include "ScriptedPeer.h"
#include "devsim/DeviceSim.h"

#include <QProcess>
#include <QtTest>
#include <csignal>

class tst_qln_xfer : public QObject {
    Q_OBJECT
private slots:
    void modeReceiveThenCount();
};

void tst_qln_xfer::modeReceiveThenCount()
{
    DeviceSim::Options so = FreePortSimOptions(QHostAddress::LocalHost, 5);
    so.xfer.limit = 100;
    so.xfer.gaps = 3;
    so.xfer.intervalMs = 0;
    DeviceSim sim(so);
    QVERIFY(sim.start());
    const QStringList device{"--device", "127.0.0.1", "--packet-id", "0x51"};

    QProcess count;
    count.start(QStringLiteral(QLN_PATH), device + QStringList{"--host-port", "0", "xfer", "count"});
    QString err;
    QVERIFY(waitUntil([&] { return (err += QString::fromUtf8(count.readAllStandardError())).contains(" bytes"); }, 30000));
    const QRegularExpressionMatch port = QRegularExpression("RCMP port (\\d+),").match(err);
    QVERIFY2(port.hasMatch(), qPrintable(err));

    QProcess mode;
    mode.start(QStringLiteral(QLN_PATH), device + QStringList{"--device-port", QString::number(sim.uifPort()), "--local-port", "0",
                                                              "--host-ip", "127.0.0.1", "--host-port", port.captured(1), "xfer", "mode", "receive"});
    QVERIFY(waitUntil([&] { return mode.state() == QProcess::NotRunning; }, 30000));
    QCOMPARE(mode.exitCode(), 0);
    const QStringList modeOut = QString::fromUtf8(mode.readAllStandardOutput()).split('\n');
    QVERIFY2(modeOut.value(1).endsWith("  Test Mode: Receive"), qPrintable(modeOut.join('\n')));

    QString out;
    QVERIFY(waitUntil([&] { return (out += QString::fromUtf8(count.readAllStandardOutput())).contains("seq=99 ttl=14\n"); }, 30000));
    ::kill(pid_t(count.processId()), SIGINT);
    QVERIFY(waitUntil([&] { return count.state() == QProcess::NotRunning; }, 30000));
    QCOMPARE(count.exitCode(), 0);
    out += QString::fromUtf8(count.readAllStandardOutput());
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.filter(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  RCMP test: 00:80:45:01:00:01  seq=\\d+ ttl=14$")).size(), 97);
    QCOMPARE(lines.last(), QString("Packet Count (Lost/Receive) 3/97"));
}

QTEST_GUILESS_MAIN(tst_qln_xfer)
#include "tst_qln_xfer.moc"
