#include "echotest/EchoTestSession.h"

EchoTestSession::EchoTestSession(const Clock& clock_, Operator& op_, const Options& options, QObject* parent)
    : QObject(parent), ToolContext(clock_, op_, QStringLiteral("TEST")), rcmp(&op_, options.rcmp, this),
      run(*this, rcmp, options.run, this)
{
}
