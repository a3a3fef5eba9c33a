#pragma once
// The device's side of a transfer: a TFTP client that reads a file from the PC's server or
// writes one to it, from one UDP port, with the simulator's TFTP faults on every packet it sends.
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class DeviceSim;
class QTimer;
class QUdpSocket;

class DeviceTftpClient : public QObject {
    Q_OBJECT
public:
    enum class Direction { Read, Write };
    struct Setup {
        Direction direction = Direction::Read;
        QByteArray name;
        QHostAddress server;
        quint16 serverPort = 0;
        QByteArray data;  // what a write sends
    };

    DeviceTftpClient(DeviceSim& sim, const Setup& setup, QObject* parent = nullptr);

    // Binds a port of the device's address and sends the request.
    bool start();
    const Setup& setup() const { return setup_; }
    bool done() const { return done_; }
    bool succeeded() const { return succeeded_; }
    QString failure() const { return failure_; }
    const QByteArray& received() const { return received_; }

signals:
    // The transfer ended (a completed read still answers a repeated last block for a while).
    void finished(bool ok);
    // Nothing more will come from this client: it may be deleted.
    void retired();

private:
    void onReadyRead();
    void onData(const QByteArray& d);
    void onAck(const QByteArray& d);
    void onTimeout();
    void sendNextBlock();
    // Sends a packet that moves the transfer on: it is kept for resends.
    void sendFresh(const QByteArray& packet);
    // Sends through the faults: drop, duplicate, reorder, delay.
    void emitPacket(const QByteArray& packet);
    void write(const QByteArray& packet);
    bool errorInjectedAt(int block);
    void finish(bool ok, const QString& failure = QString());

    DeviceSim& sim_;
    Setup setup_;
    QUdpSocket* socket_ = nullptr;
    QTimer* timer_ = nullptr;
    QByteArray last_;
    QByteArray held_;
    quint16 peerPort_ = 0;
    int block_ = 0;         // read: next expected; write: last sent
    bool lastSent_ = false;  // write: the short block went out
    int retries_ = 0;
    bool done_ = false;
    bool succeeded_ = false;
    QString failure_;
    QByteArray received_;
};
