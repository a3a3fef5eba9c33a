#include "devsim/DeviceConfig.h"

#include "config/RecordSinks.h"
#include "devsim/DeviceStatus.h"
#include "devsim/DeviceStores.h"
#include "link/basConv.h"
#include "link/basUIF.h"

#include <algorithm>

using namespace config;
using RipSettings = DeviceTables::RipSettings;

namespace {
constexpr qint32 StaticArp = 3;
constexpr int AccessListMax = 15;

bool within(qint32 v, qint32 lo, qint32 hi) { return v >= lo && v <= hi; }

bool isStaticRoute(const DeviceTables::Route& r) { return r.flag == 0; }
bool isStaticArp(const DeviceTables::ArpEntry& e) { return e.type == StaticArp; }
// A radio route entry as a route record sets it; any other one the device found itself.
bool isStaticRadioRoute(const DeviceTables::RadioRouteEntry& e)
{
    return e.type == e.compare && within(e.type, RouteStatic, RouteSecondary) && e.metric == 1 && e.valid == 1;
}
bool holdsStaticRadioRoute(const DeviceTables::RadioRoute& r)
{
    return std::any_of(r.entries.begin(), r.entries.end(), isStaticRadioRoute);
}

// Configured rows come before learned ones: a new one goes after the last configured row.
template <typename Row, typename Configured>
int afterLastConfigured(const QList<Row>& rows, Configured configured)
{
    int at = 0;
    for (int i = 0; i < rows.size(); ++i)
        if (configured(rows[i])) at = i + 1;
    return at;
}

DeviceTables::Interface* interfaceOf(DeviceTables& t, qint32 type, qint32 number)
{
    for (DeviceTables::Interface& i : t.interfaces)
        if (i.type == type && i.number == number) return &i;
    return nullptr;
}

// One record into the tables. Every check comes before the first change, so that a refused
// record changes nothing. Records that share a layout are told apart by their code.
struct Taker {
    DeviceTables& t;
    qint16 code;

    qint32 operator()(const IfconfigRecord& r)
    {
        DeviceTables::Interface* i = interfaceOf(t, r.if_type, r.if_num);
        if (!i) return devstatus::NoSuchNetIf;
        i->address = r.address;
        i->netmask = r.netmask;
        i->broadcast = r.broadcast;
        return devstatus::Done;
    }
    qint32 operator()(const RouteRecord& r)
    {
        if (t.interfaces.isEmpty()) return devstatus::NoSuchNetIf;
        const DeviceTables::Interface* via = &t.interfaces.first();
        for (const DeviceTables::Interface& i : t.interfaces)
            if (i.address != 0 && (i.address & i.netmask) == (r.gateway & i.netmask)) {
                via = &i;
                break;
            }
        const DeviceTables::Route route{r.destination, r.netmask, via->type, via->number, r.gateway, 0, 1};
        for (DeviceTables::Route& old : t.routes)
            if (isStaticRoute(old) && old.destination == r.destination && old.netmask == r.netmask) return old = route, devstatus::Done;
        t.routes.insert(afterLastConfigured(t.routes, isStaticRoute), route);
        return devstatus::Done;
    }
    qint32 operator()(const ArpRecord& r)
    {
        if (code != CodeArp && code != CodeRsarp2) return devstatus::InvalidParameter;
        QList<DeviceTables::ArpEntry>& table = code == CodeArp ? t.arp : t.rsArp;
        table.removeIf([&r](const DeviceTables::ArpEntry& e) { return e.address == r.address; });
        table.insert(afterLastConfigured(table, isStaticArp), DeviceTables::ArpEntry{StaticArp, r.address, r.mac});
        return devstatus::Done;
    }
    // An index holds one destination's entries, up to four.
    qint32 operator()(const Rsroute2Record& r)
    {
        if (!within(r.kind, RouteStatic, RouteSecondary)) return devstatus::InvalidParameter;
        const DeviceTables::RadioRouteEntry entry{r.kind, r.kind, 1, 1, r.first, r.second};
        for (DeviceTables::RadioRoute& route : t.rsRoutes)
            if (!route.entries.isEmpty() && route.entries.first().destination == r.first && route.entries.size() < 4) {
                route.entries.insert(afterLastConfigured(route.entries, isStaticRadioRoute), entry);
                return devstatus::Done;
            }
        t.rsRoutes.insert(afterLastConfigured(t.rsRoutes, holdsStaticRadioRoute), DeviceTables::RadioRoute{{entry}});
        return devstatus::Done;
    }

    qint32 operator()(const DhcpInterfaceRecord& r)
    {
        if (!within(r.role, DhcpServer, DhcpClient)) return devstatus::InvalidParameter;
        if (!interfaceOf(t, r.if_type, r.if_num)) return devstatus::NoSuchNetIf;
        t.dhcp.ports[size_t(r.role)] = DeviceTables::DhcpPort{r.if_type, r.if_num};
        return devstatus::Done;
    }
    // The server's settings exist from its first setting on.
    qint32 operator()(const DhcpServerValueRecord& r)
    {
        DeviceTables::DhcpServer s = t.dhcp.server.value_or(DeviceTables::DhcpServer{});
        switch (code) {
        case CodeDhcpServerNetmask: s.netmask = r.value; break;
        case CodeDhcpServerDefaultRouter: s.defaultRouter = r.value; break;
        case CodeDhcpServerLease: s.leaseTime = quint32(r.value); break;
        default: return devstatus::InvalidParameter;
        }
        t.dhcp.server = s;
        return devstatus::Done;
    }
    qint32 operator()(const DhcpDnsRecord& r)
    {
        DeviceTables::DhcpServer s = t.dhcp.server.value_or(DeviceTables::DhcpServer{});
        s.dnsCount = std::clamp(r.count, 0, 4);
        s.dns = r.servers;
        t.dhcp.server = s;
        return devstatus::Done;
    }
    qint32 operator()(const DhcpScopeRecord& r)
    {
        DeviceTables::DhcpServer s = t.dhcp.server.value_or(DeviceTables::DhcpServer{});
        s.scopeStart = r.first;
        s.scopeEnd = r.last;
        t.dhcp.server = s;
        return devstatus::Done;
    }
    qint32 operator()(const DhcpValueRecord& r)
    {
        switch (code) {
        case CodeDhcpRelayServer: t.dhcp.relayServer = r.value; return devstatus::Done;
        case CodeDhcpClient:
            if (!within(r.value, 0, 1)) return devstatus::InvalidParameter;
            t.dhcp.clientState = r.value;
            return devstatus::Done;
        case CodeDhcpService:
            if (!within(r.value, 0, 2)) return devstatus::InvalidParameter;
            t.dhcp.service = r.value;
            return devstatus::Done;
        default: return devstatus::InvalidParameter;
        }
    }

    // An interface that runs no RIP gets the settings of a fresh one with its first RIP record.
    qint32 operator()(const RipValueRecord& r)
    {
        DeviceTables::Interface* i = interfaceOf(t, r.if_type, r.if_num);
        if (!i) return devstatus::NoSuchNetIf;
        RipSettings s = i->rip.value_or(RipSettings{});
        qint32* field = nullptr;
        qint32 lo = 0, hi = 1;
        switch (code) {
        case CodeRipSend: field = &s.sendMode, hi = 2; break;
        case CodeRipReceive: field = &s.receiveMode, hi = 2; break;
        case CodeRipTriggeredUpdate: field = &s.triggeredUpdate; break;
        case CodeRipConvergence: field = &s.convergence, hi = 2; break;
        case CodeRipAuthentication: field = &s.authentication; break;
        case CodeRipAdvertise: field = &s.advertise, lo = 1, hi = 3600; break;
        case CodeRipMetric: field = &s.metric, lo = 1, hi = 64; break;
        case CodeRipEnable: field = &s.state; break;
        case CodeRipAdvertiseDefault: field = &s.advertiseDefault; break;
        default: return devstatus::InvalidParameter;
        }
        if (!within(r.value, lo, hi)) return devstatus::InvalidParameter;
        *field = r.value;
        i->rip = s;
        return devstatus::Done;
    }
    qint32 operator()(const RipPasswordRecord& r)
    {
        DeviceTables::Interface* i = interfaceOf(t, r.if_type, r.if_num);
        if (!i) return devstatus::NoSuchNetIf;
        RipSettings s = i->rip.value_or(RipSettings{});
        s.password = r.password;
        i->rip = s;
        return devstatus::Done;
    }

    qint32 operator()(const Word16Record& r)
    {
        switch (code) {
        case CodeGroupId: t.groupId = r.value; return devstatus::Done;
        case CodeRfchannel: t.rfChannel = r.value; return devstatus::Done;
        default: return devstatus::InvalidParameter;
        }
    }
    qint32 operator()(const PortfilterRecord& r)
    {
        if (!within(r.enabled, 0, 1)) return devstatus::InvalidParameter;
        t.portFilter = {r.enabled, r.first, r.last};
        return devstatus::Done;
    }
    qint32 operator()(const Long32Record& r)
    {
        switch (code) {
        case CodeScramble: t.scramble = r.value; return devstatus::Done;
        case CodeSnmpState:
            if (!within(r.value, 1, 3)) return devstatus::InvalidParameter;
            t.snmp.accessState = r.value;
            return devstatus::Done;
        case CodeSnmpTrap: t.snmp.trapAddress = r.value; return devstatus::Done;
        default: return devstatus::InvalidParameter;
        }
    }
    qint32 operator()(const Byte8Record& r)
    {
        switch (code) {
        case CodeTxmethod:
            if (!within(r.value, 1, 4)) return devstatus::InvalidParameter;
            t.txMethod = r.value;
            return devstatus::Done;
        case CodeDuplex:
            if (!within(r.value, 0, 1)) return devstatus::InvalidParameter;
            t.fullDuplex = r.value;
            return devstatus::Done;
        case CodeL2as: t.l2asState = r.value == 1 ? 1 : 0; return devstatus::Done;
        default: return devstatus::InvalidParameter;
        }
    }
    qint32 operator()(const CommunityRecord& r)
    {
        switch (code) {
        case CodeSnmpReadOnlyCommunity: t.snmp.readOnlyCommunity = r.community; return devstatus::Done;
        case CodeSnmpReadWriteCommunity: t.snmp.readWriteCommunity = r.community; return devstatus::Done;
        default: return devstatus::InvalidParameter;
        }
    }
    // A list admits the addresses from address & mask to address | ~mask.
    qint32 operator()(const AccessListRecord& r)
    {
        if (!within(r.index, 0, AccessListMax)) return devstatus::InvalidParameter;
        const DeviceTables::AccessList row{r.index, r.address & r.mask, r.address | ~r.mask};
        const bool known = std::any_of(t.accessLists.begin(), t.accessLists.end(), [&row](const DeviceTables::AccessList& l) {
            return l.number == row.number && l.minAddress == row.minAddress && l.maxAddress == row.maxAddress;
        });
        if (!known) t.accessLists << row;
        return devstatus::Done;
    }
    // Count -1 denies all, 0 allows all, 1-4 admits the lists given; unused slots read 0.
    qint32 operator()(const AccessRecord& r)
    {
        if (!within(r.kind, AccessLogin, AccessRip) || !within(r.countOrMode, -1, 4)) return devstatus::InvalidParameter;
        DeviceTables::AccessRestriction& a = t.restrictions[size_t(r.kind)];
        a.count = r.countOrMode;
        for (size_t i = 0; i < a.lists.size(); ++i) a.lists[i] = r.lists[i] == EmptySlot ? 0 : r.lists[i];
        return devstatus::Done;
    }

    // rsconfig, rsroute, rsarp, test_mode, tdmaparam, tdmatune: no table shows them; the image
    // keeps them.
    template <typename Other>
    qint32 operator()(const Other&)
    {
        return devstatus::Done;
    }
};

}  // namespace

qint32 ApplyRecord(DeviceTables& t, const AnyRecord& r)
{
    return std::visit(Taker{t, HeadOf(r).code}, r);
}

DeviceTables ConfigurationFree(const DeviceTables& t)
{
    DeviceTables free;  // an unconfigured device's settings
    for (DeviceTables::Interface i : t.interfaces) {
        i.address = i.netmask = i.broadcast = 0;
        i.rip.reset();
        free.interfaces << i;
    }
    for (const DeviceTables::Route& r : t.routes)
        if (!isStaticRoute(r)) free.routes << r;
    for (const DeviceTables::ArpEntry& e : t.arp)
        if (!isStaticArp(e)) free.arp << e;
    for (const DeviceTables::ArpEntry& e : t.rsArp)
        if (!isStaticArp(e)) free.rsArp << e;
    for (DeviceTables::RadioRoute r : t.rsRoutes) {
        r.entries.removeIf(isStaticRadioRoute);
        if (!r.entries.isEmpty()) free.rsRoutes << r;
    }
    free.firmwareVersion = t.firmwareVersion;
    free.mac = t.mac;
    free.uptimeBase = t.uptimeBase;
    return free;
}

QByteArray ConfigurationImage(const DeviceTables& t)
{
    const DeviceTables none;
    const RipSettings fresh;
    ImageSink sink;  // the default device's configuration takes a few dozen of its 448 slots
    auto put = [&sink](qint16 code, auto record) {
        record.head.code = code;
        sink.Put(record);
    };

    for (const DeviceTables::Interface& i : t.interfaces)
        if (i.address != 0 || i.netmask != 0 || i.broadcast != 0)
            put(CodeIfconfig, IfconfigRecord{{}, i.type, i.number, i.address, i.netmask, i.broadcast});
    for (const DeviceTables::Route& r : t.routes)
        if (isStaticRoute(r)) put(CodeRoute, RouteRecord{{}, r.destination, r.netmask, r.gateway});
    for (const DeviceTables::ArpEntry& e : t.arp)
        if (isStaticArp(e)) put(CodeArp, ArpRecord{{}, e.address, e.mac});
    for (const DeviceTables::RadioRoute& r : t.rsRoutes)
        for (const DeviceTables::RadioRouteEntry& e : r.entries)
            if (isStaticRadioRoute(e)) put(CodeRsroute2, Rsroute2Record{{}, e.type, e.destination, e.receive});
    for (const DeviceTables::ArpEntry& e : t.rsArp)
        if (isStaticArp(e)) put(CodeRsarp2, ArpRecord{{}, e.address, e.mac});

    for (qint32 role = DhcpServer; role <= DhcpClient; ++role)
        if (const auto& port = t.dhcp.ports[size_t(role)])
            put(CodeDhcpInterface, DhcpInterfaceRecord{{}, role, port->ifType, port->ifNum});
    if (const auto& s = t.dhcp.server) {
        put(CodeDhcpServerNetmask, DhcpServerValueRecord{{}, s->netmask});
        put(CodeDhcpServerDefaultRouter, DhcpServerValueRecord{{}, s->defaultRouter});
        put(CodeDhcpServerDnsServer, DhcpDnsRecord{{}, s->dnsCount, s->dns});
        put(CodeDhcpServerScope, DhcpScopeRecord{{}, s->scopeStart, s->scopeEnd});
        put(CodeDhcpServerLease, DhcpServerValueRecord{{}, qint32(s->leaseTime)});
    }
    if (t.dhcp.relayServer) put(CodeDhcpRelayServer, DhcpValueRecord{{}, *t.dhcp.relayServer});
    if (t.dhcp.clientState) put(CodeDhcpClient, DhcpValueRecord{{}, *t.dhcp.clientState});
    if (t.dhcp.service != none.dhcp.service) put(CodeDhcpService, DhcpValueRecord{{}, t.dhcp.service});

    // The state record always goes: it gives an interface its RIP settings even when every
    // other value is a fresh one's.
    auto rip = [&](qint16 code, qint32 RipSettings::*field) {
        for (const DeviceTables::Interface& i : t.interfaces)
            if (i.rip && ((*i.rip).*field != fresh.*field || code == CodeRipEnable))
                put(code, RipValueRecord{{}, i.type, i.number, (*i.rip).*field});
    };
    rip(CodeRipSend, &RipSettings::sendMode);
    rip(CodeRipReceive, &RipSettings::receiveMode);
    rip(CodeRipTriggeredUpdate, &RipSettings::triggeredUpdate);
    rip(CodeRipConvergence, &RipSettings::convergence);
    for (const DeviceTables::Interface& i : t.interfaces)
        if (i.rip && i.rip->password != fresh.password)
            put(CodeRipPassword, RipPasswordRecord{{}, i.type, i.number, i.rip->password});
    rip(CodeRipAuthentication, &RipSettings::authentication);
    rip(CodeRipAdvertise, &RipSettings::advertise);
    rip(CodeRipMetric, &RipSettings::metric);
    rip(CodeRipEnable, &RipSettings::state);

    if (t.groupId != none.groupId) put(CodeGroupId, Word16Record{{}, t.groupId});
    if (t.rfChannel != none.rfChannel) put(CodeRfchannel, Word16Record{{}, t.rfChannel});
    const DeviceTables::PortFilter& f = t.portFilter;
    if (f.enable != none.portFilter.enable || f.first != none.portFilter.first || f.last != none.portFilter.last)
        put(CodePortfilter, PortfilterRecord{{}, f.enable, f.first, f.last});
    if (t.scramble != none.scramble) put(CodeScramble, Long32Record{{}, t.scramble});
    if (t.txMethod != none.txMethod) put(CodeTxmethod, Byte8Record{{}, t.txMethod});
    rip(CodeRipAdvertiseDefault, &RipSettings::advertiseDefault);
    if (t.fullDuplex != none.fullDuplex) put(CodeDuplex, Byte8Record{{}, t.fullDuplex});

    if (t.snmp.accessState != none.snmp.accessState) put(CodeSnmpState, Long32Record{{}, t.snmp.accessState});
    if (t.snmp.readOnlyCommunity != none.snmp.readOnlyCommunity)
        put(CodeSnmpReadOnlyCommunity, CommunityRecord{{}, t.snmp.readOnlyCommunity});
    if (t.snmp.readWriteCommunity != none.snmp.readWriteCommunity)
        put(CodeSnmpReadWriteCommunity, CommunityRecord{{}, t.snmp.readWriteCommunity});
    if (t.snmp.trapAddress != none.snmp.trapAddress) put(CodeSnmpTrap, Long32Record{{}, t.snmp.trapAddress});
    if (t.l2asState != none.l2asState) put(CodeL2as, Byte8Record{{}, 1});

    // A list's range is its address and the mask of the bits where the two ends differ.
    for (const DeviceTables::AccessList& l : t.accessLists)
        put(CodeAccessList, AccessListRecord{{}, l.number, l.minAddress, ~(l.minAddress ^ l.maxAddress)});
    for (qint32 kind = AccessLogin; kind <= AccessRip; ++kind) {
        const DeviceTables::AccessRestriction& a = t.restrictions[size_t(kind)];
        if (a.count == 0 && a.lists == Slots{}) continue;
        Slots lists{EmptySlot, EmptySlot, EmptySlot, EmptySlot};
        for (int i = 0; i < std::min(a.count, 4); ++i) lists[size_t(i)] = a.lists[size_t(i)];
        put(CodeAccess, AccessRecord{{}, kind, a.count, lists});
    }
    return sink.image();
}

DeviceTables ApplyImage(const DeviceTables& base, const QByteArray& image)
{
    constexpr int slotCount = DeviceStores::ImageSize / basUIF::UIFPacketSize;
    DeviceTables t = ConfigurationFree(base);
    for (int slot = 0; slot < slotCount; ++slot) {
        const QByteArray bytes = image.mid(slot * basUIF::UIFPacketSize, basUIF::UIFPacketSize);
        if (const std::optional<AnyRecord> r = ReadAnyRecord(bytes))
            ApplyRecord(t, *r);
        else if (bytes.size() < 16 || basConv::GetIntBE(bytes, 14) == qint16(-1))
            break;  // an erased slot: the records end here
    }
    return t;
}

QByteArray WithInterfaceAddress(const QByteArray& image, qint32 type, qint32 number, quint32 address)
{
    constexpr int size = basUIF::UIFPacketSize;
    QByteArray out = image;
    int erased = -1;
    for (int slot = 0; slot < DeviceStores::ImageSize / size; ++slot) {
        const QByteArray bytes = out.mid(slot * size, size);
        const std::optional<AnyRecord> r = ReadAnyRecord(bytes);
        if (!r) {
            if (bytes.size() < 16 || basConv::GetIntBE(bytes, 14) == qint16(-1)) {
                erased = slot;
                break;
            }
            continue;
        }
        const auto* ifc = std::get_if<IfconfigRecord>(&*r);
        if (!ifc || ifc->if_type != type || ifc->if_num != number) continue;
        IfconfigRecord changed = *ifc;
        changed.address = qint32(address);
        changed.broadcast = qint32(address | ~quint32(changed.netmask));
        out.replace(slot * size, size, BuildAnyRecord(changed, ifc->head.ident));
        return out;
    }
    if (erased < 0) return out;
    constexpr quint32 mask = 0xFFFFFF00u;
    IfconfigRecord added{{CodeIfconfig, 0}, type, number, qint32(address), qint32(mask), qint32(address | ~mask)};
    out.replace(erased * size, size, BuildAnyRecord(added, 0));
    return out;
}
