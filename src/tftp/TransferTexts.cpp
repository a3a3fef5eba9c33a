#include "tftp/TransferTexts.h"

#include "tftp/TftpResult.h"

namespace basTFTP {

namespace {
QString resultText(int result, int errCode)
{
    switch (result) {
    case ResultSendError: return QStringLiteral("TFTP Packet Send Error.");
    case ResultNoAnswer: return QStringLiteral("TFTP No Acknowledge.");
    case ResultNameMismatch: return QStringLiteral("DEBUG: File Name Mismatch");
    case ResultErrorReceived: return QStringLiteral("TFTP Error Receive. Code: %1").arg(errCode);
    case ResultIllegalOpcode: return QStringLiteral("DEBUG: Received TFTP Illegal Opcode.");
    case ResultFileOpen: return QStringLiteral("TFTP File Open Error.");
    case ResultIllegalBlock: return QStringLiteral("DEBUG: Received Illegal Block Number.");
    case ResultWriteError: return QStringLiteral("File Write Error.(Disk Full?)");
    case ResultTooLarge: return QStringLiteral("TFTP File Too Large.");
    default: return QStringLiteral("TFTP Error. ErrNo: %1").arg(result);
    }
}
}  // namespace

QString TFTPResultText(int result, int errCode, const QString& detail)
{
    return WithSecondLine(resultText(result, errCode), detail);
}

QString WithSecondLine(const QString& text, const QString& second)
{
    return second.isEmpty() ? text : text + QStringLiteral("\\n") + second;
}

QStringList TransferMessageLines(const QString& message)
{
    const int at = message.indexOf(QLatin1Char('\\'));
    if (at < 0) return {message};
    return {message.left(at), message.mid(at + 2)};
}

}  // namespace basTFTP
