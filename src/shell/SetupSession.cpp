#include "shell/SetupSession.h"

#include "link/basConv.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "shell/PcAddress.h"

SetupSession::SetupSession(const Clock& clock_, Operator& op_, const Options& options, QObject* parent)
    : QObject(parent), ToolContext(clock_, op_, QStringLiteral("CONF")), uif(&op_, options.uif, this), tfr(uif, options.tfr, this)
{
    waits.watch(uif);
    waits.watch(tfr);
    connect(&tfr, &frmTFR::debugLine, this, [this](const QString& line) { show(line); });
    log.pcAddress = [this] { return basMain::PcAddressTowards(uif.remoteHost()); };
}

bool SetupSession::load()
{
    tfr.load();
    return uif.load();
}

int SetupSession::CheckIPAddress(const QString& text)
{
    int err = 0;
    const qint32 address = basConv::ParseIPv4(text, err);
    if (err != 0) {
        op.message(QStringLiteral("WARNING"), QStringLiteral("Invalid IP Address"), Operator::Icon::Critical);
        return err;
    }
    deviceText = text;
    uif.setRemoteHost(quint32(address));
    return 0;
}

void SetupSession::stop()
{
    tfr.TermTFRACT();
    uif.TermUIF();
}
