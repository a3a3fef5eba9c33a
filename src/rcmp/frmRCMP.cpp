#include "rcmp/frmRCMP.h"

#include "link/SocketErrors.h"
#include "platform/Operator.h"

#include <QTimer>
#include <QVariant>

#include <cstring>
#ifdef Q_OS_LINUX
#include <sys/socket.h>
#endif
#include <QUdpSocket>

RCMPLink::RCMPLink(Operator* op, const Options& options, const Behaviour& behaviour, QObject* parent)
    : QObject(parent), op_(op), opt_(options), how_(behaviour)
{
    RCMPSendBuf = QByteArray(basRCMP::RCMPPacketSize, '\0');
    timer_ = new QTimer(this);
    timer_->setInterval(opt_.tickMs);
    connect(timer_, &QTimer::timeout, this, &RCMPLink::onTick);
}

RCMPLink::~RCMPLink() = default;

bool RCMPLink::load()
{
    open_ = true;
    close_.reset();
    RCMPSeq = 0;
    delete socket_;
    socket_ = new QUdpSocket(this);
    connect(socket_, &QUdpSocket::readyRead, this, &RCMPLink::onReadyRead);
    bound_ = socket_->bind(opt_.localAddress, opt_.localPort, QAbstractSocket::DontShareAddress);
    if (bound_) {
        bindErrorNumber_ = 0;
        receiveBuffer_ = 0;
        if (how_.receiveBuffer > 0) {
            // Linux grants up to net.core.rmem_max and reports twice what it keeps for data.
            socket_->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, how_.receiveBuffer);
            receiveBuffer_ = socket_->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
        }
        return true;
    }
    bindErrorNumber_ = basUIF::WinsockNumber(socket_->error());
    if (op_) {
        if (socket_->error() == QAbstractSocket::AddressInUseError)
            op_->message(QStringLiteral("WARNING"), QStringLiteral("Bind address already in use."),
                         Operator::Icon::Critical);
        else
            op_->message(QStringLiteral("ERROR"), basUIF::SendErrorText(*socket_), Operator::Icon::Critical);
    }
    return false;
}

quint16 RCMPLink::localPort() const { return socket_ ? socket_->localPort() : 0; }

qint16 RCMPLink::NextRCMPSeq()
{
    const qint32 seq = RCMPSeq;
    RCMPSeq = (RCMPSeq + 1 > 32767) ? 0 : RCMPSeq + 1;
    return qint16(seq);
}

int RCMPLink::ExecRCMP()
{
    RCMPLastID = basConv::GetIntBE(RCMPSendBuf, 4);
    RCMPLastSeq = basConv::GetIntBE(RCMPSendBuf, 6);
    RCMPState = StateSent;
    const QByteArray datagram = RCMPSendBuf.left(basRCMP::RCMPPacketSize);
    for (int attempt = 0; attempt < how_.attempts; ++attempt) {
        int number = 0;
        if (socket_ && bound_) {
            const qint64 n = socket_->writeDatagram(datagram, QHostAddress(remoteHost_), opt_.remotePort);
            if (n == datagram.size()) {
                ++sentCount_;
                RCMPState = StateSent;
                return RCMPState;
            }
            // A passing shortage of buffers on the first attempt: the second follows silently.
            if (attempt == 0 && how_.attempts > 1 && socket_->error() == QAbstractSocket::TemporaryError) continue;
            number = basUIF::WinsockNumber(socket_->error());
        } else {
            // Without its local port the socket sends nothing; the bind's error is the send's.
            number = socket_ ? bindErrorNumber_ : basUIF::WinsockNumber(QAbstractSocket::UnknownSocketError);
        }
        // Each failed attempt is reported; the next attempt, if any, still follows.
        showSendError(number);
        RCMPState = StateSendError;
    }
    return RCMPState;
}

void RCMPLink::showSendError(int number)
{
    if (!op_) return;
    QString text = QStringLiteral("Packet Send Error!");
    if (how_.numberInMessage) text += QStringLiteral("\r\nErrorNumber : ") + QString::number(number);
    op_->message(QStringLiteral("ERROR"), text, Operator::Icon::Critical);
}

void RCMPLink::accept(const char* data, qint64 size)
{
    // Too short to hold the fields: dropped before decoding.
    if (size < basRCMP::RCMPFieldsSize) return;
    // The buffer is reused: a stream of datagrams costs no allocation each.
    RCMPRecvBuf.resize(int(size));
    std::memcpy(RCMPRecvBuf.data(), data, size_t(size));
    if (how_.matchPacketID && basConv::GetIntBE(RCMPRecvBuf, 4) != RCMPLastID) return;
    emit replyArrived();
}

void RCMPLink::onReadyRead()
{
    char data[basRCMP::RCMPRecvMax];
    while (socket_) {
#ifdef Q_OS_LINUX
        // A test stream brings hundreds of thousands of datagrams a second: they are taken 64 at
        // a time. Of a longer datagram only the first 256 bytes are read, as below.
        constexpr int Batch = 64;
        static thread_local char bufs[Batch][basRCMP::RCMPRecvMax];
        mmsghdr msgs[Batch];
        iovec iov[Batch];
        for (;;) {
            for (int i = 0; i < Batch; ++i) {
                iov[i] = {bufs[i], sizeof bufs[i]};
                msgs[i] = {};
                msgs[i].msg_hdr.msg_iov = &iov[i];
                msgs[i].msg_hdr.msg_iovlen = 1;
            }
            const int n = ::recvmmsg(int(socket_->socketDescriptor()), msgs, Batch, MSG_DONTWAIT, nullptr);
            for (int i = 0; i < n && socket_; ++i) accept(bufs[i], qint64(msgs[i].msg_len));
            if (n < Batch || !socket_) break;
        }
        if (!socket_) return;
#endif
        // Qt's own read re-arms the socket's notifier, and takes a datagram that came meanwhile.
        const qint64 n = socket_->readDatagram(data, sizeof data);
        if (n < 0) return;
        accept(data, n);
    }
}

void RCMPLink::onTick()
{
    if (!close_.due()) return;
    open_ = false;
    timer_->stop();
    delete socket_;
    socket_ = nullptr;
    bound_ = false;
    emit closed();
}

void RCMPLink::requestClose()
{
    if (!open_ || close_.pending()) return;
    close_.request();
    timer_->start();
}
