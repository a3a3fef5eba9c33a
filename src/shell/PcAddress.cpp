#include "shell/PcAddress.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QUdpSocket>

namespace basMain {

QString PcAddressTowards(quint32 device)
{
    if (device != 0) {
        // A connected UDP socket learns its source address from the routing table; nothing leaves.
        QUdpSocket probe;
        probe.connectToHost(QHostAddress(device), 9);
        if (probe.waitForConnected(0) || probe.state() == QAbstractSocket::ConnectedState) {
            const QHostAddress local = probe.localAddress();
            if (!local.isNull() && local.protocol() == QAbstractSocket::IPv4Protocol) return local.toString();
        }
    }
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) return a.toString();
    return QStringLiteral("127.0.0.1");
}

}  // namespace basMain
