// RCMP packets on the wire: one golden table read both ways.
#include "rcmp/basRCMP.h"

#include <QtTest>

class tst_basRCMP : public QObject {
    Q_OBJECT
private slots:
    void fields_data();
    void fields();
    void onlyTheFieldsAreWritten();
    void shortBufferReadsAsZeros();
};

void tst_basRCMP::fields_data()
{
    // The 26 field bytes; the unused fields are Byte0-Byte3, Byte15 (as "unused") and Reserved8.
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("packetId");
    QTest::addColumn<int>("seqNo");
    QTest::addColumn<int>("ttl");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint32>("stamp");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QByteArray>("unused");
    QTest::addColumn<qint32>("reserved8");
    QTest::newRow("echo repetition, TTL -1")
        << QByteArray::fromHex("00000000" "1234" "0007" "00000000" "FFFF" "00" "00" "0041EEE8" "FFFFFFFFFFFF")
        << 0x1234 << 7 << -1 << 0 << 4321000 << "FF:FF:FF:FF:FF:FF" << QByteArray(5, '\0') << 0;
    QTest::newRow("packet ID 0x8000 reads back negative")
        << QByteArray::fromHex("00000000" "8000" "7FFF" "00000000" "0000" "02" "00" "0083D600" "008045010203")
        << -32768 << 32767 << 0 << 2 << 8640000 << "00:80:45:01:02:03" << QByteArray(5, '\0') << 0;
    QTest::newRow("packet ID 0xFFFF, first echo TTL 14")
        << QByteArray::fromHex("00000000" "FFFF" "0000" "00000000" "000E" "01" "00" "00000001" "0A0B0C0D0E0F")
        << -1 << 0 << 14 << 1 << 1 << "0A:0B:0C:0D:0E:0F" << QByteArray(5, '\0') << 0;
    QTest::newRow("what the device may put in the unused fields")
        << QByteArray::fromHex("01020304" "0101" "8001" "A1B2C3D4" "000F" "FF" "5A" "7FFFFFFF" "000000000001")
        << 0x0101 << -32767 << 15 << 255 << 2147483647 << "00:00:00:00:00:01" << QByteArray::fromHex("010203045A")
        << -1582119980;
}

void tst_basRCMP::fields()
{
    QFETCH(QByteArray, wire);
    QFETCH(int, packetId);
    QFETCH(int, seqNo);
    QFETCH(int, ttl);
    QFETCH(int, result);
    QFETCH(qint32, stamp);
    QFETCH(QString, station);
    QFETCH(QByteArray, unused);
    QFETCH(qint32, reserved8);
    QCOMPARE(wire.size(), 26);

    RCMPPacket p;
    p.Byte0 = uint8_t(unused[0]);
    p.Byte1 = uint8_t(unused[1]);
    p.Byte2 = uint8_t(unused[2]);
    p.Byte3 = uint8_t(unused[3]);
    p.Byte15 = uint8_t(unused[4]);
    p.PacketID = qint16(packetId);
    p.SeqNo = qint16(seqNo);
    p.Reserved8 = reserved8;
    p.TTL = qint16(ttl);
    p.Result = uint8_t(result);
    p.TimeStamp = stamp;
    int convError = -1;
    basConv::ParseMAC(station.toLatin1(), p.StationID, convError);
    QCOMPARE(convError, 0);

    QByteArray encoded;
    basRCMP::PutRCMPPacket(encoded, p);
    QCOMPARE(encoded.size(), 64);
    QCOMPARE(encoded.left(26).toHex(), wire.toHex());
    QCOMPARE(encoded.mid(26), QByteArray(38, '\0'));

    // A received datagram: the padding may hold anything and is not read.
    const RCMPPacket r = basRCMP::GetRCMPPacket(wire + QByteArray(38, char(0xEE)));
    QCOMPARE(int(r.PacketID), packetId);
    QCOMPARE(int(r.SeqNo), seqNo);
    QCOMPARE(int(r.TTL), ttl);
    QCOMPARE(int(r.Result), result);
    QCOMPARE(r.TimeStamp, stamp);
    QCOMPARE(basConv::FormatMAC(r.StationID), station);
    QCOMPARE(r.Reserved8, reserved8);
    QByteArray readUnused;
    for (uint8_t b : {r.Byte0, r.Byte1, r.Byte2, r.Byte3, r.Byte15}) readUnused.append(char(b));
    QCOMPARE(readUnused.toHex(), unused.toHex());
}

void tst_basRCMP::onlyTheFieldsAreWritten()
{
    // A buffer longer than a request keeps what lies past byte 25.
    QByteArray buf(80, char(0x77));
    RCMPPacket p;
    p.SeqNo = 1;
    basRCMP::PutRCMPPacket(buf, p);
    QCOMPARE(buf.size(), 80);
    QCOMPARE(buf.left(26).toHex(), QByteArray("0000000000000001000000000000000000000000000000000000"));
    QCOMPARE(buf.mid(26), QByteArray(54, char(0x77)));
}

void tst_basRCMP::shortBufferReadsAsZeros()
{
    const RCMPPacket r = basRCMP::GetRCMPPacket(QByteArray::fromHex("00000000ABCD0102"));
    QCOMPARE(int(r.PacketID), -21555);
    QCOMPARE(int(r.SeqNo), 0x0102);
    QCOMPARE(int(r.TTL), 0);
    QCOMPARE(r.TimeStamp, 0);
    QCOMPARE(basConv::FormatMAC(r.StationID), QString("00:00:00:00:00:00"));
}

QTEST_GUILESS_MAIN(tst_basRCMP)
#include "tst_basRCMP.moc"
