#include "devsim/DeviceTransfers.h"

#include "devsim/DeviceConfig.h"
#include "devsim/DeviceSim.h"
#include "devsim/DeviceStatus.h"
#include "link/basUIF.h"

#include <QTimer>

namespace {
constexpr int CmdTFTPStart = 13;
constexpr int CmdCopy = 14;
// The name runs from payload offset 8 to the end of the 64-byte request.
constexpr int NameMax = 64 - 12 - 8;
}  // namespace

DeviceTransfers::DeviceTransfers(DeviceSim& sim) : QObject(&sim), sim_(sim)
{
    sim.setHandler(CmdTFTPStart, [this](const DeviceSim::Request& r, QByteArray&) { return onStart(r.bytes, r.from); });
    sim.setHandler(CmdCopy, [this](const DeviceSim::Request& r, QByteArray&) { return onCopy(r.bytes); });
}

qint32 DeviceTransfers::onStart(const QByteArray& request, const QHostAddress& from)
{
    const qint32 type = basUIF::GetUIFLong(request, 0);
    emit sim_.trace(QStringLiteral("start  type %1 port %2 \"%3\"")
                        .arg(type).arg(quint16(basUIF::GetUIFInt(request, 4)))
                        .arg(QString::fromLatin1(basUIF::GetUIFString(request, 8, NameMax))));
    if (type < 0 || type > 3) return devstatus::InvalidParameter;
    DeviceTftpClient::Setup setup;
    setup.direction = (type == 0 || type == 2) ? DeviceTftpClient::Direction::Read : DeviceTftpClient::Direction::Write;
    setup.serverPort = quint16(basUIF::GetUIFInt(request, 4));
    setup.name = basUIF::GetUIFString(request, 8, NameMax);
    setup.server = from;
    if (type == 1) setup.data = sentImage(sim_.stores.ram);
    if (type == 3) setup.data = sim_.stores.firmware;
    if (sim_.faults().tftpNeverOpen) return 0;

    // A repeated start of the transfer under way keeps it; any other start replaces it.
    if (client_ && !client_->done()) {
        const DeviceTftpClient::Setup& s = client_->setup();
        if (type == type_ && s.name == setup.name && s.server == setup.server && s.serverPort == setup.serverPort)
            return 0;
        client_->deleteLater();
        client_ = nullptr;
    }
    auto* client = new DeviceTftpClient(sim_, setup, this);
    client_ = client;
    type_ = type;
    ++transfersStarted;
    connect(client, &DeviceTftpClient::finished, this, [this, client, type](bool ok) { onFinished(client, type, ok); });
    connect(client, &DeviceTftpClient::retired, client, &QObject::deleteLater);
    // The transfer begins once the status 0 answer has gone out.
    QTimer::singleShot(0, client, [client] { client->start(); });
    return 0;
}

QByteArray DeviceTransfers::sentImage(const QByteArray& ram) const
{
    switch (sim_.faults().tftpSentImage) {
    case DeviceFaults::SentImage::Whole: return ram;
    case DeviceFaults::SentImage::Short: return ram.left(1000);
    case DeviceFaults::SentImage::Garbled: break;
    }
    QByteArray garbled = ram;
    for (int i = 0; i < 64 && i < garbled.size(); ++i) garbled[i] = char(garbled[i] ^ 0xA5);
    return garbled;
}

void DeviceTransfers::onFinished(DeviceTftpClient* client, int type, bool ok)
{
    if (ok) {
        ++transfersCompleted;
        // Both directions towards the device land in RAM; the copy to ROM then writes flash.
        if (type == 0 || type == 2) {
            sim_.stores.ram = client->received();
            sim_.stores.ramHoldsFirmware = type == 2;
        }
    } else {
        ++transfersFailed;
        lastFailure = client->failure();
    }
    emit transferFinished(ok);
}

qint32 DeviceTransfers::onCopy(const QByteArray& request)
{
    const qint32 source = basUIF::GetUIFLong(request, 24);
    const qint32 destination = basUIF::GetUIFLong(request, 28);
    // The fields of the transfer the copy follows: the name is cut by the store codes at 24.
    emit sim_.trace(QStringLiteral("copy   %1 -> %2 type %3 port %4 \"%5\"")
                        .arg(source).arg(destination).arg(basUIF::GetUIFLong(request, 0))
                        .arg(quint16(basUIF::GetUIFInt(request, 4)))
                        .arg(QString::fromLatin1(basUIF::GetUIFString(request, 8, 16))));
    QByteArray* from = sim_.stores.store(source);
    QByteArray* to = sim_.stores.store(destination);
    if (!from || !to || from == to) return devstatus::InvalidCopy;
    DeviceStores& st = sim_.stores;
    if (destination == DeviceStores::RUNNING) {
        const int before = copiesToRunning++;
        const int refuseAfter = sim_.faults().refuseRunningCopiesAfter;
        if (refuseAfter >= 0 && before >= refuseAfter) {
            emit sim_.trace(QStringLiteral("copy   refused (fault)"));
            return devstatus::InvalidCopy;
        }
    }
    if (source == DeviceStores::RAM && st.ramHoldsFirmware) {
        // A firmware image is never configuration: it goes to flash or nowhere.
        if (destination != DeviceStores::ROM) return devstatus::InvalidCopy;
        emit sim_.trace(QStringLiteral("flash  firmware written (%1 bytes)").arg(st.ram.size()));
        st.firmware = st.ram;
        return 0;
    }
    *to = *from;
    if (destination == DeviceStores::RAM) st.ramHoldsFirmware = false;
    // The running configuration is what the tables show: a new one replaces their configured part.
    if (destination == DeviceStores::RUNNING) afterCopyToRunning();
    return 0;
}

void DeviceTransfers::afterCopyToRunning()
{
    DeviceFaults& f = sim_.faults();
    DeviceStores& st = sim_.stores;
    if (f.alterRunningCopies > 0) {
        --f.alterRunningCopies;
        constexpr int size = basUIF::UIFPacketSize;
        int last = -1;
        for (int at = 0; at + size <= st.running.size(); at += size) {
            if (st.running.mid(at, size).count(char(0xFF)) == size) break;
            last = at;
        }
        if (last >= 0) {
            st.running[last + 23] = char(st.running[last + 23] ^ 0x01);
            emit sim_.trace(QStringLiteral("copy   record %1 altered (fault)").arg(last / size));
        }
    }
    sim_.tables = ApplyImage(sim_.tables, st.running);
    emit sim_.trace(QStringLiteral("config tables rebuilt from the running store"));
    if (f.muteAfterRunningCopyMs >= 0) {
        const int ms = f.muteAfterRunningCopyMs;
        f.muteAfterRunningCopyMs = -1;
        // This copy is still answered: the answer goes out after the handler returns.
        f.mute = true;
        emit sim_.trace(QStringLiteral("mute   after the copy (fault)"));
        if (ms > 0) QTimer::singleShot(ms, &sim_, [this] { sim_.restart(); });
    }
}
