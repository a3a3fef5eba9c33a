#pragma once
// The transfer sequencer: asks the device over UIF to start a TFTP transfer with the PC's
// server and waits for it to finish; asks it to copy between its configuration stores.
#include "tftp/basTFTP.h"
#include "link/DeferredClose.h"
#include "tftp/frmTFTP.h"

#include <QObject>
#include <QString>
#include <functional>

class frmUIF;
class QEventLoop;
class QTimer;

// What a copy request carries besides its stores: the type, port and name of the transfer it
// follows, or the values a flow names for a copy that follows none.
struct CopyFields {
    int type = 0;
    int port = 0;
    QString name;
    static CopyFields Of(const basTFTP::Transfer& t) { return {t.type, t.port, t.file.name}; }
};

class frmTFR : public QObject {
    Q_OBJECT
public:
    struct Options {
        int tickMs = 100;
        frmTFTP::Options tftp;
    };

    enum TransferType { ConfigToDevice = 0, ConfigFromDevice = 1, FirmwareToDevice = 2, FirmwareFromDevice = 3 };
    enum Store { ROM = 0, RAM = 1, RUNNING = 2 };

    explicit frmTFR(frmUIF& uif, QObject* parent = nullptr);
    frmTFR(frmUIF& uif, const Options& options, QObject* parent = nullptr);
    ~frmTFR() override;

    void load();
    bool isOpen() const { return open_; }

    // Runs `transfer` with the device the UIF link talks to; sets its port to the one the start
    // command names. 0 success; -4 start timeout; -5 transfer failed; -6 stopped; the device's
    // status for the start command, or -1 for a link failure (or a second transfer while one runs).
    int TFTP_StartRequest(basTFTP::Transfer& transfer);
    int Copy_Request_Send(int source, int destination, const CopyFields& carried);
    void TermTFRACT();

    // Deferred close: stops what runs now, unloads two ticks later (emits closed()).
    void requestClose();

    bool TFRWaiting = false;
    // The type, port and name of the running (or last) start: its own repeats read them, no
    // flow writes them.
    int TFRType() const { return started_.type; }
    int TFRPort() const { return started_.port; }
    QString TFRFileName() const { return started_.name; }
    int TFRStatus = 0;
    int TFRTicks = 0;
    int TFRRetries = 0;
    QString TFRMessage;

    frmTFTP& server() { return server_; }
    bool isRunning() const { return running_; }
    // Start commands sent by the last TFTP_StartRequest.
    int startCommandsSent() const { return startCommands_; }

signals:
    void closed();
    void debugLine(const QString& text);
    // The device accepted the start: the transfer phase waits on the server (true) until it ends (false).
    void transferWaiting(bool waiting);

private:
    void sendStartCommand();
    int transferPhase();
    QString startErrorText(int status) const;
    void waitWhile(const std::function<bool()>& condition);
    void wake();
    void onTick();

    frmUIF& uif_;
    Options opt_;
    frmTFTP server_;
    QTimer* timer_ = nullptr;
    QEventLoop* waitLoop_ = nullptr;
    bool open_ = false;
    DeferredClose close_;
    bool running_ = false;
    bool stopped_ = false;
    bool startPending_ = false;
    bool repeatDue_ = false;
    bool transferEnded_ = false;
    int transferResult_ = basTFTP::ResultNotFinished;
    int transferErrCode_ = 0;
    QString transferDetail_;
    CopyFields started_;
    int startCommands_ = 0;
};
