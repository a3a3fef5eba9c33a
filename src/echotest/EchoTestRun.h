#pragma once
// QLN_Test's run logic: the echo run (one request every 11 ticks, the first with TTL 14, the
// rest with TTL -1) and the traceroute (hops 0 to 15, three probes each). The window and `qln`
// both drive it: they pass the address and station texts, show the message list, lblCnt, the
// lamp and the station lists, and re-enable their buttons on runEnded().
#include "link/basConv.h"

#include <QObject>
#include <QSet>
#include <QStringList>

class QTimer;
class ToolContext;
class frmRCMP;

// The statistics texts of a stopped echo run: the transmitted/received line, then the loss line
// when anything was sent (the loss in shortest form; negative when duplicates outnumber losses).
QStringList EchoStatistics(qint32 sent, qint32 received);

// "rtt min/avg/max/mdev = a/b/c/d ms" over the times in ms (mdev the population standard
// deviation), as iputils ping prints it; "" when there are none.
QString EchoRttSummary(const QList<qint64>& timesMs);
struct EchoRtt {
    double min = 0, avg = 0, max = 0, mdev = 0;
};
EchoRtt EchoRttStats(const QList<qint64>& timesMs);  // all 0 when there are none

// What a run heard, for reports beyond the message list.
struct EchoReplyRecord {
    qint16 seq = 0;
    qint16 ttl = 0;
    qint64 timeMs = 0;
    QString station;
};
struct TraceHopRecord {
    int hop = 0;
    QList<qint64> timesMs;  // one per probe; -1 for a probe that timed out
    QString station;        // "" when no probe was answered
};

class EchoTestRun : public QObject {
    Q_OBJECT
public:
    struct Options {
        int tickMs = 100;   // tmrRep; 0: no timer, the caller calls tmrRep_Timer()
        int echoCount = 0;  // an echo run stops at the repetition after this many requests; 0 never
        bool fixedPacketID = false;  // packetID instead of the one from the time of day
        qint16 packetID = 0;
    };

    EchoTestRun(ToolContext& ctx, frmRCMP& rcmp, const Options& options, QObject* parent = nullptr);

    // Start-up: the packet ID from the time of day and its line, the RCMP link loaded, the
    // counters cleared, tmrRep running. False when the RCMP port could not be bound.
    bool Load();
    // Parses the address text; on an error shows "Invalid IP Address" and returns false.
    bool CheckIPAddress(const QString& ipText);

    // cmdEcho_Click / cmdTR_Click: false when refused (a run is going, the address or the
    // station ID text does not parse).
    bool StartEcho(const QString& ipText, const QString& stationText);
    bool StartTrace(const QString& ipText, const QString& stationText);
    void cmdStop_Click();
    void tmrRep_Timer();

    QString countText() const;  // lblCnt
    bool lampLit() const { return lampOn_; }
    // True while the last message line is a hop line that is still growing.
    bool hopLinePending() const { return hopPending_; }

    const QStringList& comboStations() const { return cmbList_; }  // cmb_ID's list
    const QStringList& lstSID() const { return lstSID_; }

    // Of the current echo run's counted replies: the round-trip time of every reply (duplicates
    // too, as iputils ping takes them), and how many repeated a sequence number already answered.
    const QList<qint64>& replyTimesMs() const { return replyTimes_; }
    int duplicateReplies() const { return duplicates_; }
    // Replies to distinct requests: RecvCnt less the duplicates.
    qint32 distinctReplies() const { return RecvCnt - duplicates_; }
    // Every counted echo reply of the current run, and the hops of the current traceroute.
    const QList<EchoReplyRecord>& echoReplies() const { return echoReplies_; }
    const QList<TraceHopRecord>& traceHops() const { return traceHops_; }

    qint16 EchoPacketID = 0;
    qint32 lngSendCnt = 0;
    qint32 RecvCnt = 0;
    int TestState = 0;
    int RepTicks = 0;
    bool SigLit = false;
    int SigTicks = 0;
    int TraceTTL = 0;
    int ProbeCnt = 0;
    bool HopAnswered = false;
    QString HopLine;
    QString HopStation;
    bool TraceDone = false;

signals:
    void countChanged(const QString& text);
    void lampChanged(bool lit);
    void stationsChanged();
    void runEnded();

private:
    // The checks of both runs, then their first log records and heading line.
    bool startRun(const QString& ipText, const QString& stationText, const QString& request, const QString& heading);
    int SendRequest(int ttl);
    void Recv_Reply();
    bool MatchProbe(qint64 rttMs, const QString& sid, int result, qint16 seq);
    void NextHop();
    void newHopLine();
    void traceComplete(int kind);
    void SigON();
    void SigOFF();
    void CountDisp();
    void MesgDisp(const QString& line);
    void MesgModify(const QString& line);
    void log(int kind, const QString& text);
    QString timeText() const;

    ToolContext& ctx_;
    frmRCMP& rcmp_;
    Options opt_;
    QTimer* tmrRep_ = nullptr;
    basConv::Mac station_{};
    QStringList cmbList_;
    QStringList lstSID_;
    bool lampOn_ = false;
    bool hopPending_ = false;
    int echoRequests_ = 0;
    QList<qint64> replyTimes_;
    QSet<qint16> answeredSeqs_;
    int duplicates_ = 0;
    QList<EchoReplyRecord> echoReplies_;
    QList<TraceHopRecord> traceHops_;
};
