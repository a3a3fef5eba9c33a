#pragma once
// The device's configuration and its live tables: a configuration record changes the tables, an
// image of records is what the configured part of the tables looks like in a store, and a store
// written to the running configuration rebuilds the tables from it. What the device learned or
// owns (dynamic routes and ARP entries, radio routes it found, firmware, MAC, up-time) stays.
#include "config/ConfigRecords.h"
#include "devsim/DeviceTables.h"

#include <QByteArray>

// Takes one record into the tables: 0 when taken, 2 when it names an interface the device does
// not have, 3 for a value the device cannot take. A refused record leaves the tables unchanged.
qint32 ApplyRecord(DeviceTables& t, const config::AnyRecord& r);

// The tables with every configured part removed: interfaces without addresses or RIP, no static
// routes, ARP entries or radio routes, and the settings of an unconfigured device.
DeviceTables ConfigurationFree(const DeviceTables& t);

// The 28672-byte image whose records, applied to ConfigurationFree(t), give tables that answer
// every status query as `t` does. Records come in code order; unconfigured values are left out.
QByteArray ConfigurationImage(const DeviceTables& t);

// ConfigurationFree(base) with every record of the image applied in slot order, as the tools'
// walk reads it (an erased slot ends it); refused records change nothing.
DeviceTables ApplyImage(const DeviceTables& base, const QByteArray& image);

// The image with the ifconfig record of interface (type, number) holding `address`, its
// broadcast following the record's netmask; without such a record one is put into the first
// erased slot, netmask 255.255.255.0.
constexpr qint32 IfconfigEth = 1;
QByteArray WithInterfaceAddress(const QByteArray& image, qint32 type, qint32 number, quint32 address);
