// qln encode FILE [-o IMAGE] [--overwrite]: converts a configuration file into the 28672-byte
// configuration image, written only when the whole file converted.
#include "cli/Cli.h"
#include "cli/CliOperator.h"
#include "config/ConfigImage.h"
#include "config/ConversionFlow.h"
#include "platform/Clock.h"
#include "shell/SafeSave.h"
#include "shell/SetupSession.h"

#include <QFileInfo>

int CliEncode(CliContext& ctx)
{
    if (ctx.args.isEmpty()) return CliUsageError(ctx, QStringLiteral("encode: FILE is missing"));
    if (ctx.args.size() > 1) return CliUsageError(ctx, QStringLiteral("encode: unexpected argument '%1'").arg(ctx.args[1]));
    const QString path = ctx.args.first();
    const QString image = ctx.output.isEmpty() ? config::DefaultImagePath() : ctx.output;
    CliOperator op(*ctx.err, ctx.overwrite);
    op.setFile(path);
    SystemClock clock;
    SetupSession s(clock, op);  // never loaded: collect mode needs no socket
    if (!OpenCliSession(ctx, s)) return 1;

    int exitCode = 1;
    config::ConversionResult result;
    // Only a file that would be replaced needs --overwrite: a device or FIFO is written in place.
    if (SafeSave::Resolve(image).kind == SafeSave::Kind::File && !ctx.overwrite) {
        *ctx.err << "File Exist: " << image << " (not replaced; --overwrite replaces it)" << Qt::endl;
    } else if (config::CheckConfigFile(s, path) && config::ConvertToImage(s, path, result) && result.status == 0) {
        QString error;
        if (config::WriteConfigImage(image, s.uif.UIFCollectBuf, &error)) {
            s.show(QStringLiteral("Config Data written: ") + image);
            exitCode = 0;
        } else {
            *ctx.err << "Config Data Write Error: " << image << ": " << error << Qt::endl;
        }
    }
    s.log.EndLog();
    return exitCode;
}
