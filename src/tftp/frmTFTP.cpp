#include "tftp/frmTFTP.h"

#include "link/SocketErrors.h"
#include "tftp/TftpPacket.h"

#include <QTimer>
#include <QUdpSocket>
#include <cstring>

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

bool frmTFTP::load(const Transfer& transfer, const QHostAddress& device)
{
    unload();
    transfer_ = transfer;
    device_ = device;
    TFTPDetail.clear();
    peerTaken_ = false;
    foreignShown_ = false;
    foreignHidden_ = 0;
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
    if (foreignHidden_ > 0) {
        emit debugLine(QStringLiteral("DEBUG: %1 more datagrams from other ports ignored").arg(foreignHidden_));
        foreignHidden_ = 0;
    }
}

quint16 frmTFTP::localPort() const { return socket_ ? socket_->localPort() : 0; }

void frmTFTP::onReadyRead()
{
    // Reads until the socket has nothing more: the device's next ACK often arrives while its
    // block is being handled, and is then taken without going back to the event loop. No
    // look-ahead: the read that finds nothing ends the turn. The buffer keeps its storage.
    while (socket_) {
        readBuf_.resize(TFTPReadMax);
        QHostAddress from;
        quint16 port = 0;
        const qint64 n = socket_->readDatagram(readBuf_.data(), readBuf_.size(), &from, &port);
        if (n < 0) return;
        readBuf_.truncate(int(n));
        // A handle of its own, so that nothing the handlers start can change the datagram under them.
        const QByteArray d = readBuf_;
        TakeDatagram(d, from, port);
    }
}

void frmTFTP::TakeDatagram(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    if (!fromDevice(from, port)) {
        foreign(from, port);
        return;
    }
    // The transfer is over: a late packet from the device changes neither the file nor the result.
    if (ended_) return;
    handle(d, from, port);
    finishIfEnded();
}

bool frmTFTP::fromDevice(const QHostAddress& from, quint16 port) const
{
    // Anyone on the LAN can send to this port; the transfer belongs to the device the link talks
    // to, and once its request is taken, to the port that request came from.
    if (!from.isEqual(device_, QHostAddress::ConvertV4MappedToIPv4)) return false;
    return !peerTaken_ || port == peerPort;
}

void frmTFTP::foreign(const QHostAddress& from, quint16 port)
{
    // One line a tick at most: a flood must not flood the list and the log as well.
    if (foreignShown_) {
        ++foreignHidden_;
        return;
    }
    foreignShown_ = true;
    emit debugLine(QStringLiteral("DEBUG: Unexpected Port: %1 from %2").arg(port).arg(from.toString()));
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

namespace {
const char* requestWord(bool read) { return read ? "read" : "write"; }
}  // namespace

bool frmTFTP::acceptRequest(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    requestTaken_ = true;
    if (requestSeen) requestSeen();
    const bool read = PacketOpcode(d) == OpRRQ;
    const QByteArray name = RequestName(d);
    // Refused without recording the peer: nothing is opened, served or written.
    if (read != transfer_.deviceReads()) {
        // A device told to send a file must not be served one, nor one told to fetch it write one.
        TFTPDetail = QStringLiteral("a %1 request for '%2' came, a %3 request was expected")
                         .arg(requestWord(read), QString::fromLatin1(name), requestWord(!read));
        sendTo(MakeError(ErrIllegalOperation), from, port);
        end(ResultIllegalOpcode);
        return false;
    }
    if (!NameMatches(transfer_.file, name)) {
        TFTPDetail = QStringLiteral("'%1' requested by %2").arg(QString::fromLatin1(name), from.toString());
        sendTo(MakeError(ErrFileNotFound), from, port);
        end(ResultNameMismatch);
        return false;
    }
    peerAddress = from;
    peerPort = port;
    peerTaken_ = true;
    return true;
}

void frmTFTP::onReadRequest(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    switch (TFTPState) {
    case StateIdle:
        if (!acceptRequest(d, from, port)) return;
        // The last block is the first one shorter than 512 bytes; its number must fit 16 bits.
        if (transfer_.bytes.size() > TFTPMaxBytes) {
            fail(ErrDiskFull, ResultTooLarge);
            return;
        }
        TFTPBlock = 1;
        sendBlock();
        return;
    case StateSending:
    case StateLastSent: sendBlock(); return;  // a repeated request restarts nothing
    default: fail(ErrIllegalOperation, ResultIllegalOpcode, QStringLiteral("a read request came while the device was writing")); return;
    }
}

void frmTFTP::onWriteRequest(const QByteArray& d, const QHostAddress& from, quint16 port)
{
    switch (TFTPState) {
    case StateIdle:
        if (!acceptRequest(d, from, port)) return;
        if (!target_.open(transfer_.file.path, transfer_.replaces)) {
            fail(ErrAccessViolation, ResultFileOpen, transfer_.file.path + QStringLiteral(": ") + target_.errorString());
            return;
        }
        TFTPBlock = 0;
        TFTPState = StateReceiving;
        SendPacket_TFTP(MakeAck(0));
        return;
    case StateReceiving: SendPacket_TFTP(MakeAck(quint16(TFTPBlock))); return;
    default: fail(ErrIllegalOperation, ResultIllegalOpcode, QStringLiteral("a write request came while the device was reading")); return;
    }
}

void frmTFTP::onData(const QByteArray& d)
{
    if (TFTPState != StateReceiving) return;
    const int length = d.size() - 4;
    if (length < 0 || length > TFTPBlockSize) {
        // Datagrams are read up to TFTPReadMax bytes: one that filled the buffer may have been longer.
        fail(ErrIllegalOperation, ResultBadLength,
             QStringLiteral("a DATA packet of %1 bytes%2").arg(d.size()).arg(d.size() >= TFTPReadMax ? " or more" : ""));
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
        fail(ErrIllegalOperation, ResultIllegalBlock, QStringLiteral("DATA block %1 after block %2").arg(block).arg(TFTPBlock));
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
        fail(ErrDiskFull, ResultWriteError, transfer_.file.path + QStringLiteral(": ") + target_.errorString());
        return;
    }
    if (!SendPacket_TFTP(MakeAck(quint16(block)))) return;
    emit progress(true, block, qint64(block - 1) * TFTPBlockSize + bytes.size());
    if (!last) return;
    // The file replaces its target only when the transfer ends complete.
    if (!target_.commit()) {
        fail(ErrDiskFull, ResultWriteError, transfer_.file.path + QStringLiteral(": ") + target_.errorString());
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
        emit progress(false, block, qint64(block - 1) * TFTPBlockSize + blockSize_);
        if (TFTPState == StateLastSent) {
            end(ResultComplete);
            return;
        }
        ++TFTPBlock;
        sendBlock();
    } else if (block > TFTPBlock) {
        fail(ErrIllegalOperation, ResultIllegalBlock, QStringLiteral("ACK of block %1 while block %2 was sent").arg(block).arg(TFTPBlock));
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
    // The DATA packet is built in place from the served bytes: opcode, block number, data.
    const qsizetype offset = qsizetype(TFTPBlock - 1) * TFTPBlockSize;
    const qsizetype size = transfer_.bytes.size();
    blockSize_ = offset < size ? int(qMin<qsizetype>(TFTPBlockSize, size - offset)) : 0;
    TFTPState = blockSize_ < TFTPBlockSize ? StateLastSent : StateSending;
    dataPacket_.resize(4 + blockSize_);
    char* p = dataPacket_.data();
    p[0] = char(OpDATA >> 8);
    p[1] = char(OpDATA & 0xFF);
    p[2] = char(quint16(TFTPBlock) >> 8);
    p[3] = char(quint16(TFTPBlock) & 0xFF);
    if (blockSize_ > 0) std::memcpy(p + 4, transfer_.bytes.constData() + offset, size_t(blockSize_));
    SendPacket_TFTP(dataPacket_);
}

void frmTFTP::fail(quint16 errorCode, int result, const QString& detail)
{
    // The fault is the result, even when its ERROR packet cannot be sent.
    if (!ended_) TFTPDetail = detail;
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

void frmTFTP::closeFiles() { target_.discard(); }

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
    foreignShown_ = false;
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
