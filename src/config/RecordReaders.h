#pragma once
// Readers of the 64-byte configuration records, for turning a received image back into fields.
// Each takes one record (header at 0, payload from 12); fields past a short record read as 0.
#include "config/ConfigRecords.h"

namespace config {

RecordHead ReadRecordHead(const QByteArray& record);

IfconfigRecord ReadIfconfig(const QByteArray& record);
RsconfigRecord ReadRsconfig(const QByteArray& record);
RouteRecord ReadRoute(const QByteArray& record);
RsrouteRecord ReadRsroute(const QByteArray& record);
ArpRecord ReadArp(const QByteArray& record);  // 9 arp, 17 rsarp2
RsarpRecord ReadRsarp(const QByteArray& record);
Rsroute2Record ReadRsroute2(const QByteArray& record);
DhcpInterfaceRecord ReadDhcpInterface(const QByteArray& record);
DhcpServerValueRecord ReadDhcpServerValue(const QByteArray& record);  // 21, 22, 25
DhcpDnsRecord ReadDhcpServerDnsServer(const QByteArray& record);
DhcpScopeRecord ReadDhcpServerScope(const QByteArray& record);
DhcpValueRecord ReadDhcpValue(const QByteArray& record);  // 27, 29, 31
RipValueRecord ReadRipValue(const QByteArray& record);    // 33..36, 38..41, 61
RipPasswordRecord ReadRipPassword(const QByteArray& record);
Word16Record ReadWord16(const QByteArray& record);  // 44, 47
PortfilterRecord ReadPortfilter(const QByteArray& record);
Long32Record ReadLong32(const QByteArray& record);  // 51, 64, 70
TestModeRecord ReadTestMode(const QByteArray& record);
TdmaparamRecord ReadTdmaparam(const QByteArray& record);
TdmatuneRecord ReadTdmatune(const QByteArray& record);
Byte8Record ReadByte8(const QByteArray& record);  // 59, 62, 71
CommunityRecord ReadCommunity(const QByteArray& record);  // 66, 68
AccessListRecord ReadAccessList(const QByteArray& record);
AccessRecord ReadAccess(const QByteArray& record);

}  // namespace config
