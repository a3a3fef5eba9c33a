// Message lines: the literal backslash-n split, the cap, time stamps, and the echo flow's lines.
#include "FreePortSim.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/EchoTest.h"
#include "shell/MessageList.h"
#include "shell/SetupSession.h"
#include "shell/TimeStamp.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_MessageList : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void capDropsTheFirst();
    void timeStamps_data();
    void timeStamps();
    void echoLines_data();
    void echoLines();
    void echoRejectsBadAddress();
};

void tst_MessageList::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("plain") << "abc" << QStringList{"abc"};
    QTest::newRow("send error") << "Send_VBErrNumber=10048/\\n    VBErrDesc=x"
                                << QStringList{"Send_VBErrNumber=10048/", "    VBErrDesc=x"};
    QTest::newRow("trailing") << "a\\n" << QStringList{"a", ""};
    QTest::newRow("real newline is no separator") << "a\nb" << QStringList{"a\nb"};
    QTest::newRow("lone backslash") << "a\\b\\" << QStringList{"a\\b\\"};
}

void tst_MessageList::split()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    MessageList list;
    list.MesgDisp(text);
    QCOMPARE(list.lines(), lines);
}

void tst_MessageList::capDropsTheFirst()
{
    MessageList list;
    int removed = 0;
    connect(&list, &MessageList::firstLineRemoved, [&] { ++removed; });
    for (int i = 1; i <= 1001; ++i) list.MesgDisp_sub(QString::number(i));
    QCOMPARE(list.count(), 1000);
    QCOMPARE(list.lines().first(), QString("2"));
    QCOMPARE(list.last(), QString("1001"));
    QCOMPARE(removed, 1);
}

void tst_MessageList::timeStamps_data()
{
    QTest::addColumn<QDateTime>("t");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QString>("logStamp");
    QTest::newRow("padded") << QDateTime(QDate(2000, 6, 12), QTime(9, 5, 3, 42)) << "09:05:03.042" << "2000/06/12 09:05:03.042";
    QTest::newRow("late") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999)) << "23:59:59.999" << "2026/12/31 23:59:59.999";
}

void tst_MessageList::timeStamps()
{
    QFETCH(QDateTime, t);
    QFETCH(QString, stamp);
    QFETCH(QString, logStamp);
    QCOMPARE(basMain::Fnc_TimeStamp(t), stamp);
    QCOMPARE(basMain::LogDateTime(t), logStamp);
    QCOMPARE(basMain::Indent(), QString(14, ' '));
}

void tst_MessageList::echoLines_data()
{
    QTest::addColumn<bool>("mute");
    QTest::addColumn<int>("refuseStatus");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("logRecv");
    QTest::newRow("normal end") << false << -100 << QStringList{"", "10:00:00.000  Echo Command Normal end."}
                                << QByteArray("\tEcho Command Normal end.\r\n");
    QTest::newRow("refused") << false << 1
                             << QStringList{"", "10:00:00.000  Echo Command Error.", "               St: 1,ErrACK(Failed)."}
                             << QByteArray("\tEcho Command Error.  St: 1,ErrACK(Failed).\r\n");
    QTest::newRow("no device") << true << -100
                               << QStringList{"", "10:00:00.000  Echo Command Error.",
                                              "               St: -1,Proto-Err(1,No Response)."}
                               << QByteArray("\tEcho Command Error.  St: -1,Proto-Err(1,No Response).\r\n");
}

void tst_MessageList::echoLines()
{
    QFETCH(bool, mute);
    QFETCH(int, refuseStatus);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, logRecv);
    DeviceSim::Options so = FreePortSimOptions();
    so.faults.mute = mute;
    if (refuseStatus != -100) so.faults.refuse.insert(0, refuseStatus);
    DeviceSim sim(so);
    QVERIFY(sim.start());

    FixedClock clock(QDateTime(QDate(2024, 1, 1), QTime(10, 0)));
    ScriptedOperator op;
    SetupSession s(clock, op, SessionOptionsFor(sim));
    QVERIFY(s.load());
    QTemporaryDir dir;
    QVERIFY(s.log.open(dir.filePath("l.txt"), true));
    RunEchoTest(s, "127.0.0.2");
    QCOMPARE(s.lstStatus.lines(), lines);
    s.log.EndLog();
    QFile f(dir.filePath("l.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray log = f.readAll();
    QVERIFY(log.contains(" Quillon:127.0.0.2 PC:127.0.0.1 CONF SEND\r\n\tEcho Test\r\n"));
    QVERIFY(log.contains(" CONF RECV\r\n" + logRecv));
}

void tst_MessageList::echoRejectsBadAddress()
{
    FixedClock clock(QDateTime(QDate(2024, 1, 1), QTime(10, 0)));
    ScriptedOperator op;
    SetupSession::Options o;
    o.uif.localPort = 0;
    SetupSession s(clock, op, o);
    s.load();
    bool rejected = false;
    RunEchoTest(s, "10.0.0.300", &rejected);
    QVERIFY(rejected);
    QCOMPARE(op.shown.size(), 1);
    QCOMPARE(op.shown[0].title, QString("WARNING"));
    QCOMPARE(op.shown[0].text, QString("Invalid IP Address"));
    QCOMPARE(s.uif.sentCount(), 0);
}

QTEST_GUILESS_MAIN(tst_MessageList)
#include "tst_MessageList.moc"
