#include "ScriptedPeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

ScriptedPeer::ScriptedPeer(const QHostAddress& address, quint16 port)
{
    socket_.bind(address, port);
    connect(&socket_, &QUdpSocket::readyRead, this, [this] {
        while (socket_.hasPendingDatagrams()) {
            Datagram d;
            d.data.resize(int(socket_.pendingDatagramSize()));
            socket_.readDatagram(d.data.data(), d.data.size(), &d.from, &d.fromPort);
            received.append(d);
            if (reply)
                for (const QByteArray& r : reply(d)) socket_.writeDatagram(r, d.from, d.fromPort);
        }
    });
}

bool waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::usleep(200);
    }
    return done();
}

void spin(int ms)
{
    waitUntil([] { return false; }, ms);
}
