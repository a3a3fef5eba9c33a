// Two processes on the real ports: qln-devsim on 127.0.0.2 and `qln --device 127.0.0.2 echo`.
// A port that cannot be bound (a QLN_Set open on this machine holds 8640) fails with the
// program's own reason in the message.
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Sim {
    QProcess p;
    QByteArray firstLine;
    explicit Sim(const QStringList& extra)
    {
        p.start(QStringLiteral(QLN_DEVSIM_PATH), extra);
        p.waitForStarted();
        // Its first line says it listens; a simulator that could not bind its ports ends instead.
        while (!p.canReadLine() && p.state() == QProcess::Running) p.waitForReadyRead(1000);
        firstLine = p.readLine();
    }
    // "" when it listens on the default UIF port, else what it said.
    QByteArray problem()
    {
        if (firstLine.contains("UIF port 8649")) return {};
        return "qln-devsim did not start on 8649: " + firstLine + p.readAllStandardError();
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
    const QByteArray problem = sim.problem();
    QVERIFY2(problem.isEmpty(), problem.constData());
    QProcess q;
    q.start(QStringLiteral(QLN_PATH), {"--device", "127.0.0.2", "echo"});
    QVERIFY(q.waitForFinished(30000));
    const QString out = QString::fromUtf8(q.readAllStandardOutput());
    QVERIFY2(q.exitCode() == 0, q.readAllStandardError().constData());
    QVERIFY2(QRegularExpression("\n\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  Echo Command Normal end.\n$").match(out).hasMatch(), qPrintable(out));
}

void tst_qln_devsim_e2e::mutedDeviceGivesNoResponse()
{
    Sim sim({"--mute"});
    const QByteArray problem = sim.problem();
    QVERIFY2(problem.isEmpty(), problem.constData());
    QProcess q;
    QElapsedTimer t;
    t.start();
    q.start(QStringLiteral(QLN_PATH), {"--device", "127.0.0.2", "echo"});
    QVERIFY(q.waitForFinished(60000));
    const qint64 ms = t.elapsed();
    const QStringList out = QString::fromUtf8(q.readAllStandardOutput()).trimmed().split('\n');
    const QString err = QString::fromUtf8(q.readAllStandardError());  // "local port 8640 is taken", say
    QVERIFY(q.exitCode() != 0);
    QVERIFY2(out.size() == 2, qPrintable(out.join('\n') + '\n' + err));
    QVERIFY2(out[0].endsWith("  Echo Command Error."), qPrintable(out[0]));
    QCOMPARE(out[1], QString(14, ' ') + " St: -1,Proto-Err(1,No Response).");
    // Five sends 41 ticks of 100 ms apart: about 20.5 s, the first wait up to one tick shorter.
    // A loaded machine only makes ticks late, so the bound above is loose.
    QVERIFY2(ms > 19000 && ms < 60000, qPrintable(QString::number(ms)));
    qInfo("no response after %lld ms", ms);
}

QTEST_GUILESS_MAIN(tst_qln_devsim_e2e)
#include "tst_qln_devsim_e2e.moc"
