#include "devsim/DeviceRecords.h"

#include "config/ConfigCodes.h"
#include "config/ConfigRecords.h"
#include "devsim/DeviceConfig.h"
#include "devsim/DeviceSim.h"
#include "devsim/DeviceStatus.h"
#include "link/basUIF.h"

namespace {
// Command 53 sets the test mode: the test-mode handler answers it.
constexpr int TestModeCode = config::CodeTestMode;
constexpr int CodeLimit = 128;
}  // namespace

DeviceRecords::DeviceRecords(DeviceSim& sim) : QObject(&sim), sim_(sim)
{
    for (int code = 1; code < CodeLimit; ++code) {
        if (code == TestModeCode || !config::IsConfigurationCode(qint16(code))) continue;
        sim.setHandler(code, [this](const DeviceSim::Request& r, QByteArray&) {
            return onRecord(r.bytes, r.from, r.fromPort);
        });
    }
}

qint32 DeviceRecords::onRecord(const QByteArray& request, const QHostAddress& from, quint16 fromPort)
{
    const basUIF::UIFHeader h = basUIF::ReadUIFReply(request);
    if (from == lastFrom_ && fromPort == lastPort_ && h.Ident == lastIdent_ && h.CmdCode == lastCode_)
        return lastStatus_;
    const std::optional<config::AnyRecord> record = config::ReadAnyRecord(request);
    // The record goes into the first erased slot of the running store, after the records there,
    // so that the store, read in slot order, still makes the tables.
    QByteArray& running = sim_.stores.running;
    int slot = 0;
    while (slot + basUIF::UIFPacketSize <= running.size() && config::ReadRecordHead(running.mid(slot, 16)).code != -1)
        slot += basUIF::UIFPacketSize;
    qint32 status = devstatus::InvalidParameter;
    if (slot + basUIF::UIFPacketSize > running.size())
        status = devstatus::TableFull;
    else if (record)
        status = ApplyRecord(sim_.tables, *record);
    if (status == devstatus::Done) {
        running.replace(slot, basUIF::UIFPacketSize, request.left(basUIF::UIFPacketSize));
        ++recordsTaken;
    } else {
        ++recordsRefused;
    }
    emit sim_.trace(QStringLiteral("record code %1 -> status %2").arg(h.CmdCode).arg(status));
    lastFrom_ = from;
    lastPort_ = fromPort;
    lastIdent_ = h.Ident;
    lastCode_ = h.CmdCode;
    lastStatus_ = status;
    return status;
}
