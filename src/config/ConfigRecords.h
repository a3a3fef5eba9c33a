#pragma once
// The 64-byte configuration records as values. Each record kind lists its fields once, in
// Fields(): a walk over (record offset, width, member) that both the builder and the reader
// take. A built record is 0xFF-filled with ReplyFlag 0, the code and the caller's Ident at 0, 2
// and 4; Status (8..11) and every byte no field covers stay 0xFF.
#include "config/ConfigCodes.h"
#include "link/basConv.h"

#include <QByteArray>
#include <array>
#include <optional>
#include <variant>

namespace config {

using basConv::Mac;
using Slots = std::array<qint32, 4>;

// One record's fields at their record offsets (the payload starts at 12).
class FieldVisitor {
public:
    virtual ~FieldVisitor() = default;
    virtual void Long(int at, qint32& value) = 0;
    virtual void Int(int at, qint16& value) = 0;
    virtual void Byte(int at, uint8_t& value) = 0;
    virtual void MAC(int at, Mac& value) = 0;
    // The text's bytes and a 0 byte; at most `max` bytes are written or read.
    virtual void String(int at, QByteArray& value, int max) = 0;
    // Values every record of the kind carries; a reader passes over them.
    virtual void Const(int at, qint32 value) = 0;
    virtual void ConstInt(int at, qint16 value) = 0;
};

// Header fields as a reader finds them. A builder writes the code; the Ident comes from its caller.
struct RecordHead {
    qint16 code = 0;
    qint32 ident = 0;
};

// if_type 1 is an "eth" interface, 2 an "rs" interface.
enum IfType : qint32 { IfEth = 1, IfRs = 2 };
enum RouteKind : qint32 { RouteStatic = 0, RoutePrimary = 1, RouteSecondary = 2 };
enum DhcpRole : qint32 { DhcpServer = 0, DhcpRelay = 1, DhcpClient = 2 };
enum TestMode : qint32 { TestDisable = 0, TestSend = 1, TestReceive = 2 };
enum AccessKind : qint32 { AccessLogin = 0, AccessConfig = 1, AccessSnmp = 2, AccessRstest = 3, AccessRip = 4 };
constexpr qint32 AllOnes = qint32(0xFFFFFFFF);
constexpr qint32 EmptySlot = AllOnes;

// Text limits in bytes, the terminating 0 not counted.
constexpr int RipPasswordMax = 16;
constexpr int CommunityMax = 32;

// The route and ARP tables share a leading (1, 0, 0xFFFFFFFF); the DHCP server settings lead
// with three 0xFFFFFFFF.
inline void TableTriple(FieldVisitor& f) { f.Const(12, 1); f.Const(16, 0); f.Const(20, AllOnes); }
inline void DhcpServerLead(FieldVisitor& f) { f.Const(12, AllOnes); f.Const(16, AllOnes); f.Const(20, AllOnes); }

struct IfconfigRecord {  // 1
    RecordHead head;
    qint32 if_type = 0, if_num = 0, address = 0, netmask = 0, broadcast = 0;
    void Fields(FieldVisitor& f)
    {
        f.Long(12, if_type); f.Long(16, if_num); f.Long(20, address); f.Long(24, netmask); f.Long(28, broadcast);
    }
};
struct RsconfigRecord {  // 3
    RecordHead head;
    qint32 if_num = 0;
    uint8_t station = 0;
    void Fields(FieldVisitor& f) { f.Long(12, if_num); f.Byte(16, station); }
};
struct RouteRecord {  // 5
    RecordHead head;
    qint32 destination = 0, netmask = 0, gateway = 0;
    void Fields(FieldVisitor& f)
    {
        f.Const(12, 1); f.Long(16, destination); f.Long(20, netmask); f.Long(24, gateway);
        f.Const(28, 0); f.Const(32, AllOnes); f.Const(36, 1);
    }
};
struct RsrouteRecord {  // 7
    RecordHead head;
    uint8_t first = 0, second = 0;
    void Fields(FieldVisitor& f) { TableTriple(f); f.Byte(24, first); f.Byte(25, second); }
};
struct ArpRecord {  // 9 arp, 17 rsarp2
    RecordHead head;
    qint32 address = 0;
    Mac mac{};
    void Fields(FieldVisitor& f) { TableTriple(f); f.Long(24, address); f.MAC(28, mac); }
};
struct RsarpRecord {  // 11
    RecordHead head;
    qint32 address = 0;
    uint8_t station = 0;
    void Fields(FieldVisitor& f) { TableTriple(f); f.Long(24, address); f.Byte(28, station); }
};
struct Rsroute2Record {  // 15
    RecordHead head;
    qint32 kind = RouteStatic;
    Mac first{}, second{};
    void Fields(FieldVisitor& f)
    {
        f.Const(12, 1); f.Long(16, kind); f.Const(20, AllOnes); f.ConstInt(24, 1); f.MAC(26, first); f.MAC(32, second);
    }
};
struct DhcpInterfaceRecord {  // 19
    RecordHead head;
    qint32 role = DhcpServer, if_type = 0, if_num = 0;
    void Fields(FieldVisitor& f) { f.Long(12, role); f.Long(16, if_type); f.Long(20, if_num); }
};
struct DhcpServerValueRecord {  // 21 netmask, 22 default-router, 25 lease
    RecordHead head;
    qint32 value = 0;
    void Fields(FieldVisitor& f) { DhcpServerLead(f); f.Long(24, value); }
};
struct DhcpDnsRecord {  // 23
    RecordHead head;
    qint32 count = 0;  // one more than the addresses given, up to four
    Slots servers{};
    void Fields(FieldVisitor& f)
    {
        DhcpServerLead(f); f.Long(24, count);
        for (int i = 0; i < 4; ++i) f.Long(28 + 4 * i, servers[size_t(i)]);
    }
};
struct DhcpScopeRecord {  // 24
    RecordHead head;
    qint32 first = 0, last = 0;
    void Fields(FieldVisitor& f) { DhcpServerLead(f); f.Long(24, first); f.Long(28, last); }
};
struct DhcpValueRecord {  // 27 relay server, 29 client, 31 service
    RecordHead head;
    qint32 value = 0;
    void Fields(FieldVisitor& f) { f.Const(12, AllOnes); f.Const(16, AllOnes); f.Long(20, value); }
};
struct RipValueRecord {  // 33..36, 38..41, 61
    RecordHead head;
    qint32 if_type = 0, if_num = 0, value = 0;
    void Fields(FieldVisitor& f) { f.Long(12, if_type); f.Long(16, if_num); f.Long(20, value); }
};
struct RipPasswordRecord {  // 37
    RecordHead head;
    qint32 if_type = 0, if_num = 0;
    QByteArray password;
    void Fields(FieldVisitor& f) { f.Long(12, if_type); f.Long(16, if_num); f.String(20, password, RipPasswordMax); }
};
struct Word16Record {  // 44 group_id, 47 rfchannel
    RecordHead head;
    qint16 value = 0;
    void Fields(FieldVisitor& f) { f.Int(12, value); }
};
struct PortfilterRecord {  // 49
    RecordHead head;
    qint32 enabled = 0;
    qint16 first = 0, last = 0;  // 0 when disabled
    void Fields(FieldVisitor& f) { f.Long(12, enabled); f.Int(16, first); f.Int(18, last); }
};
struct Long32Record {  // 51 scramble, 64 snmp state, 70 snmp trap
    RecordHead head;
    qint32 value = 0;
    void Fields(FieldVisitor& f) { f.Long(12, value); }
};
// Which fields a mode uses is the producer's choice: disable writes 0 into all of them, send
// 0xFFFFFFFF / 0xFFFF for the address and the second number, receive 0xFFFFFFFF for the count.
struct TestModeRecord {  // 53
    RecordHead head;
    qint32 mode = TestDisable;
    qint16 first = 0;
    qint32 count = 0;
    qint32 address = 0;
    qint16 second = 0;
    void Fields(FieldVisitor& f)
    {
        f.Long(12, mode); f.Int(16, first); f.Long(20, count); f.Long(24, address); f.Int(28, second);
    }
};
struct TdmaparamRecord {  // 55: byte 15 stays 0xFF
    RecordHead head;
    std::array<uint8_t, 3> bytes{};
    qint16 word = 0;
    void Fields(FieldVisitor& f)
    {
        for (int i = 0; i < 3; ++i) f.Byte(12 + i, bytes[size_t(i)]);
        f.Int(16, word);
    }
};
struct TdmatuneRecord {  // 57
    RecordHead head;
    std::array<uint8_t, 4> bytes{};
    std::array<qint16, 3> words{};
    void Fields(FieldVisitor& f)
    {
        for (int i = 0; i < 4; ++i) f.Byte(12 + i, bytes[size_t(i)]);
        for (int i = 0; i < 3; ++i) f.Int(16 + 2 * i, words[size_t(i)]);
    }
};
struct Byte8Record {  // 59 txmethod, 62 duplex, 71 l2as
    RecordHead head;
    uint8_t value = 0;
    void Fields(FieldVisitor& f) { f.Byte(12, value); }
};
struct CommunityRecord {  // 66 read-only, 68 read-write
    RecordHead head;
    QByteArray community;
    void Fields(FieldVisitor& f) { f.String(12, community, CommunityMax); }
};
struct AccessListRecord {  // 74
    RecordHead head;
    qint32 index = 0, address = 0, mask = 0;
    void Fields(FieldVisitor& f) { f.Long(12, index); f.Long(16, address); f.Long(20, mask); }
};
struct AccessRecord {  // 76
    RecordHead head;
    qint32 kind = AccessLogin;
    qint32 countOrMode = 0;  // 0 allow_all, 0xFFFFFFFF deny_all, else the number of used slots
    Slots lists{EmptySlot, EmptySlot, EmptySlot, EmptySlot};
    void Fields(FieldVisitor& f)
    {
        f.Long(12, kind); f.Long(16, countOrMode);
        for (int i = 0; i < 4; ++i) f.Long(20 + 4 * i, lists[size_t(i)]);
    }
};

using AnyRecord = std::variant<IfconfigRecord, RsconfigRecord, RouteRecord, RsrouteRecord, ArpRecord, RsarpRecord,
                               Rsroute2Record, DhcpInterfaceRecord, DhcpServerValueRecord, DhcpDnsRecord,
                               DhcpScopeRecord, DhcpValueRecord, RipValueRecord, RipPasswordRecord, Word16Record,
                               PortfilterRecord, Long32Record, TestModeRecord, TdmaparamRecord, TdmatuneRecord,
                               Byte8Record, CommunityRecord, AccessListRecord, AccessRecord>;

RecordHead& HeadOf(AnyRecord& record);
const RecordHead& HeadOf(const AnyRecord& record);

// The 64 bytes of a record: its head.code, the given Ident, its fields.
QByteArray BuildAnyRecord(const AnyRecord& record, qint32 ident);

// A record's header and fields in the layout of `record`. A record shorter than 64 bytes reads
// as if filled up with 0xFF: what is missing reads as erased, never as zeros.
RecordHead ReadRecordHead(const QByteArray& bytes);
void ReadRecordInto(const QByteArray& bytes, AnyRecord& record);
// The record in the layout of its code; nothing for a code that is not a configuration code.
std::optional<AnyRecord> ReadAnyRecord(const QByteArray& bytes);

}  // namespace config
