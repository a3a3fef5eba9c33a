#include "config/ConfigRecords.h"

#include "link/basUIF.h"
#include "link/frmUIF.h"

#include <algorithm>

namespace config {

using basUIF::PutUIFByte;
using basUIF::PutUIFInt;
using basUIF::PutUIFLong;
using basUIF::PutUIFMac;
using basUIF::PutUIFString;

// Payload offsets below are record offsets less the 12-byte header.
namespace {

constexpr qint32 AllOnes = qint32(0xFFFFFFFF);

// Several route and ARP tables share a leading (1, 0, 0xFFFFFFFF) triple.
void putTableTriple(QByteArray& b)
{
    PutUIFLong(b, 1, 0);
    PutUIFLong(b, 0, 4);
    PutUIFLong(b, AllOnes, 8);
}

void putDhcpServerValue(frmUIF& uif, qint16 code, qint32 value)
{
    uif.BeginRequest(code);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, AllOnes, 0);
    PutUIFLong(b, AllOnes, 4);
    PutUIFLong(b, AllOnes, 8);
    PutUIFLong(b, value, 12);
}

void putDhcpValue(frmUIF& uif, qint16 code, qint32 value)
{
    uif.BeginRequest(code);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, AllOnes, 0);
    PutUIFLong(b, AllOnes, 4);
    PutUIFLong(b, value, 8);
}

void putRipValue(frmUIF& uif, qint16 code, const RipValueRecord& r)
{
    uif.BeginRequest(code);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.if_type, 0);
    PutUIFLong(b, r.if_num, 4);
    PutUIFLong(b, r.value, 8);
}

// Records of one field at payload offset 0.
void putWord16(frmUIF& uif, qint16 code, qint16 value)
{
    uif.BeginRequest(code);
    PutUIFInt(uif.UIFRequestBuf, value, 0);
}

void putLong32(frmUIF& uif, qint16 code, qint32 value)
{
    uif.BeginRequest(code);
    PutUIFLong(uif.UIFRequestBuf, value, 0);
}

void putByte8(frmUIF& uif, qint16 code, uint8_t value)
{
    uif.BeginRequest(code);
    PutUIFByte(uif.UIFRequestBuf, value, 0);
}

void putCommunity(frmUIF& uif, qint16 code, const CommunityRecord& r)
{
    uif.BeginRequest(code);
    PutUIFString(uif.UIFRequestBuf, r.community.left(CommunityMax), 0);
}

}  // namespace

void BuildIfconfig(frmUIF& uif, const IfconfigRecord& r)
{
    uif.BeginRequest(CodeIfconfig);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.if_type, 0);
    PutUIFLong(b, r.if_num, 4);
    PutUIFLong(b, r.address, 8);
    PutUIFLong(b, r.netmask, 12);
    PutUIFLong(b, r.broadcast, 16);
}

void BuildRsconfig(frmUIF& uif, const RsconfigRecord& r)
{
    uif.BeginRequest(CodeRsconfig);
    PutUIFLong(uif.UIFRequestBuf, r.if_num, 0);
    PutUIFByte(uif.UIFRequestBuf, r.station, 4);
}

void BuildRoute(frmUIF& uif, const RouteRecord& r)
{
    uif.BeginRequest(CodeRoute);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, 1, 0);
    PutUIFLong(b, r.destination, 4);
    PutUIFLong(b, r.netmask, 8);
    PutUIFLong(b, r.gateway, 12);
    PutUIFLong(b, 0, 16);
    PutUIFLong(b, AllOnes, 20);
    PutUIFLong(b, 1, 24);
}

void BuildRsroute(frmUIF& uif, const RsrouteRecord& r)
{
    uif.BeginRequest(CodeRsroute);
    putTableTriple(uif.UIFRequestBuf);
    PutUIFByte(uif.UIFRequestBuf, r.first, 12);
    PutUIFByte(uif.UIFRequestBuf, r.second, 13);
}

void BuildArp(frmUIF& uif, qint16 code, const ArpRecord& r)
{
    uif.BeginRequest(code);
    putTableTriple(uif.UIFRequestBuf);
    PutUIFLong(uif.UIFRequestBuf, r.address, 12);
    PutUIFMac(uif.UIFRequestBuf, r.mac, 16);
}

void BuildRsarp(frmUIF& uif, const RsarpRecord& r)
{
    uif.BeginRequest(CodeRsarp);
    putTableTriple(uif.UIFRequestBuf);
    PutUIFLong(uif.UIFRequestBuf, r.address, 12);
    PutUIFByte(uif.UIFRequestBuf, r.station, 16);
}

void BuildRsroute2(frmUIF& uif, const Rsroute2Record& r)
{
    uif.BeginRequest(CodeRsroute2);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, 1, 0);
    PutUIFLong(b, r.kind, 4);
    PutUIFLong(b, AllOnes, 8);
    PutUIFInt(b, 1, 12);
    PutUIFMac(b, r.first, 14);
    PutUIFMac(b, r.second, 20);
}

void BuildDhcpInterface(frmUIF& uif, const DhcpInterfaceRecord& r)
{
    uif.BeginRequest(CodeDhcpInterface);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.role, 0);
    PutUIFLong(b, r.if_type, 4);
    PutUIFLong(b, r.if_num, 8);
}

void BuildDhcpServerNetmask(frmUIF& uif, const DhcpServerValueRecord& r) { putDhcpServerValue(uif, CodeDhcpServerNetmask, r.value); }
void BuildDhcpServerDefaultRouter(frmUIF& uif, const DhcpServerValueRecord& r) { putDhcpServerValue(uif, CodeDhcpServerDefaultRouter, r.value); }
void BuildDhcpServerLease(frmUIF& uif, const DhcpServerValueRecord& r) { putDhcpServerValue(uif, CodeDhcpServerLease, r.value); }

void BuildDhcpServerDnsServer(frmUIF& uif, const DhcpDnsRecord& r)
{
    putDhcpServerValue(uif, CodeDhcpServerDnsServer, r.count);
    for (int i = 0; i < 4; ++i) PutUIFLong(uif.UIFRequestBuf, r.servers[size_t(i)], 16 + 4 * i);
}

void BuildDhcpServerScope(frmUIF& uif, const DhcpScopeRecord& r)
{
    putDhcpServerValue(uif, CodeDhcpServerScope, r.first);
    PutUIFLong(uif.UIFRequestBuf, r.last, 16);
}

void BuildDhcpRelayServer(frmUIF& uif, const DhcpValueRecord& r) { putDhcpValue(uif, CodeDhcpRelayServer, r.value); }
void BuildDhcpClient(frmUIF& uif, const DhcpValueRecord& r) { putDhcpValue(uif, CodeDhcpClient, r.value); }
void BuildDhcpService(frmUIF& uif, const DhcpValueRecord& r) { putDhcpValue(uif, CodeDhcpService, r.value); }

void BuildRipSetting(frmUIF& uif, qint16 code, const RipValueRecord& r) { putRipValue(uif, code, r); }
void BuildRipNumber(frmUIF& uif, qint16 code, const RipValueRecord& r) { putRipValue(uif, code, r); }

void BuildRipPassword(frmUIF& uif, const RipPasswordRecord& r)
{
    uif.BeginRequest(CodeRipPassword);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.if_type, 0);
    PutUIFLong(b, r.if_num, 4);
    PutUIFString(b, r.password.left(RipPasswordMax), 8);
}

void BuildGroupId(frmUIF& uif, const Word16Record& r) { putWord16(uif, CodeGroupId, r.value); }
void BuildRfchannel(frmUIF& uif, const Word16Record& r) { putWord16(uif, CodeRfchannel, r.value); }

void BuildPortfilter(frmUIF& uif, const PortfilterRecord& r)
{
    uif.BeginRequest(CodePortfilter);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.enabled, 0);
    PutUIFInt(b, r.first, 4);
    PutUIFInt(b, r.last, 6);
}

void BuildScramble(frmUIF& uif, const Long32Record& r) { putLong32(uif, CodeScramble, r.value); }

void BuildTestMode(frmUIF& uif, const TestModeRecord& r)
{
    uif.BeginRequest(CodeTestMode);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.mode, 0);
    switch (r.mode) {
    case TestDisable:  // every field 0
        PutUIFInt(b, 0, 4);
        PutUIFLong(b, 0, 8);
        PutUIFLong(b, 0, 12);
        PutUIFInt(b, 0, 16);
        break;
    case TestSend:  // no peer address, no second number
        PutUIFInt(b, r.first, 4);
        PutUIFLong(b, r.count, 8);
        PutUIFLong(b, AllOnes, 12);
        PutUIFInt(b, -1, 16);
        break;
    case TestReceive:  // no count
        PutUIFInt(b, r.first, 4);
        PutUIFLong(b, AllOnes, 8);
        PutUIFLong(b, r.address, 12);
        PutUIFInt(b, r.second, 16);
        break;
    default:  // a mode the tools never produce travels as it was read
        PutUIFInt(b, r.first, 4);
        PutUIFLong(b, r.count, 8);
        PutUIFLong(b, r.address, 12);
        PutUIFInt(b, r.second, 16);
        break;
    }
}

void BuildTdmaparam(frmUIF& uif, const TdmaparamRecord& r)
{
    uif.BeginRequest(CodeTdmaparam);
    QByteArray& b = uif.UIFRequestBuf;
    for (int i = 0; i < 3; ++i) PutUIFByte(b, r.bytes[size_t(i)], i);
    // Record byte 15 is left 0xFF: the 16-bit value starts at 16.
    PutUIFInt(b, r.word, 4);
}

void BuildTdmatune(frmUIF& uif, const TdmatuneRecord& r)
{
    uif.BeginRequest(CodeTdmatune);
    QByteArray& b = uif.UIFRequestBuf;
    for (int i = 0; i < 4; ++i) PutUIFByte(b, r.bytes[size_t(i)], i);
    for (int i = 0; i < 3; ++i) PutUIFInt(b, r.words[size_t(i)], 4 + 2 * i);
}

void BuildTxmethod(frmUIF& uif, const Byte8Record& r) { putByte8(uif, CodeTxmethod, r.value); }
void BuildSnmpState(frmUIF& uif, const Long32Record& r) { putLong32(uif, CodeSnmpState, r.value); }

void BuildSnmpReadOnlyCommunity(frmUIF& uif, const CommunityRecord& r) { putCommunity(uif, CodeSnmpReadOnlyCommunity, r); }
void BuildSnmpReadWriteCommunity(frmUIF& uif, const CommunityRecord& r) { putCommunity(uif, CodeSnmpReadWriteCommunity, r); }

void BuildSnmpTrap(frmUIF& uif, const Long32Record& r) { putLong32(uif, CodeSnmpTrap, r.value); }
void BuildL2as(frmUIF& uif, const Byte8Record& r) { putByte8(uif, CodeL2as, r.value); }

void BuildAccessList(frmUIF& uif, const AccessListRecord& r)
{
    uif.BeginRequest(CodeAccessList);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.index, 0);
    PutUIFLong(b, r.address, 4);
    PutUIFLong(b, r.mask, 8);
}

void BuildAccess(frmUIF& uif, const AccessRecord& r)
{
    uif.BeginRequest(CodeAccess);
    QByteArray& b = uif.UIFRequestBuf;
    PutUIFLong(b, r.kind, 0);
    PutUIFLong(b, r.countOrMode, 4);
    for (int i = 0; i < 4; ++i) PutUIFLong(b, r.lists[size_t(i)], 8 + 4 * i);
}

bool IsConfigurationCode(qint16 code)
{
    return std::find(std::begin(ConfigurationCodes), std::end(ConfigurationCodes), code) != std::end(ConfigurationCodes);
}

}  // namespace config
