#include "cli/CliSetup.h"

#include <QTimer>

SetupSession::Options CliSetupOptions(const CliContext& ctx)
{
    SetupSession::Options o;
    o.uif.localPort = ctx.localPort;
    o.uif.remotePort = ctx.devicePort;
    o.tfr.tftp.port = ctx.tftpPort;
    if (ctx.tickMs > 0) o.uif.tickMs = o.tfr.tickMs = o.tfr.tftp.tickMs = ctx.tickMs;
    return o;
}

QString CliPortTakenLine(quint16 port, const char* option)
{
    return QStringLiteral("local port %1 is taken: use %2 0").arg(port).arg(QLatin1String(option));
}

CliSetupRun::CliSetupRun(CliContext& ctx, QTextStream& lines)
    : op(*ctx.err, ctx.overwrite, ctx.output), session(clock, op, CliSetupOptions(ctx)),
      progress(*ctx.err, ctx.errIsTerminal), ctx_(ctx)
{
    // A message line takes the progress line's place: both streams are often the same terminal.
    QObject::connect(&session.lstStatus, &MessageList::lineAdded, [this, &lines](const QString& line) {
        progress.show(QString());
        lines << line << Qt::endl;
    });
    progress.follow(session.waits);
    op.explain(QStringLiteral("Bind address already in use."), CliPortTakenLine(ctx.localPort, "--local-port"));
    // What qln receives is kept by scripts as a backup: a cut or garbled image is a failure.
    session.wholeImagesOnly = true;
    session.knownRecordsOnly = ctx.strict;
    opened = OpenCliLog(ctx, session);
    if (opened) session.load();
}

CliSetupRun::~CliSetupRun()
{
    if (!session.tfr.server().bindErrorText().isEmpty())
        *ctx_.err << "TFTP port " << ctx_.tftpPort << " is taken: use --tftp-port 0" << Qt::endl;
    session.log.EndLog();
}

StopOnInterrupt::StopOnInterrupt(SetupSession& session)
{
    auto* watch = new QTimer(&watcher_);
    QObject::connect(watch, &QTimer::timeout, [&session] {
        if (StopSignals::take()) {
            session.stop();
        }
    });
    watch->start(50);
}

