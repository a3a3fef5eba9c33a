#pragma once
// Socket failures in the system's wording: the Winsock number of the error where one exists.
#include <QAbstractSocket>
#include <QString>

namespace basUIF {

int WinsockNumber(QAbstractSocket::SocketError error);
// "Send_VBErrNumber=<n>/\n    VBErrDesc=<description>" with a literal backslash-n.
QString SendErrorText(int number, const QString& description);
QString SendErrorText(const QAbstractSocket& socket);

}  // namespace basUIF
