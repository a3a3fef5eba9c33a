#include "config/InteractiveFlow.h"

#include "config/ConfigCommands.h"
#include "config/RecordSinks.h"
#include "link/basMain.h"
#include "platform/Operator.h"
#include "shell/SetupSession.h"

namespace config {

namespace {
void invalidPath(SetupSession& s)
{
    s.op.message(QStringLiteral("WARNING"), QStringLiteral("Invalid File Pathname"), Operator::Icon::Critical);
}

bool isParseFailure(qint32 status) { return status == StatusInvalidParameter || status == StatusInvalidCommand; }
}  // namespace

QString InteractiveResultText(const ConversionResult& r)
{
    if (r.status == StatusConverted) return QStringLiteral("Setting Complete.");
    if (isParseFailure(r.status)) return ConversionResultText(r);
    return QStringLiteral("Line: ") + QString::number(r.lineNumber) + QStringLiteral("  '") +
           QString::fromLatin1(r.keyword) + QStringLiteral("' Command Error.");
}

InteractiveResult RunInteractive(SetupSession& s, const QString& addressText, const QString& path,
                                 const FlowStarted& started)
{
    InteractiveResult result;
    const FlowClaim claim(s, QStringLiteral("Interactive Mode"));
    if (!claim) return result;
    if (s.CheckIPAddress(addressText) != 0) {
        result.addressRejected = true;
        return result;
    }
    if (basMain::FileHasData(path) != 0) {
        invalidPath(s);
        result.fileRejected = true;
        return result;
    }
    Started(started);
    s.log.WriteLogRecord(LogFile::Send, QStringLiteral("Interactive Mode"));

    // Collect mode off: every record is sent and the device's status decides whether to go on.
    s.uif.UIFCollect = false;
    SendSink sink(s.uif);
    ConversionResult& r = result.conversion;
    if (!ConvertConfigFile(path, sink, r) && r.status == StatusConverted) {
        // The file went away or could not be read to its end: what was read has been sent.
        invalidPath(s);
        return result;
    }
    result.ran = true;

    s.showLogged(LogFile::Neutral, QStringLiteral("TOTAL Send Records: ") + QString::number(r.commandCount));

    const QString text = InteractiveResultText(r);
    s.show(ShownText(text));
    if (r.status == StatusConverted || isParseFailure(r.status)) {
        s.log.WriteLogRecord(LogFile::Recv, text);
    } else {
        const QString st = s.uif.UIFStatusText(r.status);
        s.showIndented(QStringLiteral(" St: ") + st);
        s.log.WriteLogRecord(LogFile::Recv, text + QStringLiteral("  St: ") + st);
    }
    return result;
}

}  // namespace config
