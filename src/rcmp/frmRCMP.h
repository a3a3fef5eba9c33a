#pragma once
// The RCMP engines: one socket each, no resends and no reply timer. A caller fills an
// RCMPPacket, puts it into RCMPSendBuf with PutRCMPPacket and sends it with ExecRCMP; each
// accepted datagram is left in RCMPRecvBuf and announced by replyArrived(), which the main
// window's Recv_Reply takes with a direct connection and reads before it yields again.
//
// frmRCMP (QLN_Test): local port 8600, two send attempts, drops packets of other packet IDs.
// frmRCMP2 (QLN_Xfer): local port from the host port box, one attempt, passes every packet up.
#include "rcmp/basRCMP.h"
#include "link/DeferredClose.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class Operator;
class QTimer;
class QUdpSocket;

class RCMPLink : public QObject {
    Q_OBJECT
public:
    struct Options {
        int tickMs = 100;
        quint16 localPort = basRCMP::RCMPTestLocalPort;  // 0 picks a free port (tests)
        quint16 remotePort = basRCMP::RCMPDevicePort;
        QHostAddress localAddress = QHostAddress::AnyIPv4;
    };

    enum State { StateSent = 0, StateSendError = 2 };

    ~RCMPLink() override;

    // Binds the local port and resets the sequence counter. On failure shows "Bind address
    // already in use." and goes on loaded: every later ExecRCMP then fails with "Packet Send Error!".
    bool load();
    bool isOpen() const { return open_; }
    quint16 localPort() const;
    // The port the next load() binds (QLN_Xfer reloads the link on a new host port).
    void setLocalPort(quint16 port) { opt_.localPort = port; }
    // The receive buffer the system granted at the last load (0: the system's default kept).
    int receiveBufferSize() const { return receiveBuffer_; }

    void setRemoteHost(quint32 ipv4) { remoteHost_ = ipv4; }
    quint32 remoteHost() const { return remoteHost_; }
    void setRemotePort(quint16 port) { opt_.remotePort = port; }

    // The current sequence number; the counter then runs on to 32767 and starts again at 0.
    qint16 NextRCMPSeq();
    void ResetRCMPSeq() { RCMPSeq = 0; }

    void PutRCMPPacket(const RCMPPacket& packet) { basRCMP::PutRCMPPacket(RCMPSendBuf, packet); }
    RCMPPacket GetRCMPPacket() const { return basRCMP::GetRCMPPacket(RCMPRecvBuf); }

    // Sends the 64 bytes of RCMPSendBuf to the device: 0 when the socket took them, 2 when not.
    int ExecRCMP();

    // Deferred close: unloads two ticks later (emits closed()).
    void requestClose();

    // Link state, as the callers read it.
    QByteArray RCMPSendBuf;
    QByteArray RCMPRecvBuf;
    qint16 RCMPLastID = 0;
    qint16 RCMPLastSeq = 0;
    int RCMPState = 0;
    qint32 RCMPSeq = 0;

    // Datagrams that left the socket.
    int sentCount() const { return sentCount_; }

    // One datagram as the socket delivered it (at most RCMPRecvMax bytes): what the link does
    // with every datagram it reads.
    void accept(const char* data, qint64 size);

signals:
    void replyArrived();
    void closed();

protected:
    struct Behaviour {
        int attempts;          // 2 in QLN_Test, 1 in QLN_Xfer
        bool numberInMessage;  // "Packet Send Error!" + CR LF + "ErrorNumber : n" (QLN_Test)
        bool matchPacketID;    // drop datagrams whose PacketID is not the last one sent
        int receiveBuffer;     // bytes asked for the socket's receive buffer; 0 the default
    };
    RCMPLink(Operator* op, const Options& options, const Behaviour& behaviour, QObject* parent);

private:
    void onReadyRead();
    void onTick();
    void showSendError(int number);

    Operator* op_;
    Options opt_;
    Behaviour how_;
    QUdpSocket* socket_ = nullptr;
    QTimer* timer_ = nullptr;
    quint32 remoteHost_ = 0;
    bool bound_ = false;
    int bindErrorNumber_ = 0;
    int receiveBuffer_ = 0;
    bool open_ = false;
    DeferredClose close_;
    int sentCount_ = 0;
};

class frmRCMP : public RCMPLink {
    Q_OBJECT
public:
    explicit frmRCMP(Operator* op, QObject* parent = nullptr) : frmRCMP(op, Options(), parent) {}
    frmRCMP(Operator* op, const Options& options, QObject* parent = nullptr)
        : RCMPLink(op, options, Behaviour{2, true, true, 0}, parent)
    {
        setObjectName(QStringLiteral("frmRCMP"));
    }
};

class frmRCMP2 : public RCMPLink {
    Q_OBJECT
public:
    // The test stream comes at up to hundreds of thousands of packets a second: the default
    // buffer holds about 256 datagrams, 2.5 ms at 100,000 packets/s, and a busy moment of the
    // window would show as radio loss.
    static constexpr int TestStreamBuffer = 4 * 1024 * 1024;

    static Options DefaultOptions()
    {
        Options o;
        o.localPort = basRCMP::RCMPXferLocalPort;
        return o;
    }
    explicit frmRCMP2(Operator* op, QObject* parent = nullptr) : frmRCMP2(op, DefaultOptions(), parent) {}
    frmRCMP2(Operator* op, const Options& options, QObject* parent = nullptr)
        : RCMPLink(op, options, Behaviour{1, false, false, TestStreamBuffer}, parent)
    {
        setObjectName(QStringLiteral("frmRCMP2"));
    }
};
