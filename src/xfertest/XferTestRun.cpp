#include "xfertest/XferTestRun.h"

#include "echotest/EchoTestRun.h"
#include "link/frmUIF.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "rcmp/frmRCMP.h"
#include "shell/LogFile.h"
#include "shell/PcAddress.h"
#include "shell/TimeStamp.h"
#include "shell/ToolContext.h"

#include <QTimer>

namespace {

constexpr qint16 TestModeSet = 53;
constexpr qint16 TestModeGet = 54;
const QString TwoSpaces = QStringLiteral("  ");

// The test_mode parameters after the UIF header; bytes 6-7 and 18-19 are never written.
struct TestModeParams {
    qint32 mode = 0;
    qint16 packetId = -1;
    qint32 interval = -1;
    qint32 hostIp = -1;
    qint16 hostPort = -1;
    qint32 sendLimit = 0;
};

void PutTestModeParams(QByteArray& request, const TestModeParams& p)
{
    basUIF::PutUIFLong(request, p.mode, 0);
    basUIF::PutUIFInt(request, p.packetId, 4);
    basUIF::PutUIFLong(request, p.interval, 8);
    basUIF::PutUIFLong(request, p.hostIp, 12);
    basUIF::PutUIFInt(request, p.hostPort, 16);
    basUIF::PutUIFLong(request, p.sendLimit, 20);
}

QString ModeName(qint32 mode)
{
    switch (mode) {
    case 0: return QStringLiteral("Disable");
    case 1: return QStringLiteral("Send");
    case 2: return QStringLiteral("Receive");
    default: return QStringLiteral("??" "?(") + QString::number(mode) + ')';
    }
}

const char* const ModeCaptions[] = {"Disable", "Send Mode", "Receive Mode"};

}  // namespace

QString PacketIDText(qint16 id)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(quint16(id), 4, 16, QLatin1Char('0')).toUpper() + '(' +
           QString::number(quint16(id)) + ')';
}

XferTestRun::XferTestRun(ToolContext& ctx, frmUIF& uif, frmRCMP2& rcmp, const Options& options, QObject* parent)
    : QObject(parent), ctx_(ctx), uif_(uif), rcmp_(rcmp), opt_(options)
{
    connect(&rcmp_, &RCMPLink::replyArrived, this, &XferTestRun::Recv_Reply, Qt::DirectConnection);
    // The records name this PC as the UIF socket meets the device.
    ctx_.log.pcAddress = [this] { return basMain::PcAddressTowards(uif_.remoteHost()); };
    if (opt_.tickMs > 0) {
        tmrRep_ = new QTimer(this);
        tmrRep_->setInterval(opt_.tickMs);
        connect(tmrRep_, &QTimer::timeout, this, &XferTestRun::tmrRep_Timer);
    }
}

void XferTestRun::Load()
{
    TestPacketID = 0;
    EchoPacketID = 1;
    RecvHostPort = qint16(rcmp_.localPort());
    TestLastSeq = NoSequenceYet;
    if (tmrRep_) tmrRep_->start();
}

bool XferTestRun::refuse(const QString& text)
{
    ctx_.op.message(QStringLiteral("WARNING"), text, Operator::Icon::Critical);
    return false;
}

bool XferTestRun::CheckIPAddress(const QString& text)
{
    int err = 0;
    const qint32 address = basConv::ParseIPv4(text, err);
    if (err != 0) return refuse(QStringLiteral("Invalid IP Address"));
    ctx_.deviceText = text;
    uif_.setRemoteHost(quint32(address));
    rcmp_.setRemoteHost(quint32(address));
    return true;
}

bool XferTestRun::CheckPacketID(const QString& text)
{
    int err = 0;
    const qint32 v = basConv::ParseNumber(text.toLatin1(), err, basConv::NumberDialect::Xfer);
    if (err != 0 || v < 0 || v > 65535) return refuse(QStringLiteral("Invalid RCMP packet ID"));
    TestPacketID = qint16(quint16(v));
    EchoPacketID = qint16(TestPacketID ^ 1);
    return true;
}

bool XferTestRun::CheckInterval(const QString& text)
{
    int err = 0;
    const qint32 v = basConv::ParseNumber(text.toLatin1(), err, basConv::NumberDialect::Xfer);
    if (err != 0) return refuse(QStringLiteral("Invalid Interval time"));
    if (v < 1 || v > 100000) return refuse(QStringLiteral("Interval Time out of range "));
    SendInterval = v;
    return true;
}

bool XferTestRun::CheckLimit(const QString& text)
{
    int err = 0;
    const qint32 v = basConv::ParseNumber(text.toLatin1(), err, basConv::NumberDialect::Xfer);
    if (err != 0) return refuse(QStringLiteral("Invalid Send Limit"));
    // 65535 is the old box's way of writing "no limit", as 0xffffffff is; every other number
    // goes as it is (32768-65534 are not widened to negative Longs).
    SendLimit = v == 65535 ? qint32(-1) : v;
    return true;
}

bool XferTestRun::CheckHostIP(const QString& text)
{
    int err = 0;
    const qint32 address = basConv::ParseIPv4(text, err);
    if (err != 0) return refuse(QStringLiteral("Invalid IP Address"));
    RecvHostIP = address;
    return true;
}

bool XferTestRun::CheckHostPort(const QString& text)
{
    int err = 0;
    const qint32 v = basConv::ParseNumber(text.toLatin1(), err, basConv::NumberDialect::Xfer);
    if (err != 0 || v < 0 || v > 65535) return refuse(QStringLiteral("Invalid Port number"));
    RecvHostPort = qint16(quint16(v));
    // The link is loaded again on the new port: a new socket, the sequence counter at 0.
    if (opt_.reloadOnHostPort) {
        rcmp_.setLocalPort(quint16(v));
        rcmp_.load();
    }
    return true;
}

XferTestRun::Box XferTestRun::ValidateMode(int mode, const Fields& f)
{
    if (!CheckIPAddress(f.ip)) return Box::IP;
    if (mode == ModeDisable) return Box::None;
    if (!CheckPacketID(f.id)) return Box::ID;
    if (mode == ModeSend) {
        if (!CheckInterval(f.rep)) return Box::Rep;
        if (!CheckLimit(f.limit)) return Box::Limit;
        return Box::None;
    }
    if (!CheckHostIP(f.hostIp)) return Box::HostIP;
    if (!CheckHostPort(f.hostPort)) return Box::HostPort;
    return Box::None;
}

qint32 XferTestRun::SetTestMode(int mode)
{
    log(LogFile::Send, QLatin1String(ModeCaptions[mode]));
    if (mode == ModeReceive) TestLastSeq = NoSequenceYet;
    TestModeParams p;
    p.mode = mode;
    if (mode != ModeDisable) p.packetId = TestPacketID;
    if (mode == ModeSend) {
        p.interval = SendInterval;
        p.sendLimit = SendLimit;
    }
    if (mode == ModeReceive) {
        p.hostIp = RecvHostIP;
        p.hostPort = RecvHostPort;
    }
    uif_.BeginRequest(TestModeSet);
    PutTestModeParams(uif_.UIFRequestBuf, p);
    const qint32 status = uif_.ExecUIF();
    MesgDisp(QString());
    if (status != 0) {
        const QString st = uif_.UIFStatusText(status);
        MesgDisp(timeText() + TwoSpaces + QStringLiteral("Error: test_mode set command."));
        MesgDisp(basMain::Indent() + QStringLiteral(" St: ") + st);
        log(LogFile::Recv, QStringLiteral("Error: test_mode set command.  St: ") + st);
        return status;
    }
    const QString text = QStringLiteral("Test Mode: ") + ModeName(mode);
    MesgDisp(timeText() + TwoSpaces + text);
    log(LogFile::Recv, text, uifAddress());
    return status;
}

qint32 XferTestRun::ModeCheck()
{
    log(LogFile::Send, QStringLiteral("Mode Check"));
    MesgDisp(QString());
    const QString heading = QStringLiteral("RCMP test mode parameters");
    MesgDisp(timeText() + TwoSpaces + heading);
    log(LogFile::Neutral, heading);
    uif_.BeginRequest(TestModeGet);
    const qint32 status = uif_.ExecUIF();
    if (status != 0) {
        const QString st = uif_.UIFStatusText(status);
        MesgDisp(timeText() + TwoSpaces + QStringLiteral("Error: test_mode get command."));
        MesgDisp(basMain::Indent() + QStringLiteral(" St: ") + st);
        log(LogFile::Recv, QStringLiteral("Error: test_mode get command.  St: ") + st);
        return status;
    }
    // Read before anything yields: the next datagram overwrites the reply buffer.
    const QByteArray& r = uif_.UIFReplyBuf;
    const QList<std::pair<QString, QString>> lines{
        {QStringLiteral("Test Mode: "), ModeName(basUIF::GetUIFLong(r, 0))},
        {QStringLiteral("RCMP packet ID: "), PacketIDText(basUIF::GetUIFInt(r, 4))},
        {QStringLiteral("Send Interval Time: "), QString::number(basUIF::GetUIFLong(r, 8))},
        {QStringLiteral("Receive Host IP address: "), basConv::FormatIPv4(basUIF::GetUIFLong(r, 12))},
        {QStringLiteral("Receive Host UDP port: "), QString::number(basUIF::GetUIFInt(r, 16))},
    };
    // SendLimit (offset 20) is read by the device's answer but not shown.
    for (const auto& [label, value] : lines) {
        MesgDisp(timeText() + TwoSpaces + label + value);
        log(LogFile::Recv, QStringLiteral(" ") + label + value, uifAddress());
    }
    return status;
}

void XferTestRun::Recv_Reply()
{
    const qint64 arrival = ctx_.clock.hundredthsOfDay();
    SigON();
    const RCMPPacket r = rcmp_.GetRCMPPacket();
    // The stamp comes off the wire: the difference is taken in 64 bits.
    const qint64 rttMs = (arrival - qint64(r.TimeStamp)) * 10;
    if (lastSid_.isNull() || r.StationID != lastMac_) {
        lastMac_ = r.StationID;
        lastSid_ = basConv::FormatMAC(r.StationID);
    }
    const QString sid = lastSid_;
    addStation(sid);
    if (r.PacketID == TestPacketID) {
        TestRecvCnt += 1;
        // A gap adds the numbers skipped; an older number or a repeat subtracts. The device counts
        // 0 to 32767 and starts again at 0, so the step is taken modulo 32768, as the nearer way
        // round: 32767 then 0 is the next packet, not 32768 lost the other way.
        if (TestLastSeq != NoSequenceYet) {
            qint64 step = (qint64(r.SeqNo) - TestLastSeq) & 0x7FFF;
            if (step >= 0x4000) step -= 0x8000;
            TestLostCnt += step - 1;
        }
        TestLastSeq = r.SeqNo;
        CountDisp();
        Recv_TestReply(sid, r);
    } else if (r.PacketID != EchoPacketID) {
        const QString text = QStringLiteral("Receive different ID: ") + PacketIDText(r.PacketID) +
                             QStringLiteral(" seq=") + QString::number(r.SeqNo);
        MesgDisp(timeText() + TwoSpaces + text);
        log(LogFile::Recv, text, rcmpAddress());
    } else if (EchoRunning) {
        Recv_EchoReply(sid, r, rttMs);
    }
}

void XferTestRun::Recv_TestReply(const QString& sid, const RCMPPacket& r)
{
    if (r.Result == basRCMP::ResultAnswered) {
        const QString seq = QString::number(r.SeqNo);
        const QString ttl = QString::number(r.TTL);
        MesgDisp(timeText() + TwoSpaces + QStringLiteral("RCMP test: ") + sid + QStringLiteral("  seq=") + seq +
                 QStringLiteral(" ttl=") + ttl);
        if (ctx_.log.isOpen())
            log(LogFile::Recv, QStringLiteral("RCMP test: ") + sid + QStringLiteral(" seq=") + seq + QStringLiteral(" ttl=") + ttl,
                rcmpAddress());
    } else if (r.Result == basRCMP::ResultTimeExceeded) {
        MesgDisp(QStringLiteral("RCMP test: Time exceeded."));
    } else {
        MesgDisp(QStringLiteral("RCMP test: Destination unreachable."));
    }
}

void XferTestRun::Recv_EchoReply(const QString& sid, const RCMPPacket& r, qint64 rttMs)
{
    if (r.Result == basRCMP::ResultAnswered) {
        EchoRecvCnt += 1;
        const QString text = QStringLiteral("Reply  ") + sid + QStringLiteral("  seq=") + QString::number(r.SeqNo) +
                             QStringLiteral(" ttl=") + QString::number(r.TTL) + QStringLiteral(" time=") +
                             QString::number(rttMs) + QStringLiteral("ms");
        MesgDisp(timeText() + TwoSpaces + text);
        log(LogFile::Recv, text, rcmpAddress());
    } else if (r.Result == basRCMP::ResultTimeExceeded) {
        MesgDisp(basMain::Indent() + QStringLiteral("time exceeded."));
    } else {
        MesgDisp(basMain::Indent() + QStringLiteral("Destination unreachable."));
    }
}

bool XferTestRun::StartEcho(const Fields& f, const QString& stationText, Box* refused)
{
    if (EchoRunning) return false;
    // A text the conversion rejects never joins the list, nor goes out as whatever bytes it left.
    int err = 0;
    basConv::Mac station{};
    basConv::ParseMAC(stationText.toLatin1(), station, err);
    if (err == 0) addStation(stationText);
    const Box box = !CheckIPAddress(f.ip) ? Box::IP : !CheckPacketID(f.id) ? Box::ID : Box::None;
    if (refused) *refused = box;
    if (box != Box::None) return false;
    if (err != 0) return refuse(QStringLiteral("Invalid Station ID"));
    station_ = station;
    stationText_ = stationText;
    log(LogFile::Send, QStringLiteral("RCMP Echo"));
    MesgDisp(QString());
    const QString heading = QStringLiteral("RCMP ping ") + stationText;
    MesgDisp(timeText() + TwoSpaces + heading);
    log(LogFile::Neutral, heading);
    rcmp_.ResetRCMPSeq();
    echoRequests_ = 0;
    SendEchoRequest();
    EchoRunning = true;
    RepTicks = 0;
    return true;
}

int XferTestRun::SendEchoRequest()
{
    RCMPPacket p;
    p.PacketID = EchoPacketID;
    p.SeqNo = rcmp_.NextRCMPSeq();
    p.TTL = -1;
    p.TimeStamp = qint32(ctx_.clock.hundredthsOfDay());
    p.StationID = station_;
    rcmp_.PutRCMPPacket(p);
    ++echoRequests_;
    const int status = rcmp_.ExecRCMP();
    if (status == 0) {
        EchoSentCnt += 1;
        CountDisp();
    }
    return status;
}

void XferTestRun::EchoStop()
{
    if (EchoRunning) {
        const QString title = QStringLiteral("--- ") + stationText_ + QStringLiteral(" ping statistics ---");
        const QStringList texts = EchoStatistics(EchoSentCnt, EchoRecvCnt);
        MesgDisp(basMain::Indent() + title);
        MesgDisp(timeText() + TwoSpaces + texts[0]);
        for (int i = 1; i < texts.size(); ++i) MesgDisp(basMain::Indent() + texts[i]);
        log(LogFile::Neutral, title);
        for (const QString& t : texts) log(LogFile::Neutral, t);
    }
    // The echo counters are cleared here, not when a run starts.
    if (EchoRunning) {
        LastEchoSent = EchoSentCnt;
        LastEchoRecv = EchoRecvCnt;
    }
    EchoRunning = false;
    EchoSentCnt = 0;
    EchoRecvCnt = 0;
    emit echoEnded();
}

void XferTestRun::Reset()
{
    TestRecvCnt = 0;
    TestLostCnt = 0;
    TestLastSeq = NoSequenceYet;
    CountDisp();
}

void XferTestRun::tmrRep_Timer()
{
    if (SigLit) {
        SigTicks += 1;
        if (SigTicks > 5) SigOFF();
    }
    if (!EchoRunning) return;
    RepTicks += 1;
    if (RepTicks <= 10) return;
    RepTicks = 0;
    if (opt_.echoCount > 0 && echoRequests_ >= opt_.echoCount)
        EchoStop();
    else
        SendEchoRequest();
}

QString XferTestRun::countText() const { return QString::number(TestLostCnt) + '/' + QString::number(TestRecvCnt); }

void XferTestRun::addStation(const QString& sid)
{
    if (cmbList_.contains(sid)) return;
    cmbList_ << sid;
    emit stationsChanged();
}

void XferTestRun::SigON()
{
    SigLit = true;
    SigTicks = 0;
    if (!lampOn_) emit lampChanged(lampOn_ = true);
}

void XferTestRun::SigOFF()
{
    SigTicks = 0;
    if (lampOn_) emit lampChanged(lampOn_ = false);
}

void XferTestRun::MesgDisp(const QString& line) { ctx_.lstStatus.MesgDisp(line); }

void XferTestRun::log(int kind, const QString& text, const QString& device) { ctx_.log.WriteLogRecord(kind, text, device); }

void XferTestRun::log(int kind, const QString& text) { ctx_.log.WriteLogRecord(kind, text); }

QString XferTestRun::timeText() const
{
    const QDateTime now = ctx_.clock.now();
    const int ms = now.time().msecsSinceStartOfDay();
    if (ms != timeTextMs_) {
        timeTextMs_ = ms;
        timeText_ = basMain::Fnc_TimeStamp(now);
    }
    return timeText_;
}

QString XferTestRun::uifAddress() const { return basConv::FormatIPv4(qint32(uif_.remoteHost())); }

QString XferTestRun::rcmpAddress() const { return basConv::FormatIPv4(qint32(rcmp_.remoteHost())); }
