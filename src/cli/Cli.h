#pragma once
// `qln`: the flows of the windows, headless. Message lines go to `out` as the list shows them.
#include <QStringList>
#include <QTextStream>

class CliOperator;
class SetupSession;

struct CliContext {
    QStringList args;      // the command's own arguments, after the command word
    QString device;        // --device
    QString logPath;       // --log
    QString output;        // -o / --output
    bool overwrite = false;
    quint16 devicePort = 8649;
    quint16 localPort = 8640;
    QTextStream* out = nullptr;
    QTextStream* err = nullptr;
};

using CliCommandFn = int (*)(CliContext& ctx);

struct CliCommand {
    const char* name;
    const char* usage;
    const char* summary;
    CliCommandFn run;
};

// The table of commands; `qln --help` lists it.
const QList<CliCommand>& CliCommands();

// Runs qln with its arguments (without the program name); returns the exit status.
int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err);

// For commands that talk to the device: a session on the options' ports, its message lines
// printed to `out`, and the log opened when --log was given. Returns false (with the message
// already printed) when the log could not be opened.
bool OpenCliSession(CliContext& ctx, SetupSession& session);
