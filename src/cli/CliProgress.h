#pragma once
// The progress line of `qln`: what the command waits on the device for, redrawn in place on
// standard error while it is a terminal, cleared when the wait ends. Standard output and the log
// never see it.
#include <QObject>
#include <QString>
#include <QTextStream>

class WaitProgress;

class ProgressLine {
public:
    ProgressLine(QTextStream& err, bool terminal) : err_(err), terminal_(terminal) {}
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Draws `text` over the line drawn before; "" clears it.
    void show(const QString& text);
    // Follows the waits for as long as both live.
    void follow(WaitProgress& waits);

private:
    QTextStream& err_;
    bool terminal_;
    int drawn_ = 0;  // characters of the line on the terminal now
    QMetaObject::Connection followed_;
};
