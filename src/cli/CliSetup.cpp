#include "cli/CliSetup.h"

#include <QTimer>
#include <csignal>

namespace {
volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) { interrupted = 1; }
}  // namespace

SetupSession::Options CliSetupOptions(const CliContext& ctx)
{
    SetupSession::Options o;
    o.uif.localPort = ctx.localPort;
    o.uif.remotePort = ctx.devicePort;
    o.tfr.tftp.port = ctx.tftpPort;
    return o;
}

CliSetupRun::CliSetupRun(CliContext& ctx, QTextStream& lines)
    : op(*ctx.err, ctx.overwrite, ctx.output), session(clock, op, CliSetupOptions(ctx)), ctx_(ctx)
{
    QObject::connect(&session.lstStatus, &MessageList::lineAdded, [&lines](const QString& line) {
        lines << line << Qt::endl;
    });
    // What qln receives is kept by scripts as a backup: a cut or garbled image is a failure.
    session.wholeImagesOnly = true;
    opened = OpenCliLog(ctx, session);
    if (opened && !session.load())
        *ctx.err << "local port " << ctx.localPort << " is taken: use --local-port 0" << Qt::endl;
}

CliSetupRun::~CliSetupRun()
{
    if (!session.tfr.server().bindErrorText().isEmpty())
        *ctx_.err << "TFTP port " << ctx_.tftpPort << " is taken: use --tftp-port 0" << Qt::endl;
    session.log.EndLog();
}

StopOnInterrupt::StopOnInterrupt(SetupSession& session)
{
    interrupted = 0;
    previous_ = std::signal(SIGINT, onInterrupt);
    auto* watch = new QTimer(&watcher_);
    QObject::connect(watch, &QTimer::timeout, [&session] {
        if (interrupted) {
            interrupted = 0;
            session.stop();
        }
    });
    watch->start(50);
}

StopOnInterrupt::~StopOnInterrupt() { std::signal(SIGINT, previous_); }
