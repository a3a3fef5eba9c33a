#pragma once
// What the commands that talk to QLN_Set's device share: the session's options from the
// command line, and Ctrl+C as the window's Stop.
#include "cli/Cli.h"
#include "cli/CliOperator.h"
#include "cli/CliProgress.h"
#include "cli/StopSignals.h"
#include "platform/Clock.h"
#include "shell/SetupSession.h"

// The UIF link on --local-port / --device-port, the TFTP server on --tftp-port.
SetupSession::Options CliSetupOptions(const CliContext& ctx);

// The second line of "Bind address already in use.": "local port 8640 is taken: use --local-port 0".
QString CliPortTakenLine(quint16 port, const char* option);

// QLN_Set's session of one command: its message lines printed to `lines`, the log opened when
// --log was given (`opened` false, the message printed, when it could not be), the engines
// loaded; the save dialog answered with -o. The log ends with it.
struct CliSetupRun {
    CliOperator op;
    SystemClock clock;
    SetupSession session;
    ProgressLine progress;
    bool opened = false;

    CliSetupRun(CliContext& ctx, QTextStream& lines);
    // A TFTP port that could not be bound is named, with the option that avoids it, after the
    // flow's own lines.
    ~CliSetupRun();

private:
    CliContext& ctx_;
};

// For as long as it lives, Ctrl+C, SIGTERM and SIGHUP end the waiting exchange or transfer as Stop does.
class StopOnInterrupt {
public:
    explicit StopOnInterrupt(SetupSession& session);
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

private:
    StopSignals signals_;
    QObject watcher_;
};
