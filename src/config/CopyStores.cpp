#include "config/CopyStores.h"

#include "shell/SetupSession.h"
#include "tftp/TransferTexts.h"

namespace config {

bool CopyStores(SetupSession& s, int source, int destination, CopyStatusLine form, const CopyFields& carried)
{
    const int status = s.tfr.Copy_Request_Send(source, destination, carried);
    if (status == 0) return true;
    const QString st = s.uif.UIFStatusText(status);
    s.show(QStringLiteral("Copy Command Error."));
    const char* prefix = form == CopyStatusLine::WideSt ? "  St: " : form == CopyStatusLine::St ? " St: " : "";
    s.showIndented(QString::fromLatin1(prefix) + st);
    s.log.WriteLogRecord(LogFile::Recv, QStringLiteral("Copy Command Error.  St: ") + st);
    return false;
}

void ShowTransferError(SetupSession& s, const QString& text, const QString& message)
{
    s.show(text);
    const QStringList lines = basTFTP::TransferMessageLines(message);
    for (const QString& line : lines) s.showIndented(line);
    s.log.WriteLogRecord(LogFile::Recv, text + QStringLiteral("  ") + lines.join(QStringLiteral("  ")));
}

}  // namespace config
