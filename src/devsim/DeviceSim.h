#pragma once
// A substitute Quillon device on loopback: UIF on one port, RCMP on another.
// Tests run it in-process; `qln-devsim` runs it as a process of its own.
#include "devsim/DeviceFaults.h"
#include "devsim/DeviceRadio.h"
#include "devsim/DeviceStores.h"
#include "devsim/DeviceTables.h"
#include "devsim/DeviceTestMode.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <functional>
#include <random>

class QUdpSocket;

class DeviceSim : public QObject {
    Q_OBJECT
public:
    struct Options {
        QHostAddress address = QHostAddress(QStringLiteral("127.0.0.2"));
        quint16 uifPort = 8649;   // 0 picks a free port (tests)
        quint16 rcmpPort = 8650;
        quint32 seed = 1;
        DeviceFaults faults;
        // What ROM, RAM and the running store hold at start (an image of 28672 bytes), applied
        // to `tables`; empty: the image of the tables' configured part.
        QByteArray initialImage;
        // eth0 has the device's own `address` (in every store and the tables), so that the running
        // configuration names the address the tools talk to.
        bool eth0Self = false;
        // The remote stations that RCMP requests reach (--stations FILE).
        RadioTopology radio = RadioTopology::Default();
        // The live tables the status queries read (--empty, --version-text, --uptime).
        DeviceTables tables = DeviceTables::Default();
        // The test stream of receive mode (--xfer-... options).
        XferStreamOptions xfer;

        // UIF and RCMP on free ports of `address`, so that benchmarks and tests run side by side.
        static Options OnFreePorts(const QHostAddress& address = QHostAddress(QStringLiteral("127.0.0.2")),
                                   quint32 seed = 1)
        {
            Options o;
            o.address = address;
            o.uifPort = 0;
            o.rcmpPort = 0;
            o.seed = seed;
            return o;
        }
    };

    // A command handler reads the request and may write the reply payload (the reply starts as a
    // copy of the request). It returns the status to answer.
    struct Request {
        QByteArray bytes;
        QHostAddress from;
        quint16 fromPort = 0;
    };
    using Handler = std::function<qint32(const Request& request, QByteArray& reply)>;

    explicit DeviceSim(const Options& options, QObject* parent = nullptr);
    ~DeviceSim() override;

    // Binds the ports; on failure `error` says why.
    bool start(QString* error = nullptr);
    quint16 uifPort() const;
    quint16 rcmpPort() const;
    QHostAddress address() const { return opt_.address; }

    void setHandler(int code, Handler handler) { handlers_[code] = std::move(handler); }
    // The status of a request as its command's handler answers it (11 for a command the device
    // does not know), `reply` starting as a copy of the request; no faults, nothing sent.
    qint32 handle(const Request& request, QByteArray& reply);

    DeviceFaults& faults() { return opt_.faults; }
    // What a restart does: the running configuration (and RAM) become the saved one in ROM, the
    // tables follow it, and a mute device answers again.
    void restart();
    std::mt19937& random() { return rng_; }
    // True with the given share, drawn from the seeded generator.
    bool chance(double share);

    // Sees each RCMP datagram before the radio does; true when it took the datagram.
    std::function<bool(const RCMPPacket&)> rcmpTap;
    // Sees each packet the TFTP client is about to send; true holds it back (never sent), so a
    // test can stop a transfer at a packet of its choice.
    std::function<bool(const QByteArray&)> tftpTap;

    DeviceStores stores;
    DeviceTables tables;
    int requestsReceived = 0;
    int repliesSent = 0;
    int rcmpRequestsReceived = 0;
    int rcmpRepliesSent = 0;
    // What the radio faults did: answers lost, answers sent a second time, answers held back.
    int rcmpLost = 0;
    int rcmpDuplicated = 0;
    int rcmpReordered = 0;
    bool rcmpHolding() const { return !rcmpHeld_.datagram.isEmpty(); }

signals:
    // One line per datagram, for -v.
    void trace(const QString& line);

private:
    void onUifReadyRead();
    void answer(const Request& request);
    void sendReply(const QByteArray& reply, const QHostAddress& to, quint16 port);
    void onRcmpReadyRead();
    void sendRcmpReply(const QByteArray& reply, const QHostAddress& to, quint16 port, int delayMs);
    struct RcmpAnswer {
        QByteArray datagram;
        QHostAddress to;
        quint16 port = 0;
        int delayMs = 0;
        bool twice = false;
    };
    void sendRcmpAnswer(const RcmpAnswer& a);
    void releaseHeldRcmp();

    Options opt_;
    QUdpSocket* uif_ = nullptr;
    QUdpSocket* rcmp_ = nullptr;
    QHash<int, Handler> handlers_;
    std::mt19937 rng_;
    // The radio stations' faults draw from a generator of their own, seeded alike, so that UIF
    // traffic in between does not change which RCMP answers are lost.
    std::mt19937 radioRng_;
    RcmpAnswer rcmpHeld_;  // an answer held back by the reorder fault; empty when none
};
