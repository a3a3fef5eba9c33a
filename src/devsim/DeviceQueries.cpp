#include "devsim/DeviceQueries.h"

#include "devsim/DeviceSim.h"
#include "devsim/DeviceStatus.h"
#include "link/basUIF.h"

using basUIF::GetUIFLong;
using basUIF::PutUIFByte;
using basUIF::PutUIFInt;
using basUIF::PutUIFLong;
using basUIF::PutUIFMac;

namespace {

// A text field takes at most `max` bytes, then its terminating 0.
void PutText(QByteArray& reply, const QByteArray& text, int offset, int max)
{
    basUIF::PutUIFString(reply, text.left(max), offset);
}

template <typename Row>
const Row* rowAt(const QList<Row>& rows, qint32 index)
{
    return index >= 0 && index < rows.size() ? &rows[index] : nullptr;
}

void PutArp(QByteArray& reply, const DeviceTables::ArpEntry& e)
{
    PutUIFLong(reply, e.type, 4);
    PutUIFLong(reply, 0, 8);
    PutUIFLong(reply, e.address, 12);
    PutUIFMac(reply, e.mac, 16);
}
}  // namespace

DeviceQueries::DeviceQueries(DeviceSim& sim) : QObject(&sim), sim_(sim)
{
    started_.start();
    using Request = DeviceSim::Request;
    const DeviceTables& t = sim.tables;  // read at each request: the tables stay live

    // Interfaces by type and index: 2 past the last interface of the type.
    sim.setHandler(2, [&t](const Request& r, QByteArray& reply) {
        const auto* i = t.interfaceAt(GetUIFLong(r.bytes, 0), GetUIFLong(r.bytes, 4));
        if (!i) return devstatus::NoSuchNetIf;
        PutUIFLong(reply, i->type, 0);
        PutUIFLong(reply, i->number, 4);
        PutUIFLong(reply, i->address, 8);
        PutUIFLong(reply, i->netmask, 12);
        PutUIFLong(reply, i->broadcast, 16);
        return 0;
    });
    // Routes, ARP and radio ARP by index (echoed at 0): 4 past the last entry.
    sim.setHandler(6, [&t](const Request& r, QByteArray& reply) {
        const auto* e = rowAt(t.routes, GetUIFLong(r.bytes, 0));
        if (!e) return devstatus::NoEntry;
        PutUIFLong(reply, e->destination, 4);
        PutUIFLong(reply, e->netmask, 8);
        PutUIFLong(reply, e->ifType, 12);
        PutUIFLong(reply, e->ifNum, 16);
        PutUIFLong(reply, e->gateway, 20);
        PutUIFLong(reply, e->flag, 24);
        PutUIFLong(reply, 0, 28);
        PutUIFLong(reply, e->metric, 32);
        return 0;
    });
    sim.setHandler(10, [&t](const Request& r, QByteArray& reply) {
        const auto* e = rowAt(t.arp, GetUIFLong(r.bytes, 0));
        if (!e) return devstatus::NoEntry;
        PutArp(reply, *e);
        return 0;
    });
    sim.setHandler(18, [&t](const Request& r, QByteArray& reply) {
        const auto* e = rowAt(t.rsArp, GetUIFLong(r.bytes, 0));
        if (!e) return devstatus::NoEntry;
        PutArp(reply, *e);
        return 0;
    });
    // Radio routes by index and sub-index 0-3: 4 past the last index (whatever the sub-index);
    // a sub-index past the index's entries answers an all-zero entry with valid 0.
    sim.setHandler(16, [&t](const Request& r, QByteArray& reply) {
        const qint32 sub = GetUIFLong(r.bytes, 4);
        const auto* route = rowAt(t.rsRoutes, GetUIFLong(r.bytes, 0));
        if (!route) return devstatus::NoEntry;
        if (sub < 0 || sub > 3) return devstatus::InvalidParameter;
        const DeviceTables::RadioRouteEntry none{0, 0, 0, 0, {}, {}};
        const auto& e = sub < route->entries.size() ? route->entries[sub] : none;
        PutUIFLong(reply, e.type, 4);
        PutUIFLong(reply, e.compare, 8);
        PutUIFLong(reply, 0, 12);
        PutUIFInt(reply, e.metric, 16);
        PutUIFInt(reply, e.valid, 18);
        PutUIFMac(reply, e.destination, 20);
        PutUIFMac(reply, e.receive, 26);
        return 0;
    });

    // DHCP: the port of a service (4 when none is assigned), then each service's settings
    // (10 when it has none).
    sim.setHandler(20, [&t](const Request& r, QByteArray& reply) {
        const qint32 service = GetUIFLong(r.bytes, 0);
        if (service < 0 || service >= int(t.dhcp.ports.size())) return devstatus::InvalidParameter;
        const auto& port = t.dhcp.ports[size_t(service)];
        if (!port) return devstatus::NoEntry;
        PutUIFLong(reply, port->ifType, 4);
        PutUIFLong(reply, port->ifNum, 8);
        return 0;
    });
    sim.setHandler(26, [&t](const Request&, QByteArray& reply) {
        if (!t.dhcp.server) return devstatus::NoObject;
        const DeviceTables::DhcpServer& s = *t.dhcp.server;
        PutUIFLong(reply, qint32(s.leaseTime), 12);
        PutUIFLong(reply, s.netmask, 16);
        PutUIFLong(reply, s.scopeStart, 20);
        PutUIFLong(reply, s.scopeEnd, 24);
        PutUIFLong(reply, s.defaultRouter, 28);
        PutUIFLong(reply, s.dnsCount, 32);
        for (int i = 0; i < 4; ++i) PutUIFLong(reply, s.dns[size_t(i)], 36 + 4 * i);
        return 0;
    });
    sim.setHandler(28, [&t](const Request&, QByteArray& reply) {
        if (!t.dhcp.relayServer) return devstatus::NoObject;
        PutUIFLong(reply, *t.dhcp.relayServer, 8);
        return 0;
    });
    sim.setHandler(30, [&t](const Request&, QByteArray& reply) {
        if (!t.dhcp.clientState) return devstatus::NoObject;
        PutUIFLong(reply, *t.dhcp.clientState, 8);
        return 0;
    });
    // The service query carries two zero Longs; anything else there is refused as a bad parameter.
    sim.setHandler(32, [&t](const Request& r, QByteArray& reply) {
        if (GetUIFLong(r.bytes, 0) != 0 || GetUIFLong(r.bytes, 4) != 0) return devstatus::InvalidParameter;
        PutUIFLong(reply, t.dhcp.service, 8);
        return 0;
    });

    // RIP by interface type and index: 2 past the last interface, 10 for one without RIP.
    auto rip = [&t](const Request& r, const DeviceTables::Interface*& i) {
        i = t.interfaceAt(GetUIFLong(r.bytes, 0), GetUIFLong(r.bytes, 4));
        return !i ? devstatus::NoSuchNetIf : !i->rip ? devstatus::NoObject : 0;
    };
    sim.setHandler(42, [rip](const Request& r, QByteArray& reply) {
        const DeviceTables::Interface* i = nullptr;
        if (const qint32 status = rip(r, i)) return status;
        const DeviceTables::RipSettings& s = *i->rip;
        PutUIFLong(reply, i->type, 0);
        PutUIFLong(reply, i->number, 4);
        PutUIFLong(reply, s.state, 8);
        PutUIFLong(reply, s.sendMode, 12);
        PutUIFLong(reply, s.receiveMode, 16);
        PutUIFLong(reply, s.triggeredUpdate, 20);
        PutUIFLong(reply, s.convergence, 24);
        PutUIFLong(reply, s.advertise, 28);
        PutUIFLong(reply, s.metric, 32);
        PutUIFLong(reply, s.advertiseDefault, 36);
        return 0;
    });
    sim.setHandler(43, [rip](const Request& r, QByteArray& reply) {
        const DeviceTables::Interface* i = nullptr;
        if (const qint32 status = rip(r, i)) return status;
        PutUIFLong(reply, i->rip->authentication, 8);
        PutText(reply, i->rip->password, 12, 16);
        return 0;
    });

    // Single settings.
    sim.setHandler(45, [&t](const Request&, QByteArray& reply) { return PutUIFInt(reply, t.groupId, 0), 0; });
    sim.setHandler(46, [&t](const Request&, QByteArray& reply) { return PutText(reply, t.firmwareVersion, 0, 16), 0; });
    sim.setHandler(48, [&t](const Request&, QByteArray& reply) { return PutUIFInt(reply, t.rfChannel, 0), 0; });
    sim.setHandler(50, [&t](const Request&, QByteArray& reply) {
        PutUIFLong(reply, t.portFilter.enable, 0);
        PutUIFInt(reply, t.portFilter.first, 4);
        PutUIFInt(reply, t.portFilter.last, 6);
        return 0;
    });
    sim.setHandler(52, [&t](const Request&, QByteArray& reply) { return PutUIFLong(reply, t.scramble, 0), 0; });
    sim.setHandler(60, [&t](const Request&, QByteArray& reply) { return PutUIFByte(reply, t.txMethod, 0), 0; });
    sim.setHandler(63, [&t](const Request&, QByteArray& reply) { return PutUIFByte(reply, t.fullDuplex, 0), 0; });
    sim.setHandler(65, [&t](const Request&, QByteArray& reply) {
        PutUIFLong(reply, t.snmp.accessState, 0);
        PutUIFLong(reply, t.snmp.trapAddress, 4);
        return 0;
    });
    sim.setHandler(67, [&t](const Request&, QByteArray& reply) { return PutText(reply, t.snmp.readOnlyCommunity, 0, 32), 0; });
    sim.setHandler(69, [&t](const Request&, QByteArray& reply) { return PutText(reply, t.snmp.readWriteCommunity, 0, 32), 0; });
    sim.setHandler(72, [&t](const Request&, QByteArray& reply) { return PutUIFByte(reply, t.l2asState, 0), 0; });
    sim.setHandler(73, [this, &t](const Request&, QByteArray& reply) {
        PutText(reply, t.firmwareVersion, 0, 16);
        PutUIFMac(reply, t.mac, 32);
        PutUIFLong(reply, uptime(), 40);
        return 0;
    });

    // Access lists by index: 12 past the last list. Restrictions by service 0-4.
    sim.setHandler(75, [&t](const Request& r, QByteArray& reply) {
        const auto* l = rowAt(t.accessLists, GetUIFLong(r.bytes, 0));
        if (!l) return devstatus::NotAccessList;
        PutUIFLong(reply, l->number, 0);
        PutUIFLong(reply, l->minAddress, 4);
        PutUIFLong(reply, l->maxAddress, 8);
        return 0;
    });
    sim.setHandler(77, [&t](const Request& r, QByteArray& reply) {
        const qint32 service = GetUIFLong(r.bytes, 0);
        if (service < 0 || service >= DeviceTables::RestrictedServices) return devstatus::InvalidParameter;
        const DeviceTables::AccessRestriction& a = t.restrictions[size_t(service)];
        PutUIFLong(reply, service, 0);
        PutUIFLong(reply, a.count, 4);
        for (int i = 0; i < 4; ++i) PutUIFLong(reply, a.lists[size_t(i)], 8 + 4 * i);
        return 0;
    });
}

qint32 DeviceQueries::uptime() const
{
    return qint32(sim_.tables.uptimeBase + quint32(started_.elapsed() / 1000));
}
