// Whatever bytes a file holds, the conversion ends in the first failing line's message or in
// "Conversion Complete.", reading real files.
#include "ConfigTestKit.h"
#include "config/ConfigLines.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

namespace {

QByteArray randomBytes(int size, quint32 seed)
{
    std::mt19937 rng(seed);
    QByteArray b(size, '\0');
    for (char& c : b) c = char(rng() & 0xFF);
    return b;
}

}  // namespace

class tst_ConfigBadInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void fromFile_data();
    void fromFile();
    void binaryFiles_data();
    void binaryFiles();
    void missingFile();
    void crLfAcrossReadChunks();

private:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
        return path;
    }
    QTemporaryDir dir_;
};

void tst_ConfigBadInput::fromFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("lineNumber");
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<int>("count");
    const QByteArray mb(1024 * 1024, 'x');
    const QByteArray blanksMb(1024 * 1024, ' ');
    const QByteArray over = QByteArray(config::ConfigLineReader::MaxLineBytes + 10, ' ');
    QTest::newRow("comment of a megabyte") << (";" + mb + "\ngroup_id 1\n") << 0 << 2 << QByteArray() << 1;
    QTest::newRow("command with a megabyte of trailing blanks and words")
        << ("scramble 7" + blanksMb + "extra\r\nbad\r\n") << -2 << 2 << QByteArray("bad") << 1;
    QTest::newRow("token of a megabyte") << ("group_id 1" + mb + "\n") << -3 << 1 << ("1" + mb) << 0;
    QTest::newRow("keyword of a megabyte") << (mb + " 1\n") << -2 << 1 << mb << 0;
    QTest::newRow("command line past the line limit is refused")
        << ("group_id 1 " + over + "\n") << -3 << 1 << QByteArray("group_id") << 0;
    QTest::newRow("comment past the line limit is still a comment")
        << (";" + over + "\ngroup_id 1\nbogus\n") << -2 << 3 << QByteArray("bogus") << 1;
    QTest::newRow("70000 lines, error on the last")
        << (QByteArray("; comment\n").repeated(69999) + "bogus 1\n") << -2 << 70000 << QByteArray("bogus") << 0;
    QTest::newRow("70000 blank lines, then a bad value")
        << (QByteArray("\r\n").repeated(70000) + "group_id 70000\r\n") << -3 << 70001 << QByteArray("70000") << 0;
    QTest::newRow("CR-only lines, 40000 of them")
        << (QByteArray("\r").repeated(39999) + "group_id 1\rgroup_id x") << -3 << 40001 << QByteArray("x") << 1;
    QTest::newRow("byte order mark before the first line")
        << QByteArray("\xEF\xBB\xBFgroup_id 1\nbogus\n") << -2 << 2 << QByteArray("bogus") << 1;
    QTest::newRow("byte order mark inside the file is a keyword's bytes")
        << QByteArray("group_id 1\n\xEF\xBB\xBFgroup_id 2\n") << -2 << 2 << QByteArray("\xEF\xBB\xBFgroup_id") << 1;
    QTest::newRow("NUL bytes everywhere") << QByteArray(4096, '\0') << -2 << 1 << QByteArray(4096, '\0') << 0;
    QTest::newRow("token longer than any field")
        << ("snmp read_only_community " + QByteArray(5000, 'c') + "\n") << -3 << 1 << QByteArray(5000, 'c') << 0;
}

void tst_ConfigBadInput::fromFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(int, lineNumber);
    QFETCH(QByteArray, token);
    QFETCH(int, count);
    const QString path = write(QStringLiteral("case.conf"), bytes);
    QVERIFY(!path.isEmpty());
    config::ImageSink sink;
    config::ConversionResult r;
    QVERIFY(config::ConvertConfigFile(path, sink, r));
    QCOMPARE(r.status, status);
    QCOMPARE(r.lineNumber, lineNumber);
    QCOMPARE(r.token.size(), token.size());
    QVERIFY(r.token == token);
    QCOMPARE(r.commandCount, count);
    QCOMPARE(sink.pos(), 64 * count);
}

void tst_ConfigBadInput::binaryFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    for (quint32 seed = 1; seed <= 8; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(seed))) << randomBytes(256 * 1024, seed);
    // An image file offered as text.
    QByteArray image(28672, char(0xFF));
    image.replace(0, 12, QByteArray::fromHex("0000 0001 00000000 FFFFFFFF"));
    QTest::newRow("configuration image") << image;
}

void tst_ConfigBadInput::binaryFiles()
{
    QFETCH(QByteArray, bytes);
    const QString path = write(QStringLiteral("binary.conf"), bytes);
    QVERIFY(!path.isEmpty());
    config::ImageSink sink;
    config::ConversionResult r;
    QVERIFY(config::ConvertConfigFile(path, sink, r));
    // No keyword of the table comes out of these bytes: the first line with a token stops it.
    QCOMPARE(r.status, -2);
    QCOMPARE(r.commandCount, 0);
    QVERIFY(r.lineNumber >= 1);
    QVERIFY(!r.keyword.isEmpty());
    QVERIFY(config::ConversionResultText(r).startsWith(QStringLiteral("Line: %1  Invalid Command '").arg(r.lineNumber)));
}

void tst_ConfigBadInput::missingFile()
{
    config::ImageSink sink;
    config::ConversionResult r;
    QVERIFY(!config::ConvertConfigFile(dir_.filePath(QStringLiteral("none.conf")), sink, r));
    QVERIFY(!config::ConvertConfigFile(dir_.path(), sink, r));  // a folder
    QCOMPARE(sink.pos(), 0);
}

void tst_ConfigBadInput::crLfAcrossReadChunks()
{
    // The CR ends one read chunk and its LF starts the next: still one line end, not two.
    for (int len : {64 * 1024 - 1, 64 * 1024, 128 * 1024 - 1}) {
        const QByteArray bytes = ";" + QByteArray(len - 1, 'c') + "\r\nbogus\r\n";
        const QString path = write(QStringLiteral("chunks.conf"), bytes);
        config::ImageSink sink;
        config::ConversionResult r;
        QVERIFY(config::ConvertConfigFile(path, sink, r));
        QCOMPARE(r.status, -2);
        QCOMPARE(r.lineNumber, 2);
    }
}

QTEST_GUILESS_MAIN(tst_ConfigBadInput)
#include "tst_ConfigBadInput.moc"
