// Every record kind reads back the fields it was built from, for every configuration code.
#include "ConfigTestKit.h"
#include "config/ConfigRecords.h"

#include <QFile>
#include <QSet>
#include <QtTest>

Q_DECLARE_METATYPE(config::AnyRecord)

namespace {

using namespace config;

Mac mac(uint8_t last) { return Mac{0x00, 0xA0, 0xC9, 0x14, 0xC8, last}; }

template <class R>
AnyRecord withCode(R r, qint16 code)
{
    r.head.code = code;
    return r;
}

// Every code a configuration image may hold.
const QList<qint16> Codes = {1,  3,  5,  7,  9,  11, 15, 17, 19, 21, 22, 23, 24, 25, 27, 29, 31, 33, 34, 35, 36, 37,
                             38, 39, 40, 41, 44, 47, 49, 51, 53, 55, 57, 59, 61, 62, 64, 66, 68, 70, 71, 74, 76};

}  // namespace

class tst_RecordReaders : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void everyCodeHasARow();
    void otherCodesAreNotConfiguration_data();
    void otherCodesAreNotConfiguration();
    void shortRecordReadsErased_data();
    void shortRecordReadsErased();
    void textReadStopsAtItsLimit();
    void sampleConfigurationRoundTrip();
};

// One record of every code, with values that differ from the 0xFF fill and from each other.
static QList<QPair<const char*, AnyRecord>> sampleRecords()
{
    QList<QPair<const char*, AnyRecord>> rows;
    const auto row = [&rows](const char* name, const AnyRecord& r) { rows.append({name, r}); };
    row("1 ifconfig", withCode(IfconfigRecord{{}, 2, 7, qint32(0xC0A8010A), qint32(0xFFFF0000), qint32(0xC0A8FFFF)}, 1));
    row("3 rsconfig", withCode(RsconfigRecord{{}, 3, 200}, 3));
    row("5 route", withCode(RouteRecord{{}, 0x0A010000, qint32(0xFFFF0000), 0x0A000001}, 5));
    row("7 rsroute", withCode(RsrouteRecord{{}, 5, 250}, 7));
    row("9 arp", withCode(ArpRecord{{}, qint32(0xC0A80114), mac(0x29)}, 9));
    row("11 rsarp", withCode(RsarpRecord{{}, qint32(0xAC100007), 7}, 11));
    row("15 rsroute2", withCode(Rsroute2Record{{}, RouteSecondary, mac(1), mac(2)}, 15));
    row("17 rsarp2", withCode(ArpRecord{{}, qint32(0xAC100008), mac(0xFE)}, 17));
    row("19 dhcp interface", withCode(DhcpInterfaceRecord{{}, DhcpClient, 2, 4}, 19));
    row("21 dhcp netmask", withCode(DhcpServerValueRecord{{}, qint32(0xFFFFFF00)}, 21));
    row("22 dhcp default-router", withCode(DhcpServerValueRecord{{}, qint32(0xC0A80101)}, 22));
    row("23 dhcp dns-server", withCode(DhcpDnsRecord{{}, 3, {0x0A000001, 0x0A000002, 0, 0}}, 23));
    row("24 dhcp scope", withCode(DhcpScopeRecord{{}, qint32(0xC0A80164), qint32(0xC0A801C7)}, 24));
    row("25 dhcp lease", withCode(DhcpServerValueRecord{{}, 86400}, 25));
    row("27 dhcp relay server", withCode(DhcpValueRecord{{}, 0x0A000002}, 27));
    row("29 dhcp client", withCode(DhcpValueRecord{{}, 1}, 29));
    row("31 dhcp service", withCode(DhcpValueRecord{{}, 2}, 31));
    row("33 rip send", withCode(RipValueRecord{{}, 1, 3, 2}, 33));
    row("34 rip receive", withCode(RipValueRecord{{}, 2, 1, 1}, 34));
    row("35 rip triggered", withCode(RipValueRecord{{}, 1, 0, 1}, 35));
    row("36 rip convergence", withCode(RipValueRecord{{}, 1, 0, 1}, 36));
    row("37 rip password", withCode(RipPasswordRecord{{}, 1, 5, QByteArray("pass\xE9word")}, 37));
    row("37 rip password of 16", withCode(RipPasswordRecord{{}, 1, 5, QByteArray("0123456789abcdef")}, 37));
    row("38 rip authentication", withCode(RipValueRecord{{}, 1, 0, 1}, 38));
    row("39 rip advertise", withCode(RipValueRecord{{}, 1, 0, 3600}, 39));
    row("40 rip metric", withCode(RipValueRecord{{}, 2, 9, 64}, 40));
    row("41 rip enable", withCode(RipValueRecord{{}, 2, 9, 1}, 41));
    row("44 group_id", withCode(Word16Record{{}, qint16(-2)}, 44));
    row("47 rfchannel", withCode(Word16Record{{}, 12}, 47));
    row("49 portfilter", withCode(PortfilterRecord{{}, 1, 1024, qint16(-1)}, 49));
    row("51 scramble", withCode(Long32Record{{}, 0x12345678}, 51));
    row("53 test_mode disable", withCode(TestModeRecord{{}, TestDisable, 0, 0, 0, 0}, 53));
    row("53 test_mode send", withCode(TestModeRecord{{}, TestSend, 9, 100000, -1, -1}, 53));
    row("53 test_mode receive", withCode(TestModeRecord{{}, TestReceive, 9, -1, qint32(0xAC100007), 3}, 53));
    row("55 tdmaparam", withCode(TdmaparamRecord{{}, {1, 2, 3}, 1000}, 55));
    row("57 tdmatune", withCode(TdmatuneRecord{{}, {1, 2, 3, 4}, {100, 200, 300}}, 57));
    row("59 txmethod", withCode(Byte8Record{{}, 4}, 59));
    row("61 rip advertise_default", withCode(RipValueRecord{{}, 1, 0, 1}, 61));
    row("62 duplex", withCode(Byte8Record{{}, 1}, 62));
    row("64 snmp state", withCode(Long32Record{{}, 2}, 64));
    row("66 snmp read-only community", withCode(CommunityRecord{{}, QByteArray(32, 'r')}, 66));
    row("68 snmp read-write community", withCode(CommunityRecord{{}, QByteArray("private")}, 68));
    row("70 snmp trap", withCode(Long32Record{{}, qint32(0xC0A80105)}, 70));
    row("71 l2as", withCode(Byte8Record{{}, 1}, 71));
    row("74 access_list", withCode(AccessListRecord{{}, 15, qint32(0xC0A80100), qint32(0xFFFFFF00)}, 74));
    row("76 access lists", withCode(AccessRecord{{}, AccessRip, 2, {1, EmptySlot, EmptySlot, 2}}, 76));
    row("76 deny_all", withCode(AccessRecord{{}, AccessConfig, EmptySlot, {EmptySlot, EmptySlot, EmptySlot, EmptySlot}}, 76));
    return rows;
}

void tst_RecordReaders::roundTrip_data()
{
    QTest::addColumn<AnyRecord>("record");
    for (const auto& row : sampleRecords()) QTest::newRow(row.first) << row.second;
}

void tst_RecordReaders::roundTrip()
{
    QFETCH(AnyRecord, record);
    const qint32 ident = 0x01020304;
    const QByteArray built = BuildAnyRecord(record, ident);
    QCOMPARE(built.size(), 64);
    const std::optional<AnyRecord> back = ReadAnyRecord(built);
    QVERIFY(back.has_value());
    QCOMPARE(back->index(), record.index());
    QCOMPARE(HeadOf(*back).code, HeadOf(record).code);
    QCOMPARE(HeadOf(*back).ident, ident);
    QCOMPARE(BuildAnyRecord(*back, ident).toHex(' '), built.toHex(' '));
}

void tst_RecordReaders::everyCodeHasARow()
{
    QSet<qint16> rowCodes;
    for (const auto& row : sampleRecords()) rowCodes.insert(HeadOf(row.second).code);
    for (qint16 code : Codes) {
        QVERIFY2(rowCodes.contains(code), qPrintable(QString::number(code)));
        QVERIFY2(IsConfigurationCode(code), qPrintable(QString::number(code)));
    }
}

void tst_RecordReaders::otherCodesAreNotConfiguration_data()
{
    QTest::addColumn<int>("code");
    for (int code : {0, 2, 13, 14, 42, 45, 46, 54, 63, 65, 72, 75, 77, 0x7FFF, -1})
        QTest::newRow(qPrintable(QString::number(code))) << code;
}

void tst_RecordReaders::otherCodesAreNotConfiguration()
{
    QFETCH(int, code);
    QByteArray rec(64, char(0xFF));
    basConv::PutIntBE(qint16(code), rec, 2);
    QVERIFY(!ReadAnyRecord(rec).has_value());
    QVERIFY(!IsConfigurationCode(qint16(code)));
}

void tst_RecordReaders::shortRecordReadsErased_data()
{
    // The last slot of a short image: what is missing reads as 0xFF, never as zeros.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<qint32>>("fields");  // code, Ident, if_type, if_num, address, netmask, broadcast
    QTest::newRow("0 bytes") << QByteArray() << QList<qint32>{-1, -1, -1, -1, -1, -1, -1};
    QTest::newRow("3 bytes") << QByteArray::fromHex("000000") << QList<qint32>{0xFF, -1, -1, -1, -1, -1, -1};
    QTest::newRow("26 bytes") << QByteArray::fromHex("0000 0001 00000005 FFFFFFFF 00000001 00000002 C0A8010A FF00")
                              << QList<qint32>{1, 5, 1, 2, qint32(0xC0A8010A), qint32(0xFF00FFFF), -1};
}

void tst_RecordReaders::shortRecordReadsErased()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<qint32>, fields);
    AnyRecord any = IfconfigRecord{};
    ReadRecordInto(bytes, any);
    const IfconfigRecord& r = std::get<IfconfigRecord>(any);
    QCOMPARE((QList<qint32>{r.head.code, r.head.ident, r.if_type, r.if_num, r.address, r.netmask, r.broadcast}), fields);
}

void tst_RecordReaders::textReadStopsAtItsLimit()
{
    // A device record without a terminator inside the field: the reader keeps to the field's size.
    QByteArray rec(64, 'z');
    rec.replace(0, 12, QByteArray::fromHex("0000 0025 00000000 FFFFFFFF"));
    rec.replace(12, 8, QByteArray::fromHex("00000001 00000000"));
    QCOMPARE(std::get<RipPasswordRecord>(*ReadAnyRecord(rec)).password, QByteArray(16, 'z'));
    rec.replace(2, 2, QByteArray::fromHex("0044"));
    rec.replace(12, 8, QByteArray(8, 'z'));
    QCOMPARE(std::get<CommunityRecord>(*ReadAnyRecord(rec)).community, QByteArray(32, 'z'));
}

void tst_RecordReaders::sampleConfigurationRoundTrip()
{
    QFile f(QStringLiteral(QLN_SAMPLE_CONF));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const kit::Converted c = kit::convert(f.readAll());
    QCOMPARE(c.result.status, 0);
    QVERIFY(c.result.commandCount > 0);
    QSet<qint16> codes;
    for (int i = 0; i < c.result.commandCount; ++i) {
        const QByteArray rec = c.image.mid(64 * i, 64);
        const std::optional<AnyRecord> r = ReadAnyRecord(rec);
        QVERIFY2(r.has_value(), qPrintable(QStringLiteral("record %1").arg(i)));
        QCOMPARE(ReadRecordHead(rec).ident, i);
        QCOMPARE(BuildAnyRecord(*r, i).toHex(' '), rec.toHex(' '));
        codes.insert(HeadOf(*r).code);
    }
    // The sample uses every code a line can produce.
    for (qint16 code : Codes)
        if (code != CodeDuplex) QVERIFY2(codes.contains(code), qPrintable(QString::number(code)));
}

QTEST_GUILESS_MAIN(tst_RecordReaders)
#include "tst_RecordReaders.moc"
