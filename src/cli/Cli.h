#pragma once
// `qln`: the flows of the windows, headless. Message lines go to `out` as the list shows them.
#include <QStringList>
#include <QTextStream>

class CliOperator;
class ToolContext;

struct CliContext {
    QStringList args;      // the command's own arguments, after the command word
    QString device;        // --device
    QString logPath;       // --log
    QString output;        // -o / --output
    bool overwrite = false;
    bool json = false;     // --json: one document on `out`, the message lines on `err`
    QString count;         // --count (ping)
    QString packetId;      // --packet-id (ping, traceroute, xfer)
    // xfer: the entry boxes of QLN_Xfer's window, "" when not given.
    QString interval;      // --interval
    QString limit;         // --limit
    QString hostIp;        // --host-ip
    QString hostPort;      // --host-port
    QString duration;      // --duration S (xfer count)
    bool quiet = false;    // --quiet (xfer count)
    bool verify = false;   // --verify (apply)
    // apply --safe and its options
    bool safe = false;
    bool check = false;                // --check: pre-flight, compare and guard only
    bool save = false;                 // --save
    bool allowAddressChange = false;   // --allow-address-change
    QString backup;                    // --backup FILE
    bool strict = false;   // --strict (lint): a warning fails the run
    QString against;       // --against running|rom (diff)
    quint16 tftpPort = 8641;  // --tftp-port: the PC's TFTP server (apply, receive, diff)
    quint16 devicePort = 8649;
    quint16 localPort = 8640;
    bool devicePortGiven = false;  // the RCMP commands default to their own link's ports
    bool localPortGiven = false;
    QTextStream* out = nullptr;
    QTextStream* err = nullptr;
    bool errIsTerminal = false;  // the progress line is drawn on `err` only then
    int tickMs = 0;              // the engines' tick, 0 their own (tests shorten it)
};

using CliCommandFn = int (*)(CliContext& ctx);

// The program whose window a command stands for; offline commands need no device.
enum class CliGroup { Set, Test, Xfer, Offline };

struct CliCommand {
    CliGroup group;
    const char* name;
    const char* usage;
    const char* summary;
    CliCommandFn run;
};

// The table of commands; `qln --help` lists it.
const QList<CliCommand>& CliCommands();

// Runs qln with its arguments (without the program name); returns the exit status: 0 success,
// 1 the flow failed, 2 usage. errIsTerminal: `err` is a terminal, the progress line is drawn on it.
int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err, bool errIsTerminal = false);

// For commands that talk to the device: false (with "WARNING: Invalid IP Address" and the value
// printed) when --device is no IPv4 address. Checked before any port is bound, so a bad address costs nothing else.
bool CliDeviceIsValid(CliContext& ctx);

// For commands that talk to the device: a session on the options' ports, its message lines
// printed to `out`, and the log opened when --log was given. Returns false (with the message
// already printed) when the log could not be opened.
bool OpenCliSession(CliContext& ctx, ToolContext& session);
// The log part of it alone, for commands that print their lines themselves.
bool OpenCliLog(CliContext& ctx, ToolContext& session);

// A usage error of a command: one line and the pointer to --help on standard error; returns 2.
int CliUsageError(CliContext& ctx, const QString& text);
