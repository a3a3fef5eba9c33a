// The message lines and log records of a conversion, as the operator sees them, and the link
// it leaves behind.
#include "FreePortSim.h"
#include "config/ConversionFlow.h"
#include "config/RecordSinks.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/SetupSession.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QDateTime At(QDate(2026, 3, 4), QTime(12, 34, 56, 789));
}

class tst_ConversionFlow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void messageLines_data();
    void messageLines();
    void invalidPath_data();
    void invalidPath();
    void logRecords();
    void tokenBytesReachTheLog();
    void sendSinkAfterFailedConversion();

private:
    QString write(const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("flow.conf"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
        return path;
    }
    QTemporaryDir dir_;
};

void tst_ConversionFlow::messageLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("collectPos");
    QTest::newRow("records") << QByteArray("group_id 1\nrfchannel 2\n")
                             << QStringList{"12:34:56.789  Conversion Complete.", "              TOTAL Records: 2"} << 128;
    QTest::newRow("comments only")
        << QByteArray("; nothing\n\n")
        << QStringList{"12:34:56.789  Conversion Complete.", "              TOTAL Records: 0",
                       "12:34:56.789  WARNING: No Valid Records!!!"}
        << 0;
    QTest::newRow("unknown keyword on line 3")
        << QByteArray("; a\n; b\nroutes 1\n") << QStringList{"12:34:56.789  Line: 3  Invalid Command 'routes'"} << 0;
    QTest::newRow("bad parameter") << QByteArray("group_id 1\ngroup_id 65536\n")
                                   << QStringList{"12:34:56.789  Line: 2  Invalid Parameter '65536'"} << 64;
}

void tst_ConversionFlow::messageLines()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, lines);
    QFETCH(int, collectPos);
    FixedClock clock(At);
    ScriptedOperator op;
    SetupSession s(clock, op);
    s.uif.UIFCollectPos = 640;  // a stale image from an earlier run must not count
    const QString path = write(text);
    QVERIFY(!path.isEmpty());
    config::ConversionResult r;
    QVERIFY(config::CheckConfigFile(s, path));
    QVERIFY(config::ConvertToImage(s, path, r));
    QCOMPARE(s.lstStatus.lines(), lines);
    QVERIFY(op.shown.isEmpty());
    QVERIFY(!s.uif.UIFCollect);  // off again, whether the file converted or not
    QCOMPARE(s.uif.UIFCollectPos, collectPos);
}

void tst_ConversionFlow::invalidPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << QStringLiteral("no-such.conf");
    QTest::newRow("empty file") << QStringLiteral("empty.conf");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("empty path") << QString();
}

void tst_ConversionFlow::invalidPath()
{
    QFETCH(QString, path);
    { QFile f(dir_.filePath(QStringLiteral("empty.conf"))); QVERIFY(f.open(QIODevice::WriteOnly)); }
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder")));
    FixedClock clock(At);
    ScriptedOperator op;
    SetupSession s(clock, op);
    const QString full = path.isEmpty() ? path : dir_.filePath(path);
    QVERIFY(!config::CheckConfigFile(s, full));
    QCOMPARE(op.shown.size(), 1);
    QCOMPARE(op.shown[0].title, QStringLiteral("WARNING"));
    QCOMPARE(op.shown[0].text, QStringLiteral("Invalid file pathname"));
    QCOMPARE(op.shown[0].icon, Operator::Icon::Critical);
    QVERIFY(s.lstStatus.lines().isEmpty());
}

void tst_ConversionFlow::logRecords()
{
    FixedClock clock(At);
    ScriptedOperator op;
    SetupSession s(clock, op);
    const QString logPath = dir_.filePath(QStringLiteral("conf.log"));
    QVERIFY(s.log.open(logPath, true));
    const QString path = write("; only a comment\n");
    config::ConversionResult r;
    QVERIFY(config::ConvertToImage(s, path, r));
    s.log.EndLog();
    QFile f(logPath);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    // Each record is a header line and a tab-led text line; find the three texts in order.
    QStringList texts;
    QStringList kinds;
    for (int i = 1; i < lines.size(); ++i)
        if (lines[i].startsWith('\t')) {
            texts << QString::fromUtf8(lines[i].mid(1)).trimmed();
            kinds << QString::fromUtf8(lines[i - 1]).trimmed().section(' ', -1);
        }
    const int at = texts.indexOf(QStringLiteral("Conversion Complete."));
    QVERIFY(at >= 0);
    QCOMPARE(texts.mid(at, 3), (QStringList{"Conversion Complete.", "TOTAL Records: 0", "WARNING: No Valid Records!!!"}));
    QCOMPARE(kinds.mid(at, 3), (QStringList{"RECV", "____", "RECV"}));
}

void tst_ConversionFlow::tokenBytesReachTheLog()
{
    // 64 bytes, the most a message quotes whole.
    QByteArray token;
    for (int b = 0x80; b <= 0xBF; ++b) token += char(b);
    FixedClock clock(At);
    ScriptedOperator op;
    SetupSession s(clock, op);
    const QString logPath = dir_.filePath(QStringLiteral("bytes.log"));
    QVERIFY(s.log.open(logPath, true));
    config::ConversionResult r;
    QVERIFY(config::ConvertToImage(s, write("group_id " + token + "\r\n"), r));
    s.log.EndLog();
    QFile f(logPath);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("\tLine: 1  Invalid Parameter '" + token + "'\r\n"));
    // On screen the C1 controls 0x80..0x9F show as U+FFFD, the rest as the characters they are.
    const QString shown = QString(32, QChar::ReplacementCharacter) + QString::fromLatin1(token.mid(32));
    QCOMPARE(s.lstStatus.lines(), QStringList{"12:34:56.789  Line: 1  Invalid Parameter '" + shown + "'"});
}

void tst_ConversionFlow::sendSinkAfterFailedConversion()
{
    // A device that refuses group_id with status 6: only a record that really went out gets it.
    DeviceSim::Options so = FreePortSimOptions();
    so.faults.refuse.insert(44, 6);
    DeviceSim sim(so);
    QVERIFY(sim.start());
    FixedClock clock(At);
    ScriptedOperator op;
    SetupSession s(clock, op, SessionOptionsFor(sim));
    QVERIFY(s.load());
    QCOMPARE(s.CheckIPAddress(QStringLiteral("127.0.0.2")), 0);
    config::ConversionResult r;
    QVERIFY(config::ConvertToImage(s, write("group_id 1\ngroup_id x\n"), r));
    QCOMPARE(r.status, -3);
    config::SendSink send(s.uif);
    config::Word16Record groupId;
    groupId.head.code = config::CodeGroupId;
    QCOMPARE(send.Put(groupId), 6);
    QCOMPARE(s.uif.sentCount(), 1);
    QCOMPARE(sim.requestsReceived, 1);
    QCOMPARE(s.uif.UIFCollectPos, 64);  // the image holds the one good line, nothing more
}

QTEST_GUILESS_MAIN(tst_ConversionFlow)
#include "tst_ConversionFlow.moc"
