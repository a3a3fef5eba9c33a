// qln --device IP [--log FILE] echo
#include "cli/Cli.h"
#include "cli/CliOperator.h"
#include "cli/CliProgress.h"
#include "cli/CliSetup.h"
#include "platform/Clock.h"
#include "shell/EchoTest.h"
#include "shell/SetupSession.h"

int CliEcho(CliContext& ctx)
{
    if (!ctx.args.isEmpty()) return CliUsageError(ctx, QStringLiteral("echo: unexpected argument '%1'").arg(ctx.args[0]));
    CliOperator op(*ctx.err, ctx.overwrite);
    if (!CliDeviceIsValid(ctx)) return 1;
    op.explain(QStringLiteral("Bind address already in use."), CliPortTakenLine(ctx.localPort, "--local-port"));
    SystemClock clock;
    SetupSession s(clock, op, CliSetupOptions(ctx));
    ProgressLine progress(*ctx.err, ctx.errIsTerminal);
    progress.follow(s.waits);
    if (!OpenCliSession(ctx, s)) return 1;
    s.load();
    const qint32 status = RunEchoTest(s, ctx.device);
    s.log.EndLog();
    return status == 0 ? 0 : 1;
}
