#pragma once
// The UIF engine: one socket, one 100 ms timer, one exchange at a time.
// Callers build a request in UIFRequestBuf, call ExecUIF, and read UIFReplyBuf before yielding again.
#include "link/basUIF.h"
#include "link/DeferredClose.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class Operator;
class QTimer;
class QUdpSocket;

class frmUIF : public QObject {
    Q_OBJECT
public:
    struct Options {
        int tickMs = 100;
        quint16 localPort = basUIF::UIFLocalPort;  // 0 picks a free port (tests)
        quint16 remotePort = basUIF::UIFDevicePort;
        QHostAddress localAddress = QHostAddress::AnyIPv4;
        // Ticks one wait lasts before a resend: 40 in QLN_Set, 20 in QLN_Xfer.
        int waitTicks = 40;
        basUIF::Dialect dialect = basUIF::Dialect::Set;
    };

    enum State { StateMatched = 0, StateNoResponse = 1, StateSendError = 2, StateMismatch = 4, StateBusy = 5, StateBreak = -1 };

    explicit frmUIF(Operator* op, QObject* parent = nullptr);
    frmUIF(Operator* op, const Options& options, QObject* parent = nullptr);
    ~frmUIF() override;

    // Binds the local port. On failure shows "Bind address already in use." and goes on loaded:
    // every later ExecUIF then fails at once with state 2.
    bool load();
    bool isOpen() const { return open_; }
    quint16 localPort() const;

    void setRemoteHost(quint32 ipv4);
    quint32 remoteHost() const { return remoteHost_; }
    void setRemotePort(quint16 port) { opt_.remotePort = port; }

    // Starts a request in UIFRequestBuf: 0xFF fill, ReplyFlag 0, the code and the next Ident.
    void BeginRequest(qint16 cmdCode);
    // The shared builder of a request whose payload is one Long at offset 0 (a header-only
    // request is BeginRequest alone).
    void BuildLongRequest(qint16 cmdCode, qint32 value);

    qint32 NextUIFIdent();
    void setIdentSeq(qint32 next) { UIFIdentSeq = next; }

    // What one exchange ended with. It belongs to the call that started the exchange: a second
    // exchange begun in the same event-loop turn cannot hand its outcome to the first caller.
    struct UIFOutcome {
        qint32 status = 0;  // the reply's Status when matched, else -1
        int state = 0;
        QString message;
        QByteArray reply;
        basUIF::UIFHeader header;
    };
    // Sends UIFRequestBuf and waits; the members UIFState, UIFMessage, UIFReplyBuf and UIFReply
    // then mirror the returned outcome.
    UIFOutcome Exchange();
    qint32 ExecUIF() { return Exchange().status; }
    void TermUIF();
    void StartUIFCollect();

    QString UIFStatusText(qint32 code) const { return basUIF::UIFStatusText(code, UIFState, UIFMessage, opt_.dialect); }
    QString UIFStatusText(const UIFOutcome& o) const { return basUIF::UIFStatusText(o.status, o.state, o.message, opt_.dialect); }

    // Deferred close: ends a waiting exchange now, unloads two ticks later (emits closed()).
    void requestClose();

    // Link state, as the callers read it.
    QByteArray UIFRequestBuf;
    QByteArray UIFSendBuf;
    QByteArray UIFReplyBuf;
    basUIF::UIFHeader UIFReply;
    qint16 ExpectCmdCode = 0;
    qint32 ExpectIdent = 0;
    bool UIFBusy = false;
    int UIFState = 0;
    QString UIFMessage;
    int UIFTicks = 0;
    int UIFRetries = 0;
    qint32 UIFIdentSeq = 0;
    bool UIFCollect = false;
    QByteArray UIFCollectBuf;
    int UIFCollectPos = 0;

    // Datagrams that left the socket.
    int sentCount() const { return sentCount_; }

    // An exchange is sent at most this often: once, then a resend after each silent wait.
    static constexpr int UIFSends = 5;

signals:
    void closed();
    // The exchange now waiting went out for the send-th time (1 to UIFSends).
    void waiting(int send);
    // The waiting exchange ended, whatever its outcome.
    void waitEnded();

private:
    void transmit();
    void endWait(int state, const QString& message);
    void onReadyRead();
    void onTick();

    Operator* op_;
    Options opt_;
    QUdpSocket* socket_ = nullptr;
    QTimer* timer_ = nullptr;
    // The waits on the stack, innermost first: one per Exchange() that has not yet returned.
    struct WaitFrame {
        UIFOutcome* out;
        WaitFrame* outer;
        bool ended = false;
        bool engineGone = false;
    };
    WaitFrame* frames_ = nullptr;
    quint32 remoteHost_ = 0;
    QHostAddress remoteAddress_{quint32(0)};
    bool bound_ = false;
    QString bindErrorText_;
    bool open_ = false;
    DeferredClose close_;
    int sentCount_ = 0;
};
