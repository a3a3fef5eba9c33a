#pragma once
// The log file shared by all three programs: two CR LF lines per record,
// "<date time> Quillon:<device> PC:<pc> <TAG> SEND|RECV|____", then a tab and the text, one byte
// per character (Latin-1), so the bytes of a configuration file or a device reply arrive unchanged.
#include <QFile>
#include <QString>
#include <functional>

class Clock;
class Operator;

class LogFile {
public:
    enum Kind { Neutral = 0, Send = 1, Recv = 2 };

    // tagWord: "CONF", "XFER" or "TEST".
    LogFile(const Clock& clock, QString tagWord);

    // Where the two addresses of a record come from; set by the program.
    std::function<QString()> deviceAddress = [] { return QStringLiteral("0.0.0.0"); };
    std::function<QString()> pcAddress = [] { return QStringLiteral("0.0.0.0"); };
    // The device address of the start and end records: the windows write 0.0.0.0 whatever the
    // address field holds; `qln` names the device it was given.
    QString startEndDevice = QStringLiteral("0.0.0.0");

    bool isOpen() const;
    QString fileName() const { return name_; }
    // Why the last open or write failed, as the rules or the system say it.
    QString errorString() const { return error_; }
    // Told once when a record cannot be written after the start (a full disk): the log is
    // closed then and nothing more is written to it. Arguments: the path and the reason.
    std::function<void(const QString&, const QString&)> writeFailed;

    // Opens (truncating or appending) and writes the start record. On any failure nothing
    // stays open and false is returned.
    bool open(const QString& path, bool truncate);
    void WriteLogRecord(int kind, const QString& text);
    // The same with the device address the caller names (QLN_Xfer's records name the socket
    // the datagram came through).
    void WriteLogRecord(int kind, const QString& text, const QString& device);
    // Writes the end record and closes; false when no log was open.
    bool EndLog();

    QString tagFor(int kind) const;

private:
    QByteArray record(int kind, const QString& device, const QString& text) const;
    // Writes and flushes one record; on failure closes the log and tells writeFailed.
    bool put(const QByteArray& bytes);

    const Clock& clock_;
    QString tag_;
    QFile file_;
    QString name_;
    QString error_;
};

// The "Log Start" action: asks for a path, then Overwrite/Append/Cancel when it exists.
// Failures show "Log Data Write Error" (title "Data Write Error"). True when a log was opened.
bool StartLog(LogFile& log, Operator& op, const QString& folder = QString());
