#include "check/CheckOutput.h"

#include "link/basUIF.h"
#include "platform/Clock.h"
#include "shell/LogFile.h"
#include "shell/MessageList.h"
#include "shell/TimeStamp.h"
#include "shell/ToolContext.h"

namespace check {

qint32 Reply::Long(int offset) const { return basConv::GetLongBE(bytes, basUIF::UIFHeaderSize + offset); }
qint16 Reply::Int(int offset) const { return basConv::GetIntBE(bytes, basUIF::UIFHeaderSize + offset); }
quint8 Reply::Byte(int offset) const { return quint8(bytes.at(basUIF::UIFHeaderSize + offset)); }
basConv::Mac Reply::Mac(int offset) const { return basUIF::GetUIFMac(bytes, offset); }
QString Reply::Str(int offset, int maxBytes) const
{
    return QString::fromLatin1(basUIF::GetUIFString(bytes, offset, maxBytes));
}

Reply CheckOutput::request(qint16 code, std::initializer_list<qint32> longs)
{
    frmUIF& uif = run_.uif;
    uif.UIFCollect = false;
    uif.BeginRequest(code);
    int offset = 0;
    for (qint32 v : longs) {
        basUIF::PutUIFLong(uif.UIFRequestBuf, v, offset);
        offset += 4;
    }
    Reply r;
    r.outcome = run_.answer ? run_.answer(uif) : uif.Exchange();
    r.bytes = r.outcome.reply.left(basUIF::UIFReplyMax);
    r.bytes.append(basUIF::UIFReplyMax - r.bytes.size(), '\0');
    return r;
}

QString CheckOutput::CheckTimeStamp() const { return basMain::Fnc_TimeStamp(run_.ctx.clock.now()); }

void CheckOutput::AddCheckLine(const QString& text) { run_.lstMsg.MesgDisp(text); }

void CheckOutput::blank() { AddCheckLine(QString()); }

void CheckOutput::title(const QString& text) { run_.ctx.log.WriteLogRecord(LogFile::Send, text); }

void CheckOutput::header(const QString& text, int logKind)
{
    AddCheckLine(basMain::Indent() + text);
    run_.ctx.log.WriteLogRecord(logKind, text);
}

namespace {
// The time stamp, the indent's blanks and the text, built in one piece.
QString stamped(const QString& stamp, int indent, const QString& text)
{
    QString s;
    s.reserve(stamp.size() + indent + text.size());
    s.append(stamp);
    s.resize(s.size() + indent, QLatin1Char(' '));
    s.append(text);
    return s;
}
}  // namespace

void CheckOutput::line(const QString& text, int indent)
{
    AddCheckLine(stamped(CheckTimeStamp(), indent, text));
    // The log's text is made only when a log is open to take it.
    LogFile& log = run_.ctx.log;
    if (log.isOpen()) log.WriteLogRecord(LogFile::Recv, QString(indent - 2, QLatin1Char(' ')) + text);
}

void CheckOutput::lineFull(const QString& text, int indent)
{
    AddCheckLine(stamped(CheckTimeStamp(), indent, text));
    LogFile& log = run_.ctx.log;
    if (log.isOpen()) log.WriteLogRecord(LogFile::Recv, QString(indent, QLatin1Char(' ')) + text);
}

void CheckOutput::lineLogged(const QString& text, int indent, const QString& logText, int logKind)
{
    AddCheckLine(stamped(CheckTimeStamp(), indent, text));
    run_.ctx.log.WriteLogRecord(logKind, logText);
}

void CheckOutput::bare(const QString& text)
{
    AddCheckLine(text);
    run_.ctx.log.WriteLogRecord(LogFile::Recv, text);
}

void CheckOutput::ReportQueryError(const Reply& reply, const QString& errorTitle)
{
    const QString what = QStringLiteral("Error occurred on '") + errorTitle + QStringLiteral("' Command.");
    lastError_ = QJsonObject{{"command", errorTitle}, {"status", reply.status()},
                             {"status_text", run_.uif.UIFStatusText(reply.outcome)}};
    if (reply.status() == -1)
        lastError_.insert(QStringLiteral("link"),
                          QJsonObject{{"state", reply.outcome.state}, {"message", reply.outcome.message}});
    AddCheckLine(CheckTimeStamp() + QStringLiteral("  ") + what);
    if (reply.status() != 0) {
        const QString st = run_.uif.UIFStatusText(reply.outcome);
        AddCheckLine(basMain::Indent() + QStringLiteral(" St: ") + st);
        run_.ctx.log.WriteLogRecord(LogFile::Recv, what + QStringLiteral("  St: ") + st);
    } else {
        AddCheckLine(basMain::Indent() + QStringLiteral("  DEBUG: ??? No error status."));
        run_.ctx.log.WriteLogRecord(LogFile::Recv, what + QStringLiteral("  DEBUG: ??? No error status."));
    }
}

}  // namespace check
