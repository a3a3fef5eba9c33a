#pragma once
// The device's live tables and settings: what the status queries read. Every table is a plain
// list of row structs and every setting a public field, so that whatever changes the device's
// state (start-up options today, configuration records later) adds, replaces or clears rows
// directly. Addresses are IPv4 Longs (most significant byte first); text fields are bytes that
// go on the wire as they stand.
#include "link/basConv.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

struct DeviceTables {
    enum IfType : qint32 { Eth = 1, Rs = 2 };

    struct RipSettings {
        qint32 state = 0;             // 0 disable, 1 enable
        qint32 sendMode = 0;          // 0 version_1, 1 version_1_compatible, 2 version_2
        qint32 receiveMode = 0;       // 0 version_1, 1 version_2, 2 both
        qint32 triggeredUpdate = 0;   // 0 disable, 1 enable
        qint32 convergence = 0;       // 0 split horizon, 1 poisoned reverse, 2 disable
        qint32 advertise = 0;
        qint32 metric = 1;
        qint32 advertiseDefault = 0;  // 0 disable, 1 enable
        qint32 authentication = 0;    // 0 disable, 1 enable
        QByteArray password;          // at most 16 bytes go on the wire
    };
    struct Interface {
        qint32 type = Eth;
        qint32 number = 0;
        qint32 address = 0;
        qint32 netmask = 0;
        qint32 broadcast = 0;
        std::optional<RipSettings> rip;  // none: the interface runs no RIP
    };
    struct Route {
        qint32 destination = 0;
        qint32 netmask = 0;
        qint32 ifType = Eth;
        qint32 ifNum = 0;
        qint32 gateway = 0;
        qint32 flag = 0;  // 0 static, 3 dynamic
        qint32 metric = 0;
    };
    // An Ethernet ARP entry (MAC) or a radio ARP entry (station ID).
    struct ArpEntry {
        qint32 type = 3;  // 0 invalid, 1 incomplete, 2 dynamic, 3 static
        qint32 address = 0;
        basConv::Mac mac{};
    };
    struct RadioRouteEntry {
        qint32 type = 0;     // expire mode: 0 static, 1 primary, 2 secondary, 3 auto, 4 specify
        qint32 compare = 0;  // equal to the type for a route set statically
        qint16 metric = 0;   // 0 local, 15 infinity
        qint16 valid = 1;
        basConv::Mac destination{};
        basConv::Mac receive{};
    };
    // One radio route index holds up to four entries (sub-indices 0 to 3).
    struct RadioRoute {
        QList<RadioRouteEntry> entries;
    };
    struct DhcpPort {
        qint32 ifType = Eth;
        qint32 ifNum = 0;
    };
    struct DhcpServer {
        quint32 leaseTime = 0;  // seconds
        qint32 netmask = 0;
        qint32 scopeStart = 0;
        qint32 scopeEnd = 0;
        qint32 defaultRouter = 0;
        qint32 dnsCount = 0;
        std::array<qint32, 4> dns{};
    };
    struct Dhcp {
        enum Service { Server = 0, Relay = 1, Client = 2 };
        std::array<std::optional<DhcpPort>, 3> ports;  // by service; none: port not assigned
        std::optional<DhcpServer> server;              // none: no server settings
        std::optional<qint32> relayServer;             // the DHCP server the relay agent asks
        std::optional<qint32> clientState;             // 0 disable, 1 enable
        qint32 service = 0;                            // 0 off, 1 server, 2 relay agent
    };
    struct Snmp {
        qint32 accessState = 3;  // 1 read only, 2 read write, 3 disable
        qint32 trapAddress = 0;
        QByteArray readOnlyCommunity;   // at most 32 bytes go on the wire
        QByteArray readWriteCommunity;  // at most 32 bytes go on the wire
    };
    struct PortFilter {
        qint32 enable = 0;
        qint16 first = 0;
        qint16 last = 0;
    };
    struct AccessList {
        qint32 number = 0;
        qint32 minAddress = 0;
        qint32 maxAddress = 0;
    };
    // Which access lists a service (login, config, snmp, rstest, rip) admits.
    struct AccessRestriction {
        qint32 count = 0;  // -1 deny all, 0 allow all, 1..4 the lists below
        std::array<qint32, 4> lists{};
    };
    static constexpr int RestrictedServices = 5;

    QList<Interface> interfaces;  // Ethernet and radio, each type in its own order
    QList<Route> routes;
    QList<ArpEntry> arp;
    QList<ArpEntry> rsArp;
    QList<RadioRoute> rsRoutes;
    Dhcp dhcp;
    qint16 groupId = 0;
    qint16 rfChannel = 0;
    PortFilter portFilter;
    qint32 scramble = 0;
    uint8_t txMethod = 1;  // 1 csma, 2 dtdma1, 3 dtdma2, 4 bidir
    uint8_t fullDuplex = 0;
    Snmp snmp;
    uint8_t l2asState = 0;
    QList<AccessList> accessLists;
    std::array<AccessRestriction, RestrictedServices> restrictions{};
    QByteArray firmwareVersion;  // at most 16 bytes go on the wire
    basConv::Mac mac{};
    quint32 uptimeBase = 0;  // seconds the device has been up when the simulator starts

    // The `index`-th interface of a type (0 first), or null past the last one.
    const Interface* interfaceAt(qint32 type, qint32 index) const;

    // A device with two Ethernet interfaces and one radio interface, configured throughout
    // (README.md lists what it holds).
    static DeviceTables Default();

    // Clears one table by its name (EmptyNames()); false for a name that is none of them.
    bool empty(const QString& name);
    static QStringList EmptyNames();
};
