#pragma once
// Converting a configuration text into records, one per command line, each handed to a sink: an
// image sink collects them into an image, a send sink hands them to the UIF link. The conversion
// stops at the first line that fails.
#include <QByteArray>
#include <QString>

class QIODevice;
class frmUIF;

namespace config {

class RecordSink;
class TokenCursor;

struct ConversionResult {
    // 0 end of file reached, -2 unknown keyword, -3 bad or missing parameter, else what the sink
    // returned (3: image full).
    qint32 status = 0;
    qint32 lineNumber = 0;    // physical lines read, comments and blank lines included
    QByteArray token;         // the token read last: the one that failed
    QByteArray keyword;       // the command keyword of the line that stopped the conversion
    qint32 commandCount = 0;  // command lines that made a record
    bool readFailed = false;  // the input could not be read to its end
};

// Told of each command line that made its record, with the line's tokens as its parser left
// them: what it did not read is what the device never sees.
class LineObserver {
public:
    virtual ~LineObserver() = default;
    virtual void LineConverted(qint32 lineNumber, const TokenCursor& tokens) = 0;
};

ConversionResult ConvertConfig(QIODevice& in, RecordSink& sink, LineObserver* observer = nullptr);
ConversionResult ConvertConfigBytes(const QByteArray& text, RecordSink& sink, LineObserver* observer = nullptr);
// False when the file cannot be opened or read to its end; `result` then holds what was done.
bool ConvertConfigFile(const QString& path, RecordSink& sink, ConversionResult& result,
                       LineObserver* observer = nullptr);

// Apply's conversion as the UIF link sees it: a fresh UIFCollectBuf, collect mode on while the
// file converts (the records take the link's Idents) and off again when it returns, whatever
// the outcome.
bool ConvertFileToImage(const QString& path, frmUIF& uif, ConversionResult& result);

// "Conversion Complete.", or "Line: " + n and the reason. Tokens are the file's bytes, one
// character each (Latin-1), as the log receives them.
QString ConversionResultText(const ConversionResult& result);

// A token quoted in a message: at most its first 64 bytes, then its size ("...' (N bytes)"), so
// a megabyte token never fills the screen or the log. ASCII dots: the log is written one byte
// per character.
QString QuotedToken(const QByteArray& token);
// A text as the screen shows it: control characters become U+FFFD, so a quoted token can never
// drive the terminal or break the line.
QString ShownText(QString text);

}  // namespace config
