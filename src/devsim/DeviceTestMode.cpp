#include "devsim/DeviceTestMode.h"

#include "devsim/DeviceSim.h"
#include "link/basUIF.h"
#include "platform/Clock.h"
#include "rcmp/basRCMP.h"

#include <QCommandLineParser>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ParamsSize = 24;
constexpr int SetCode = 53;
constexpr int GetCode = 54;
constexpr int BatchMax = 64;          // datagrams per sendmmsg call
constexpr quint32 RatedTickMax = 8192;  // packets one late tick may catch up
constexpr quint32 EndlessGapSpan = 100000;

// The disable column: what the device holds before any set.
QByteArray DisabledParams()
{
    QByteArray p(ParamsSize, char(0xFF));
    basConv::PutLongBE(0, p, 0);
    basConv::PutLongBE(0, p, 20);
    return p;
}

}  // namespace

QList<QCommandLineOption> XferStreamCommandLineOptions()
{
    return {
        {QStringLiteral("xfer-interval"), QStringLiteral("Receive mode: ms between test packets when the request gives none (default 10; 0 as fast as possible)."), QStringLiteral("MS")},
        {QStringLiteral("xfer-rate"), QStringLiteral("Receive mode: test packets per second, instead of --xfer-interval."), QStringLiteral("PPS")},
        {QStringLiteral("xfer-limit"), QStringLiteral("Receive mode: test packets per stream when the request gives none (default 0, endless)."), QStringLiteral("N")},
        {QStringLiteral("xfer-gaps"), QStringLiteral("Receive mode: sequence numbers skipped at random places inside each stream."), QStringLiteral("N")},
        {QStringLiteral("xfer-duplicate"), QStringLiteral("Receive mode: share of test packets sent twice (0..1)."), QStringLiteral("SHARE")},
        {QStringLiteral("xfer-reorder"), QStringLiteral("Receive mode: share of test packets sent after the next one (0..1)."), QStringLiteral("SHARE")},
    };
}

bool ReadXferStreamOptions(const QCommandLineParser& p, XferStreamOptions& o, QString& error)
{
    auto number = [&](const char* name, double high, double& value) {
        const QString key = QLatin1String(name);
        if (!p.isSet(key)) return true;
        bool ok = false;
        value = p.value(key).toDouble(&ok);
        if (ok && value >= 0.0 && value <= high) return true;
        error = QStringLiteral("Invalid --") + key;
        return false;
    };
    double interval = o.intervalMs, limit = o.limit, gaps = o.gaps;
    if (!number("xfer-interval", 100000, interval) || !number("xfer-rate", 1e8, o.rate) ||
        !number("xfer-limit", 4294967295.0, limit) || !number("xfer-gaps", 1e6, gaps) ||
        !number("xfer-duplicate", 1, o.duplicateRate) || !number("xfer-reorder", 1, o.reorderRate))
        return false;
    o.intervalMs = int(interval);
    o.limit = quint32(limit);
    o.gaps = int(gaps);
    return true;
}

DeviceTestMode::DeviceTestMode(DeviceSim& sim, const XferStreamOptions& options)
    : QObject(&sim), sim_(sim), opt_(options), params_(DisabledParams()), rng_(options.seed)
{
    sim.setHandler(SetCode, [this](const DeviceSim::Request& r, QByteArray& reply) { return onSet(r.bytes, reply); });
    sim.setHandler(GetCode, [this](const DeviceSim::Request&, QByteArray& reply) {
        reply.replace(basUIF::UIFHeaderSize, ParamsSize, params_);
        return 0;
    });
    sim.rcmpTap = [this](const RCMPPacket& p) { return onRcmp(p); };
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &DeviceTestMode::onTick);
}

DeviceTestMode::~DeviceTestMode()
{
    if (fd_ >= 0) ::close(fd_);
}

qint32 DeviceTestMode::mode() const { return basConv::GetLongBE(params_, 0); }
qint16 DeviceTestMode::packetId() const { return basConv::GetIntBE(params_, 4); }

qint32 DeviceTestMode::onSet(const QByteArray& request, QByteArray&)
{
    if (request.size() < basUIF::UIFHeaderSize + ParamsSize) return 3;
    const QByteArray params = request.mid(basUIF::UIFHeaderSize, ParamsSize);
    const qint32 mode = basConv::GetLongBE(params, 0);
    if (mode < 0 || mode > 2) return 3;  // ErrACK(Invalid parameter)
    params_ = params;
    stopStream();
    if (mode == 1) sendModeCount_ = 0;
    if (mode == 2) startStream();
    return 0;
}

bool DeviceTestMode::onRcmp(const RCMPPacket& p)
{
    if (mode() != 1 || p.PacketID != packetId()) return false;
    ++sendModeCount_;
    return true;
}

void DeviceTestMode::startStream()
{
    if (fd_ < 0) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in self{};
        self.sin_family = AF_INET;
        self.sin_addr.s_addr = htonl(sim_.address().toIPv4Address());
        ::bind(fd_, reinterpret_cast<sockaddr*>(&self), sizeof self);
        const int sndbuf = 4 * 1024 * 1024;
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
    }
    const qint32 interval = basConv::GetLongBE(params_, 8);
    const quint32 limit = quint32(basConv::GetLongBE(params_, 20));
    host_ = QHostAddress(quint32(basConv::GetLongBE(params_, 12)));
    hostPort_ = quint16(basConv::GetIntBE(params_, 16));
    const int ms = interval >= 0 ? interval : opt_.intervalMs;
    rate_ = opt_.rate > 0.0 && interval < 0 ? opt_.rate : (ms > 0 ? 1000.0 / ms : 0.0);
    limit_ = limit != 0 ? limit : opt_.limit;
    seqsDone_ = 0;
    sent_ = 0;
    holding_ = false;
    batch_.clear();
    gapAt_.clear();
    // Gaps lie strictly inside the stream, so each one shows as a lost packet.
    const quint32 span = limit_ != 0 ? quint32(qMin<quint64>(limit_, 0xFFFFFFFFu)) : EndlessGapSpan;
    if (span > 2) {
        const int gaps = qMin<qint64>(opt_.gaps, qint64(span) - 2);
        std::uniform_int_distribution<quint32> at(1, span - 2);
        while (gapAt_.size() < gaps) gapAt_.insert(at(rng_));
    }
    streaming_ = true;
    clock_.start();
    timer_->start(rate_ <= 0.0 ? 0 : qBound(1, int(1000.0 / rate_), 100));
    onTick();
}

void DeviceTestMode::stopStream()
{
    timer_->stop();
    batch_.clear();
    holding_ = false;
    streaming_ = false;
}

void DeviceTestMode::onTick()
{
    if (!streaming_) return;
    quint32 count = quint32(opt_.burst);
    if (rate_ > 0.0) {
        const quint64 due = quint64(double(clock_.nsecsElapsed()) * 1e-9 * rate_) + 1;
        count = due > seqsDone_ ? quint32(qMin<quint64>(due - seqsDone_, RatedTickMax)) : 0;
    }
    if (batch_.empty()) queue(count);
    flush();
    if (batch_.empty() && !holding_ && limit_ != 0 && seqsDone_ >= limit_) {
        streamMs_ = clock_.elapsed();
        stopStream();
        emit streamEnded();
    }
}

void DeviceTestMode::queue(quint32 count)
{
    std::uniform_real_distribution<double> share(0.0, 1.0);
    auto draw = [&](double rate) { return rate > 0.0 && share(rng_) < rate; };
    // One packet encoded per batch; each one differs only in its sequence number.
    RCMPPacket p;
    p.PacketID = packetId();
    p.TTL = 14;
    p.Result = basRCMP::ResultAnswered;
    p.TimeStamp = qint32(SystemClock().hundredthsOfDay());
    p.StationID = opt_.station;
    QByteArray encoded;
    basRCMP::PutRCMPPacket(encoded, p);
    Datagram base{};
    std::copy(encoded.cbegin(), encoded.cbegin() + base.size(), base.begin());
    batch_.reserve(batch_.size() + count + count / 4 + 2);
    for (quint32 i = 0; i < count && (limit_ == 0 || seqsDone_ < limit_); ++i) {
        const quint32 index = seqsDone_++;
        if (gapAt_.contains(index)) continue;
        Datagram d = base;
        const quint16 seq = quint16(index % 32768);
        d[6] = char(seq >> 8);
        d[7] = char(seq & 0xFF);
        if (!holding_ && draw(opt_.reorderRate)) {
            held_ = d;
            holding_ = true;
            continue;
        }
        batch_.push_back(d);
        if (draw(opt_.duplicateRate)) batch_.push_back(d);
        if (holding_) {
            batch_.push_back(held_);
            holding_ = false;
        }
    }
    // The last packet of a stream is not held back for ever.
    if (holding_ && limit_ != 0 && seqsDone_ >= limit_) {
        batch_.push_back(held_);
        holding_ = false;
    }
}

void DeviceTestMode::flush()
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(host_.toIPv4Address());
    to.sin_port = htons(hostPort_);
    int done = 0;
    while (done < int(batch_.size())) {
        mmsghdr msgs[BatchMax];
        iovec iov[BatchMax];
        const int n = qMin(BatchMax, int(batch_.size()) - done);
        for (int i = 0; i < n; ++i) {
            Datagram& d = batch_[size_t(done + i)];
            iov[i] = {d.data(), d.size()};
            msgs[i] = {};
            msgs[i].msg_hdr.msg_name = &to;
            msgs[i].msg_hdr.msg_namelen = sizeof to;
            msgs[i].msg_hdr.msg_iov = &iov[i];
            msgs[i].msg_hdr.msg_iovlen = 1;
        }
        const int sent = ::sendmmsg(fd_, msgs, unsigned(n), 0);
        if (sent <= 0) {
            // The socket's own buffer is full: the rest goes on the next tick. A refused
            // destination (nobody listening) loses the batch, as the radio would.
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) break;
            done += n;
            continue;
        }
        sent_ += quint64(sent);
        done += sent;
    }
    batch_.erase(batch_.begin(), batch_.begin() + done);
}
