#include "shell/SetupSession.h"

#include "link/basConv.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "shell/PcAddress.h"
#include "shell/TimeStamp.h"

SetupSession::SetupSession(const Clock& clock_, Operator& op_, const Options& options, QObject* parent)
    : QObject(parent), clock(clock_), op(op_), log(clock_, QStringLiteral("CONF")), uif(&op_, options.uif, this), tfr(uif, options.tfr, this)
{
    connect(&tfr, &frmTFR::debugLine, this, &SetupSession::show);
    log.deviceAddress = [this] { return deviceText; };
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

QString SetupSession::timeStamp() const { return basMain::Fnc_TimeStamp(clock.now()); }

void SetupSession::show(const QString& text) { lstStatus.MesgDisp(timeStamp() + QStringLiteral("  ") + text); }

void SetupSession::showIndented(const QString& text) { lstStatus.MesgDisp(basMain::Indent() + text); }

void SetupSession::stop()
{
    tfr.TermTFRACT();
    uif.TermUIF();
}
