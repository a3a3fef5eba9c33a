// qln decode IMAGE: the configuration lines of an image file, as a receive would save them.
#include "cli/Cli.h"
#include "config/RecordWalk.h"
#include "link/basUIF.h"
#include "shell/LocalInput.h"

#include <QFile>
#include <QFileInfo>

namespace {

int invalidPath(CliContext& ctx, const QString& path, const char* why)
{
    *ctx.err << "WARNING: Invalid file pathname" << Qt::endl << path << ": " << why << Qt::endl;
    return 1;
}

}  // namespace

int CliDecode(CliContext& ctx)
{
    if (ctx.args.isEmpty()) return CliUsageError(ctx, QStringLiteral("decode: IMAGE is missing"));
    if (ctx.args.size() > 1) return CliUsageError(ctx, QStringLiteral("decode: unexpected argument '%1'").arg(ctx.args[1]));
    const QString path = ctx.args.first();
    const QFileInfo info(path);
    if (!info.exists()) return invalidPath(ctx, path, "does not exist");
    if (info.isDir()) return invalidPath(ctx, path, "is a folder");
    // An image is at most the collect buffer: one byte more tells a larger file without reading it.
    QByteArray image;
    QString why;
    if (!ReadRegularFile(path, basUIF::UIFCollectSize + 1, image, &why)) return invalidPath(ctx, path, qPrintable(why));
    if (image.size() > basUIF::UIFCollectSize) {
        *ctx.err << path << ": larger than an image; only its first " << basUIF::UIFCollectSize << " bytes are decoded" << Qt::endl;
        image.truncate(basUIF::UIFCollectSize);
    }

    // A partial record still decodes (its missing bytes read erased), but scripts should see it.
    if (image.size() % 64 != 0)
        *ctx.err << path << ": " << image.size() << " bytes is not a whole number of 64-byte records" << Qt::endl;

    // Text fields hold the device's bytes: they go out as they came, one byte per character.
    QTextStream& out = *ctx.out;
    out.flush();
    const QStringConverter::Encoding encoding = out.encoding();
    out.setEncoding(QStringConverter::Latin1);
    for (const QString& line : config::FormatImage(image)) out << line << '\n';
    out.flush();
    out.setEncoding(encoding);
    return 0;
}
