#pragma once
// The 64-byte configuration records: one plain struct per payload layout, one builder per code.
// A builder fills frmUIF::UIFRequestBuf (0xFF fill, ReplyFlag 0, code, next Ident) and writes the
// payload; the caller hands the buffer to ExecUIF. Bytes a record does not use stay 0xFF.
#include "config/ConfigCodes.h"
#include "link/basConv.h"

#include <QByteArray>
#include <array>
#include <tuple>

class frmUIF;

namespace config {

using basConv::Mac;
using Slots = std::array<qint32, 4>;

// Header fields as a reader finds them; builders take the code themselves and a fresh Ident.
struct RecordHead {
    qint16 code = 0;
    qint32 ident = 0;
    auto fields() const { return std::tie(code, ident); }
};

// if_type 1 is an "eth" interface, 2 an "rs" interface.
enum IfType : qint32 { IfEth = 1, IfRs = 2 };

struct IfconfigRecord {  // 1
    RecordHead head;
    qint32 if_type = 0, if_num = 0, address = 0, netmask = 0, broadcast = 0;
    auto fields() const { return std::tie(head.code, head.ident, if_type, if_num, address, netmask, broadcast); }
};
struct RsconfigRecord {  // 3
    RecordHead head;
    qint32 if_num = 0;
    uint8_t station = 0;
    auto fields() const { return std::tie(head.code, head.ident, if_num, station); }
};
struct RouteRecord {  // 5
    RecordHead head;
    qint32 destination = 0, netmask = 0, gateway = 0;
    auto fields() const { return std::tie(head.code, head.ident, destination, netmask, gateway); }
};
struct RsrouteRecord {  // 7
    RecordHead head;
    uint8_t first = 0, second = 0;
    auto fields() const { return std::tie(head.code, head.ident, first, second); }
};
struct ArpRecord {  // 9 arp, 17 rsarp2
    RecordHead head;
    qint32 address = 0;
    Mac mac{};
    auto fields() const { return std::tie(head.code, head.ident, address, mac); }
};
struct RsarpRecord {  // 11
    RecordHead head;
    qint32 address = 0;
    uint8_t station = 0;
    auto fields() const { return std::tie(head.code, head.ident, address, station); }
};
enum RouteKind : qint32 { RouteStatic = 0, RoutePrimary = 1, RouteSecondary = 2 };
struct Rsroute2Record {  // 15
    RecordHead head;
    qint32 kind = RouteStatic;
    Mac first{}, second{};
    auto fields() const { return std::tie(head.code, head.ident, kind, first, second); }
};
enum DhcpRole : qint32 { DhcpServer = 0, DhcpRelay = 1, DhcpClient = 2 };
struct DhcpInterfaceRecord {  // 19
    RecordHead head;
    qint32 role = 0, if_type = 0, if_num = 0;
    auto fields() const { return std::tie(head.code, head.ident, role, if_type, if_num); }
};
struct DhcpServerValueRecord {  // 21 netmask, 22 default-router, 25 lease: the value at 24
    RecordHead head;
    qint32 value = 0;
    auto fields() const { return std::tie(head.code, head.ident, value); }
};
struct DhcpDnsRecord {  // 23
    RecordHead head;
    qint32 count = 0;
    Slots servers{};
    auto fields() const { return std::tie(head.code, head.ident, count, servers); }
};
struct DhcpScopeRecord {  // 24
    RecordHead head;
    qint32 first = 0, last = 0;
    auto fields() const { return std::tie(head.code, head.ident, first, last); }
};
struct DhcpValueRecord {  // 27 relay server, 29 client, 31 service: the value at 20
    RecordHead head;
    qint32 value = 0;
    auto fields() const { return std::tie(head.code, head.ident, value); }
};
struct RipValueRecord {  // 33..36, 38..41, 61
    RecordHead head;
    qint32 if_type = 0, if_num = 0, value = 0;
    auto fields() const { return std::tie(head.code, head.ident, if_type, if_num, value); }
};
struct RipPasswordRecord {  // 37
    RecordHead head;
    qint32 if_type = 0, if_num = 0;
    QByteArray password;
    auto fields() const { return std::tie(head.code, head.ident, if_type, if_num, password); }
};
struct Word16Record {  // 44 group_id, 47 rfchannel
    RecordHead head;
    qint16 value = 0;
    auto fields() const { return std::tie(head.code, head.ident, value); }
};
struct PortfilterRecord {  // 49
    RecordHead head;
    qint32 enabled = 0;
    qint16 first = 0, last = 0;
    auto fields() const { return std::tie(head.code, head.ident, enabled, first, last); }
};
struct Long32Record {  // 51 scramble, 64 snmp state, 70 snmp trap
    RecordHead head;
    qint32 value = 0;
    auto fields() const { return std::tie(head.code, head.ident, value); }
};
enum TestMode : qint32 { TestDisable = 0, TestSend = 1, TestReceive = 2 };
struct TestModeRecord {  // 53
    RecordHead head;
    qint32 mode = TestDisable;
    qint16 first = 0;
    qint32 count = 0;    // send
    qint32 address = 0;  // receive
    qint16 second = 0;   // receive
    auto fields() const { return std::tie(head.code, head.ident, mode, first, count, address, second); }
};
struct TdmaparamRecord {  // 55
    RecordHead head;
    std::array<uint8_t, 3> bytes{};
    qint16 word = 0;
    auto fields() const { return std::tie(head.code, head.ident, bytes, word); }
};
struct TdmatuneRecord {  // 57
    RecordHead head;
    std::array<uint8_t, 4> bytes{};
    std::array<qint16, 3> words{};
    auto fields() const { return std::tie(head.code, head.ident, bytes, words); }
};
struct Byte8Record {  // 59 txmethod, 62 duplex, 71 l2as
    RecordHead head;
    uint8_t value = 0;
    auto fields() const { return std::tie(head.code, head.ident, value); }
};
struct CommunityRecord {  // 66 read-only, 68 read-write
    RecordHead head;
    QByteArray community;
    auto fields() const { return std::tie(head.code, head.ident, community); }
};
struct AccessListRecord {  // 74
    RecordHead head;
    qint32 index = 0, address = 0, mask = 0;
    auto fields() const { return std::tie(head.code, head.ident, index, address, mask); }
};
enum AccessKind : qint32 { AccessLogin = 0, AccessConfig = 1, AccessSnmp = 2, AccessRstest = 3, AccessRip = 4 };
constexpr qint32 EmptySlot = qint32(0xFFFFFFFF);
struct AccessRecord {  // 76
    RecordHead head;
    qint32 kind = 0;
    qint32 countOrMode = 0;  // 0 allow_all, 0xFFFFFFFF deny_all, else the number of used slots
    Slots lists{EmptySlot, EmptySlot, EmptySlot, EmptySlot};
    auto fields() const { return std::tie(head.code, head.ident, kind, countOrMode, lists); }
};

// Records compare field by field, header included.
template <class R>
auto operator==(const R& a, const R& b) -> decltype(a.fields() == b.fields())
{
    return a.fields() == b.fields();
}
template <class R>
auto operator!=(const R& a, const R& b) -> decltype(a.fields() == b.fields())
{
    return !(a.fields() == b.fields());
}

// Text limits in bytes, the terminating 0 not counted.
constexpr int RipPasswordMax = 16;
constexpr int CommunityMax = 32;

// One builder per code; those that serve several codes take the code from the caller.
void BuildIfconfig(frmUIF& uif, const IfconfigRecord& r);
void BuildRsconfig(frmUIF& uif, const RsconfigRecord& r);
void BuildRoute(frmUIF& uif, const RouteRecord& r);
void BuildRsroute(frmUIF& uif, const RsrouteRecord& r);
void BuildArp(frmUIF& uif, qint16 code, const ArpRecord& r);  // 9 arp, 17 rsarp2
void BuildRsarp(frmUIF& uif, const RsarpRecord& r);
void BuildRsroute2(frmUIF& uif, const Rsroute2Record& r);
void BuildDhcpInterface(frmUIF& uif, const DhcpInterfaceRecord& r);
void BuildDhcpServerNetmask(frmUIF& uif, const DhcpServerValueRecord& r);
void BuildDhcpServerDefaultRouter(frmUIF& uif, const DhcpServerValueRecord& r);
void BuildDhcpServerDnsServer(frmUIF& uif, const DhcpDnsRecord& r);
void BuildDhcpServerScope(frmUIF& uif, const DhcpScopeRecord& r);
void BuildDhcpServerLease(frmUIF& uif, const DhcpServerValueRecord& r);
void BuildDhcpRelayServer(frmUIF& uif, const DhcpValueRecord& r);
void BuildDhcpClient(frmUIF& uif, const DhcpValueRecord& r);
void BuildDhcpService(frmUIF& uif, const DhcpValueRecord& r);
void BuildRipSetting(frmUIF& uif, qint16 code, const RipValueRecord& r);  // 33..36, 38, 41, 61
void BuildRipNumber(frmUIF& uif, qint16 code, const RipValueRecord& r);   // 39, 40
void BuildRipPassword(frmUIF& uif, const RipPasswordRecord& r);
void BuildGroupId(frmUIF& uif, const Word16Record& r);
void BuildRfchannel(frmUIF& uif, const Word16Record& r);
void BuildPortfilter(frmUIF& uif, const PortfilterRecord& r);
void BuildScramble(frmUIF& uif, const Long32Record& r);
void BuildTestMode(frmUIF& uif, const TestModeRecord& r);
void BuildTdmaparam(frmUIF& uif, const TdmaparamRecord& r);
void BuildTdmatune(frmUIF& uif, const TdmatuneRecord& r);
void BuildTxmethod(frmUIF& uif, const Byte8Record& r);
void BuildSnmpState(frmUIF& uif, const Long32Record& r);
void BuildSnmpReadOnlyCommunity(frmUIF& uif, const CommunityRecord& r);
void BuildSnmpReadWriteCommunity(frmUIF& uif, const CommunityRecord& r);
void BuildSnmpTrap(frmUIF& uif, const Long32Record& r);
void BuildL2as(frmUIF& uif, const Byte8Record& r);
void BuildAccessList(frmUIF& uif, const AccessListRecord& r);
void BuildAccess(frmUIF& uif, const AccessRecord& r);

}  // namespace config
