#include "echotest/EchoTestRun.h"

#include "platform/Clock.h"
#include "platform/Operator.h"
#include "rcmp/frmRCMP.h"
#include "shell/LogFile.h"
#include "shell/PcAddress.h"
#include "shell/TimeStamp.h"
#include "shell/ToolContext.h"

#include <QTimer>
#include <cmath>

namespace {

QString PadLeft(const QString& text, int n) { return text.rightJustified(n, QLatin1Char(' '), false); }

const QString TwoSpaces = QStringLiteral("  ");
const QString Star = QStringLiteral("      *");

}  // namespace

QStringList EchoStatistics(qint32 sent, qint32 received)
{
    QStringList texts{QString::number(sent) + QStringLiteral(" packets transmitted, ") + QString::number(received) +
                      QStringLiteral(" packets received,")};
    if (sent != 0) {
        const double loss = double(qint64(sent) - received) / double(sent) * 100.0;
        texts << QString::number(loss, 'g', 15) + QStringLiteral("% packet loss.");
    }
    return texts;
}

EchoRtt EchoRttStats(const QList<qint64>& timesMs)
{
    EchoRtt r;
    if (timesMs.isEmpty()) return r;
    r.min = r.max = double(timesMs.first());
    double sum = 0.0;
    for (qint64 t : timesMs) {
        r.min = qMin(r.min, double(t));
        r.max = qMax(r.max, double(t));
        sum += double(t);
    }
    r.avg = sum / timesMs.size();
    double squares = 0.0;
    for (qint64 t : timesMs) squares += (double(t) - r.avg) * (double(t) - r.avg);
    r.mdev = std::sqrt(squares / timesMs.size());
    return r;
}

QString EchoRttSummary(const QList<qint64>& timesMs)
{
    if (timesMs.isEmpty()) return QString();
    const EchoRtt r = EchoRttStats(timesMs);
    return QStringLiteral("rtt min/avg/max/mdev = %1/%2/%3/%4 ms")
        .arg(r.min, 0, 'f', 3).arg(r.avg, 0, 'f', 3).arg(r.max, 0, 'f', 3).arg(r.mdev, 0, 'f', 3);
}

EchoTestRun::EchoTestRun(ToolContext& ctx, frmRCMP& rcmp, const Options& options, QObject* parent)
    : QObject(parent), ctx_(ctx), rcmp_(rcmp), opt_(options)
{
    connect(&rcmp_, &RCMPLink::replyArrived, this, &EchoTestRun::Recv_Reply, Qt::DirectConnection);
    ctx_.log.pcAddress = [this] { return basMain::PcAddressTowards(rcmp_.remoteHost()); };
    if (opt_.tickMs > 0) {
        tmrRep_ = new QTimer(this);
        tmrRep_->setInterval(opt_.tickMs);
        connect(tmrRep_, &QTimer::timeout, this, &EchoTestRun::tmrRep_Timer);
    }
}

bool EchoTestRun::Load()
{
    // The low 16 bits of the time of day in hundredths; 0x8000 and above read as negative.
    EchoPacketID = opt_.fixedPacketID ? opt_.packetID : qint16(quint16(ctx_.clock.hundredthsOfDay() & 0xFFFF));
    MesgDisp(basMain::Indent() + QStringLiteral("RCMP packet ID: 0x") +
             QStringLiteral("%1").arg(quint16(EchoPacketID), 4, 16, QLatin1Char('0')).toUpper());
    const bool bound = rcmp_.load();
    lngSendCnt = 0;
    RecvCnt = 0;
    if (tmrRep_) tmrRep_->start();
    return bound;
}

bool EchoTestRun::CheckIPAddress(const QString& ipText)
{
    int err = 0;
    const qint32 address = basConv::ParseIPv4(ipText, err);
    if (err != 0) {
        ctx_.op.message(QStringLiteral("WARNING"), QStringLiteral("Invalid IP Address"), Operator::Icon::Critical);
        return false;
    }
    ctx_.deviceText = ipText;
    rcmp_.setRemoteHost(quint32(address));
    return true;
}

bool EchoTestRun::startRun(const QString& ipText, const QString& stationText, const QString& request, const QString& heading)
{
    if (TestState != 0) return false;
    // A text the conversion rejects never goes out as whatever bytes it left.
    int err = 0;
    basConv::Mac station{};
    basConv::ParseMAC(stationText.toLatin1(), station, err);
    if (err != 0) {
        ctx_.op.message(QStringLiteral("WARNING"), QStringLiteral("Invalid Station ID"), Operator::Icon::Critical);
        return false;
    }
    if (!cmbList_.contains(stationText)) {
        cmbList_ << stationText;
        emit stationsChanged();
    }
    if (!CheckIPAddress(ipText)) return false;
    station_ = station;
    log(LogFile::Send, request);
    lngSendCnt = 0;
    RecvCnt = 0;
    MesgDisp(QString());
    MesgDisp(timeText() + TwoSpaces + heading);
    log(LogFile::Neutral, heading);
    return true;
}

bool EchoTestRun::StartEcho(const QString& ipText, const QString& stationText)
{
    if (!startRun(ipText, stationText, QStringLiteral("Echo Request"), QStringLiteral("RCMP ping ") + ipText)) return false;
    rcmp_.ResetRCMPSeq();
    echoRequests_ = 0;
    replyTimes_.clear();
    answeredSeqs_.clear();
    duplicates_ = 0;
    echoReplies_.clear();
    SendRequest(14);
    TestState = -1;
    RepTicks = 0;
    return true;
}

bool EchoTestRun::StartTrace(const QString& ipText, const QString& stationText)
{
    if (!startRun(ipText, stationText, QStringLiteral("show Traceroute"), QStringLiteral("Tracing RS route to ") + stationText))
        return false;
    traceHops_.clear();
    TraceDone = false;
    TraceTTL = 0;
    ProbeCnt = 0;
    HopAnswered = false;
    SendRequest(TraceTTL);
    newHopLine();
    TestState = 1;
    RepTicks = 0;
    return true;
}

void EchoTestRun::newHopLine()
{
    traceHops_.append({TraceTTL, {}, QString()});
    HopLine = basMain::Indent() + PadLeft(QString::number(TraceTTL), 5);
    hopPending_ = true;
    MesgDisp(HopLine);
    log(LogFile::Neutral, HopLine);
}

void EchoTestRun::NextHop()
{
    TraceTTL += 1;
    if (TraceTTL > 15) {
        TestState = 0;
        cmdStop_Click();
        traceComplete(LogFile::Recv);
        return;
    }
    ProbeCnt = 0;
    HopAnswered = false;
    SendRequest(TraceTTL);
    newHopLine();
}

void EchoTestRun::traceComplete(int kind)
{
    MesgDisp(basMain::Indent() + QStringLiteral("Trace complete."));
    log(kind, QStringLiteral("Trace complete."));
}

int EchoTestRun::SendRequest(int ttl)
{
    RCMPPacket p;
    p.PacketID = EchoPacketID;
    p.SeqNo = rcmp_.NextRCMPSeq();
    p.TTL = qint16(ttl);
    p.StationID = station_;
    p.TimeStamp = qint32(ctx_.clock.hundredthsOfDay());
    rcmp_.PutRCMPPacket(p);
    ++echoRequests_;
    const int status = rcmp_.ExecRCMP();
    if (status == 0) {
        lngSendCnt += 1;
        CountDisp();
    }
    return status;
}

void EchoTestRun::Recv_Reply()
{
    const qint64 arrival = ctx_.clock.hundredthsOfDay();
    SigON();
    const RCMPPacket r = rcmp_.GetRCMPPacket();
    // The stamp comes off the wire: the difference is taken in 64 bits.
    const qint64 rttMs = (arrival - qint64(r.TimeStamp)) * 10;
    const QString rtt = QString::number(rttMs);
    const QString sid = basConv::FormatMAC(r.StationID);
    const bool newInCombo = !cmbList_.contains(sid);
    const bool newInList = !lstSID_.contains(sid);
    if (newInCombo) cmbList_ << sid;
    if (newInList) lstSID_ << sid;
    if (newInCombo || newInList) emit stationsChanged();
    log(LogFile::Recv, QStringLiteral("Remote Station ID :") + sid);

    switch (TestState) {
    case -1:
        if (r.Result == basRCMP::ResultTimeExceeded) {
            MesgDisp(basMain::Indent() + QStringLiteral("Time exceeded."));
            log(LogFile::Recv, QStringLiteral("Time exceeded."));
        } else if (r.Result != basRCMP::ResultAnswered) {
            MesgDisp(basMain::Indent() + QStringLiteral("Destination unreachable."));
            log(LogFile::Recv, QStringLiteral("Destination unreachable."));
        } else {
            // Every reply of this run's packet ID counts, duplicates included.
            RecvCnt += 1;
            CountDisp();
            // The round-trip statistics take every reply, as iputils ping does.
            replyTimes_ << rttMs;
            if (answeredSeqs_.contains(r.SeqNo))
                ++duplicates_;
            else
                answeredSeqs_.insert(r.SeqNo);
            echoReplies_.append({r.SeqNo, r.TTL, rttMs, sid});
            const QString text = QStringLiteral("Reply  ") + sid + QStringLiteral("  seq=") + QString::number(r.SeqNo) +
                                 QStringLiteral(" ttl=") + QString::number(r.TTL) + QStringLiteral(" time=") + rtt +
                                 QStringLiteral("ms");
            MesgDisp(timeText() + TwoSpaces + text);
            log(LogFile::Recv, text);
        }
        break;
    case 1:
        if (MatchProbe(rttMs, sid, r.Result, r.SeqNo)) TestState = 3;
        break;
    case 2:
        if (MatchProbe(rttMs, sid, r.Result, r.SeqNo)) {
            HopLine += QStringLiteral(" ") + HopStation;
            hopPending_ = false;
            MesgModify(HopLine);
            log(LogFile::Neutral, HopLine);
            if (TraceDone) {
                cmdStop_Click();
                traceComplete(LogFile::Neutral);
            } else {
                TestState = 4;
            }
        }
        break;
    default:
        break;
    }
}

bool EchoTestRun::MatchProbe(qint64 rttMs, const QString& sid, int result, qint16 seq)
{
    // Only the answer to the probe sent last; an earlier probe's late answer is ignored.
    if (seq != rcmp_.RCMPLastSeq) return false;
    traceHops_.last().timesMs << rttMs;
    traceHops_.last().station = sid;
    RepTicks = 0;
    RecvCnt += 1;
    CountDisp();
    HopLine += PadLeft(QString::number(rttMs), 7);
    MesgModify(HopLine);
    log(LogFile::Recv, HopLine);
    HopAnswered = true;
    HopStation = sid;
    if (result == basRCMP::ResultAnswered) TraceDone = true;
    return true;
}

void EchoTestRun::tmrRep_Timer()
{
    if (SigLit) {
        SigTicks += 1;
        if (SigTicks > 5) SigOFF();
    }
    if (TestState != 0) RepTicks += 1;
    switch (TestState) {
    case -1:
        if (RepTicks > 10) {
            RepTicks = 0;
            if (opt_.echoCount > 0 && echoRequests_ >= opt_.echoCount)
                cmdStop_Click();
            else
                SendRequest(-1);
        }
        break;
    case 1:
        if (RepTicks > 30) {
            RepTicks = 0;
            traceHops_.last().timesMs << -1;
            HopLine += Star;
            MesgModify(HopLine);
            log(LogFile::Neutral, HopLine);
            SendRequest(TraceTTL);
            ProbeCnt += 1;
            if (ProbeCnt >= 2) TestState = 2;
        }
        break;
    case 2:
        if (RepTicks > 30) {
            RepTicks = 0;
            traceHops_.last().timesMs << -1;
            HopLine += Star;
            HopLine += HopAnswered ? QStringLiteral(" ") + HopStation : QStringLiteral(" Request timed out.");
            hopPending_ = false;
            MesgModify(HopLine);
            log(LogFile::Neutral, HopLine);
            if (TraceDone) {
                TestState = 0;
                cmdStop_Click();
                traceComplete(LogFile::Recv);
            } else {
                TestState = 1;
                NextHop();
            }
        }
        break;
    case 3:
        if (RepTicks > 5) {
            RepTicks = 0;
            TestState = 1;
            SendRequest(TraceTTL);
            ProbeCnt += 1;
            TestState = ProbeCnt >= 2 ? 2 : 1;
        }
        break;
    case 4:
        if (RepTicks > 5) {
            RepTicks = 0;
            TestState = 1;
            NextHop();
        }
        break;
    default:
        break;
    }
}

void EchoTestRun::cmdStop_Click()
{
    hopPending_ = false;
    if (TestState >= 0) {
        MesgDisp(timeText() + TwoSpaces + QStringLiteral("Trace end."));
        log(LogFile::Neutral, QStringLiteral("Trace end."));
    } else {
        const QStringList texts = EchoStatistics(lngSendCnt, RecvCnt);
        MesgDisp(timeText() + TwoSpaces + texts[0]);
        for (int i = 1; i < texts.size(); ++i) MesgDisp(basMain::Indent() + texts[i]);
        for (const QString& t : texts) log(LogFile::Neutral, t);
    }
    TestState = 0;
    emit runEnded();
}

QString EchoTestRun::countText() const { return QString::number(RecvCnt) + QStringLiteral("/") + QString::number(lngSendCnt); }

void EchoTestRun::CountDisp() { emit countChanged(countText()); }

void EchoTestRun::SigON()
{
    SigLit = true;
    SigTicks = 0;
    if (!lampOn_) emit lampChanged(lampOn_ = true);
}

void EchoTestRun::SigOFF()
{
    SigTicks = 0;
    if (lampOn_) emit lampChanged(lampOn_ = false);
}

// QLN_Test's list takes each text as one line, backslash-n and all.
void EchoTestRun::MesgDisp(const QString& line) { ctx_.lstStatus.MesgDisp_sub(line); }

void EchoTestRun::MesgModify(const QString& line) { ctx_.lstStatus.MesgModify(line); }

void EchoTestRun::log(int kind, const QString& text) { ctx_.log.WriteLogRecord(kind, text); }

QString EchoTestRun::timeText() const { return basMain::Fnc_TimeStamp(ctx_.clock.now()); }
