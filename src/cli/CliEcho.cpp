// qln --device IP [--log FILE] echo
#include "cli/Cli.h"
#include "cli/CliOperator.h"
#include "platform/Clock.h"
#include "shell/EchoTest.h"
#include "shell/SetupSession.h"

int CliEcho(CliContext& ctx)
{
    CliOperator op(*ctx.err, ctx.overwrite);
    if (!CliDeviceIsValid(ctx)) return 1;
    SystemClock clock;
    SetupSession::Options o;
    o.uif.localPort = ctx.localPort;
    o.uif.remotePort = ctx.devicePort;
    SetupSession s(clock, op, o);
    if (!OpenCliSession(ctx, s)) return 1;
    s.load();
    const qint32 status = RunEchoTest(s, ctx.device);
    s.log.EndLog();
    return status == 0 ? 0 : 1;
}
