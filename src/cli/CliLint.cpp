// qln lint [--strict] FILE: converts a configuration file with no device and reports as Apply
// does; after a complete conversion, one line for each thing the device would take silently.
#include "cli/Cli.h"
#include "cli/CliOperator.h"
#include "config/ConversionFlow.h"
#include "config/LintWarnings.h"
#include "platform/Clock.h"
#include "shell/SetupSession.h"

int CliLint(CliContext& ctx)
{
    if (ctx.args.isEmpty()) return CliUsageError(ctx, QStringLiteral("lint: FILE is missing"));
    if (ctx.args.size() > 1) return CliUsageError(ctx, QStringLiteral("lint: unexpected argument '%1'").arg(ctx.args[1]));
    const QString path = ctx.args.first();
    CliOperator op(*ctx.err, ctx.overwrite);
    op.setFile(path);
    SystemClock clock;
    SetupSession s(clock, op);  // never loaded: collect mode needs no socket
    if (!OpenCliSession(ctx, s)) return 1;
    config::ConversionResult result;
    const bool converted = config::CheckConfigFile(s, path) && config::ConvertToImage(s, path, result);
    int status = converted && result.status == 0 ? 0 : 1;
    QStringList warnings;
    if (status == 0) config::LintFileWarnings(path, warnings);
    for (const QString& w : warnings) {
        s.show(config::ShownText(w));
        s.log.WriteLogRecord(LogFile::Neutral, w);
    }
    if (ctx.strict && !warnings.isEmpty()) status = 1;
    s.log.EndLog();
    return status;
}
