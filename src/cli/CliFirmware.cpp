// qln --device IP fw-update FILE
// qln --device IP fw-read FILE [--overwrite]
// qln --device IP config-write FILE
// qln --device IP config-read FILE [--overwrite]
// qln --device IP version [--json]
// The firmware window's buttons; the file dialogs are answered with FILE.
#include "cli/Cli.h"
#include "cli/CliSetup.h"
#include "firmware/FirmwareFlows.h"
#include "link/basMain.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

using firmware::Outcome;
using Operation = Outcome (*)(SetupSession&, firmware::FileChoices&, const QString&);

int exitStatus(CliContext& ctx, Outcome o, const QString& path)
{
    if (o == Outcome::Done) return 0;
    if (o == Outcome::Cancelled)
        *ctx.err << "File Exist: " << path << " (not replaced; --overwrite replaces it)" << Qt::endl;
    return 1;
}

// The window's operations run on a session whose address has been checked, as the window
// opens only after that check.
int runFileOperation(CliContext& ctx, const char* name, bool receives, Operation operation)
{
    if (ctx.args.size() != 1) return CliUsageError(ctx, QLatin1String(name) + QStringLiteral(": one FILE is expected"));
    if (!CliDeviceIsValid(ctx)) return 1;
    CliSetupRun run(ctx, *ctx.out);
    if (!run.opened) return 1;
    const QString path = ctx.args.first();
    if (receives)
        run.op.setSavePath(path);
    else
        run.op.setOpenPath(path);
    run.session.CheckIPAddress(ctx.device);
    firmware::FileChoices choices(basMain::CurrentFolder());
    StopOnInterrupt stop(run.session);
    return exitStatus(ctx, operation(run.session, choices, path), path);
}

}  // namespace

int CliFwUpdate(CliContext& ctx)
{
    return runFileOperation(ctx, "fw-update", false, [](SetupSession& s, firmware::FileChoices& c, const QString& path) {
        return firmware::FwUpdate(s, s.op, c, path);
    });
}

int CliFwRead(CliContext& ctx)
{
    return runFileOperation(ctx, "fw-read", true, [](SetupSession& s, firmware::FileChoices& c, const QString&) {
        return firmware::FwRead(s, s.op, c);
    });
}

int CliConfigWrite(CliContext& ctx)
{
    return runFileOperation(ctx, "config-write", false, [](SetupSession& s, firmware::FileChoices& c, const QString&) {
        return firmware::ConfigWrite(s, s.op, c);
    });
}

int CliConfigRead(CliContext& ctx)
{
    return runFileOperation(ctx, "config-read", true, [](SetupSession& s, firmware::FileChoices& c, const QString&) {
        return firmware::ConfigRead(s, s.op, c);
    });
}

int CliVersion(CliContext& ctx)
{
    if (!ctx.args.isEmpty()) return CliUsageError(ctx, QStringLiteral("version: no argument is expected"));
    if (!CliDeviceIsValid(ctx)) return 1;
    CliSetupRun run(ctx, ctx.json ? *ctx.err : *ctx.out);
    if (!run.opened) return 1;
    run.session.CheckIPAddress(ctx.device);
    QString version, error;
    Outcome o;
    {
        StopOnInterrupt stop(run.session);
        o = firmware::VersionCheck(run.session, version, &error);
    }
    if (ctx.json) {
        QJsonObject document{{QStringLiteral("device"), ctx.device}, {QStringLiteral("ok"), o == Outcome::Done}};
        if (o == Outcome::Done)
            document.insert(QStringLiteral("version"), version);
        else
            document.insert(QStringLiteral("error"), error);
        *ctx.out << QJsonDocument(document).toJson(QJsonDocument::Compact) << Qt::endl;
    }
    return o == Outcome::Done ? 0 : 1;
}
