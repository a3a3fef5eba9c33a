// Text from the device on the operator's terminal: an escape sequence in a version text (OSC 52
// writes the terminal's clipboard, CSI moves the cursor) is shown as U+FFFD there, while a pipe
// gets the device's bytes exactly.
#include "FreePortSim.h"

#include <QProcess>
#include <QtTest>

class tst_qln_terminal : public QObject {
    Q_OBJECT
private slots:
    void deviceTextReachesTheOutput_data();
    void deviceTextReachesTheOutput();
};

void tst_qln_terminal::deviceTextReachesTheOutput_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QByteArray>("shown");  // the version as the output holds it
    // OSC 52 ... BEL, then the 8-bit CSI (U+009B, two bytes in UTF-8).
    QTest::newRow("pipe: the bytes exactly") << false << QByteArray("v1\x1B]52;c;SGk=\x07\xC2\x9B" "J");
    QTest::newRow("terminal: U+FFFD") << true << QByteArray("v1\xEF\xBF\xBD]52;c;SGk=\xEF\xBF\xBD\xEF\xBF\xBD" "J");
}

void tst_qln_terminal::deviceTextReachesTheOutput()
{
    QFETCH(bool, terminal);
    QFETCH(QByteArray, shown);
    if (terminal && QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        QSKIP("no 'script' here to give qln a terminal");
    DeviceSim::Options options = FreePortSimOptions(QHostAddress::LocalHost);
    options.tables.firmwareVersion = QByteArray("v1\x1B]52;c;SGk=\x07\x9B" "J");
    DeviceSim sim(options);
    QVERIFY(sim.start());
    const QStringList args{"--device", "127.0.0.1", "--device-port", QString::number(sim.uifPort()), "--local-port", "0", "version"};
    QProcess qln;
    if (terminal) {
        // script(1) runs the command on a pseudo-terminal and copies what it wrote there.
        QStringList quoted{QStringLiteral(QLN_PATH)};
        for (const QString& a : args) quoted << a;
        qln.start(QStringLiteral("script"), {"-qec", quoted.join(' '), "/dev/null"});
    } else {
        qln.start(QStringLiteral(QLN_PATH), args);
    }
    QVERIFY(qln.waitForStarted());
    // The simulator answers from this thread's event loop.
    QTRY_VERIFY_WITH_TIMEOUT(qln.state() == QProcess::NotRunning, 60000);
    const QByteArray out = qln.readAllStandardOutput();
    QCOMPARE(qln.exitCode(), 0);
    QVERIFY2(out.contains(shown), out.constData());
    if (terminal) QVERIFY2(!out.contains('\x1B') && !out.contains('\x07') && !out.contains("\xC2\x9B"), out.constData());
}

QTEST_GUILESS_MAIN(tst_qln_terminal)
#include "tst_qln_terminal.moc"
