#pragma once
// The PC's TFTP server: serves one device request for the expected file, in 512-byte blocks,
// with a resend schedule counted in ticks (1000 ms each normally). Only the device counts: a
// datagram from any other address, or from another port of the device once its request is
// taken, never takes, changes or ends the transfer.
#include "tftp/TftpFiles.h"
#include "tftp/TftpResult.h"
#include "tftp/basTFTP.h"

#include <QHostAddress>
#include <QObject>
#include <functional>

class QTimer;
class QUdpSocket;

class frmTFTP : public QObject {
    Q_OBJECT
public:
    struct Options {
        int tickMs = 1000;
        quint16 port = basTFTP::TFTPServerPort;  // 0 picks a free port (tests)
        QHostAddress address = QHostAddress::AnyIPv4;
    };

    explicit frmTFTP(QObject* parent = nullptr);
    explicit frmTFTP(const Options& options, QObject* parent = nullptr);
    ~frmTFTP() override;

    // Binds the port and waits for the request `transfer` expects (a read request for types 0
    // and 2, a write request for 1 and 3) from `device`. False when the port cannot be bound
    // (bindErrorText() says why); the server is then not loaded.
    bool load(const basTFTP::Transfer& transfer, const QHostAddress& device);
    // Closes the files (a half-received file is thrown away) and the socket; state 0.
    void unload();
    bool isLoaded() const { return loaded_; }
    quint16 localPort() const;
    QString bindErrorText() const { return bindErrorText_; }

    int TFTPState = basTFTP::StateIdle;
    int TFTPResult = basTFTP::ResultNotFinished;
    int TFTPErrCode = 0;
    int TFTPBlock = 0;
    int TFTPTicks = 0;
    int TFTPRetries = 0;
    QHostAddress peerAddress;
    quint16 peerPort = 0;
    // What made the last failure, for its second line ("a DATA packet of 600 bytes"); "" when
    // the result says it all.
    QString TFTPDetail;

    // Called whenever a request is accepted or refused while idle (the sequencer stops waiting).
    std::function<void()> requestSeen;

    int sentCount() const { return sentCount_; }

    // One datagram as the socket delivered it, from that address and port: what the server does
    // with every datagram it reads.
    void TakeDatagram(const QByteArray& d, const QHostAddress& from, quint16 port);

signals:
    // A line for the message list ("DEBUG: Unexpected Port: ..."): one a tick at most, and the
    // count of the rest when the server unloads.
    void debugLine(const QString& text);
    // The load's transfer ended with this result; nothing the server receives afterwards counts.
    void transferEnded(int result, int errCode);
    // A block was stored (receiving) or acknowledged by the device (sending): the blocks and
    // bytes moved so far.
    void progress(bool receiving, int blocks, qint64 bytes);

private:
    void onReadyRead();
    void onTick();
    void handle(const QByteArray& d, const QHostAddress& from, quint16 port);
    bool fromDevice(const QHostAddress& from, quint16 port) const;
    void foreign(const QHostAddress& from, quint16 port);
    bool directionAllows(quint16 opcode, const QByteArray& d);
    void onReadRequest(const QByteArray& d, const QHostAddress& from, quint16 port);
    void onWriteRequest(const QByteArray& d, const QHostAddress& from, quint16 port);
    void onData(const QByteArray& d);
    void onAck(const QByteArray& d, bool afterQuietTick);
    bool acceptRequest(const QByteArray& d, const QHostAddress& from, quint16 port);
    void sendBlock();
    void storeBlock(int block, const QByteArray& d);
    void fail(quint16 errorCode, int result, const QString& detail = QString());
    void end(int result);
    void finishIfEnded();
    void closeFiles();
    bool SendPacket_TFTP(const QByteArray& packet);
    bool sendTo(const QByteArray& packet, const QHostAddress& to, quint16 port);

    Options opt_;
    QUdpSocket* socket_ = nullptr;
    QTimer* timer_ = nullptr;
    bool loaded_ = false;
    bool requestTaken_ = false;  // a request was accepted or refused by this load
    bool ended_ = false;
    QString bindErrorText_;
    basTFTP::Transfer transfer_;
    QHostAddress device_;
    bool peerTaken_ = false;           // a request was accepted: the transfer is its port's alone
    bool foreignShown_ = false;        // a foreign datagram's line was shown this tick
    int foreignHidden_ = 0;            // foreign datagrams not shown since the load
    basTFTP::TransferTarget target_;
    int blockSize_ = 0;       // data bytes of the block last sent
    QByteArray dataPacket_;   // the DATA packet last sent, its storage kept for the next one
    QByteArray readBuf_;      // the datagram being handled, its storage kept for the next one
    int sentCount_ = 0;
};
