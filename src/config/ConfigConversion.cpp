#include "config/ConfigConversion.h"

#include "config/ConfigCommands.h"
#include "config/ConfigLines.h"
#include "config/ConfigTokens.h"
#include "config/RecordSinks.h"
#include "link/frmUIF.h"
#include "shell/LocalInput.h"

#include <QBuffer>
#include <QFile>

namespace config {

ConversionResult ConvertConfig(QIODevice& in, RecordSink& sink, LineObserver* observer)
{
    ConversionResult result;
    ConfigLineReader lines(in);
    TokenCursor tokens;
    CommandContext context{tokens, sink};
    QByteArray line;
    bool tooLong = false;
    while (lines.NextLine(line, tooLong, result.lineNumber)) {
        tokens.reset(line);
        const QByteArray keyword = tokens.NextToken();
        if (keyword.isEmpty()) continue;  // only blanks: neither a command nor an error
        const CommandParser parse = FindCommand(keyword);
        qint32 status = StatusInvalidCommand;
        if (parse) {
            // A command line cut short cannot be trusted to say what it meant.
            status = tooLong ? qint32(StatusInvalidParameter) : parse(context);
        }
        if (status != StatusConverted) {
            result.status = status;
            result.keyword = keyword;
            result.token = tokens.current();
            return result;
        }
        ++result.commandCount;
        if (observer) observer->LineConverted(result.lineNumber, tokens);
    }
    result.readFailed = lines.readFailed();
    return result;
}

ConversionResult ConvertConfigBytes(const QByteArray& text, RecordSink& sink, LineObserver* observer)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ConvertConfig(buffer, sink, observer);
}

bool ConvertConfigFile(const QString& path, RecordSink& sink, ConversionResult& result, LineObserver* observer)
{
    result = ConversionResult();
    QFile file;
    if (!OpenRegularFile(file, path)) return false;
    result = ConvertConfig(file, sink, observer);
    return !result.readFailed;
}

bool ConvertFileToImage(const QString& path, frmUIF& uif, ConversionResult& result)
{
    uif.StartUIFCollect();
    uif.UIFCollect = true;
    SendSink sink(uif);
    const bool read = ConvertConfigFile(path, sink, result);
    // Left on, it would make the next interactive record land in the image instead of the device.
    uif.UIFCollect = false;
    return read;
}

QString ShownText(QString text)
{
    for (QChar& ch : text)
        if (ch.category() == QChar::Other_Control) ch = QChar::ReplacementCharacter;
    return text;
}

QString QuotedToken(const QByteArray& token)
{
    constexpr int QuoteMax = 64;
    if (token.size() <= QuoteMax) return '\'' + QString::fromLatin1(token) + '\'';
    return '\'' + QString::fromLatin1(token.left(QuoteMax)) + QStringLiteral("...' (%1 bytes)").arg(token.size());
}

QString ConversionResultText(const ConversionResult& r)
{
    const QString line = QStringLiteral("Line: ") + QString::number(r.lineNumber);
    switch (r.status) {
    case StatusConverted: return QStringLiteral("Conversion Complete.");
    case StatusInvalidParameter: return line + QStringLiteral("  Invalid Parameter ") + QuotedToken(r.token);
    case StatusInvalidCommand: return line + QStringLiteral("  Invalid Command ") + QuotedToken(r.keyword);
    default: return line + QStringLiteral("  DEBUG: internal error. status: ") + QString::number(r.status);
    }
}

}  // namespace config
