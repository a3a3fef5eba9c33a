#include "shell/CommandLineAddress.h"

#include "link/basConv.h"
#include "shell/MessageList.h"

QString TakeCommandLineAddress(MessageList& list, const QString& commandLine)
{
    if (commandLine.isEmpty()) return QString();
    int err = 0;
    basConv::ParseIPv4(commandLine, err);
    if (err == 0) return commandLine;
    list.MesgDisp_sub(QStringLiteral("Command line parameter error. '") + commandLine + QStringLiteral("'"));
    return QString();
}
