// qln --device IP interactive FILE
// qln --device IP save
// The main window's Interactive Mode and Save buttons.
#include "cli/Cli.h"
#include "cli/CliSetup.h"
#include "config/InteractiveFlow.h"
#include "config/SaveToRomFlow.h"

int CliInteractive(CliContext& ctx)
{
    if (ctx.args.size() != 1) return CliUsageError(ctx, QStringLiteral("interactive: one FILE is expected"));
    if (!CliDeviceIsValid(ctx)) return 1;
    CliSetupRun run(ctx, *ctx.out);
    run.op.setFile(ctx.args.first());
    if (!run.opened) return 1;
    StopOnInterrupt stop(run.session);
    return config::RunInteractive(run.session, ctx.device, ctx.args.first()).ok() ? 0 : 1;
}

int CliSave(CliContext& ctx)
{
    if (!ctx.args.isEmpty()) return CliUsageError(ctx, QStringLiteral("save: no argument is expected"));
    if (!CliDeviceIsValid(ctx)) return 1;
    CliSetupRun run(ctx, *ctx.out);
    if (!run.opened) return 1;
    StopOnInterrupt stop(run.session);
    return config::RunSaveToRom(run.session, ctx.device).saved ? 0 : 1;
}
