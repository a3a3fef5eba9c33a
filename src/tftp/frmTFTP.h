#pragma once
// The PC's TFTP server: serves one device request for the expected file, in 512-byte blocks,
// with a resend schedule counted in ticks (1000 ms each normally).
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

    // Binds the port and waits for the device's request for `file`. False when the port cannot
    // be bound (bindErrorText() says why); the server is then not loaded.
    bool load(const basTFTP::TransferFile& file);
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

    // Called whenever a request is accepted or refused while idle (the sequencer stops waiting).
    std::function<void()> requestSeen;

    int sentCount() const { return sentCount_; }

    // One datagram as the socket delivered it, from that address and port: what the server does
    // with every datagram it reads.
    void TakeDatagram(const QByteArray& d, const QHostAddress& from, quint16 port);

signals:
    // A line for the message list ("DEBUG: Unexpected Port: ...").
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
    void onReadRequest(const QByteArray& d, const QHostAddress& from, quint16 port);
    void onWriteRequest(const QByteArray& d, const QHostAddress& from, quint16 port);
    void onData(const QByteArray& d);
    void onAck(const QByteArray& d, bool afterQuietTick);
    bool acceptRequest(const QByteArray& d, const QHostAddress& from, quint16 port);
    void sendBlock();
    void storeBlock(int block, const QByteArray& d);
    void fail(quint16 errorCode, int result);
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
    basTFTP::TransferFile file_;
    basTFTP::TransferSource source_;
    basTFTP::TransferTarget target_;
    QByteArray block_;
    int sentCount_ = 0;
};
