#include "tftp/frmTFTP.h"

#include "link/SocketErrors.h"
#include "tftp/TftpPacket.h"

#include <QTimer>
#include <QUdpSocket>

using namespace basTFTP;

namespace {
// The server waits this many ticks after each datagram, and resends this many times.
constexpr int IdleTicks = 5;
constexpr int MaxResends = 4;
}  // namespace

frmTFTP::frmTFTP(QObject* parent) : frmTFTP(Options(), parent) {}

frmTFTP::frmTFTP(const Options& options, QObject* parent) : QObject(parent), opt_(options)
{
    setObjectName(QStringLiteral("TFTP Server"));
    timer_ = new QTimer(this);
    timer_->setInterval(opt_.tickMs);
    connect(timer_, &QTimer::timeout, this, &frmTFTP::onTick);
}

frmTFTP::~frmTFTP() { closeFiles(); }

bool frmTFTP::load(const TransferFile& file)
{
    unload();
    file_ = file;
    TFTPState = StateIdle;
    TFTPResult = ResultNotFinished;
    TFTPErrCode = 0;
    TFTPBlock = 0;
    TFTPTicks = 0;
    TFTPRetries = 0;
    requestTaken_ = false;
    ended_ = false;
    peerAddress = QHostAddress(QStringLiteral("127.0.0.1"));
    peerPort = 1039;
    socket_ = new QUdpSocket(this);
    if (!socket_->bind(opt_.address, opt_.port, QAbstractSocket::DontShareAddress)) {
        bindErrorText_ = socket_->error() == QAbstractSocket::AddressInUseError
                             ? QStringLiteral("Bind address already in use.")
                             : basUIF::SendErrorText(*socket_);
        delete socket_;
        socket_ = nullptr;
        return false;
    }
    bindErrorText_.clear();
    connect(socket_, &QUdpSocket::readyRead, this, &frmTFTP::onReadyRead);
    loaded_ = true;
    timer_->start();
    return true;
}

void frmTFTP::unload()
{
    const bool wasRunning = TFTPState != StateIdle;
    timer_->stop();
    closeFiles();
    if (socket_) {
        socket_->disconnect(this);
        socket_->close();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    loaded_ = false;
    TFTPState = StateIdle;
    if (wasRunning && !ended_) {
        // Stopped: the transfer ends unfinished.
        ended_ = true;
        emit transferEnded(TFTPResult, TFTPErrCode);
    }
}

quint16 frmTFTP::localPort() const { return socket_ ? socket_->localPort() : 0; }

void frmTFTP::onReadyRead()
{
    QByteArray d;
    while (socket_ && socket_->hasPendingDatagrams()) {
        d.resize(TFTPReadMax);
        QHostAddress from;
        quint16 port = 0;
        const qint64 n = socket_->readDatagram(d.data(), d.size(), &from, &port);
        if (n < 0) continue;
        d.truncate(int(n));
        TakeDatagram(d, from, port);
    }
}

void frmTFTP::TakeDatagram(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    if (ended_) {
        // The transfer is over: a late packet, or another host's request right behind the
        // last block, changes neither the file nor the result.
        if (port != peerPort || from != peerAddress)
            emit debugLine(QStringLiteral("DEBUG: Unexpected Port: %1").arg(port));
        return;
    }
    handle(d, from, port);
    finishIfEnded();
}

void frmTFTP::finishIfEnded()
{
    if (TFTPState != StateIdle) return;
    closeFiles();
    if (ended_) emit transferEnded(TFTPResult, TFTPErrCode);
}

void frmTFTP::handle(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    // Too short to hold an opcode: nothing to act on.
    if (d.size() < 2) return;
    if (TFTPState != StateIdle && (port != peerPort || from != peerAddress)) {
        emit debugLine(QStringLiteral("DEBUG: Unexpected Port: %1").arg(port));
        return;
    }
    // A tick without any datagram from the device tells its own repeat from the network's copy.
    const bool afterQuietTick = TFTPTicks > 0;
    TFTPTicks = 0;
    TFTPRetries = 0;
    switch (PacketOpcode(d)) {
    case OpRRQ: onReadRequest(d, from, port); break;
    case OpWRQ: onWriteRequest(d, from, port); break;
    case OpDATA: onData(d); break;
    case OpACK: onAck(d, afterQuietTick); break;
    case OpERROR:
        TFTPErrCode = d.size() >= 4 ? PacketBlock(d) : 0;
        end(ResultErrorReceived);
        break;
    default: end(ResultIllegalOpcode); break;
    }
}

bool frmTFTP::acceptRequest(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    requestTaken_ = true;
    if (requestSeen) requestSeen();
    if (!NameMatches(file_, RequestName(d))) {
        // Refused without recording the peer: no file but the expected one is ever opened.
        sendTo(MakeError(ErrFileNotFound), from, port);
        end(ResultNameMismatch);
        return false;
    }
    peerAddress = from;
    peerPort = port;
    return true;
}

void frmTFTP::onReadRequest(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    switch (TFTPState) {
    case StateIdle:
        if (!acceptRequest(d, from, port)) return;
        if (!source_.open(file_.path)) {
            fail(ErrFileNotFound, ResultFileOpen);
            return;
        }
        // The last block is the first one shorter than 512 bytes; its number must fit 16 bits.
        if (source_.size() / TFTPBlockSize + 1 > TFTPMaxBlocks) {
            fail(ErrDiskFull, ResultTooLarge);
            return;
        }
        TFTPBlock = 1;
        sendBlock();
        return;
    case StateSending:
    case StateLastSent: sendBlock(); return;  // a repeated request restarts nothing
    default: fail(ErrIllegalOperation, ResultIllegalOpcode); return;
    }
}

void frmTFTP::onWriteRequest(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    switch (TFTPState) {
    case StateIdle:
        if (!acceptRequest(d, from, port)) return;
        if (!target_.open(file_.path)) {
            fail(ErrAccessViolation, ResultFileOpen);
            return;
        }
        TFTPBlock = 0;
        TFTPState = StateReceiving;
        SendPacket_TFTP(MakeAck(0));
        return;
    case StateReceiving: SendPacket_TFTP(MakeAck(quint16(TFTPBlock))); return;
    default: fail(ErrIllegalOperation, ResultIllegalOpcode); return;
    }
}

void frmTFTP::onData(const QByteArray& d)
{
    if (TFTPState != StateReceiving) return;
    const int length = d.size() - 4;
    if (length < 0 || length > TFTPBlockSize) {
        fail(ErrIllegalOperation, ResultBadLength);
        return;
    }
    const int block = PacketBlock(d);
    if (block == TFTPBlock + 1)
        storeBlock(block, d);
    else if (block == TFTPBlock)
        SendPacket_TFTP(MakeAck(quint16(TFTPBlock)));  // the device missed our ACK
    else if (block >= 1 && block < TFTPBlock)
        return;  // a resend of a stored block overtaken by the next one: already written
    else
        fail(ErrIllegalOperation, ResultIllegalBlock);
}

void frmTFTP::storeBlock(int block, const QByteArray& d)
{
    const QByteArray bytes = d.mid(4);
    const bool last = bytes.size() != TFTPBlockSize;
    // A full block 65535 would need a block 65536, which the wire cannot number.
    if (!last && block >= TFTPMaxBlocks) {
        fail(ErrDiskFull, ResultTooLarge);
        return;
    }
    TFTPBlock = block;
    if (!target_.writeBlock(block, bytes)) {
        fail(ErrDiskFull, ResultWriteError);
        return;
    }
    if (!SendPacket_TFTP(MakeAck(quint16(block)))) return;
    emit progress(true, block, qint64(block - 1) * TFTPBlockSize + bytes.size());
    if (!last) return;
    // The file replaces its target only when the transfer ends complete.
    if (!target_.commit()) {
        fail(ErrDiskFull, ResultWriteError);
        return;
    }
    end(ResultComplete);
}

void frmTFTP::onAck(const QByteArray& d, bool afterQuietTick)
{
    if (d.size() < 4) return;
    if (TFTPState != StateSending && TFTPState != StateLastSent) return;
    const int block = PacketBlock(d);
    if (block == TFTPBlock) {
        emit progress(false, block, qint64(block - 1) * TFTPBlockSize + block_.size());
        if (TFTPState == StateLastSent) {
            end(ResultComplete);
            return;
        }
        ++TFTPBlock;
        sendBlock();
    } else if (block > TFTPBlock) {
        fail(ErrIllegalOperation, ResultIllegalBlock);
    } else if (afterQuietTick) {
        // The device repeats an older ACK after its own time-out: the current block was lost,
        // send it now rather than at our resend. An older ACK that follows other datagrams
        // within the same tick is a copy (network duplicate, or the answer to a block sent
        // twice); answering it would send every later block twice.
        sendBlock();
    }
}

void frmTFTP::sendBlock()
{
    if (!source_.readBlock(TFTPBlock, block_)) {
        fail(ErrUndefined, ResultFileOpen);
        return;
    }
    TFTPState = block_.size() < TFTPBlockSize ? StateLastSent : StateSending;
    SendPacket_TFTP(MakeData(quint16(TFTPBlock), block_));
}

void frmTFTP::fail(quint16 errorCode, int result)
{
    // The fault is the result, even when its ERROR packet cannot be sent.
    end(result);
    sendTo(MakeError(errorCode), peerAddress, peerPort);
}

void frmTFTP::end(int result)
{
    TFTPState = StateIdle;
    if (ended_) return;
    TFTPResult = result;
    // Before the first request an ERROR or a foreign opcode sets the result but ends nothing:
    // the device's request may still come.
    if (requestTaken_) ended_ = true;
}

void frmTFTP::closeFiles()
{
    source_.close();
    target_.discard();
}

bool frmTFTP::SendPacket_TFTP(const QByteArray& packet)
{
    if (sendTo(packet, peerAddress, peerPort)) return true;
    end(ResultSendError);
    return false;
}

bool frmTFTP::sendTo(const QByteArray& packet, const QHostAddress& to, quint16 port)
{
    if (!socket_) return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (socket_->writeDatagram(packet, to, port) == packet.size()) {
            ++sentCount_;
            return true;
        }
        // A passing shortage of buffers is worth one more try.
        if (socket_->error() != QAbstractSocket::TemporaryError) break;
    }
    return false;
}

void frmTFTP::onTick()
{
    if (TFTPState == StateIdle) return;
    if (++TFTPTicks <= IdleTicks) return;
    TFTPTicks = 0;
    if (TFTPRetries < MaxResends) {
        ++TFTPRetries;
        if (TFTPState == StateReceiving)
            SendPacket_TFTP(MakeAck(quint16(TFTPBlock)));
        else
            sendBlock();
    } else {
        end(ResultNoAnswer);
    }
    finishIfEnded();
}
