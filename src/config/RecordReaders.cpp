#include "config/RecordReaders.h"

#include "link/basUIF.h"

namespace config {

using basUIF::GetUIFByte;
using basUIF::GetUIFInt;
using basUIF::GetUIFLong;
using basUIF::GetUIFMac;
using basUIF::GetUIFString;

RecordHead ReadRecordHead(const QByteArray& record)
{
    const basUIF::UIFHeader h = basUIF::ReadUIFReply(record);
    RecordHead head;
    head.code = h.CmdCode;
    head.ident = h.Ident;
    return head;
}

IfconfigRecord ReadIfconfig(const QByteArray& b)
{
    IfconfigRecord r;
    r.head = ReadRecordHead(b);
    r.if_type = GetUIFLong(b, 0);
    r.if_num = GetUIFLong(b, 4);
    r.address = GetUIFLong(b, 8);
    r.netmask = GetUIFLong(b, 12);
    r.broadcast = GetUIFLong(b, 16);
    return r;
}

RsconfigRecord ReadRsconfig(const QByteArray& b)
{
    RsconfigRecord r;
    r.head = ReadRecordHead(b);
    r.if_num = GetUIFLong(b, 0);
    r.station = GetUIFByte(b, 4);
    return r;
}

RouteRecord ReadRoute(const QByteArray& b)
{
    RouteRecord r;
    r.head = ReadRecordHead(b);
    r.destination = GetUIFLong(b, 4);
    r.netmask = GetUIFLong(b, 8);
    r.gateway = GetUIFLong(b, 12);
    return r;
}

RsrouteRecord ReadRsroute(const QByteArray& b)
{
    RsrouteRecord r;
    r.head = ReadRecordHead(b);
    r.first = GetUIFByte(b, 12);
    r.second = GetUIFByte(b, 13);
    return r;
}

ArpRecord ReadArp(const QByteArray& b)
{
    ArpRecord r;
    r.head = ReadRecordHead(b);
    r.address = GetUIFLong(b, 12);
    r.mac = GetUIFMac(b, 16);
    return r;
}

RsarpRecord ReadRsarp(const QByteArray& b)
{
    RsarpRecord r;
    r.head = ReadRecordHead(b);
    r.address = GetUIFLong(b, 12);
    r.station = GetUIFByte(b, 16);
    return r;
}

Rsroute2Record ReadRsroute2(const QByteArray& b)
{
    Rsroute2Record r;
    r.head = ReadRecordHead(b);
    r.kind = GetUIFLong(b, 4);
    r.first = GetUIFMac(b, 14);
    r.second = GetUIFMac(b, 20);
    return r;
}

DhcpInterfaceRecord ReadDhcpInterface(const QByteArray& b)
{
    DhcpInterfaceRecord r;
    r.head = ReadRecordHead(b);
    r.role = GetUIFLong(b, 0);
    r.if_type = GetUIFLong(b, 4);
    r.if_num = GetUIFLong(b, 8);
    return r;
}

DhcpServerValueRecord ReadDhcpServerValue(const QByteArray& b)
{
    DhcpServerValueRecord r;
    r.head = ReadRecordHead(b);
    r.value = GetUIFLong(b, 12);
    return r;
}

DhcpDnsRecord ReadDhcpServerDnsServer(const QByteArray& b)
{
    DhcpDnsRecord r;
    r.head = ReadRecordHead(b);
    r.count = GetUIFLong(b, 12);
    for (int i = 0; i < 4; ++i) r.servers[size_t(i)] = GetUIFLong(b, 16 + 4 * i);
    return r;
}

DhcpScopeRecord ReadDhcpServerScope(const QByteArray& b)
{
    DhcpScopeRecord r;
    r.head = ReadRecordHead(b);
    r.first = GetUIFLong(b, 12);
    r.last = GetUIFLong(b, 16);
    return r;
}

DhcpValueRecord ReadDhcpValue(const QByteArray& b)
{
    DhcpValueRecord r;
    r.head = ReadRecordHead(b);
    r.value = GetUIFLong(b, 8);
    return r;
}

RipValueRecord ReadRipValue(const QByteArray& b)
{
    RipValueRecord r;
    r.head = ReadRecordHead(b);
    r.if_type = GetUIFLong(b, 0);
    r.if_num = GetUIFLong(b, 4);
    r.value = GetUIFLong(b, 8);
    return r;
}

RipPasswordRecord ReadRipPassword(const QByteArray& b)
{
    RipPasswordRecord r;
    r.head = ReadRecordHead(b);
    r.if_type = GetUIFLong(b, 0);
    r.if_num = GetUIFLong(b, 4);
    r.password = GetUIFString(b, 8, RipPasswordMax);
    return r;
}

Word16Record ReadWord16(const QByteArray& b)
{
    Word16Record r;
    r.head = ReadRecordHead(b);
    r.value = GetUIFInt(b, 0);
    return r;
}

PortfilterRecord ReadPortfilter(const QByteArray& b)
{
    PortfilterRecord r;
    r.head = ReadRecordHead(b);
    r.enabled = GetUIFLong(b, 0);
    r.first = GetUIFInt(b, 4);
    r.last = GetUIFInt(b, 6);
    return r;
}

Long32Record ReadLong32(const QByteArray& b)
{
    Long32Record r;
    r.head = ReadRecordHead(b);
    r.value = GetUIFLong(b, 0);
    return r;
}

TestModeRecord ReadTestMode(const QByteArray& b)
{
    TestModeRecord r;
    r.head = ReadRecordHead(b);
    r.mode = GetUIFLong(b, 0);
    r.first = GetUIFInt(b, 4);
    r.count = GetUIFLong(b, 8);
    r.address = GetUIFLong(b, 12);
    r.second = GetUIFInt(b, 16);
    return r;
}

TdmaparamRecord ReadTdmaparam(const QByteArray& b)
{
    TdmaparamRecord r;
    r.head = ReadRecordHead(b);
    for (int i = 0; i < 3; ++i) r.bytes[size_t(i)] = GetUIFByte(b, i);
    r.word = GetUIFInt(b, 4);
    return r;
}

TdmatuneRecord ReadTdmatune(const QByteArray& b)
{
    TdmatuneRecord r;
    r.head = ReadRecordHead(b);
    for (int i = 0; i < 4; ++i) r.bytes[size_t(i)] = GetUIFByte(b, i);
    for (int i = 0; i < 3; ++i) r.words[size_t(i)] = GetUIFInt(b, 4 + 2 * i);
    return r;
}

Byte8Record ReadByte8(const QByteArray& b)
{
    Byte8Record r;
    r.head = ReadRecordHead(b);
    r.value = GetUIFByte(b, 0);
    return r;
}

CommunityRecord ReadCommunity(const QByteArray& b)
{
    CommunityRecord r;
    r.head = ReadRecordHead(b);
    r.community = GetUIFString(b, 0, CommunityMax);
    return r;
}

AccessListRecord ReadAccessList(const QByteArray& b)
{
    AccessListRecord r;
    r.head = ReadRecordHead(b);
    r.index = GetUIFLong(b, 0);
    r.address = GetUIFLong(b, 4);
    r.mask = GetUIFLong(b, 8);
    return r;
}

AccessRecord ReadAccess(const QByteArray& b)
{
    AccessRecord r;
    r.head = ReadRecordHead(b);
    r.kind = GetUIFLong(b, 0);
    r.countOrMode = GetUIFLong(b, 4);
    for (int i = 0; i < 4; ++i) r.lists[size_t(i)] = GetUIFLong(b, 8 + 4 * i);
    return r;
}

}  // namespace config
