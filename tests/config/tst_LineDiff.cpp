// The device's configuration lines against a file's, as `diff -u` prints them (outputs taken from
// GNU diff 3.8, dates cut from the two header lines).
#include "config/LineDiff.h"

#include <QtTest>

class tst_LineDiff : public QObject {
    Q_OBJECT
private slots:
    void unifiedDiff_data();
    void unifiedDiff();
};

void tst_LineDiff::unifiedDiff_data()
{
    QTest::addColumn<QStringList>("from");
    QTest::addColumn<QStringList>("to");
    QTest::addColumn<int>("context");
    QTest::addColumn<QStringList>("expected");
    // One word a line; the expected lines joined by "|".
    const auto row = [](const char* name, const char* from, const char* to, int context, const char* expected) {
        const auto split = [](const char* text, char sep) {
            return QString::fromLatin1(text).split(QLatin1Char(sep), Qt::SkipEmptyParts);
        };
        QTest::newRow(name) << split(from, ' ') << split(to, ' ') << context << split(expected, '|');
    };
    row("identical", "a b c", "a b c", 3, "");
    row("changed lines in the middle", "a b c d e f g h i", "a b c X Y f g h i", 3,
        "--- device|+++ new.conf|@@ -1,8 +1,8 @@| a| b| c|-d|-e|+X|+Y| f| g| h");
    row("lines added at the end", "a b c d e", "a b c d e f g", 3,
        "--- device|+++ new.conf|@@ -3,3 +3,5 @@| c| d| e|+f|+g");
    row("lines added at the start", "c d e f g", "a b c d e f g", 3,
        "--- device|+++ new.conf|@@ -1,3 +1,5 @@|+a|+b| c| d| e");
    row("repeated block removed", "a b c a b c d e", "a b c d e", 3,
        "--- device|+++ new.conf|@@ -1,8 +1,5 @@| a| b| c|-a|-b|-c| d| e");
    row("changes seven apart", "a b c d e f g h i j k l", "a X c d e f g h i Y k l", 3,
        "--- device|+++ new.conf|@@ -1,5 +1,5 @@| a|-b|+X| c| d| e|@@ -7,6 +7,6 @@| g| h| i|-j|+Y| k| l");
    row("changes six apart", "a b c d e f g h i j k", "a X c d e f g h Y j k", 3,
        "--- device|+++ new.conf|@@ -1,11 +1,11 @@| a|-b|+X| c| d| e| f| g| h|-i|+Y| j| k");
    row("empty from", "", "a b", 3, "--- device|+++ new.conf|@@ -0,0 +1,2 @@|+a|+b");
    row("empty to", "a", "", 3, "--- device|+++ new.conf|@@ -1 +0,0 @@|-a");
    // Of the two "b" that could go at the end, diff takes the last.
    row("one line of context", "a b c d e f b d b b", "a b X d e f d b", 1,
        "--- device|+++ new.conf|@@ -2,3 +2,3 @@| b|-c|+X| d|@@ -6,5 +6,3 @@| f|-b| d| b|-b");
}

void tst_LineDiff::unifiedDiff()
{
    QFETCH(QStringList, from);
    QFETCH(QStringList, to);
    QFETCH(int, context);
    QFETCH(QStringList, expected);
    const QStringList diff = config::UnifiedDiff(from, to, QStringLiteral("device"), QStringLiteral("new.conf"), context);
    QVERIFY2(diff == expected, qPrintable(diff.join(QLatin1Char('|'))));
}

QTEST_GUILESS_MAIN(tst_LineDiff)
#include "tst_LineDiff.moc"
