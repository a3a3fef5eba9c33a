#include "link/SocketErrors.h"

namespace basUIF {

int WinsockNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::DatagramTooLargeError: return 10040;
    case QAbstractSocket::TemporaryError: return 10035;
    case QAbstractSocket::NetworkError: return 10050;
    default: return int(error);
    }
}

QString SendErrorText(int number, const QString& description)
{
    return QStringLiteral("Send_VBErrNumber=") + QString::number(number) + QStringLiteral("/\\n    VBErrDesc=") +
           description;
}

QString SendErrorText(const QAbstractSocket& socket)
{
    return SendErrorText(WinsockNumber(socket.error()), socket.errorString());
}

}  // namespace basUIF
