#include "devsim/DeviceSim.h"

#include "devsim/DeviceConfig.h"
#include "devsim/DeviceQueries.h"
#include "devsim/DeviceRecords.h"
#include "devsim/DeviceTransfers.h"
#include "link/basConv.h"
#include "link/basUIF.h"
#include "rcmp/basRCMP.h"

#include <QTimer>
#include <QUdpSocket>

DeviceSim::DeviceSim(const Options& options, QObject* parent)
    : QObject(parent), tables(options.tables), opt_(options), rng_(options.seed), radioRng_(options.seed)
{
    // Echo: the payload comes back as it was sent.
    setHandler(0, [](const Request&, QByteArray&) { return 0; });
    // Commands 13 and 14: TFTP transfers and copies between the stores.
    new DeviceTransfers(*this);
    // The status queries, read from `tables`.
    new DeviceQueries(*this);
    // Commands 53 and 54: the radio data transfer test.
    new DeviceTestMode(*this, options.xfer);
    // Configuration records sent one at a time, each taken into the running configuration.
    new DeviceRecords(*this);
    stores.firmware = DeviceStores::DefaultFirmware(options.tables.firmwareVersion);
    // The stores and the tables start as one configuration: the image given, or the one that
    // the tables' configured part makes.
    if (options.initialImage.size() == DeviceStores::ImageSize) {
        stores.rom = stores.ram = stores.running = options.initialImage;
        tables = ApplyImage(options.tables, options.initialImage);
    } else {
        stores.rom = stores.ram = stores.running = ConfigurationImage(options.tables);
    }
    if (options.eth0Self) {
        const QByteArray own = WithInterfaceAddress(stores.running, IfconfigEth, 0, options.address.toIPv4Address());
        stores.rom = stores.ram = stores.running = own;
        tables = ApplyImage(options.tables, own);
    }
}

void DeviceSim::restart()
{
    stores.ram = stores.running = stores.rom;
    stores.ramHoldsFirmware = false;
    tables = ApplyImage(opt_.tables, stores.running);
    opt_.faults.mute = false;
    emit trace(QStringLiteral("restart: the running configuration is ROM's"));
}

DeviceSim::~DeviceSim() = default;

bool DeviceSim::start(QString* error)
{
    uif_ = new QUdpSocket(this);
    rcmp_ = new QUdpSocket(this);
    if (!uif_->bind(opt_.address, opt_.uifPort, QAbstractSocket::DontShareAddress)) {
        if (error) *error = QStringLiteral("UIF port %1: %2").arg(opt_.uifPort).arg(uif_->errorString());
        return false;
    }
    if (!rcmp_->bind(opt_.address, opt_.rcmpPort, QAbstractSocket::DontShareAddress)) {
        if (error) *error = QStringLiteral("RCMP port %1: %2").arg(opt_.rcmpPort).arg(rcmp_->errorString());
        return false;
    }
    connect(uif_, &QUdpSocket::readyRead, this, &DeviceSim::onUifReadyRead);
    connect(rcmp_, &QUdpSocket::readyRead, this, &DeviceSim::onRcmpReadyRead);
    return true;
}

quint16 DeviceSim::uifPort() const { return uif_ ? uif_->localPort() : 0; }
quint16 DeviceSim::rcmpPort() const { return rcmp_ ? rcmp_->localPort() : 0; }

bool DeviceSim::chance(double share)
{
    if (share <= 0.0) return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < share;
}

void DeviceSim::onUifReadyRead()
{
    while (uif_->hasPendingDatagrams()) {
        Request r;
        r.bytes.resize(int(qMax<qint64>(uif_->pendingDatagramSize(), 0)));
        const qint64 n = uif_->readDatagram(r.bytes.data(), r.bytes.size(), &r.from, &r.fromPort);
        if (n < 0) continue;
        r.bytes.truncate(int(n));
        ++requestsReceived;
        const basUIF::UIFHeader h = basUIF::ReadUIFReply(r.bytes);
        emit trace(QStringLiteral("uif <- %1:%2 cmd %3 ident %4 (%5 B)")
                       .arg(r.from.toString()).arg(r.fromPort).arg(h.CmdCode).arg(h.Ident).arg(n));
        // Only whole requests are commands; replies and fragments are not answered.
        if (r.bytes.size() < basUIF::UIFPacketSize || h.ReplyFlag != 0) continue;
        if (opt_.faults.mute || chance(opt_.faults.dropRate)) {
            emit trace(QStringLiteral("uif    dropped"));
            continue;
        }
        answer(r);
    }
}

void DeviceSim::answer(const Request& request)
{
    QByteArray reply = request.bytes.left(basUIF::UIFPacketSize);
    const basUIF::UIFHeader h = basUIF::ReadUIFReply(reply);
    const qint32 status =
        opt_.faults.refuse.contains(h.CmdCode) ? opt_.faults.refuse.value(h.CmdCode) : handle(request, reply);
    basConv::PutIntBE(1, reply, 0);
    basConv::PutLongBE(status, reply, 8);

    if (opt_.faults.staleFirst) {
        QByteArray stale = reply;
        basConv::PutLongBE(h.Ident == 0 ? 2147483647 : h.Ident - 1, stale, 4);
        sendReply(stale, request.from, request.fromPort);
    }
    sendReply(reply, request.from, request.fromPort);
    if (chance(opt_.faults.duplicateRate)) sendReply(reply, request.from, request.fromPort);
}

qint32 DeviceSim::handle(const Request& request, QByteArray& reply)
{
    const qint16 code = basUIF::ReadUIFReply(request.bytes).CmdCode;
    return handlers_.contains(code) ? handlers_[code](request, reply) : 11;  // 11: a command it does not know
}

void DeviceSim::sendReply(const QByteArray& reply, const QHostAddress& to, quint16 port)
{
    auto send = [this, reply, to, port] {
        uif_->writeDatagram(reply, to, port);
        ++repliesSent;
        emit trace(QStringLiteral("uif -> %1:%2 cmd %3 ident %4 status %5")
                       .arg(to.toString()).arg(port).arg(basConv::GetIntBE(reply, 2))
                       .arg(basConv::GetLongBE(reply, 4)).arg(basConv::GetLongBE(reply, 8)));
    };
    if (opt_.faults.delayMs > 0)
        QTimer::singleShot(opt_.faults.delayMs, this, send);
    else
        send();
}

void DeviceSim::onRcmpReadyRead()
{
    auto radioChance = [this](double share) {
        return share > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(radioRng_) < share;
    };
    while (rcmp_->hasPendingDatagrams()) {
        QByteArray bytes(basRCMP::RCMPRecvMax, '\0');
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 n = rcmp_->readDatagram(bytes.data(), bytes.size(), &from, &fromPort);
        // Fragments too short to hold the fields are not requests.
        if (n < basRCMP::RCMPFieldsSize) continue;
        ++rcmpRequestsReceived;
        const RCMPPacket request = basRCMP::GetRCMPPacket(bytes);
        emit trace(QStringLiteral("rcmp <- %1:%2 id %3 seq %4 ttl %5 to %6")
                       .arg(from.toString()).arg(fromPort).arg(request.PacketID).arg(request.SeqNo)
                       .arg(request.TTL).arg(basConv::FormatMAC(request.StationID)));
        if (opt_.faults.mute || (rcmpTap && rcmpTap(request))) continue;
        const RCMPPacket reply = RadioReply(opt_.radio, request);
        // The answering station's own link decides whether, how often and how late it is heard;
        // the device's own answers have no faults.
        const RadioStation* station = opt_.radio.find(reply.StationID);
        const RadioStation device;
        const RadioStation& s = station ? *station : device;
        if (radioChance(s.lossRate)) {
            ++rcmpLost;
            emit trace(QStringLiteral("rcmp    lost at %1").arg(basConv::FormatMAC(reply.StationID)));
            releaseHeldRcmp();
            continue;
        }
        RcmpAnswer a{QByteArray(basRCMP::RCMPPacketSize, '\0'), from, fromPort, s.delayMs, radioChance(s.duplicateRate)};
        basRCMP::PutRCMPPacket(a.datagram, reply);
        if (station && !rcmpHolding() && radioChance(opt_.faults.rcmpReorderRate)) {
            ++rcmpReordered;
            emit trace(QStringLiteral("rcmp    held back"));
            rcmpHeld_ = a;
            continue;
        }
        sendRcmpAnswer(a);
        releaseHeldRcmp();
    }
}

void DeviceSim::sendRcmpAnswer(const RcmpAnswer& a)
{
    sendRcmpReply(a.datagram, a.to, a.port, a.delayMs);
    if (!a.twice) return;
    ++rcmpDuplicated;
    sendRcmpReply(a.datagram, a.to, a.port, a.delayMs);
}

void DeviceSim::releaseHeldRcmp()
{
    if (!rcmpHolding()) return;
    const RcmpAnswer held = rcmpHeld_;
    rcmpHeld_ = RcmpAnswer();
    sendRcmpAnswer(held);
}

void DeviceSim::sendRcmpReply(const QByteArray& reply, const QHostAddress& to, quint16 port, int delayMs)
{
    auto send = [this, reply, to, port] {
        rcmp_->writeDatagram(reply, to, port);
        ++rcmpRepliesSent;
        const RCMPPacket p = basRCMP::GetRCMPPacket(reply);
        emit trace(QStringLiteral("rcmp -> %1:%2 id %3 seq %4 ttl %5 result %6 from %7")
                       .arg(to.toString()).arg(port).arg(p.PacketID).arg(p.SeqNo).arg(p.TTL).arg(p.Result)
                       .arg(basConv::FormatMAC(p.StationID)));
    };
    if (delayMs > 0)
        QTimer::singleShot(delayMs, this, send);
    else
        send();
}
