#pragma once
// A small UDP peer for tests: records every datagram it receives and answers from a script.
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QUdpSocket>
#include <functional>

class ScriptedPeer : public QObject {
    Q_OBJECT
public:
    struct Datagram {
        QByteArray data;
        QHostAddress from;
        quint16 fromPort = 0;
    };

    explicit ScriptedPeer(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    quint16 port() const { return socket_.localPort(); }
    QHostAddress address() const { return socket_.localAddress(); }

    // Called for each datagram; the datagrams it returns are sent back to the sender in order.
    std::function<QList<QByteArray>(const Datagram&)> reply;

    void send(const QByteArray& data, const QHostAddress& to, quint16 port) { socket_.writeDatagram(data, to, port); }

    QList<Datagram> received;

private:
    QUdpSocket socket_;
};

// Runs the event loop until `done` holds or `ms` passes; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int ms = 5000);
// Runs the event loop for `ms`.
void spin(int ms);
