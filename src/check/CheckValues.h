#pragma once
// What the queries read, as values: one struct per table row or group of settings. Each reads
// itself from a reply, gives its list text and its JSON form; the lines are made from these.
#include "check/CheckOutput.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace check {

struct InterfaceRow {  // code 2
    qint32 ifType = 0, ifNum = 0;
    quint32 address = 0, netmask = 0, broadcast = 0;
    static InterfaceRow read(const Reply& r);
    QString text() const;
    QJsonObject json() const;
};

struct RouteRow {  // code 6
    quint32 destination = 0, netmask = 0, gateway = 0;
    qint32 ifType = 0, ifNum = 0, flag = 0, metric = 0;
    static RouteRow read(const Reply& r);
    QString text() const;
    QJsonObject json() const;
};

struct RsRouteRow {  // code 16
    qint32 index = 0, subIndex = 0, type = 0, compare = 0;
    qint16 metric = 0, valid = 0;
    basConv::Mac destination{}, receive{};
    static RsRouteRow read(const Reply& r, qint32 index, qint32 subIndex);
    QString text() const;
    QJsonObject json() const;
};

struct ArpRow {  // codes 10 and 18 (for 18 the MAC is the station ID)
    qint32 type = 0;
    quint32 address = 0;
    basConv::Mac mac{};
    static ArpRow read(const Reply& r);
    QString text() const;
    QJsonObject json(const char* macField) const;
};

struct AccessListRow {  // code 75
    qint32 list = 0;
    quint32 minimum = 0, maximum = 0;
    static AccessListRow read(const Reply& r);
    QString text() const;
    QJsonObject json() const;
};

struct AccessRestriction {  // code 77
    qint32 service = 0, count = 0;
    qint32 lists[4] = {0, 0, 0, 0};
    static AccessRestriction read(const Reply& r);
    QString text() const;
    QJsonObject json() const;
};

struct DhcpServerSettings {  // code 26
    quint32 lease = 0, netmask = 0, scopeStart = 0, scopeEnd = 0, router = 0;
    qint32 dnsCount = 0;
    quint32 dns[4] = {0, 0, 0, 0};
    static DhcpServerSettings read(const Reply& r);
    QJsonObject json() const;
};

struct RipSettings {  // codes 42 and 43
    qint32 ifType = 0, ifNum = 0, state = 0, sendMode = 0, receiveMode = 0, triggered = 0,
           convergence = 0, advertise = 0, metric = 0, advertiseDefault = 0;
    bool hasAuth = false;
    qint32 authentication = 0;
    QString password;
    static RipSettings read(const Reply& r);
    QJsonObject json() const;
};

// Shared enumeration texts.
QString ArpTypeText(qint32 type);
QString EnableText(qint32 value);  // "Disable", "Enable", "???"
// An enumerated value in the JSON document: its name, or the device's number itself where the
// name says the tool does not know it ("", "???", "???(9)", "?(5)"), so that nothing is lost.
QJsonValue Named(qint32 raw, const QString& name);
QString IP(quint32 address);
QString MAC(const basConv::Mac& mac);

}  // namespace check
