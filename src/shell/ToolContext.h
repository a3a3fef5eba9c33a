#pragma once
// What every program's flows share: the seams, the message list and the log with the program's
// tag word (CONF, TEST, XFER). One per program; a flow takes it with the engines it uses.
#include "shell/LogFile.h"
#include "shell/MessageList.h"

#include <QString>

class Clock;
class Operator;

class ToolContext {
public:
    ToolContext(const Clock& clock, Operator& op, const QString& tagWord);

    // Message lines: time stamp, two spaces, text; indented lines start with 14 spaces.
    void show(const QString& text);
    void showIndented(const QString& text);
    // A time-stamped line that also goes to the log as a record of `kind`.
    void showLogged(LogFile::Kind kind, const QString& text);
    QString timeStamp() const;

    const Clock& clock;
    Operator& op;
    MessageList lstStatus;
    LogFile log;
    QString deviceText;  // the address text the log records carry
};
