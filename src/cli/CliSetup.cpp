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
