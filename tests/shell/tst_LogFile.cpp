// The log file byte for byte, and the Log Start choices.
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/LogFile.h"
#include "shell/Version.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {
QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}
QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
}  // namespace

class tst_LogFile : public QObject {
    Q_OBJECT
private slots:
    void recordsByteForByte();
    void tags_data();
    void tags();
    void yearWithoutLeadingZeros();
    void startChoices_data();
    void startChoices();
    void cannotOpen_data();
    void cannotOpen();
    void writeWithoutLogDoesNothing();
    void writeFailsAfterStart();
};

void tst_LogFile::recordsByteForByte()
{
    QTemporaryDir dir;
    FixedClock clock(at(2000, 6, 12, 9, 5, 3, 42));
    LogFile log(clock, "CONF");
    log.deviceAddress = [] { return QStringLiteral("192.168.1.10"); };
    log.pcAddress = [] { return QStringLiteral("192.168.1.2"); };
    const QString path = dir.filePath("log.txt");
    QVERIFY(log.open(path, false));
    QVERIFY(log.isOpen());
    QCOMPARE(log.fileName(), QString("log.txt"));
    clock.advanceMs(1);
    log.WriteLogRecord(LogFile::Send, "Echo Test");
    log.WriteLogRecord(LogFile::Recv, "Echo Command Normal end.");
    QVERIFY(log.EndLog());
    QVERIFY(!log.isOpen());
    QVERIFY(!log.EndLog());
    const QByteArray v = basMain::ProgramVersion().toLatin1();
    const QByteArray expected =
        "2000/06/12 09:05:03.042 Quillon:0.0.0.0 PC:192.168.1.2 CONF ____\r\n\tLog Start: Version " + v + "\r\n"
        "2000/06/12 09:05:03.043 Quillon:192.168.1.10 PC:192.168.1.2 CONF SEND\r\n\tEcho Test\r\n"
        "2000/06/12 09:05:03.043 Quillon:192.168.1.10 PC:192.168.1.2 CONF RECV\r\n\tEcho Command Normal end.\r\n"
        "2000/06/12 09:05:03.043 Quillon:0.0.0.0 PC:192.168.1.2 CONF ____\r\n\tLog End: Version " + v + "\r\n";
    QCOMPARE(readAll(path), expected);
}

void tst_LogFile::tags_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("tag");
    QTest::newRow("CONF send") << "CONF" << 1 << " CONF SEND";
    QTest::newRow("XFER recv") << "XFER" << 2 << " XFER RECV";
    QTest::newRow("TEST other") << "TEST" << 7 << " TEST ____";
    QTest::newRow("TEST neutral") << "TEST" << 0 << " TEST ____";
}

void tst_LogFile::tags()
{
    QFETCH(QString, word);
    QFETCH(int, kind);
    QFETCH(QString, tag);
    FixedClock clock(QDateTime::currentDateTime());
    QCOMPARE(LogFile(clock, word).tagFor(kind), tag);
}

void tst_LogFile::yearWithoutLeadingZeros()
{
    QTemporaryDir dir;
    FixedClock clock(at(999, 1, 2, 3, 4, 5, 6));
    LogFile log(clock, "CONF");
    QVERIFY(log.open(dir.filePath("y.txt"), false));
    log.EndLog();
    QVERIFY(readAll(dir.filePath("y.txt")).startsWith("999/01/02 03:04:05.006 Quillon:0.0.0.0"));
}

void tst_LogFile::startChoices_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("keepsOld");
    QTest::addColumn<int>("questions");
    QTest::newRow("new file") << false << int(Operator::LogOpenChoice::Cancel) << true << false << 0;
    QTest::newRow("overwrite") << true << int(Operator::LogOpenChoice::Overwrite) << true << false << 1;
    QTest::newRow("append") << true << int(Operator::LogOpenChoice::Append) << true << true << 1;
    QTest::newRow("cancel") << true << int(Operator::LogOpenChoice::Cancel) << false << true << 1;
}

void tst_LogFile::startChoices()
{
    QFETCH(bool, exists);
    QFETCH(int, choice);
    QFETCH(bool, opened);
    QFETCH(bool, keepsOld);
    QFETCH(int, questions);
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    const QByteArray old = "old contents\r\n";
    if (exists) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    FixedClock clock(at(2024, 1, 1, 0, 0, 0, 0));
    LogFile log(clock, "CONF");
    ScriptedOperator op;
    op.savePaths << "  " + path + " ";  // trimmed of blanks
    op.logChoices << Operator::LogOpenChoice(choice);
    QCOMPARE(StartLog(log, op), opened);
    QCOMPARE(op.logQuestions, questions);
    QCOMPARE(log.isOpen(), opened);
    QCOMPARE(op.shown.size(), 0);
    log.EndLog();
    const QByteArray now = exists || opened ? readAll(path) : QByteArray();
    QCOMPARE(now.startsWith(old), keepsOld);
    if (opened) QVERIFY(now.contains("Log Start: Version"));
    if (!opened) QCOMPARE(now, old);
    if (opened && !keepsOld) QVERIFY(now.startsWith("2024/01/01 00:00:00.000 Quillon:0.0.0.0"));
}

void tst_LogFile::cannotOpen_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("reason");  // what errorString() says, after the path
    QTest::newRow("missing folder") << "no/such/folder/log.txt" << "No such file or directory";
    QTest::newRow("a folder") << "." << "is a folder";
    // Appending through it would create the file it names.
    QTest::newRow("a link to nothing") << "dangling" << "nowhere, which does not exist";
    // Opens, but the start record cannot be written.
    QTest::newRow("full device") << "/dev/full" << "No space left on device";
}

void tst_LogFile::cannotOpen()
{
    QFETCH(QString, relative);
    QFETCH(QString, reason);
    if (relative.startsWith('/') && !QFileInfo::exists(relative)) QSKIP("no /dev/full here");
    QTemporaryDir dir;
    QVERIFY(QFile::link("nowhere", dir.filePath("dangling")));
    FixedClock clock(at(2024, 1, 1, 0, 0, 0, 0));
    LogFile log(clock, "CONF");
    ScriptedOperator op;
    op.savePaths << (relative.startsWith('/') ? relative : dir.filePath(relative));
    op.logChoices << Operator::LogOpenChoice::Append;
    QVERIFY(!StartLog(log, op));
    QVERIFY(!log.isOpen());
    QCOMPARE(op.shown.size(), 1);
    QCOMPARE(op.shown[0].title, QString("Data Write Error"));
    QCOMPARE(op.shown[0].text, QString("Log Data Write Error"));
    QCOMPARE(op.shown[0].icon, Operator::Icon::Exclamation);
    QVERIFY2(log.errorString().endsWith(reason), qPrintable(log.errorString()));
    log.WriteLogRecord(1, "nothing");  // no log open: must not fail
    QVERIFY(!QFileInfo::exists(dir.filePath("nowhere")));
}

void tst_LogFile::writeWithoutLogDoesNothing()
{
    QTemporaryDir dir;
    FixedClock clock(at(2024, 1, 1, 0, 0, 0, 0));
    LogFile log(clock, "CONF");
    ScriptedOperator op;  // cancelled dialog
    QVERIFY(!StartLog(log, op));
    log.WriteLogRecord(1, "x");
    QVERIFY(!log.EndLog());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void tst_LogFile::writeFailsAfterStart()
{
    // The file may not grow past its start record: the next record fails as on a full disk.
    QTemporaryDir dir;
    FixedClock clock(at(2024, 1, 1, 0, 0, 0, 0));
    LogFile log(clock, "CONF");
    QStringList told;
    log.writeFailed = [&told](const QString& path, const QString& why) { told << path + ": " + why; };
    const QString path = dir.filePath("log.txt");
    QVERIFY(log.open(path, true));
    const qint64 started = QFileInfo(path).size();
    rlimit old{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
    rlimit capped = old;
    capped.rlim_cur = rlim_t(started);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &capped) == 0);
    log.WriteLogRecord(1, "first");
    log.WriteLogRecord(1, "second");
    const bool ended = log.EndLog();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(told, QStringList{path + ": File too large"});
    QVERIFY(!log.isOpen());
    QVERIFY(!ended);
    QCOMPARE(QFileInfo(path).size(), started);
}

QTEST_GUILESS_MAIN(tst_LogFile)
#include "tst_LogFile.moc"
