#include "config/ConfigCommands.h"

#include "config/ConfigParams.h"
#include "link/basMain.h"

namespace config {

namespace {

struct Entry {
    const char* keyword;
    CommandParser parse;
};

const Entry CommandTable[] = {
    {"ifconfig", &ParseIfconfig},   {"rsconfig", &ParseRsconfig},     {"route", &ParseRoute},
    {"rsroute", &ParseRsroute},     {"rsroute2", &ParseRsroute2},     {"arp", &ParseArp},
    {"rsarp", &ParseRsarp},         {"rsarp2", &ParseRsarp2},         {"dhcp", &ParseDhcp},
    {"rip", &ParseRip},             {"group_id", &ParseGroupId},      {"rfchannel", &ParseRfchannel},
    {"test_mode", &ParseTestMode},  {"tdmaparam", &ParseTdmaparam},   {"tdmatune", &ParseTdmatune},
    {"portfilter", &ParsePortfilter}, {"scramble", &ParseScramble},   {"txmethod", &ParseTxmethod},
    {"snmp", &ParseSnmp},           {"l2as", &ParseL2as},             {"access_list", &ParseAccessList},
    {"login", &ParseLogin},         {"config", &ParseConfig},         {"rstest", &ParseRstest},
};

constexpr qint32 Bad = StatusInvalidParameter;

}  // namespace

CommandParser FindCommand(const QByteArray& keyword)
{
    for (const Entry& e : CommandTable)
        if (keyword == e.keyword) return e.parse;
    return nullptr;
}

qint32 ParseIfconfig(CommandContext& c)
{
    IfRef ifRef;
    IfconfigRecord r;
    if (!NextNetIf(c.tokens, ifRef) || !NextIp(c.tokens, r.address)) return Bad;
    r.if_type = ifRef.if_type;
    r.if_num = ifRef.if_num;
    r.netmask = qint32(0xFFFFFF00);  // 255.255.255.0 unless given
    bool haveBroadcast = false;
    // Options in any order until the line ends; a later one overrides an earlier one.
    for (;;) {
        const QByteArray option = c.tokens.NextToken();
        if (option.isEmpty()) break;
        if (option == "netmask") {
            if (!NextIp(c.tokens, r.netmask)) return Bad;
        } else if (option == "broadcast") {
            if (!NextIp(c.tokens, r.broadcast)) return Bad;
            haveBroadcast = true;
        } else {
            return Bad;
        }
    }
    if (!haveBroadcast) r.broadcast = r.address | ~r.netmask;
    return c.Put(CodeIfconfig, r);
}

qint32 ParseRsconfig(CommandContext& c)
{
    IfRef ifRef;
    RsconfigRecord r;
    if (!NextNetIf(c.tokens, ifRef) || ifRef.if_type != IfRs) return Bad;
    if (!NextByte(c.tokens, r.station)) return Bad;
    r.if_num = ifRef.if_num;
    return c.Put(CodeRsconfig, r);
}

qint32 ParseRoute(CommandContext& c)
{
    RouteRecord r;
    if (c.tokens.NextToken() == "default") {
        r.destination = 0;
        r.netmask = 0;
    } else {
        if (basMain::StrToIPv4(c.tokens.current(), r.destination) != 0) return Bad;
        if (!NextIp(c.tokens, r.netmask)) return Bad;
    }
    if (!NextIp(c.tokens, r.gateway)) return Bad;
    return c.Put(CodeRoute, r);
}

qint32 ParseRsroute(CommandContext& c)
{
    RsrouteRecord r;
    if (!NextByte(c.tokens, r.first) || !NextByte(c.tokens, r.second)) return Bad;
    return c.Put(CodeRsroute, r);
}

qint32 ParseRsroute2(CommandContext& c)
{
    Rsroute2Record r;
    if (!NextMac(c.tokens, r.first) || !NextMac(c.tokens, r.second)) return Bad;
    const QByteArray& kind = c.tokens.NextToken();
    if (kind.isEmpty() || kind == "static")
        r.kind = RouteStatic;
    else if (kind == "primary")
        r.kind = RoutePrimary;
    else if (kind == "secondary")
        r.kind = RouteSecondary;
    else
        return Bad;
    return c.Put(CodeRsroute2, r);
}

namespace {
qint32 parseArpLike(CommandContext& c, qint16 code)
{
    ArpRecord r;
    if (!NextIp(c.tokens, r.address) || !NextMac(c.tokens, r.mac)) return Bad;
    return c.Put(code, r);
}
}  // namespace

qint32 ParseArp(CommandContext& c) { return parseArpLike(c, CodeArp); }
qint32 ParseRsarp2(CommandContext& c) { return parseArpLike(c, CodeRsarp2); }

qint32 ParseRsarp(CommandContext& c)
{
    RsarpRecord r;
    if (!NextIp(c.tokens, r.address) || !NextByte(c.tokens, r.station)) return Bad;
    return c.Put(CodeRsarp, r);
}

namespace {
qint32 parseWord16(CommandContext& c, qint16 code)
{
    Word16Record r;
    if (!NextNum16(c.tokens, r.value)) return Bad;
    return c.Put(code, r);
}
}  // namespace

qint32 ParseGroupId(CommandContext& c) { return parseWord16(c, CodeGroupId); }
qint32 ParseRfchannel(CommandContext& c) { return parseWord16(c, CodeRfchannel); }

qint32 ParseTestMode(CommandContext& c)
{
    TestModeRecord r;
    const QByteArray& mode = c.tokens.NextToken();
    if (mode == "disable") {
        r.mode = TestDisable;  // every field 0
    } else if (mode == "send") {
        r.mode = TestSend;
        if (!NextNum16(c.tokens, r.first) || !NextNum32(c.tokens, r.count)) return Bad;
        if (quint32(r.count) < 1 || quint32(r.count) > 100000) return Bad;
        r.address = AllOnes;  // a send names no peer and no second number
        r.second = -1;
    } else if (mode == "receive") {
        r.mode = TestReceive;
        if (!NextNum16(c.tokens, r.first) || !NextIp(c.tokens, r.address) || !NextNum16(c.tokens, r.second))
            return Bad;
        r.count = AllOnes;  // a receive has no count
    } else {
        return Bad;
    }
    return c.Put(CodeTestMode, r);
}

qint32 ParseTdmaparam(CommandContext& c)
{
    TdmaparamRecord r;
    for (uint8_t& b : r.bytes)
        if (!NextByte(c.tokens, b)) return Bad;
    if (!NextNum16(c.tokens, r.word)) return Bad;
    return c.Put(CodeTdmaparam, r);
}

qint32 ParseTdmatune(CommandContext& c)
{
    TdmatuneRecord r;
    for (uint8_t& b : r.bytes)
        if (!NextByte(c.tokens, b)) return Bad;
    for (qint16& w : r.words)
        if (!NextNum16(c.tokens, w)) return Bad;
    return c.Put(CodeTdmatune, r);
}

qint32 ParsePortfilter(CommandContext& c)
{
    PortfilterRecord r;
    const QByteArray& word = c.tokens.NextToken();
    if (word == "disable") {
        r.enabled = 0;  // ports 0
    } else if (word == "enable") {
        r.enabled = 1;
        if (!NextNum16(c.tokens, r.first) || !NextNum16(c.tokens, r.last)) return Bad;
    } else {
        return Bad;
    }
    return c.Put(CodePortfilter, r);
}

qint32 ParseScramble(CommandContext& c)
{
    Long32Record r;
    if (!NextNum32(c.tokens, r.value)) return Bad;
    return c.Put(CodeScramble, r);
}

qint32 ParseTxmethod(CommandContext& c)
{
    Byte8Record r;
    const QByteArray& word = c.tokens.NextToken();
    if (word == "csma")
        r.value = 1;
    else if (word == "dtdma1")
        r.value = 2;
    else if (word == "dtdma2")
        r.value = 3;
    else if (word == "bidir")
        r.value = 4;
    else
        return Bad;
    return c.Put(CodeTxmethod, r);
}

qint32 ParseL2as(CommandContext& c)
{
    Byte8Record r;
    // Only "enable" switches it on; any other word, or none, switches it off.
    r.value = c.tokens.NextToken() == "enable" ? 1 : 0;
    return c.Put(CodeL2as, r);
}

qint32 ParseAccessList(CommandContext& c)
{
    AccessListRecord r;
    const QByteArray& number = c.tokens.NextToken();
    if (!IsDecimalNumber(number) || DecimalValue(number) > 15) return Bad;
    r.index = qint32(DecimalValue(number));
    if (!NextIp(c.tokens, r.address) || !NextIp(c.tokens, r.mask)) return Bad;
    return c.Put(CodeAccessList, r);
}

}  // namespace config
