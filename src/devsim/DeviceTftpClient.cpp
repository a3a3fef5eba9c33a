#include "devsim/DeviceTftpClient.h"

#include "devsim/DeviceSim.h"
#include "tftp/TftpPacket.h"
#include "tftp/basTFTP.h"

#include <QTimer>
#include <QUdpSocket>

using namespace basTFTP;

namespace {
constexpr int LingerTimeouts = 30;
}  // namespace

DeviceTftpClient::DeviceTftpClient(DeviceSim& sim, const Setup& setup, QObject* parent)
    : QObject(parent), sim_(sim), setup_(setup)
{
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &DeviceTftpClient::onTimeout);
}

bool DeviceTftpClient::start()
{
    socket_ = new QUdpSocket(this);
    if (!socket_->bind(sim_.address(), 0)) {
        finish(false, QStringLiteral("cannot bind: %1").arg(socket_->errorString()));
        return false;
    }
    connect(socket_, &QUdpSocket::readyRead, this, &DeviceTftpClient::onReadyRead);
    // A reversed device asks for the other direction; its client then goes on as it was set up.
    const quint16 op = (setup_.direction == Direction::Read) != sim_.faults().tftpReversed ? OpRRQ : OpWRQ;
    block_ = setup_.direction == Direction::Read ? 1 : 0;
    const QByteArray name = sim_.faults().tftpAskName.isEmpty() ? setup_.name : sim_.faults().tftpAskName;
    emit sim_.trace(QStringLiteral("tftp -> %1:%2 %3 \"%4\"")
                        .arg(setup_.server.toString()).arg(setup_.serverPort)
                        .arg(op == OpRRQ ? "RRQ" : "WRQ").arg(QString::fromUtf8(name)));
    sendFresh(MakeRequest(op, name));
    return true;
}

void DeviceTftpClient::onReadyRead()
{
    QByteArray d;
    while (socket_->hasPendingDatagrams()) {
        d.resize(int(qMax<qint64>(socket_->pendingDatagramSize(), 0)));
        QHostAddress from;
        quint16 port = 0;
        const qint64 n = socket_->readDatagram(d.data(), d.size(), &from, &port);
        if (n < 0) continue;
        d.truncate(int(n));
        // The server's first answer fixes its port; anything from elsewhere is not ours.
        if (from != setup_.server) continue;
        if (peerPort_ == 0) peerPort_ = port;
        if (port != peerPort_ || d.size() < 4) continue;
        switch (PacketOpcode(d)) {
        case OpDATA: onData(d); break;
        case OpACK: onAck(d); break;
        case OpERROR:
            if (!done_) finish(false, QStringLiteral("ERROR %1 from the server").arg(PacketBlock(d)));
            break;
        default:
            if (!done_) finish(false, QStringLiteral("opcode %1 from the server").arg(PacketOpcode(d)));
            break;
        }
    }
}

void DeviceTftpClient::onData(const QByteArray& d)
{
    if (setup_.direction != Direction::Read) return;
    const int block = PacketBlock(d);
    if (done_) {
        // The server missed the last ACK: answer its resend while lingering.
        if (succeeded_ && block == block_ - 1) emitPacket(last_);
        return;
    }
    // Older blocks are left to the resend timer, so one duplicate never starts a second stream.
    if (block != block_) return;
    const int length = d.size() - 4;
    if (length > TFTPBlockSize) {
        finish(false, QStringLiteral("DATA of %1 bytes").arg(length));
        return;
    }
    if (errorInjectedAt(block)) return;
    received_.append(d.constData() + 4, length);
    ++block_;
    retries_ = 0;
    sendFresh(MakeAck(quint16(block)));
    if (length < TFTPBlockSize) finish(true);
}

void DeviceTftpClient::onAck(const QByteArray& d)
{
    if (setup_.direction != Direction::Write || done_) return;
    if (PacketBlock(d) != block_) return;
    retries_ = 0;
    if (lastSent_) {
        finish(true);
        return;
    }
    sendNextBlock();
}

void DeviceTftpClient::sendNextBlock()
{
    ++block_;
    const qint64 offset = qint64(block_ - 1) * TFTPBlockSize;
    const QByteArray bytes = setup_.data.mid(int(offset), TFTPBlockSize);
    lastSent_ = bytes.size() < TFTPBlockSize;
    if (errorInjectedAt(block_)) return;
    sendFresh(MakeData(quint16(block_), bytes));
}

bool DeviceTftpClient::errorInjectedAt(int block)
{
    const DeviceFaults& f = sim_.faults();
    if (f.tftpErrorAtBlock <= 0 || block != f.tftpErrorAtBlock) return false;
    emitPacket(MakeError(quint16(f.tftpErrorCode)));
    finish(false, QStringLiteral("ERROR %1 sent at block %2").arg(f.tftpErrorCode).arg(block));
    return true;
}

void DeviceTftpClient::onTimeout()
{
    if (done_) {
        emit retired();
        return;
    }
    if (retries_ >= sim_.faults().tftpRetries) {
        finish(false, QStringLiteral("no answer from the server"));
        return;
    }
    ++retries_;
    emitPacket(last_);
    timer_->start(sim_.faults().tftpTimeoutMs);
}

void DeviceTftpClient::sendFresh(const QByteArray& packet)
{
    last_ = packet;
    emitPacket(packet);
    if (!done_) timer_->start(sim_.faults().tftpTimeoutMs);
}

void DeviceTftpClient::emitPacket(const QByteArray& packet)
{
    if (sim_.tftpTap && sim_.tftpTap(packet)) return;
    const DeviceFaults& f = sim_.faults();
    if (sim_.chance(f.tftpDropRate)) {
        emit sim_.trace(QStringLiteral("tftp    dropped opcode %1 block %2").arg(PacketOpcode(packet)).arg(PacketBlock(packet)));
        return;
    }
    const int copies = sim_.chance(f.tftpDuplicateRate) ? 2 : 1;
    if (held_.isEmpty() && sim_.chance(f.tftpReorderRate)) {
        // Held back until the next packet has gone, or until half a timeout passes.
        held_ = packet;
        QTimer::singleShot(qMax(1, f.tftpTimeoutMs / 2), this, [this] {
            if (held_.isEmpty()) return;
            write(held_);
            held_.clear();
        });
        return;
    }
    for (int i = 0; i < copies; ++i) write(packet);
    if (!held_.isEmpty()) {
        write(held_);
        held_.clear();
    }
}

void DeviceTftpClient::write(const QByteArray& packet)
{
    const quint16 port = peerPort_ != 0 ? peerPort_ : setup_.serverPort;
    const int delay = sim_.faults().tftpDelayMs;
    if (delay > 0) {
        QTimer::singleShot(delay, this, [this, packet, port] { socket_->writeDatagram(packet, setup_.server, port); });
        return;
    }
    socket_->writeDatagram(packet, setup_.server, port);
}

void DeviceTftpClient::finish(bool ok, const QString& failure)
{
    if (done_) return;
    done_ = true;
    succeeded_ = ok;
    failure_ = failure;
    emit sim_.trace(ok ? QStringLiteral("tftp    transfer of \"%1\" complete, %2 bytes")
                             .arg(QString::fromUtf8(setup_.name))
                             .arg(setup_.direction == Direction::Read ? received_.size() : setup_.data.size())
                       : QStringLiteral("tftp    transfer of \"%1\" failed: %2").arg(QString::fromUtf8(setup_.name), failure));
    emit finished(ok);
    // A completed read lingers to answer a resent last block, long enough to outlast the
    // server's resends; anything else retires at once.
    if (ok && setup_.direction == Direction::Read) {
        timer_->start(LingerTimeouts * sim_.faults().tftpTimeoutMs);
    } else {
        timer_->stop();
        QTimer::singleShot(0, this, [this] { emit retired(); });
    }
}
