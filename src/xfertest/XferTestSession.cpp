#include "xfertest/XferTestSession.h"

XferTestSession::XferTestSession(const Clock& clock_, Operator& op_, QObject* parent)
    : XferTestSession(clock_, op_, Options(), parent)
{
}

XferTestSession::XferTestSession(const Clock& clock_, Operator& op_, const Options& options, QObject* parent)
    : QObject(parent), ToolContext(clock_, op_, QStringLiteral("XFER")), uif(&op_, options.uif, this),
      rcmp(&op_, options.rcmp, this), run(*this, uif, rcmp, options.run, this)
{
    waits.watch(uif);
}

bool XferTestSession::load()
{
    const bool uifBound = uif.load();
    const bool rcmpBound = rcmp.load();
    run.Load();
    return uifBound && rcmpBound;
}
