#pragma once
// A transfer sequencer and its UIF link, talking to an in-process simulator on loopback,
// with short ticks everywhere.
#include "FreePortSim.h"
#include "devsim/DeviceSim.h"
#include "devsim/DeviceTransfers.h"
#include "link/frmUIF.h"
#include "tftp/frmTFR.h"
#include "TftpTestKit.h"

#include <QTemporaryDir>

namespace tftptest {

struct SequencerTiming {
    int uifTickMs = 10;
    int uifWaitTicks = 40;
    int tfrTickMs = 10;
    int serverTickMs = 20;
    int deviceTimeoutMs = 50;
    int deviceRetries = 8;
};

inline DeviceSim::Options simOptions(quint32 seed = 1) { return FreePortSimOptions(QHostAddress(QStringLiteral("127.0.0.2")), seed); }

struct SequencerRig {
    QTemporaryDir dir;
    DeviceSim sim;
    frmUIF uif;
    frmTFR tfr;
    QStringList debug;

    explicit SequencerRig(const SequencerTiming& t = SequencerTiming(), quint32 seed = 1)
        : sim(simOptions(seed)), uif(nullptr, uifOptions(t)), tfr(uif, tfrOptions(t))
    {
        sim.faults().tftpTimeoutMs = t.deviceTimeoutMs;
        sim.faults().tftpRetries = t.deviceRetries;
        sim.start();
        uif.setRemotePort(sim.uifPort());
        uif.load();
        uif.setRemoteHost(sim.address().toIPv4Address());
        tfr.load();
        QObject::connect(&tfr, &frmTFR::debugLine, [this](const QString& l) { debug << l; });
    }
    static frmUIF::Options uifOptions(const SequencerTiming& t)
    {
        frmUIF::Options o;
        o.tickMs = t.uifTickMs;
        o.localPort = 0;
        o.waitTicks = t.uifWaitTicks;
        return o;
    }
    static frmTFR::Options tfrOptions(const SequencerTiming& t)
    {
        frmTFR::Options o;
        o.tickMs = t.tfrTickMs;
        o.tftp.tickMs = t.serverTickMs;
        o.tftp.port = 0;
        return o;
    }
    // Starts a transfer of `type` with the file at `path` (see makeTransfer).
    int start(int type, const QString& path)
    {
        basTFTP::Transfer t = makeTransfer(type, path);
        return tfr.TFTP_StartRequest(t);
    }
    DeviceTransfers& transfers() { return *sim.findChild<DeviceTransfers*>(); }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
};

}  // namespace tftptest
