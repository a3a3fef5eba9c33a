#pragma once
#include <QString>

namespace basMain {
// The PC's own IPv4 address as the device sees it: the source address the system would use
// towards the device (nothing is sent); without a device, the first non-loopback IPv4 address.
QString PcAddressTowards(quint32 device);
}  // namespace basMain
