#include "shell/SubTimeStamp.h"

#include "platform/Clock.h"
#include "shell/SetupSession.h"
#include "shell/TimeStamp.h"

void Sub_TimeStamp(SetupSession& s)
{
    s.lstStatus.MesgDisp_sub(QStringLiteral("***") + basMain::LogDateTime(s.clock.now()) + QStringLiteral("***"));
}
