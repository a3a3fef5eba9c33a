#include "config/AnyRecord.h"

#include "config/RecordReaders.h"

namespace config {

std::optional<AnyRecord> ReadAnyRecord(const QByteArray& b)
{
    switch (ReadRecordHead(b).code) {
    case CodeIfconfig: return ReadIfconfig(b);
    case CodeRsconfig: return ReadRsconfig(b);
    case CodeRoute: return ReadRoute(b);
    case CodeRsroute: return ReadRsroute(b);
    case CodeArp:
    case CodeRsarp2: return ReadArp(b);
    case CodeRsarp: return ReadRsarp(b);
    case CodeRsroute2: return ReadRsroute2(b);
    case CodeDhcpInterface: return ReadDhcpInterface(b);
    case CodeDhcpServerNetmask:
    case CodeDhcpServerDefaultRouter:
    case CodeDhcpServerLease: return ReadDhcpServerValue(b);
    case CodeDhcpServerDnsServer: return ReadDhcpServerDnsServer(b);
    case CodeDhcpServerScope: return ReadDhcpServerScope(b);
    case CodeDhcpRelayServer:
    case CodeDhcpClient:
    case CodeDhcpService: return ReadDhcpValue(b);
    case CodeRipSend:
    case CodeRipReceive:
    case CodeRipTriggeredUpdate:
    case CodeRipConvergence:
    case CodeRipAuthentication:
    case CodeRipAdvertise:
    case CodeRipMetric:
    case CodeRipEnable:
    case CodeRipAdvertiseDefault: return ReadRipValue(b);
    case CodeRipPassword: return ReadRipPassword(b);
    case CodeGroupId:
    case CodeRfchannel: return ReadWord16(b);
    case CodePortfilter: return ReadPortfilter(b);
    case CodeScramble:
    case CodeSnmpState:
    case CodeSnmpTrap: return ReadLong32(b);
    case CodeTestMode: return ReadTestMode(b);
    case CodeTdmaparam: return ReadTdmaparam(b);
    case CodeTdmatune: return ReadTdmatune(b);
    case CodeTxmethod:
    case CodeDuplex:
    case CodeL2as: return ReadByte8(b);
    case CodeSnmpReadOnlyCommunity:
    case CodeSnmpReadWriteCommunity: return ReadCommunity(b);
    case CodeAccessList: return ReadAccessList(b);
    case CodeAccess: return ReadAccess(b);
    default: return std::nullopt;
    }
}

namespace {

struct Builder {
    frmUIF& uif;

    bool operator()(const IfconfigRecord& r) const { return r.head.code == CodeIfconfig && (BuildIfconfig(uif, r), true); }
    bool operator()(const RsconfigRecord& r) const { return r.head.code == CodeRsconfig && (BuildRsconfig(uif, r), true); }
    bool operator()(const RouteRecord& r) const { return r.head.code == CodeRoute && (BuildRoute(uif, r), true); }
    bool operator()(const RsrouteRecord& r) const { return r.head.code == CodeRsroute && (BuildRsroute(uif, r), true); }
    bool operator()(const ArpRecord& r) const
    {
        if (r.head.code != CodeArp && r.head.code != CodeRsarp2) return false;
        BuildArp(uif, r.head.code, r);
        return true;
    }
    bool operator()(const RsarpRecord& r) const { return r.head.code == CodeRsarp && (BuildRsarp(uif, r), true); }
    bool operator()(const Rsroute2Record& r) const { return r.head.code == CodeRsroute2 && (BuildRsroute2(uif, r), true); }
    bool operator()(const DhcpInterfaceRecord& r) const { return r.head.code == CodeDhcpInterface && (BuildDhcpInterface(uif, r), true); }
    bool operator()(const DhcpServerValueRecord& r) const
    {
        switch (r.head.code) {
        case CodeDhcpServerNetmask: BuildDhcpServerNetmask(uif, r); return true;
        case CodeDhcpServerDefaultRouter: BuildDhcpServerDefaultRouter(uif, r); return true;
        case CodeDhcpServerLease: BuildDhcpServerLease(uif, r); return true;
        default: return false;
        }
    }
    bool operator()(const DhcpDnsRecord& r) const { return r.head.code == CodeDhcpServerDnsServer && (BuildDhcpServerDnsServer(uif, r), true); }
    bool operator()(const DhcpScopeRecord& r) const { return r.head.code == CodeDhcpServerScope && (BuildDhcpServerScope(uif, r), true); }
    bool operator()(const DhcpValueRecord& r) const
    {
        switch (r.head.code) {
        case CodeDhcpRelayServer: BuildDhcpRelayServer(uif, r); return true;
        case CodeDhcpClient: BuildDhcpClient(uif, r); return true;
        case CodeDhcpService: BuildDhcpService(uif, r); return true;
        default: return false;
        }
    }
    bool operator()(const RipValueRecord& r) const
    {
        switch (r.head.code) {
        case CodeRipSend:
        case CodeRipReceive:
        case CodeRipTriggeredUpdate:
        case CodeRipConvergence:
        case CodeRipAuthentication:
        case CodeRipEnable:
        case CodeRipAdvertiseDefault: BuildRipSetting(uif, r.head.code, r); return true;
        case CodeRipAdvertise:
        case CodeRipMetric: BuildRipNumber(uif, r.head.code, r); return true;
        default: return false;
        }
    }
    bool operator()(const RipPasswordRecord& r) const { return r.head.code == CodeRipPassword && (BuildRipPassword(uif, r), true); }
    bool operator()(const Word16Record& r) const
    {
        switch (r.head.code) {
        case CodeGroupId: BuildGroupId(uif, r); return true;
        case CodeRfchannel: BuildRfchannel(uif, r); return true;
        default: return false;
        }
    }
    bool operator()(const PortfilterRecord& r) const { return r.head.code == CodePortfilter && (BuildPortfilter(uif, r), true); }
    bool operator()(const Long32Record& r) const
    {
        switch (r.head.code) {
        case CodeScramble: BuildScramble(uif, r); return true;
        case CodeSnmpState: BuildSnmpState(uif, r); return true;
        case CodeSnmpTrap: BuildSnmpTrap(uif, r); return true;
        default: return false;
        }
    }
    bool operator()(const TestModeRecord& r) const { return r.head.code == CodeTestMode && (BuildTestMode(uif, r), true); }
    bool operator()(const TdmaparamRecord& r) const { return r.head.code == CodeTdmaparam && (BuildTdmaparam(uif, r), true); }
    bool operator()(const TdmatuneRecord& r) const { return r.head.code == CodeTdmatune && (BuildTdmatune(uif, r), true); }
    bool operator()(const Byte8Record& r) const
    {
        switch (r.head.code) {
        case CodeTxmethod: BuildTxmethod(uif, r); return true;
        case CodeL2as: BuildL2as(uif, r); return true;
        default: return false;  // 62 is only ever received
        }
    }
    bool operator()(const CommunityRecord& r) const
    {
        switch (r.head.code) {
        case CodeSnmpReadOnlyCommunity: BuildSnmpReadOnlyCommunity(uif, r); return true;
        case CodeSnmpReadWriteCommunity: BuildSnmpReadWriteCommunity(uif, r); return true;
        default: return false;
        }
    }
    bool operator()(const AccessListRecord& r) const { return r.head.code == CodeAccessList && (BuildAccessList(uif, r), true); }
    bool operator()(const AccessRecord& r) const { return r.head.code == CodeAccess && (BuildAccess(uif, r), true); }
};

}  // namespace

bool BuildAnyRecord(frmUIF& uif, const AnyRecord& record) { return std::visit(Builder{uif}, record); }

}  // namespace config
