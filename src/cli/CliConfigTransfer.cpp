// qln --device IP apply FILE [--verify]   (--safe: CliSafeApply.cpp)
// qln --device IP receive rom|running [-o FILE] [--overwrite] [--json]
// qln --device IP diff FILE [--against running|rom] [--json]
// The window's Apply and receive buttons, and what Apply would change.
#include "cli/Cli.h"
#include "cli/CliSetup.h"
#include "cli/CliTransferJson.h"
#include "config/ApplyFlow.h"
#include "config/DiffFlow.h"
#include "config/ReceiveFlow.h"
#include "config/RecordWalk.h"

#include <QJsonDocument>

int CliSafeApply(CliContext& ctx);

int CliApply(CliContext& ctx)
{
    if (ctx.safe) return CliSafeApply(ctx);
    const std::pair<bool, const char*> safeOnly[] = {{ctx.check, "check"},   {ctx.save, "save"},
                                                     {!ctx.backup.isEmpty(), "backup"}, {ctx.allowAddressChange, "allow-address-change"},
                                                     {ctx.strict, "strict"}, {ctx.json, "json"}};
    for (const auto& [given, name] : safeOnly)
        if (given) return CliUsageError(ctx, QStringLiteral("apply: --%1 goes with --safe").arg(QLatin1String(name)));
    if (ctx.args.size() != 1) return CliUsageError(ctx, QStringLiteral("apply: one FILE is expected"));
    if (!CliDeviceIsValid(ctx)) return 1;
    CliSetupRun run(ctx, *ctx.out);
    run.op.setFile(ctx.args.first());
    if (!run.opened) return 1;
    StopOnInterrupt stop(run.session);
    const config::ApplyResult r = config::RunApply(run.session, ctx.device, ctx.args.first(), ctx.verify);
    return r.ok(ctx.verify) ? 0 : 1;
}

int CliReceive(CliContext& ctx)
{
    const QStringList stores{QStringLiteral("rom"), QStringLiteral("running")};
    if (ctx.args.size() != 1 || !stores.contains(ctx.args.first()))
        return CliUsageError(ctx, QStringLiteral("receive: rom or running is expected"));
    if (!CliDeviceIsValid(ctx)) return 1;
    CliSetupRun run(ctx, ctx.json ? *ctx.err : *ctx.out);
    if (!run.opened) return 1;
    config::ReceiveResult r;
    {
        StopOnInterrupt stop(run.session);
        r = config::RunReceive(run.session, ctx.device, stores.indexOf(ctx.args.first()));
    }
    // A failed receive prints no document: the exit status and the lines say why.
    if (!r.received) return 1;
    for (const QString& note : config::UnknownRecordNotes(r.image)) *ctx.err << note << Qt::endl;
    if (ctx.json)
        *ctx.out << QJsonDocument(ReceiveDocument(ctx.device, ctx.args.first(), run.session.Statelist.lines(), r.image)).toJson();
    if (ctx.output.isEmpty()) {
        if (ctx.json) return 0;
        *ctx.out << "----" << Qt::endl;
        // The device's bytes as they came, so that the output saved by a script applies back as it was.
        const auto encoding = ctx.out->encoding();
        ctx.out->setEncoding(QStringConverter::Latin1);
        for (const QString& line : run.session.Statelist.lines()) *ctx.out << line << Qt::endl;
        ctx.out->setEncoding(encoding);
        return 0;
    }
    if (r.saveFailed) {
        *ctx.err << "Configuration Write Error: " << ctx.output << ": " << r.saveError << " (the old file is kept)" << Qt::endl;
        return 1;
    }
    if (r.savedPath.isEmpty()) {
        *ctx.err << "File Exist: " << ctx.output << " (not replaced; --overwrite replaces it)" << Qt::endl;
        return 1;
    }
    return 0;
}

int CliDiff(CliContext& ctx)
{
    const QStringList stores{QStringLiteral("rom"), QStringLiteral("running")};
    if (ctx.args.size() != 1) return CliUsageError(ctx, QStringLiteral("diff: one FILE is expected"));
    if (!stores.contains(ctx.against)) return CliUsageError(ctx, QStringLiteral("diff: --against takes running or rom"));
    if (!CliDeviceIsValid(ctx)) return 2;
    // Standard output is the diff alone.
    CliSetupRun run(ctx, *ctx.err);
    run.op.setFile(ctx.args.first());
    if (!run.opened) return 2;
    config::DiffResult r;
    {
        StopOnInterrupt stop(run.session);
        r = config::RunConfigDiff(run.session, ctx.device, ctx.args.first(), stores.indexOf(ctx.against));
    }
    for (const QString& note : r.unknownRecords) *ctx.err << note << Qt::endl;
    // A failed diff prints no document (status 2).
    if (ctx.json && r.status != config::DiffResult::Failed)
        *ctx.out << QJsonDocument(DiffDocument(ctx.device, ctx.against, ctx.args.first(), r)).toJson();
    else if (!ctx.json)
        for (const QString& line : r.diff) *ctx.out << line << Qt::endl;
    if (r.status == config::DiffResult::Different && r.diff.isEmpty())
        *ctx.err << r.differing << " of " << r.records << " records differ in what the lines do not show" << Qt::endl;
    return int(r.status);
}
