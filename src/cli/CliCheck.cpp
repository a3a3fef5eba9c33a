// qln --device IP [--log FILE] check QUERY... [--json]
// qln --device IP [--log FILE] check all [-o FILE] [--overwrite] [--json]
#include "check/CheckQueries.h"
#include "cli/Cli.h"
#include "cli/CliSetup.h"
#include "shell/SetupSession.h"

#include <QJsonDocument>
#include <QJsonObject>

int CliCheck(CliContext& ctx)
{
    if (ctx.args.isEmpty()) return CliUsageError(ctx, QStringLiteral("check: QUERY or all is missing"));
    const bool all = ctx.args.first() == QLatin1String("all");
    QList<const check::QueryDef*> queries;
    for (const QString& word : ctx.args) {
        if (word == QLatin1String("all")) {
            if (ctx.args.size() > 1) return CliUsageError(ctx, QStringLiteral("check: 'all' takes no other query"));
            continue;
        }
        const check::QueryDef* q = check::FindQuery(word);
        if (!q) return CliUsageError(ctx, QStringLiteral("check: unknown query '") + word + "'");
        // The document has one member per query: a second one would hide the first.
        if (queries.contains(q)) return CliUsageError(ctx, QStringLiteral("check: query '") + word + "' given twice");
        queries << q;
    }
    if (!all && !ctx.output.isEmpty()) return CliUsageError(ctx, QStringLiteral("check: -o saves the report of 'check all' only"));

    if (!CliDeviceIsValid(ctx)) return 1;
    // The save dialog of Check All is answered with -o (none: cancelled, nothing saved).
    QTextStream& lines = ctx.json ? *ctx.err : *ctx.out;
    CliSetupRun cli(ctx, lines);
    if (!cli.opened) return 1;
    SetupSession& session = cli.session;
    MessageList lstMsg;
    QObject::connect(&lstMsg, &MessageList::lineAdded, [&lines](const QString& line) { lines << line << Qt::endl; });
    session.CheckIPAddress(ctx.device);
    const check::CheckRun run{session, session.uif, lstMsg};

    bool ok = true;
    QJsonObject document;
    {
        StopOnInterrupt stop(session);
        if (all) {
            const check::CheckAllResult result = check::RunCheckAll(run);
            document = result.values;
            document.insert(QStringLiteral("completed"), result.completed);
            document.insert(QStringLiteral("stopped_at"), result.stoppedAt.isEmpty() ? QJsonValue() : QJsonValue(result.stoppedAt));
            document.insert(QStringLiteral("report"), result.savedPath.isEmpty() ? QJsonValue() : QJsonValue(result.savedPath));
            ok = result.completed && result.status == 0;
            if (result.saveFailed) {
                *ctx.err << "Report Write Error: " << ctx.output << ": " << result.saveError << " (the old file is kept)" << Qt::endl;
                ok = false;
            } else if (result.completed && !ctx.output.isEmpty() && result.savedPath.isEmpty()) {
                *ctx.err << "File Exist: " << ctx.output << " (not replaced; --overwrite replaces it)" << Qt::endl;
                ok = false;
            }
        } else {
            for (const check::QueryDef* q : queries) {
                const check::QueryResult result = check::RunQuery(q->id, run);
                document.insert(q->jsonKey(), result.values);
                if (result.status != 0) ok = false;
            }
        }
    }
    if (ctx.json) *ctx.out << QJsonDocument(document).toJson();
    return ok ? 0 : 1;
}
