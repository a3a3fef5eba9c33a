#pragma once
// The device's radio data transfer test: `test_mode` set (53) stores the parameters and get (54)
// returns them. In receive mode the device streams test packets (the test packet ID, sequence
// numbers 0, 1, ... 32767, 0, ...) to the host address and port; in send mode it counts the test
// packets that reach its RCMP port; disable stops both.
//
// The stream is paced by the request's Interval in milliseconds when it gives one (>= 0), else
// by these options; Interval 0 is as fast as the device can. It ends after SendLimit sequence
// numbers when the request gives one (not 0; 0xFFFFFFFF is all of them), else after `limit`.
// Packets leave in batches (sendmmsg) from a socket of the stream's own on the device address.
#include "link/basConv.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <array>
#include <random>
#include <vector>

class DeviceSim;
class QCommandLineOption;
class QCommandLineParser;
class QTimer;
struct RCMPPacket;

struct XferStreamOptions {
    int intervalMs = 10;   // when the request gives none (the tools send -1 in receive mode)
    double rate = 0.0;     // packets per second; when > 0 it paces instead of any interval
    quint32 limit = 0;     // sequence numbers per stream when the request gives none; 0 endless
    int burst = 64;        // at most this many packets per batch at Interval 0
    // Faults, drawn from a generator seeded with `seed`:
    int gaps = 0;                // sequence numbers skipped, at random places strictly inside the
                                 // stream (an endless one: inside its first 100,000)
    double duplicateRate = 0.0;  // share of packets sent twice
    double reorderRate = 0.0;    // share of packets held back and sent after the next one
    quint32 seed = 1;
    basConv::Mac station{0x00, 0x80, 0x45, 0x01, 0x00, 0x01};  // the sending station's ID
};

// qln-devsim's --xfer-interval, --xfer-rate, --xfer-limit, --xfer-gaps, --xfer-duplicate and
// --xfer-reorder; the seed is the simulator's --seed.
QList<QCommandLineOption> XferStreamCommandLineOptions();
bool ReadXferStreamOptions(const QCommandLineParser& parser, XferStreamOptions& options, QString& error);

class DeviceTestMode : public QObject {
    Q_OBJECT
public:
    // Registers commands 53 and 54 and the send-mode count on `sim`.
    DeviceTestMode(DeviceSim& sim, const XferStreamOptions& options);
    ~DeviceTestMode() override;

    // The stored payload fields (the disable column until a set arrives).
    qint32 mode() const;
    qint16 packetId() const;
    bool streaming() const { return streaming_; }
    // Of the current or last stream: sequence numbers run through, datagrams sent.
    quint32 streamSeqs() const { return seqsDone_; }
    quint64 streamSent() const { return sent_; }
    qint64 streamMs() const { return streamMs_; }  // how long the last stream ran
    // Test packets that reached the device in send mode.
    quint64 sendModeCount() const { return sendModeCount_; }

signals:
    void streamEnded();

private:
    qint32 onSet(const QByteArray& request, QByteArray& reply);
    bool onRcmp(const RCMPPacket& packet);
    void startStream();
    void stopStream();
    void onTick();
    // Appends the next packets to the batch; false when the stream has none left.
    void queue(quint32 count);
    void flush();

    DeviceSim& sim_;
    XferStreamOptions opt_;
    QByteArray params_;  // the 24 payload bytes of the last set
    std::mt19937 rng_;
    int fd_ = -1;
    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    bool streaming_ = false;
    QHostAddress host_;
    quint16 hostPort_ = 0;
    double rate_ = 0.0;  // packets per second; 0 as fast as possible
    quint64 limit_ = 0;  // 0 endless
    quint32 seqsDone_ = 0;
    quint64 sent_ = 0;
    qint64 streamMs_ = 0;
    quint64 sendModeCount_ = 0;
    QSet<quint32> gapAt_;
    using Datagram = std::array<char, 64>;
    Datagram held_{};   // a packet held back to be sent after the next one
    bool holding_ = false;
    std::vector<Datagram> batch_;
};
