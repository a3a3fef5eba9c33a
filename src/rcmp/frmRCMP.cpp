#include "rcmp/frmRCMP.h"

#include "link/SocketErrors.h"
#include "platform/Operator.h"

#include <QTimer>
#include <QVariant>
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

void RCMPLink::onReadyRead()
{
    while (socket_ && socket_->hasPendingDatagrams()) {
        QByteArray data(basRCMP::RCMPRecvMax, '\0');
        // Of a longer datagram only the first 256 bytes are read; the rest is discarded.
        const qint64 n = socket_->readDatagram(data.data(), data.size());
        // Too short to hold the fields: dropped before decoding.
        if (n < basRCMP::RCMPFieldsSize) continue;
        data.truncate(int(n));
        RCMPRecvBuf = data;
        if (how_.matchPacketID && basConv::GetIntBE(RCMPRecvBuf, 4) != RCMPLastID) continue;
        emit replyArrived();
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
