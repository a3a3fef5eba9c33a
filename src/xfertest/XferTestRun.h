#pragma once
// QLN_Xfer's run logic: the six entry boxes' checks, the test_mode set and get exchanges, the
// sorting of every received RCMP datagram (test stream, echo replies, foreign streams) with the
// lost/received counters, and the echo run with its statistics. The window and `qln xfer` both
// drive it: they pass the boxes' texts, show the message list, lblCnt and the lamp, and give
// their buttons back when a call returns or on echoEnded().
#include "link/basConv.h"

#include <QObject>
#include <QStringList>

class QTimer;
struct RCMPPacket;
class ToolContext;
class frmRCMP2;
class frmUIF;

// "0x00FF(255)": the packet ID as the mode check and the foreign-stream lines show it.
QString PacketIDText(qint16 id);

class XferTestRun : public QObject {
    Q_OBJECT
public:
    struct Options {
        int tickMs = 100;   // tmrRep; 0: no timer, the caller calls tmrRep_Timer()
        int echoCount = 0;  // an echo run stops at the repetition after this many requests; 0 never
        // An accepted host port loads the RCMP link again on it; `qln xfer mode` only sends the
        // number and leaves the port to `qln xfer count`.
        bool reloadOnHostPort = true;
    };

    enum Mode { ModeDisable = 0, ModeSend = 1, ModeReceive = 2 };
    // The entry box a check refused (the window puts the focus back there).
    enum class Box { None, IP, ID, Rep, Limit, HostIP, HostPort };

    // The texts of the entry boxes, their defaults as the window starts.
    struct Fields {
        QString ip = QStringLiteral("1.1.1.1");
        QString id = QStringLiteral("0");
        QString rep = QStringLiteral("10");
        QString limit = QStringLiteral("0xffffffff");
        QString hostIp;
        QString hostPort = QStringLiteral("8601");
    };

    XferTestRun(ToolContext& ctx, frmUIF& uif, frmRCMP2& rcmp, const Options& options, QObject* parent = nullptr);

    // Form_Load's part in the core: packet ID 0 (echo ID 1), RecvHostPort from the RCMP link's
    // port, TestLastSeq none yet, tmrRep running. The caller loads the engines it needs first.
    void Load();

    // The checks of the entry boxes; each failure shows its message box and changes nothing.
    bool CheckIPAddress(const QString& text);  // also the remote host of both sockets
    bool CheckPacketID(const QString& text);
    bool CheckInterval(const QString& text);
    bool CheckLimit(const QString& text);
    bool CheckHostIP(const QString& text);
    bool CheckHostPort(const QString& text);  // reloads the RCMP link on the new port

    // The checks a mode button runs, in its order; the first box refused, or None.
    Box ValidateMode(int mode, const Fields& fields);
    // Sends test_mode set with the mode's column of parameters and reports; the status.
    qint32 SetTestMode(int mode);
    // Sends "test_mode get" and shows the five lines; the status.
    qint32 ModeCheck();

    // cmdEcho_Click: false when refused (a run is going, the address, packet ID or station text
    // does not parse); `refused` names the address or packet ID box when one of them was.
    bool StartEcho(const Fields& fields, const QString& stationText, Box* refused = nullptr);
    void EchoStop();
    void Reset();
    void tmrRep_Timer();

    QString countText() const;  // lblCnt
    bool lampLit() const { return lampOn_; }
    const QStringList& comboStations() const { return cmbList_; }  // cmb_ID's list

    qint16 TestPacketID = 0;
    qint16 EchoPacketID = 1;
    qint32 SendInterval = 10;
    qint32 RecvHostIP = 0;
    qint16 RecvHostPort = 8601;
    qint32 SendLimit = 0;
    // The counters of the test stream, in 64 bits: a long stream passes 2^31 packets.
    qint64 TestRecvCnt = 0;
    qint64 TestLostCnt = 0;
    // The last sequence number counted; NoSequenceYet, which no packet can carry, before the first.
    static constexpr qint64 NoSequenceYet = -0x10000;
    qint64 TestLastSeq = NoSequenceYet;
    bool EchoRunning = false;
    int RepTicks = 0;
    qint32 EchoSentCnt = 0;
    qint32 EchoRecvCnt = 0;
    // The counts of the last stopped echo run, as its statistics showed them.
    qint32 LastEchoSent = 0;
    qint32 LastEchoRecv = 0;
    bool SigLit = false;
    int SigTicks = 0;

signals:
    void countChanged();
    void lampChanged(bool lit);
    void stationsChanged();
    void echoEnded();

private:
    bool refuse(const QString& text);
    void Recv_Reply();
    void Recv_TestReply(const QString& sid, const RCMPPacket& r);
    void Recv_EchoReply(const QString& sid, const RCMPPacket& r, qint64 rttMs);
    int SendEchoRequest();
    void addStation(const QString& sid);
    void SigON();
    void SigOFF();
    void CountDisp() { emit countChanged(); }
    void MesgDisp(const QString& line);
    void log(int kind, const QString& text, const QString& device);
    void log(int kind, const QString& text);
    QString timeText() const;
    QString uifAddress() const;
    QString rcmpAddress() const;

    ToolContext& ctx_;
    frmUIF& uif_;
    frmRCMP2& rcmp_;
    Options opt_;
    QTimer* tmrRep_ = nullptr;
    basConv::Mac station_{};
    QString stationText_;
    QStringList cmbList_;
    bool lampOn_ = false;
    int echoRequests_ = 0;
    // A stream comes from one station and many packets share a millisecond: their texts are
    // made once.
    basConv::Mac lastMac_{};
    QString lastSid_;
    mutable int timeTextMs_ = -1;
    mutable QString timeText_;
};
