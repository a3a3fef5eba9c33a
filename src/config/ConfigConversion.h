#pragma once
// Converting a configuration text into records, one per command line, each handed to ExecUIF:
// collected into the image in collect mode, sent to the device otherwise. The caller sets the
// mode (and starts a fresh image) first. The conversion stops at the first line that fails.
#include <QByteArray>
#include <QString>

class QIODevice;
class frmUIF;

namespace config {

struct ConversionResult {
    // 0 end of file reached, -2 unknown keyword, -3 bad or missing parameter, else what ExecUIF
    // returned (3: image full).
    qint32 status = 0;
    qint32 lineNumber = 0;    // physical lines read, comments and blank lines included
    QByteArray token;         // the token read last: the one that failed
    QByteArray keyword;       // the command keyword of the line that stopped the conversion
    qint32 commandCount = 0;  // command lines that made a record
    bool readFailed = false;  // the input could not be read to its end
};

ConversionResult ConvertConfig(QIODevice& in, frmUIF& uif);
ConversionResult ConvertConfigBytes(const QByteArray& text, frmUIF& uif);
// False when the file cannot be opened or read to its end; `result` then holds what was done.
bool ConvertConfigFile(const QString& path, frmUIF& uif, ConversionResult& result);

// Starts a fresh image, switches collect mode on (it stays on) and converts the file into it.
bool ConvertFileToImage(const QString& path, frmUIF& uif, ConversionResult& result);

// "Conversion Complete.", or "Line: " + n and the reason.
QString ConversionResultText(const ConversionResult& result);

// File bytes as the operator sees them: UTF-8, with control characters shown as U+FFFD so a
// quoted token can never drive the terminal or break the line.
QString ShownText(const QByteArray& bytes);

}  // namespace config
