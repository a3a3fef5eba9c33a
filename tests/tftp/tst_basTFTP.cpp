// The expected file and the name a device's request asks for.
#include "tftp/TftpPacket.h"
#include "tftp/basTFTP.h"
#include "TftpTestKit.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_basTFTP : public QObject {
    Q_OBJECT
private slots:
    void requestName_data();
    void requestName();
    void nameMatches_data();
    void nameMatches();
    void setTransferFile_data();
    void setTransferFile();
    void packets();
};

void tst_basTFTP::requestName_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("request") << basTFTP::MakeRequest(1, "Config.bin") << QByteArray("Config.bin");
    QTest::newRow("17 bytes kept") << basTFTP::MakeRequest(1, "ABCDEFGHIJKLMNOPQ") << QByteArray("ABCDEFGHIJKLMNOPQ");
    QTest::newRow("18 bytes: one past the limit kept") << basTFTP::MakeRequest(1, "ABCDEFGHIJKLMNOPQR") << QByteArray("ABCDEFGHIJKLMNOPQR");
    QTest::newRow("longer: cut to 18") << basTFTP::MakeRequest(1, "ABCDEFGHIJKLMNOPQ/../x") << QByteArray("ABCDEFGHIJKLMNOPQ/");
    QTest::newRow("options after the mode") << basTFTP::MakeRequest(2, "a", QByteArray("octet\0tsize\0" "0", 13)) << QByteArray("a");
    QTest::newRow("empty name") << basTFTP::MakeRequest(1, "") << QByteArray();
    QTest::newRow("opcode only") << QByteArray("\0\1", 2) << QByteArray();
    QTest::newRow("no terminating 0") << QByteArray("\0\1abc", 5) << QByteArray("abc");
    QTest::newRow("one byte") << QByteArray("\0", 1) << QByteArray();
    QTest::newRow("8-bit bytes") << basTFTP::MakeRequest(1, "\xE5\x90\x8D.bin") << QByteArray("\xE5\x90\x8D.bin");
}

void tst_basTFTP::requestName()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QByteArray, name);
    QCOMPARE(basTFTP::RequestName(datagram), name);
}

void tst_basTFTP::nameMatches_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("requested");
    QTest::addColumn<bool>("matches");
    QTest::newRow("same") << "/tmp/x/Config.bin" << QByteArray("Config.bin") << true;
    QTest::newRow("letter case") << "/tmp/x/Config.bin" << QByteArray("config.bin") << false;
    QTest::newRow("with folder") << "/tmp/x/Config.bin" << QByteArray("x/Config.bin") << false;
    QTest::newRow("parent") << "/tmp/x/Config.bin" << QByteArray("../Config.bin") << false;
    QTest::newRow("absolute") << "/tmp/x/Config.bin" << QByteArray("/tmp/x/Config.bin") << false;
    QTest::newRow("backslash folder") << "C:\\x\\FW_UP.BIN" << QByteArray("FW_UP.BIN") << true;
    QTest::newRow("empty bare name") << "/tmp/x/" << QByteArray() << false;
    QTest::newRow("utf-8 name") << QString::fromUtf8("/tmp/\xE5\x90\x8D.bin") << QByteArray("\xE5\x90\x8D.bin") << true;
    QTest::newRow("17 bytes") << "/tmp/ABCDEFGHIJKLMNOPQ" << QByteArray("ABCDEFGHIJKLMNOPQ") << true;
    QTest::newRow("17 expected, 18 asked") << "/tmp/ABCDEFGHIJKLMNOPQ" << QByteArray("ABCDEFGHIJKLMNOPQR") << false;
    QTest::newRow("18 expected, 18 asked: past what is compared") << "/tmp/ABCDEFGHIJKLMNOPQR" << QByteArray("ABCDEFGHIJKLMNOPQR") << false;
}

void tst_basTFTP::nameMatches()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, requested);
    QFETCH(bool, matches);
    basTFTP::TransferFile f;
    basTFTP::SetTransferFile(f, path);
    QCOMPARE(basTFTP::NameMatches(f, requested), matches);
}

void tst_basTFTP::setTransferFile_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("exists");
    QTest::newRow("existing file") << "Config.bin" << true << true;
    QTest::newRow("missing file") << "work.bin" << false << false;
    QTest::newRow("folder") << "" << false << false;
}

void tst_basTFTP::setTransferFile()
{
    QFETCH(QString, relative);
    QFETCH(bool, create);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    const QString path = dir.path() + "/" + relative;
    if (create) QVERIFY(tftptest::writeFile(path, "x"));
    basTFTP::TransferFile f;
    QCOMPARE(basTFTP::SetTransferFile(f, path), exists);
    QCOMPARE(f.path, path);
    QCOMPARE(f.folder, dir.path() + "/");
    QCOMPARE(f.name, relative);
}

void tst_basTFTP::packets()
{
    QCOMPARE(basTFTP::MakeError(1), QByteArray("\0\5\0\1\0", 5));
    QCOMPARE(basTFTP::MakeAck(0xFFFF), QByteArray("\0\4\xFF\xFF", 4));
    QCOMPARE(basTFTP::MakeData(0x8001, "ab"), QByteArray("\0\3\x80\x01" "ab", 6));
    QCOMPARE(basTFTP::PacketBlock(QByteArray("\0\4\xFF\xFE", 4)), quint16(0xFFFE));
    QCOMPARE(basTFTP::PacketBlock(QByteArray("\0\4\xFF", 3)), quint16(0));
}

QTEST_GUILESS_MAIN(tst_basTFTP)
#include "tst_basTFTP.moc"
