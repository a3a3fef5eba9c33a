#include "tftp/frmTFR.h"

#include "link/basUIF.h"
#include "link/frmUIF.h"
#include "tftp/TransferTexts.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr qint16 CmdTFTPStart = 13;
constexpr qint16 CmdCopy = 14;
// The device has 21 ticks after each accepted start command to open the transfer.
constexpr int StartTicks = 20;
constexpr int MaxStartRepeats = 6;
}  // namespace

frmTFR::frmTFR(frmUIF& uif, QObject* parent) : frmTFR(uif, Options(), parent) {}

frmTFR::frmTFR(frmUIF& uif, const Options& options, QObject* parent)
    : QObject(parent), uif_(uif), opt_(options), server_(options.tftp, this)
{
    setObjectName(QStringLiteral("Transfer Start"));
    timer_ = new QTimer(this);
    timer_->setInterval(opt_.tickMs);
    connect(timer_, &QTimer::timeout, this, &frmTFR::onTick);
    connect(&server_, &frmTFTP::debugLine, this, &frmTFR::debugLine);
    connect(&server_, &frmTFTP::transferEnded, this, [this](int result, int errCode) {
        // Taken once, as the transfer ends: nothing that arrives later can change it.
        transferEnded_ = true;
        transferResult_ = result;
        transferErrCode_ = errCode;
        transferDetail_ = server_.TFTPDetail;
        wake();
    });
    server_.requestSeen = [this] {
        TFRWaiting = false;
        wake();
    };
}

frmTFR::~frmTFR()
{
    if (waitLoop_) waitLoop_->quit();
}

void frmTFR::load()
{
    open_ = true;
    close_.reset();
    TFRWaiting = false;
    timer_->start();
}

int frmTFR::TFTP_StartRequest(basTFTP::Transfer& transfer)
{
    if (running_) {
        // One transfer at a time: the running one keeps its server and its file.
        uif_.UIFState = frmUIF::StateBusy;
        uif_.UIFMessage = QStringLiteral("Sender Busy");
        TFRMessage = QStringLiteral("TFTP Start Command Error.  St: ") + uif_.UIFStatusText(-1);
        return -1;
    }
    if (!open_) load();
    running_ = true;
    stopped_ = false;
    startCommands_ = 0;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{running_};

    TFRMessage.clear();
    transferEnded_ = false;
    if (!server_.load(transfer, QHostAddress(uif_.remoteHost()))) {
        TFRStatus = -4;
        TFRMessage = server_.bindErrorText();
        return TFRStatus;
    }
    uif_.UIFCollect = false;

    TFRTicks = 0;
    TFRRetries = 0;
    TFRWaiting = true;
    repeatDue_ = false;
    transfer.port = server_.localPort();
    started_ = CopyFields::Of(transfer);
    sendStartCommand();
    for (;;) {
        waitWhile([this] { return TFRWaiting && !repeatDue_; });
        if (!TFRWaiting) break;
        repeatDue_ = false;
        sendStartCommand();
    }

    if (TFRStatus == -4)
        TFRMessage = QStringLiteral("TFTP Start Timeout.");
    else if (TFRStatus != 0)
        TFRMessage = startErrorText(TFRStatus);
    else
        TFRMessage = QStringLiteral("TFTP Start Complete.");
    if (TFRStatus != 0) {
        server_.unload();
        return TFRStatus;
    }
    return transferPhase();
}

int frmTFR::transferPhase()
{
    emit transferWaiting(true);
    waitWhile([this] { return !transferEnded_ && !stopped_ && server_.isLoaded(); });
    emit transferWaiting(false);
    server_.unload();
    // A stop is the answer, whatever the transfer did in the same turn.
    if (stopped_ || !transferEnded_ || transferResult_ == basTFTP::ResultNotFinished) {
        TFRStatus = -6;
        TFRMessage = startErrorText(TFRStatus);
        return TFRStatus;
    }
    if (transferResult_ == basTFTP::ResultComplete) {
        TFRMessage = QStringLiteral("TFTP Start Complete.");
        return 0;
    }
    TFRMessage = basTFTP::TFTPResultText(transferResult_, transferErrCode_, transferDetail_);
    return -5;
}

QString frmTFR::startErrorText(int status) const
{
    return QStringLiteral("TFTP Start Command Error.  St: ") + uif_.UIFStatusText(status);
}

void frmTFR::sendStartCommand()
{
    uif_.BeginRequest(CmdTFTPStart);
    basUIF::PutUIFLong(uif_.UIFRequestBuf, started_.type, 0);
    basUIF::PutUIFInt(uif_.UIFRequestBuf, qint16(quint16(started_.port)), 4);
    basUIF::PutUIFString(uif_.UIFRequestBuf, started_.name.toUtf8(), 8);
    ++startCommands_;
    // While the command waits for its reply the repeat clock stands still: a repeat never
    // meets this command's own exchange as "Sender Busy".
    startPending_ = true;
    const int status = uif_.ExecUIF();
    startPending_ = false;
    TFRTicks = 0;
    // A stop that ran while the command was out wins over the reply, even one that matched in
    // the same turn; the exchange the stop itself ended keeps its -1.
    TFRStatus = stopped_ ? (status == -1 ? -1 : -6) : status;
    if (TFRStatus != 0) TFRWaiting = false;
}

int frmTFR::Copy_Request_Send(int source, int destination, const CopyFields& carried)
{
    uif_.BeginRequest(CmdCopy);
    basUIF::PutUIFLong(uif_.UIFRequestBuf, carried.type, 0);
    basUIF::PutUIFInt(uif_.UIFRequestBuf, qint16(quint16(carried.port)), 4);
    // The name goes first: the store codes at 24 and 28 overwrite what passes byte 15 of it.
    basUIF::PutUIFString(uif_.UIFRequestBuf, carried.name.toUtf8(), 8);
    basUIF::PutUIFLong(uif_.UIFRequestBuf, source, 24);
    basUIF::PutUIFLong(uif_.UIFRequestBuf, destination, 28);
    return uif_.ExecUIF();
}

void frmTFR::TermTFRACT()
{
    if (running_) stopped_ = true;
    server_.unload();
    TFRStatus = -6;
    TFRWaiting = false;
    wake();
    uif_.TermUIF();
}

void frmTFR::requestClose()
{
    if (!open_ || close_.pending()) return;
    TermTFRACT();
    close_.request();
}

void frmTFR::waitWhile(const std::function<bool()>& condition)
{
    while (condition()) {
        QEventLoop loop;
        waitLoop_ = &loop;
        loop.exec();
        waitLoop_ = nullptr;
    }
}

void frmTFR::wake()
{
    if (waitLoop_) waitLoop_->quit();
}

void frmTFR::onTick()
{
    if (close_.due()) {
        open_ = false;
        timer_->stop();
        emit closed();
        return;
    }
    if (!TFRWaiting || startPending_ || repeatDue_) return;
    if (++TFRTicks <= StartTicks) return;
    TFRTicks = 0;
    if (TFRRetries < MaxStartRepeats) {
        ++TFRRetries;
        repeatDue_ = true;
    } else {
        TFRStatus = -4;
        TFRWaiting = false;
    }
    wake();
}
