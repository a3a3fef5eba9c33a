// QLN_Xfer's counting path under the simulator's test stream: 64-byte test packets at 50k, 100k,
// 200k and 300k packets/s for 2 s each, from the simulator in a thread of its own, put into
// receive mode through the session's own test_mode set. The session has its window attached
// (offscreen), so the message list and its view take every line as in the program. The same
// rates then go into a plain C receive loop (recvfrom, the same 4 MiB buffer).
// For each rate: sent, counted, false losses (the lost counter against what the sequence
// numbers give when every packet arrives), and the rate the stream really reached. Last line:
//   "xfer count: exact up to R pkt/s, plain receiver exact up to P pkt/s"
// Options: --seconds S (per rate, default 2), --rates LIST (default 50000,100000,200000,300000).
#include "devsim/DeviceSim.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "xfertest/XferTestSession.h"
#include "xfertest/frmXferMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTextStream>
#include <QThread>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The simulator in its own thread, streaming at `rate` for `count` packets once told to.
class SimThread : public QThread {
public:
    SimThread(double rate, quint32 count) : rate_(rate), count_(count) {}
    std::atomic<quint16> uifPort{0};
    std::atomic<bool> ended{false};
    std::atomic<quint64> sent{0};
    std::atomic<qint64> streamMs{0};

protected:
    void run() override
    {
        DeviceSim::Options o;
        o.address = QHostAddress::LocalHost;
        o.uifPort = 0;
        o.rcmpPort = 0;
        o.xfer.rate = rate_;
        o.xfer.limit = count_;
        DeviceSim sim(o);
        sim.start();
        auto* mode = sim.findChild<DeviceTestMode*>();
        QObject::connect(mode, &DeviceTestMode::streamEnded, [&] {
            streamMs = mode->streamMs();
            sent = mode->streamSent();
            ended = true;
            quit();
        });
        uifPort = sim.uifPort();
        exec();
    }

private:
    double rate_;
    quint32 count_;
};

struct Outcome {
    quint64 sent = 0, counted = 0;
    qint64 falseLost = 0;
    double sendRate = 0;
    bool exact() const { return sent > 0 && counted == sent && falseLost == 0; }
    // On two cores the stream may fall short of the rate asked for; the line says so.
    bool reached(double rate) const { return sendRate >= 0.95 * rate; }
};

// What the lost counter shows when all `n` sequence numbers (0..32767, 0, ...) arrive in order.
qint64 WrapLost(quint64 n) { return n == 0 ? 0 : qint64((n - 1) % 32768) - qint64(n - 1); }

void Drain(const std::function<quint64()>& count)
{
    quint64 last = count();
    QElapsedTimer still;
    still.start();
    while (still.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (count() != last) {
            last = count();
            still.restart();
        }
    }
}

Outcome CountPath(double rate, double seconds, int& buffer)
{
    const quint32 total = quint32(rate * seconds);
    SimThread simThread(rate, total);
    simThread.start();
    while (simThread.uifPort == 0) QThread::msleep(1);

    SystemClock clock;
    ScriptedOperator op;
    MemoryClipboard clipboard;
    XferTestSession::Options o;
    o.uif.localPort = 0;
    o.uif.remotePort = simThread.uifPort;
    o.rcmp.localPort = 0;
    o.rcmp.remotePort = 8650;
    XferTestSession session(clock, op, o);
    frmXferMain window(session, op, clipboard);
    window.show();
    QCoreApplication::processEvents();
    buffer = session.rcmp.receiveBufferSize();
    XferTestRun& run = session.run;
    XferTestRun::Fields f;
    f.ip = f.hostIp = QStringLiteral("127.0.0.1");
    f.hostPort = QString::number(session.rcmp.localPort());
    if (run.ValidateMode(XferTestRun::ModeReceive, f) != XferTestRun::Box::None || run.SetTestMode(XferTestRun::ModeReceive) != 0) {
        simThread.quit();
        simThread.wait();
        return {};
    }
    while (!simThread.ended) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    Drain([&] { return quint64(run.TestRecvCnt); });
    simThread.wait();
    Outcome out;
    out.sent = simThread.sent;
    out.counted = quint64(run.TestRecvCnt);
    out.falseLost = run.TestLostCnt - WrapLost(total);
    out.sendRate = simThread.streamMs > 0 ? double(total) * 1000.0 / double(simThread.streamMs) : 0.0;
    return out;
}

Outcome PlainReceiver(double rate, double seconds)
{
    const quint32 total = quint32(rate * seconds);
    SimThread simThread(rate, total);
    simThread.start();
    while (simThread.uifPort == 0) QThread::msleep(1);

    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int want = frmRCMP2::TestStreamBuffer;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &want, sizeof want);
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self);
    socklen_t len = sizeof self;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&self), &len);
    timeval wait{0, 300000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);

    // test_mode set, receive mode, packet ID 0, to this socket.
    unsigned char set[64];
    std::fill(std::begin(set), std::end(set), 0xFF);
    const unsigned char head[] = {0, 0, 0, 53, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2, 0, 0};
    std::copy(std::begin(head), std::end(head), set);
    const quint32 host = INADDR_LOOPBACK;
    for (int i = 0; i < 4; ++i) set[24 + i] = (host >> (24 - 8 * i)) & 0xFF;
    const quint16 port = ntohs(self.sin_port);
    set[28] = port >> 8;
    set[29] = port & 0xFF;
    std::fill(set + 32, set + 36, 0);
    sockaddr_in sim{};
    sim.sin_family = AF_INET;
    sim.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sim.sin_port = htons(simThread.uifPort);
    ::sendto(fd, set, sizeof set, 0, reinterpret_cast<sockaddr*>(&sim), sizeof sim);

    Outcome out;
    qint64 lastSeq = -1, lost = 0;
    unsigned char buf[256];
    for (;;) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0) {
            if (simThread.ended) break;
            continue;
        }
        // The UIF reply (ReplyFlag 1) and strangers are not test packets.
        if (n < 26 || buf[1] != 0 || buf[4] != 0 || buf[5] != 0) continue;
        const qint64 seq = qint16(quint16(buf[6] << 8 | buf[7]));
        ++out.counted;
        if (lastSeq != -1) lost += seq - lastSeq - 1;
        lastSeq = seq;
    }
    ::close(fd);
    simThread.wait();
    out.sent = simThread.sent;
    out.falseLost = lost - WrapLost(total);
    out.sendRate = simThread.streamMs > 0 ? double(total) * 1000.0 / double(simThread.streamMs) : 0.0;
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QCommandLineParser p;
    p.addOptions({{"seconds", "Seconds per rate.", "S", "2"}, {"rates", "Packets per second, comma-separated.", "LIST", "50000,100000,200000,300000"}});
    p.process(app);
    const double seconds = p.value("seconds").toDouble();
    QList<double> rates;
    for (const QString& r : p.value("rates").split(',')) rates << r.toDouble();

    double exactCount = 0, exactPlain = 0;
    bool countOk = true, plainOk = true;
    for (double rate : rates) {
        int buffer = 0;
        const Outcome c = CountPath(rate, seconds, buffer);
        const Outcome r = PlainReceiver(rate, seconds);
        for (const auto& [name, o] : {std::pair<QString, Outcome>{QStringLiteral("xfer count (buffer %1 B)").arg(buffer), c},
                                      {QStringLiteral("plain receiver"), r}})
            out << QStringLiteral("%1 pkt/s %2: sent %3 (at %4 pkt/s), counted %5, false losses %6%7")
                       .arg(rate, 0, 'f', 0).arg(name).arg(o.sent).arg(o.sendRate, 0, 'f', 0).arg(o.counted).arg(o.falseLost)
                       .arg(!o.exact() ? "  NOT EXACT" : o.reached(rate) ? "" : "  (the stream fell short of the rate)")
                << Qt::endl;
        countOk = countOk && c.exact();
        plainOk = plainOk && r.exact();
        if (countOk) exactCount = rate;
        if (plainOk) exactPlain = rate;
    }
    out << QStringLiteral("xfer count: exact up to %1 pkt/s, plain receiver exact up to %2 pkt/s")
               .arg(exactCount, 0, 'f', 0).arg(exactPlain, 0, 'f', 0)
        << Qt::endl;
    return 0;
}
