#include "shell/SetupSession.h"

#include "link/basConv.h"
#include "link/basUIF.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "shell/PcAddress.h"

SetupSession::SetupSession(const Clock& clock_, Operator& op_, const Options& options, QObject* parent)
    : QObject(parent), ToolContext(clock_, op_, QStringLiteral("CONF")), uif(&op_, options.uif, this), tfr(uif, options.tfr, this)
{
    waits.watch(uif);
    waits.watch(tfr);
    connect(&tfr, &frmTFR::debugLine, this, [this](const QString& line) { showLogged(LogFile::Neutral, line); });
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
    if (flowAddressFixed_ && quint32(address) != uif.remoteHost()) {
        showBusy(QStringLiteral("Device ") + text);
        return -1;
    }
    if (flowRunning_) flowAddressFixed_ = true;
    deviceText = text;
    uif.setRemoteHost(quint32(address));
    return 0;
}

void SetupSession::showBusy(const QString& name)
{
    const QString text = name + QStringLiteral(": another operation is running.");
    const QString st = basUIF::UIFStatusText(-1, frmUIF::StateBusy, QStringLiteral("Sender Busy"), basUIF::Dialect::Set);
    show(text);
    showIndented(QStringLiteral(" St: ") + st);
    log.WriteLogRecord(LogFile::Recv, text + QStringLiteral("  St: ") + st);
}

FlowClaim::FlowClaim(SetupSession& s, const QString& name) : s_(s)
{
    if (s_.flowRunning_) {
        s_.showBusy(name);
        return;
    }
    held_ = s_.flowRunning_ = true;
    s_.flowAddressFixed_ = false;
}

FlowClaim::~FlowClaim()
{
    if (held_) s_.flowRunning_ = s_.flowAddressFixed_ = false;
}

void SetupSession::stop()
{
    ++stopCount_;
    tfr.TermTFRACT();
    uif.TermUIF();
}
