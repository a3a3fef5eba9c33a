#include "link/frmUIF.h"

#include "link/SocketErrors.h"
#include "platform/Operator.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstring>
#include <QUdpSocket>

frmUIF::frmUIF(Operator* op, QObject* parent) : frmUIF(op, Options(), parent) {}

frmUIF::frmUIF(Operator* op, const Options& options, QObject* parent) : QObject(parent), op_(op), opt_(options)
{
    setObjectName(QStringLiteral("UIF Protocol"));
    UIFRequestBuf.fill(char(0xFF), basUIF::UIFPacketSize);
    UIFSendBuf = UIFRequestBuf;
    UIFCollectBuf.fill(char(0xFF), basUIF::UIFCollectSize);
    timer_ = new QTimer(this);
    timer_->setInterval(opt_.tickMs);
    connect(timer_, &QTimer::timeout, this, &frmUIF::onTick);
}

frmUIF::~frmUIF()
{
    // A wait still on the stack must not outlive its engine: each returns without touching it.
    for (WaitFrame* f = frames_; f; f = f->outer) {
        if (!f->ended) {
            f->out->state = StateBreak;
            f->out->message = QStringLiteral("Operator Break");
        }
        f->ended = f->engineGone = true;
    }
}

bool frmUIF::load()
{
    open_ = true;
    close_.reset();
    UIFBusy = false;
    UIFIdentSeq = 0;
    delete socket_;
    socket_ = new QUdpSocket(this);
    connect(socket_, &QUdpSocket::readyRead, this, &frmUIF::onReadyRead);
    bound_ = socket_->bind(opt_.localAddress, opt_.localPort, QAbstractSocket::DontShareAddress);
    timer_->start();
    if (bound_) {
        bindErrorText_.clear();
        return true;
    }
    bindErrorText_ = basUIF::SendErrorText(*socket_);
    if (op_) {
        if (socket_->error() == QAbstractSocket::AddressInUseError)
            op_->message(QStringLiteral("WARNING"), QStringLiteral("Bind address already in use."),
                         Operator::Icon::Critical);
        else
            op_->message(QStringLiteral("ERROR"), bindErrorText_, Operator::Icon::Critical);
    }
    return false;
}

quint16 frmUIF::localPort() const { return socket_ ? socket_->localPort() : 0; }

void frmUIF::setRemoteHost(quint32 ipv4)
{
    remoteHost_ = ipv4;
    remoteAddress_ = QHostAddress(ipv4);
}

qint32 frmUIF::NextUIFIdent()
{
    const qint32 ident = UIFIdentSeq;
    // Wrap by comparison: the sequence never overflows.
    UIFIdentSeq = (UIFIdentSeq >= 2147483647) ? 0 : UIFIdentSeq + 1;
    return ident;
}

void frmUIF::BeginRequest(qint16 cmdCode)
{
    basUIF::UIFHeader h;
    h.ReplyFlag = 0;
    h.CmdCode = cmdCode;
    h.Ident = NextUIFIdent();
    basUIF::MakeUIFHeader(UIFRequestBuf, h);
}

void frmUIF::BuildLongRequest(qint16 cmdCode, qint32 value)
{
    BeginRequest(cmdCode);
    basUIF::PutUIFLong(UIFRequestBuf, value, 0);
}

void frmUIF::StartUIFCollect()
{
    UIFCollectBuf.fill(char(0xFF), basUIF::UIFCollectSize);
    UIFCollectPos = 0;
}

frmUIF::UIFOutcome frmUIF::Exchange()
{
    UIFOutcome out;
    out.status = -1;
    if (UIFCollect) {
        out.status = 0;
        if (UIFCollectPos + basUIF::UIFPacketSize > basUIF::UIFCollectSize) return out.status = 3, out;
        UIFCollectBuf.replace(UIFCollectPos, basUIF::UIFPacketSize, UIFRequestBuf.left(basUIF::UIFPacketSize));
        UIFCollectPos += basUIF::UIFPacketSize;
        return out;
    }
    if (UIFBusy) {
        out.state = UIFState = StateBusy;
        out.message = UIFMessage = QStringLiteral("Sender Busy");
        return out;
    }
    if (!socket_ || !bound_) {
        // Without the local port nothing can be sent: fail at once with the send-error text.
        out.state = UIFState = StateSendError;
        out.message = UIFMessage = socket_ ? bindErrorText_ : basUIF::SendErrorText(int(QAbstractSocket::UnconnectedState), QStringLiteral("Socket not loaded"));
        return out;
    }
    UIFBusy = true;
    WaitFrame frame{&out, frames_};
    frames_ = &frame;
    // The send buffer keeps its storage from one exchange to the next.
    const int sendSize = qMin(int(UIFRequestBuf.size()), basUIF::UIFPacketSize);
    UIFSendBuf.resize(sendSize);
    std::memcpy(UIFSendBuf.data(), UIFRequestBuf.constData(), size_t(sendSize));
    UIFTicks = 0;
    UIFRetries = 0;
    ExpectCmdCode = basConv::GetIntBE(UIFSendBuf, 2);
    ExpectIdent = basConv::GetLongBE(UIFSendBuf, 4);
    emit waiting(1);
    // A stop in answer to the signal sends nothing.
    if (!frame.ended) transmit();
    // Whatever ends the wait (a reply, a tick, Stop, a close, the engine's end) runs inside
    // processEvents and marks the frame, so no loop needs waking: a nested QEventLoop's quit()
    // cost a write, a poll and a read on every exchange.
    while (!frame.ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (frame.engineGone) return out;
    frames_ = frame.outer;
    // The outcome as this wait ended: later datagrams and later exchanges do not count.
    UIFState = out.state;
    UIFMessage = out.message;
    if (out.state == StateMatched) {
        UIFReplyBuf = out.reply;
        UIFReply = out.header;
        out.status = out.header.Status;
    }
    return out;
}

void frmUIF::TermUIF()
{
    endWait(StateBreak, QStringLiteral("Operator Break"));
}

void frmUIF::endWait(int state, const QString& message)
{
    UIFState = state;
    UIFMessage = message;
    const bool wasBusy = UIFBusy;
    UIFBusy = false;
    if (!wasBusy) return;
    // The busy exchange is the innermost wait: a later one starts only once it has ended.
    if (frames_ && !frames_->ended) {
        frames_->out->state = state;
        frames_->out->message = message;
        frames_->out->reply = UIFReplyBuf;
        frames_->out->header = UIFReply;
        frames_->ended = true;
    }
    emit waitEnded();
}

void frmUIF::transmit()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const qint64 n = socket_->writeDatagram(UIFSendBuf, remoteAddress_, opt_.remotePort);
        if (n == UIFSendBuf.size()) {
            ++sentCount_;
            return;
        }
        // A passing shortage of buffers is worth one more try; anything else fails the exchange.
        if (attempt == 0 && socket_->error() == QAbstractSocket::TemporaryError) continue;
        break;
    }
    endWait(StateSendError, basUIF::SendErrorText(*socket_));
}

void frmUIF::onReadyRead()
{
    // One datagram a notification: the socket notifies again while more are queued, so the
    // common case of a single reply costs one read and no look-ahead.
    if (!socket_) return;
    QByteArray data(basUIF::UIFReplyMax, Qt::Uninitialized);
    const qint64 n = socket_->readDatagram(data.data(), data.size());
    // Too short to hold a header (or nothing there after all): dropped without a trace.
    if (n < basUIF::UIFHeaderSize) return;
    data.truncate(int(n));
    UIFReplyBuf = data;
    UIFReply = basUIF::ReadUIFReply(data);
    UIFState = StateMismatch;
    if (UIFReply.ReplyFlag == 0)
        UIFMessage = QStringLiteral("DEBUG: request packet received");
    else if (UIFReply.CmdCode != ExpectCmdCode)
        UIFMessage = QStringLiteral("DEBUG: Unexpected CmdCode received");
    else if (UIFReply.Ident != ExpectIdent)
        UIFMessage = QStringLiteral("DEBUG: Unexpected Ident received");
    else
        endWait(StateMatched, QString());
}

void frmUIF::onTick()
{
    if (close_.due()) {
        open_ = false;
        timer_->stop();
        delete socket_;
        socket_ = nullptr;
        bound_ = false;
        emit closed();
        return;
    }
    if (!UIFBusy) return;
    if (++UIFTicks <= opt_.waitTicks) return;
    UIFTicks = 0;
    if (UIFRetries > 3) {
        endWait(StateNoResponse, QStringLiteral("No Response"));
        return;
    }
    emit waiting(UIFRetries + 2);
    if (!UIFBusy) return;
    transmit();
    ++UIFRetries;
}

void frmUIF::requestClose()
{
    if (!open_ || close_.pending()) return;
    TermUIF();
    close_.request();
}
