#include "shell/ToolContext.h"

#include "platform/Clock.h"
#include "shell/TimeStamp.h"

ToolContext::ToolContext(const Clock& clock_, Operator& op_, const QString& tagWord)
    : clock(clock_), op(op_), log(clock_, tagWord)
{
    log.deviceAddress = [this] { return deviceText; };
    // A log that stops mid-run (a full disk) says so once in the message list.
    log.writeFailed = [this](const QString& path, const QString& why) {
        show(QStringLiteral("Log Data Write Error: %1: %2; logging stopped").arg(path, why));
    };
}

QString ToolContext::timeStamp() const { return basMain::Fnc_TimeStamp(clock.now()); }

void ToolContext::show(const QString& text) { lstStatus.MesgDisp(timeStamp() + QStringLiteral("  ") + text); }

void ToolContext::showIndented(const QString& text) { lstStatus.MesgDisp(basMain::Indent() + text); }

void ToolContext::showLogged(LogFile::Kind kind, const QString& text)
{
    show(text);
    log.WriteLogRecord(kind, text);
}
