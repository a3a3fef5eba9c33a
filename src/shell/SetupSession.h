#pragma once
// What QLN_Set's flows share: the seams, the message lists, the log, and the engines.
// The window and `qln` each build one and call the same flows on it.
#include "link/frmUIF.h"
#include "shell/LogFile.h"
#include "shell/MessageList.h"
#include "tftp/frmTFR.h"

#include <QObject>

class Clock;
class Operator;

class SetupSession : public QObject {
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

    // Message lines: time stamp, two spaces, text; indented lines start with 14 spaces.
    void show(const QString& text);
    void showIndented(const QString& text);
    QString timeStamp() const;

    // Stop: ends whatever transfer or exchange is waiting.
    void stop();

    const Clock& clock;
    Operator& op;
    MessageList lstStatus;
    MessageList Statelist;
    LogFile log;
    frmUIF uif;
    frmTFR tfr;
    QString deviceText;  // the address text the log records carry
};
