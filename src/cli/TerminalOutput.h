#pragma once
// Standard output or standard error of `qln`. Text from the device or from a file may hold
// escape sequences (one can rewrite the terminal's clipboard): on a terminal every control
// character but tab and line feed (C0, DEL, C1) is shown as U+FFFD, as the windows show them.
// Anything else (a pipe, a file) gets the bytes exactly, as scripts and backups need them.
#include <QByteArray>
#include <QIODevice>

class TerminalOutput : public QIODevice {
public:
    TerminalOutput(int fd, bool terminal);
    ~TerminalOutput() override;
    bool isSequential() const override { return true; }
    bool isTerminal() const { return terminal_; }
    // The tool's own steering of the terminal (the progress line's carriage return), unfiltered.
    void writeControl(const QByteArray& bytes);

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool put(const QByteArray& bytes);

    int fd_;
    bool terminal_;
    bool heldC2_ = false;  // a lead byte 0xC2 whose follower (maybe a C1 control) comes next
};

// The filter alone: `heldC2` carries a split two-byte sequence from one call to the next.
QByteArray TerminalSafeBytes(const char* data, qint64 size, bool& heldC2);
