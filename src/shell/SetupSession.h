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
    // else makes it the device address and returns 0.
    int CheckIPAddress(const QString& text);

    // Stop: ends whatever transfer or exchange is waiting.
    void stop();

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
};
