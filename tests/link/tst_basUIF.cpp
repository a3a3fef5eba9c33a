// UIF wire format: header and payload writers/readers, and the status texts of both tables.
#include "link/basUIF.h"
#include "link/SocketErrors.h"

#include <QtTest>

using namespace basUIF;

class tst_basUIF : public QObject {
    Q_OBJECT
private slots:
    void header();
    void payloadRoundTrip();
    void stringBounds();
    void readersOnShortBuffers();
    void statusText_data();
    void statusText();
    void sendErrorText();
};

void tst_basUIF::header()
{
    QByteArray buf(10, 0);  // any size in, always 64 out
    UIFHeader h;
    h.ReplyFlag = 0;
    h.CmdCode = 13;
    h.Ident = 0x01020304;
    MakeUIFHeader(buf, h);
    QCOMPARE(buf.size(), 64);
    QCOMPARE(buf.left(12), QByteArray::fromHex("0000000D01020304FFFFFFFF"));
    QCOMPARE(buf.mid(12), QByteArray(52, char(0xFF)));
    const UIFHeader back = ReadUIFReply(buf);
    QCOMPARE(back.CmdCode, qint16(13));
    QCOMPARE(back.Ident, 0x01020304);
    QCOMPARE(back.Status, -1);
}

void tst_basUIF::payloadRoundTrip()
{
    QByteArray buf;
    MakeUIFHeader(buf, UIFHeader{});
    PutUIFLong(buf, qint32(0xC0A8010Au), 0);
    PutUIFInt(buf, qint16(-1), 4);
    PutUIFByte(buf, 0x7F, 6);
    PutUIFMac(buf, basConv::Mac{0, 0xA0, 0xC9, 0x14, 0xC8, 0x29}, 8);
    PutUIFString(buf, "abc", 20);
    QCOMPARE(buf.mid(12, 4), QByteArray::fromHex("C0A8010A"));
    QCOMPARE(buf.mid(16, 2), QByteArray::fromHex("FFFF"));
    QCOMPARE(buf.at(18), char(0x7F));
    QCOMPARE(buf.at(19), char(0xFF));  // gap stays 0xFF
    QCOMPARE(buf.mid(32, 4), QByteArray("abc\0", 4));
    QCOMPARE(GetUIFLong(buf, 0), qint32(0xC0A8010Au));
    QCOMPARE(GetUIFInt(buf, 4), qint16(-1));
    QCOMPARE(GetUIFByte(buf, 6), uint8_t(0x7F));
    QCOMPARE(basConv::FormatMAC(GetUIFMac(buf, 8)), QString("00:A0:C9:14:C8:29"));
    QCOMPARE(GetUIFString(buf, 20, 16), QByteArray("abc"));
    QCOMPARE(GetUIFString(buf, 20, 2), QByteArray("ab"));
}

void tst_basUIF::stringBounds()
{
    QByteArray buf;
    MakeUIFHeader(buf, UIFHeader{});
    PutUIFString(buf, QByteArray(60, 'x'), 40);  // would pass byte 63
    QCOMPARE(buf.size(), 64);
    QCOMPARE(buf.mid(52), QByteArray(12, 'x'));
    PutUIFLong(buf, 1, 49);  // a Long ending past byte 63 is not written
    QCOMPARE(buf.size(), 64);
    QCOMPARE(buf.mid(61), QByteArray(3, 'x'));
}

void tst_basUIF::readersOnShortBuffers()
{
    const QByteArray shortBuf = QByteArray::fromHex("00010002000000050000000001");
    QCOMPARE(GetUIFLong(shortBuf, 0), 0);  // only one payload byte exists
    QCOMPARE(GetUIFByte(shortBuf, 0), uint8_t(1));
    QCOMPARE(GetUIFString(shortBuf, 0, 16), QByteArray("\x01"));
    QCOMPARE(ReadUIFReply(QByteArray(5, 1)).CmdCode, qint16(0));
}

void tst_basUIF::statusText_data()
{
    QTest::addColumn<qint32>("code");
    QTest::addColumn<bool>("xfer");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << false << "0,ACK(Normal end).";
    QTest::newRow("3") << 3 << false << "3,ErrACK(Invalid parameter).";
    QTest::newRow("10") << 10 << false << "10,ErrACK(No object).";
    QTest::newRow("11 set") << 11 << false << "11,ErrACK(Not Supported feature).";
    QTest::newRow("12 set") << 12 << false << "12,ErrACK(Not accesslist).";
    QTest::newRow("11 xfer") << 11 << true << "11,.";
    QTest::newRow("12 xfer") << 12 << true << "12,.";
    QTest::newRow("13") << 13 << false << "13,.";
    QTest::newRow("65536") << 65536 << false << "65536,.";
    QTest::newRow("-1") << -1 << false << "-1,Proto-Err(1,No Response).";
    QTest::newRow("-2") << -2 << false << "-2,Invalid Command.";
    QTest::newRow("-4") << -4 << true << "-4,TFTP start failed.";
    QTest::newRow("-6") << -6 << false << "-6,Operator Break.";
    QTest::newRow("-7") << -7 << false << "-7,.";
}

void tst_basUIF::statusText()
{
    QFETCH(qint32, code);
    QFETCH(bool, xfer);
    QFETCH(QString, text);
    QCOMPARE(UIFStatusText(code, 1, QStringLiteral("No Response"), xfer ? Dialect::Xfer : Dialect::Set), text);
}

void tst_basUIF::sendErrorText()
{
    QCOMPARE(SendErrorText(10048, "Address in use"), QString("Send_VBErrNumber=10048/\\n    VBErrDesc=Address in use"));
    QCOMPARE(WinsockNumber(QAbstractSocket::AddressInUseError), 10048);
    QCOMPARE(WinsockNumber(QAbstractSocket::SocketAccessError), 10013);
    QCOMPARE(WinsockNumber(QAbstractSocket::DatagramTooLargeError), 10040);
}

QTEST_GUILESS_MAIN(tst_basUIF)
#include "tst_basUIF.moc"
