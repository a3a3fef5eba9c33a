// Two processes on the real ports: qln-devsim on 127.0.0.2 and `qln --device 127.0.0.2 echo`.
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Sim {
    QProcess p;
    explicit Sim(const QStringList& extra)
    {
        p.start(QStringLiteral(QLN_DEVSIM_PATH), extra);
        p.waitForStarted();
        p.waitForReadyRead(5000);  // its first line says it listens
    }
    ~Sim()
    {
        p.terminate();
        p.waitForFinished(5000);
    }
};

}  // namespace

class tst_qln_devsim_e2e : public QObject {
    Q_OBJECT
private slots:
    void echoNormalEnd();
    void mutedDeviceGivesNoResponse();
};

void tst_qln_devsim_e2e::echoNormalEnd()
{
    Sim sim({});
    QVERIFY2(sim.p.readAllStandardOutput().contains("UIF port 8649"), "simulator did not start on 8649");
    QProcess q;
    q.start(QStringLiteral(QLN_PATH), {"--device", "127.0.0.2", "echo"});
    QVERIFY(q.waitForFinished(30000));
    const QString out = QString::fromUtf8(q.readAllStandardOutput());
    QCOMPARE(q.exitCode(), 0);
    QVERIFY2(QRegularExpression("\n\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  Echo Command Normal end.\n$").match(out).hasMatch(), qPrintable(out));
}

void tst_qln_devsim_e2e::mutedDeviceGivesNoResponse()
{
    Sim sim({"--mute"});
    QProcess q;
    QElapsedTimer t;
    t.start();
    q.start(QStringLiteral(QLN_PATH), {"--device", "127.0.0.2", "echo"});
    QVERIFY(q.waitForFinished(60000));
    const qint64 ms = t.elapsed();
    const QStringList out = QString::fromUtf8(q.readAllStandardOutput()).trimmed().split('\n');
    QVERIFY(q.exitCode() != 0);
    QCOMPARE(out.size(), 2);
    QVERIFY2(out[0].endsWith("  Echo Command Error."), qPrintable(out[0]));
    QCOMPARE(out[1], QString(14, ' ') + " St: -1,Proto-Err(1,No Response).");
    // Five sends 41 ticks of 100 ms apart: about 20.5 s, the first wait up to one tick shorter.
    QVERIFY2(ms > 19000 && ms < 26000, qPrintable(QString::number(ms)));
    qInfo("no response after %lld ms", ms);
}

QTEST_GUILESS_MAIN(tst_qln_devsim_e2e)
#include "tst_qln_devsim_e2e.moc"
