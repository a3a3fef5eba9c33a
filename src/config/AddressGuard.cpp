#include "config/AddressGuard.h"

#include "config/ConfigRecords.h"
#include "link/basUIF.h"

#include <QList>

namespace config {

namespace {
constexpr int RecordSize = basUIF::UIFPacketSize;
constexpr int Slots = basUIF::UIFCollectSize / RecordSize;

// The ifconfig records of an image up to its erased end.
QList<IfconfigRecord> interfacesOf(const QByteArray& image)
{
    QList<IfconfigRecord> out;
    for (int slot = 0; slot < Slots && (slot + 1) * RecordSize <= image.size(); ++slot) {
        const QByteArray bytes = image.mid(slot * RecordSize, RecordSize);
        if (bytes.count(char(0xFF)) == RecordSize) break;
        const std::optional<AnyRecord> r = ReadAnyRecord(bytes);
        if (const auto* ifc = r ? std::get_if<IfconfigRecord>(&*r) : nullptr) out << *ifc;
    }
    return out;
}

QString nameOf(const IfconfigRecord& r)
{
    return (r.if_type == IfRs ? QStringLiteral("rs") : QStringLiteral("eth")) + QString::number(r.if_num);
}
}  // namespace

std::optional<AddressChange> ManagementAddressChange(const QByteArray& running, const QByteArray& wanted, quint32 device)
{
    for (const IfconfigRecord& now : interfacesOf(running)) {
        if (quint32(now.address) != device) continue;
        // The last record for the interface is the one the device keeps.
        std::optional<qint32> next;
        for (const IfconfigRecord& w : interfacesOf(wanted))
            if (w.if_type == now.if_type && w.if_num == now.if_num) next = w.address;
        if (next && quint32(*next) == device) return std::nullopt;
        return AddressChange{nameOf(now), basConv::FormatIPv4(now.address),
                             next && *next != 0 ? basConv::FormatIPv4(*next) : QString()};
    }
    return std::nullopt;
}

QString AddressChangeText(const AddressChange& change)
{
    const QString what = change.newAddress.isEmpty() ? QStringLiteral("removes it")
                                                     : QStringLiteral("changes it to ") + change.newAddress;
    return QStringLiteral("%1 has %2, the address this PC talks to, and the file %3: the device would stop answering here.")
        .arg(change.interfaceName, change.oldAddress, what);
}

}  // namespace config
