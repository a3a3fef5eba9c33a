#pragma once
// What QLN_Set's flows share: the program's context (seams, message list, log with tag CONF),
// the status list, and the engines. The window and `qln` each build one and call the same flows on it.
#include "link/frmUIF.h"
#include "shell/MessageList.h"
#include "shell/ToolContext.h"
#include "tftp/WaitProgress.h"
#include "tftp/frmTFR.h"

#include <QObject>

class Clock;
class Operator;

class SetupSession;

// One flow at a time on the link and the sequencer: a flow claims the session at its first step
// and holds it until it returns. A second flow's claim is refused with the busy line before it
// writes or sends anything, so it can never rewrite the transfer under way.
class FlowClaim {
public:
    // `name` is the operation as its log record names it ("Save", "FW Update", ...).
    FlowClaim(SetupSession& s, const QString& name);
    ~FlowClaim();
    FlowClaim(const FlowClaim&) = delete;
    FlowClaim& operator=(const FlowClaim&) = delete;
    explicit operator bool() const { return held_; }

private:
    SetupSession& s_;
    bool held_ = false;
};

class SetupSession : public QObject, public ToolContext {
    Q_OBJECT
public:
    struct Options {
        frmUIF::Options uif;
        frmTFR::Options tfr;  // the TFTP server's tick and port are in tfr.tftp
    };

    SetupSession(const Clock& clock, Operator& op, const Options& options = Options(), QObject* parent = nullptr);

    // Loads the engines (binds the UIF port). False when the port could not be bound.
    bool load();

    // Parses the address text; on an error shows "Invalid IP Address" and returns the code,
    // else makes it the device address and returns 0. While a flow holds the session after its
    // own check, another address is refused with the busy line (-1): the flow's device stays.
    int CheckIPAddress(const QString& text);

    // True while a flow holds the session.
    bool flowRunning() const { return flowRunning_; }
    // The refusal of an operation while a flow runs: "NAME: another operation is running." and
    // the Sender Busy status line, shown and logged.
    void showBusy(const QString& name);

    // Stop: ends whatever transfer or exchange is waiting.
    void stop();
    // How many Stops came since the session was made: a flow of several steps compares it with
    // the count at its start, so a Stop between two waits still ends it.
    int stopCount() const { return stopCount_; }

    MessageList Statelist;
    // The file accepted last by the firmware window's file checks: the one it hands to the transfer.
    QString LastCheckedFile;
    // A received image that is no whole store (ImageFault) fails the receive instead of showing
    // what it holds: what `qln` sets, as its output is kept as a backup.
    bool wholeImagesOnly = false;
    // With wholeImagesOnly: a record of a code this tool does not know fails the receive too
    // (`qln --strict`); otherwise the walk leaves it out of the text.
    bool knownRecordsOnly = false;
    frmUIF uif;
    frmTFR tfr;
    // What the flow now waits on the device for, "" when nothing.
    WaitProgress waits;

private:
    friend class FlowClaim;
    bool flowRunning_ = false;
    int stopCount_ = 0;
    bool flowAddressFixed_ = false;  // the running flow's address check has passed
};
