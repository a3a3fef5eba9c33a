#pragma once
// The management address: the interface of the running configuration that holds the address
// this PC talks to. A configuration that changes or removes it leaves the device unreachable here.
#include <QByteArray>
#include <QString>
#include <optional>

namespace config {

struct AddressChange {
    QString interfaceName;  // "eth0", "rs0"
    QString oldAddress;     // the address this PC talks to
    QString newAddress;     // "" when the new configuration gives that interface no address
};

// The change of the management address that putting `wanted` in the place of `running` makes;
// nothing when no interface of `running` holds `device`, or when `wanted` keeps it there.
std::optional<AddressChange> ManagementAddressChange(const QByteArray& running, const QByteArray& wanted, quint32 device);

// "Refused: eth0 has 127.0.0.2, the address this PC talks to, and the file changes it to
// 10.0.0.1 (removes it): the device would stop answering here."
QString AddressChangeText(const AddressChange& change);

}  // namespace config
