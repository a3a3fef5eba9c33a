// Conversions: every edge of the number, address and MAC parsers, and the wrappers' ranges.
#include "link/basConv.h"
#include "link/basMain.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace basConv;

class tst_basConv : public QObject {
    Q_OBJECT
private slots:
    void parseNumber_data();
    void parseNumber();
    void parseIPv4_data();
    void parseIPv4();
    void formatIPv4_data();
    void formatIPv4();
    void parseMAC_data();
    void parseMAC();
    void hexByte_data();
    void hexByte();
    void packUnpack();
    void strToByteInt_data();
    void strToByteInt();
    void splitPath_data();
    void splitPath();
    void files();
};

void tst_basConv::parseNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("xfer");
    QTest::addColumn<int>("error");
    QTest::addColumn<qint32>("value");
    QTest::newRow("0x") << QByteArray("0x") << false << -1 << 0;
    QTest::newRow("0x nine digits") << QByteArray("0x123456789") << false << -1 << 0;
    QTest::newRow("0xG1") << QByteArray("0xG1") << false << -2 << 0;
    QTest::newRow("0xFFFFFFFF") << QByteArray("0xFFFFFFFF") << false << 0 << -1;
    QTest::newRow("0x7fffffff lower") << QByteArray("0x7fffffff") << false << 0 << 2147483647;
    QTest::newRow("0x1") << QByteArray("0x1") << false << 0 << 1;
    QTest::newRow("4294967295") << QByteArray("4294967295") << false << 0 << -1;
    QTest::newRow("4294967296") << QByteArray("4294967296") << false << -2 << 0;
    QTest::newRow("9999999999 no wrap") << QByteArray("9999999999") << false << -2 << 0;
    QTest::newRow("2147483648") << QByteArray("2147483648") << false << 0 << qint32(-2147483647 - 1);
    QTest::newRow("1234567890 set") << QByteArray("1234567890") << false << 0 << 1234567890;
    QTest::newRow("1234567890 xfer") << QByteArray("1234567890") << true << -1 << 0;
    QTest::newRow("999999999 xfer") << QByteArray("999999999") << true << 0 << 999999999;
    QTest::newRow("11 digits") << QByteArray("12345678901") << false << -1 << 0;
    QTest::newRow("empty") << QByteArray("") << false << -1 << 0;
    QTest::newRow("empty xfer") << QByteArray("") << true << -1 << 0;
    QTest::newRow("-5") << QByteArray("-5") << false << -2 << 0;
    QTest::newRow("blank") << QByteArray(" 5") << false << -2 << 0;
    QTest::newRow("0X prefix") << QByteArray("0X10") << false << -2 << 0;
    QTest::newRow("leading zeros") << QByteArray("0010") << false << 0 << 10;
}

void tst_basConv::parseNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, xfer);
    QFETCH(int, error);
    QFETCH(qint32, value);
    int err = 99;
    const qint32 v = ParseNumber(text, err, xfer ? NumberDialect::Xfer : NumberDialect::Set);
    QCOMPARE(err, error);
    QCOMPARE(v, value);
}

void tst_basConv::parseIPv4_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<quint32>("value");
    QTest::newRow("1.2.3") << QByteArray("1.2.3") << 1 << 0u;
    QTest::newRow("1.2.3.4.5") << QByteArray("1.2.3.4.5") << 1 << 0u;
    QTest::newRow("1..3.4") << QByteArray("1..3.4") << 4 << 0u;
    QTest::newRow("1.2.3.256") << QByteArray("1.2.3.256") << 2 << 0u;
    QTest::newRow("1.2.3.a") << QByteArray("1.2.3.a") << 3 << 0u;
    QTest::newRow("1234.1.1.1") << QByteArray("1234.1.1.1") << 4 << 0u;
    QTest::newRow("empty") << QByteArray("") << 1 << 0u;
    QTest::newRow("trailing dot") << QByteArray("1.2.3.4.") << 1 << 0u;
    QTest::newRow("10.0.0.300") << QByteArray("10.0.0.300") << 2 << 0u;
    QTest::newRow("255.255.255.255") << QByteArray("255.255.255.255") << 0 << 0xFFFFFFFFu;
    QTest::newRow("192.168.0.1") << QByteArray("192.168.0.1") << 0 << 0xC0A80001u;
    QTest::newRow("leading zero 010") << QByteArray("010.0.0.1") << 0 << 0x0A000001u;
    QTest::newRow("last fault stands") << QByteArray("1.2.3.a.5") << 1 << 0u;
}

void tst_basConv::parseIPv4()
{
    QFETCH(QByteArray, text);
    QFETCH(int, error);
    QFETCH(quint32, value);
    int err = 99;
    const qint32 v = ParseIPv4(text, err);
    QCOMPARE(err, error);
    if (error == 0) QCOMPARE(quint32(v), value);
}

void tst_basConv::formatIPv4_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0u << "0.0.0.0";
    QTest::newRow("negative long") << 0xC0A8010Au << "192.168.1.10";
    QTest::newRow("all ones") << 0xFFFFFFFFu << "255.255.255.255";
}

void tst_basConv::formatIPv4()
{
    QFETCH(quint32, value);
    QFETCH(QString, text);
    QCOMPARE(FormatIPv4(qint32(value)), text);
    int err = 0;
    QCOMPARE(quint32(ParseIPv4(text.toLatin1(), err)), value);
}

void tst_basConv::parseMAC_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("formatted");
    QTest::newRow("five parts") << QByteArray("00:11:22:33:44") << 1 << "";
    QTest::newRow("one-digit part") << QByteArray("0:11:22:33:44:55") << 1 << "";
    QTest::newRow("not hex") << QByteArray("00:11:22:33:44:5G") << 2 << "";
    QTest::newRow("seven parts") << QByteArray("00:11:22:33:44:55:66") << 1 << "";
    QTest::newRow("lower case") << QByteArray("0a:0b:0c:0d:0e:0f") << 0 << "0A:0B:0C:0D:0E:0F";
    QTest::newRow("broadcast") << QByteArray("FF:FF:FF:FF:FF:FF") << 0 << "FF:FF:FF:FF:FF:FF";
    QTest::newRow("empty") << QByteArray("") << 1 << "";
}

void tst_basConv::parseMAC()
{
    QFETCH(QByteArray, text);
    QFETCH(int, error);
    QFETCH(QString, formatted);
    Mac mac{};
    int err = 99;
    ParseMAC(text, mac, err);
    QCOMPARE(err, error);
    if (error == 0) QCOMPARE(FormatMAC(mac), formatted);
}

void tst_basConv::hexByte_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");
    QTest::newRow(":0") << QByteArray(":0") << -1;
    QTest::newRow("?0") << QByteArray("?0") << -1;
    QTest::newRow("ff") << QByteArray("ff") << 255;
    QTest::newRow("0A") << QByteArray("0A") << 10;
    QTest::newRow("one char") << QByteArray("A") << -1;
    QTest::newRow("three chars") << QByteArray("ABC") << -1;
    QTest::newRow("G0") << QByteArray("G0") << -1;
}

void tst_basConv::hexByte()
{
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    QCOMPARE(ParseHexByte(text), value);
    if (value >= 0) QCOMPARE(HexByteText(uint8_t(value)), QString::fromLatin1(text).toUpper());
}

void tst_basConv::packUnpack()
{
    QByteArray b(8, 0);
    PutLongBE(qint32(0xC0A80001u), b, 1);
    QCOMPARE(b.mid(1, 4), QByteArray::fromHex("C0A80001"));
    QCOMPARE(GetLongBE(b, 1), qint32(0xC0A80001u));
    QVERIFY(GetLongBE(b, 1) < 0);  // first byte of 128 or more reads negative
    PutIntBE(qint16(-2), b, 6);
    QCOMPARE(b.mid(6, 2), QByteArray::fromHex("FFFE"));
    QCOMPARE(GetIntBE(b, 6), qint16(-2));
    QCOMPARE(b[0], char(0));  // neighbours untouched
    QCOMPARE(b[5], char(0));
}

void tst_basConv::strToByteInt_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("byteResult");
    QTest::addColumn<int>("byteValue");
    QTest::addColumn<int>("intResult");
    QTest::addColumn<int>("intValue");
    QTest::newRow("0") << QByteArray("0") << 0 << 0 << 0 << 0;
    QTest::newRow("255") << QByteArray("255") << 0 << 255 << 0 << 255;
    QTest::newRow("256") << QByteArray("256") << -3 << 0 << 0 << 256;
    QTest::newRow("65535") << QByteArray("65535") << -3 << 0 << 0 << -1;
    QTest::newRow("32768") << QByteArray("32768") << -3 << 0 << 0 << -32768;
    QTest::newRow("65536") << QByteArray("65536") << -3 << 0 << -3 << 0;
    QTest::newRow("0xFFFFFFFF") << QByteArray("0xFFFFFFFF") << -3 << 0 << -3 << 0;
    QTest::newRow("bad digit") << QByteArray("1a") << -2 << 0 << -2 << 0;
    QTest::newRow("empty") << QByteArray("") << -1 << 0 << -1 << 0;
}

void tst_basConv::strToByteInt()
{
    QFETCH(QByteArray, text);
    QFETCH(int, byteResult);
    QFETCH(int, byteValue);
    QFETCH(int, intResult);
    QFETCH(int, intValue);
    uint8_t b = 77;
    qint16 i = 77;
    QCOMPARE(basMain::StrToByte(text, b), byteResult);
    QCOMPARE(int(b), byteValue);
    QCOMPARE(basMain::StrToInt(text, i), intResult);
    QCOMPARE(int(i), intValue);
}

void tst_basConv::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("backslashes") << "C:\\a\\b.txt" << 0 << "C:\\a\\" << "b.txt";
    QTest::newRow("bare name") << "b.txt" << 1 << "" << "b.txt";
    QTest::newRow("slashes") << "/tmp/x/c.conf" << 0 << "/tmp/x/" << "c.conf";
    QTest::newRow("mixed, last wins") << "/tmp\\d/e" << 0 << "/tmp\\d/" << "e";
    QTest::newRow("trailing separator") << "/tmp/" << 0 << "/tmp/" << "";
}

void tst_basConv::splitPath()
{
    QFETCH(QString, path);
    QFETCH(int, result);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QString f, n;
    QCOMPARE(SplitPath(path, f, n), result);
    QCOMPARE(f, folder);
    QCOMPARE(n, name);
}

void tst_basConv::files()
{
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.txt");
    const QString full = dir.filePath("full.txt");
    QCOMPARE(basMain::PrepareNewFile(empty), 1);
    QVERIFY(QFileInfo::exists(empty));
    QCOMPARE(basMain::FileHasData(empty), -1);
    QFile f(full);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    QCOMPARE(basMain::FileHasData(full), 0);
    QCOMPARE(basMain::PrepareNewFile(full), 0);
    QCOMPARE(QFileInfo(full).size(), 1);  // left unchanged
    QCOMPARE(basMain::PrepareNewFile(dir.filePath("no/such/folder/x")), -1);
    QCOMPARE(basMain::FileHasData(dir.filePath("missing")), -1);
    QCOMPARE(basMain::FileHasData(dir.path()), -1);  // a folder is no file
    QCOMPARE(basMain::PrepareNewFile(dir.path()), -1);
    QString last;
    QCOMPARE(basMain::FileHasData(full, last), 0);
    QCOMPARE(last, full);
    QCOMPARE(basMain::FileHasData(empty, last), -1);
    QCOMPARE(last, full);  // a refused file leaves the last one
    QCOMPARE(basMain::PrepareNewFile(dir.path(), last), -1);
    QCOMPARE(last, QString());
    QVERIFY(basMain::CurrentFolder().endsWith('/'));
}

QTEST_GUILESS_MAIN(tst_basConv)
#include "tst_basConv.moc"
