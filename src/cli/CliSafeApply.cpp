// qln --device IP apply FILE --safe [--check] [--backup FILE] [--allow-address-change] [--save]
//     [--strict] [--json]
// Exit status: 0 applied or unchanged, 1 failed with the device as before, 3 failed and not
// rolled back, 2 usage.
#include "cli/Cli.h"
#include "cli/CliSetup.h"
#include "cli/CliTransferJson.h"
#include "config/SafeApplyFlow.h"

#include <QJsonDocument>

int CliSafeApply(CliContext& ctx)
{
    if (ctx.args.size() != 1) return CliUsageError(ctx, QStringLiteral("apply: one FILE is expected"));
    if (ctx.check && (ctx.save || !ctx.backup.isEmpty()))
        return CliUsageError(ctx, QStringLiteral("apply: --check sends nothing; --save and --backup do not go with it"));
    if (!CliDeviceIsValid(ctx)) return 2;
    const QString file = ctx.args.first();
    CliSetupRun run(ctx, ctx.json ? *ctx.err : *ctx.out);
    run.op.setFile(file);
    if (!run.opened) return 1;
    config::SafeApplyOptions o;
    o.strict = ctx.strict;
    o.allowAddressChange = ctx.allowAddressChange;
    o.save = ctx.save;
    o.checkOnly = ctx.check;
    o.backupPath = ctx.backup;
    config::SafeApplyResult r;
    {
        StopOnInterrupt stop(run.session);
        r = config::RunSafeApply(run.session, ctx.device, file, o);
    }
    for (const QString& note : r.diff.unknownRecords) *ctx.err << note << Qt::endl;
    if (ctx.json) *ctx.out << QJsonDocument(SafeApplyDocument(ctx.device, file, ctx.check, r)).toJson();
    return int(r.outcome);
}
