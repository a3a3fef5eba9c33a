// N echo exchanges through ExecUIF against a responder thread on loopback, next to a plain blocking
// UDP ping-pong of the same 64-byte datagrams, a poll-then-read client and a bare Qt socket's, taking
// turns in one run.
// Usage: uif_exchange [N]   (default 20000)
#include "link/frmUIF.h"
#include "platform/ScriptedOperator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// The responder for both runs: a blocking thread that answers each datagram as the device
// would (ReplyFlag 1, status 0), so the two runs differ only in the client.
class Responder {
public:
    explicit Responder(int n) : n_(n)
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        addr_.sin_family = AF_INET;
        addr_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr_), sizeof addr_);
        socklen_t len = sizeof addr_;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr_), &len);
        thread_ = std::thread([this] {
            char buf[80];
            sockaddr_in from{};
            for (int i = 0; i < n_; ++i) {
                socklen_t fl = sizeof from;
                const ssize_t got = ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
                if (got >= 12) {
                    buf[0] = 0;
                    buf[1] = 1;
                    std::fill(buf + 8, buf + 12, char(0));
                }
                ::sendto(fd_, buf, size_t(got), 0, reinterpret_cast<sockaddr*>(&from), fl);
            }
        });
    }
    ~Responder()
    {
        thread_.join();
        ::close(fd_);
    }
    quint16 port() const { return ntohs(addr_.sin_port); }
    const sockaddr_in& addr() const { return addr_; }

private:
    int n_;
    int fd_;
    sockaddr_in addr_{};
    std::thread thread_;
};

// The references without Qt. Blocking: the plain ping-pong, no event loop at all. Polled: the
// floor of any client that waits for more than one thing (poll, then read what is there).
class RawClient {
public:
    enum Wait { Blocking, Polled };
    RawClient(const sockaddr_in& to, Wait wait) : to_(to), wait_(wait), fd_(::socket(AF_INET, SOCK_DGRAM, 0))
    {
        std::fill(out_, out_ + 64, char(0xFF));
        out_[0] = out_[1] = 0;
    }
    ~RawClient() { ::close(fd_); }
    void run(int n)
    {
        for (int i = 0; i < n; ++i) {
            ::sendto(fd_, out_, 64, 0, reinterpret_cast<const sockaddr*>(&to_), sizeof to_);
            if (wait_ == Polled) {
                pollfd p{fd_, POLLIN, 0};
                ::poll(&p, 1, 4000);
            }
            ::recv(fd_, in_, sizeof in_, wait_ == Polled ? MSG_DONTWAIT : 0);
        }
    }

private:
    sockaddr_in to_;
    Wait wait_;
    int fd_;
    char out_[64], in_[80];
};

// The floor of a Qt event-loop client: a bare QUdpSocket, one read per readyRead, the wait a
// processEvents loop. What the engine costs beyond it is the engine's own.
class BareQtClient {
public:
    explicit BareQtClient(quint16 port) : port_(port), out_(64, char(0xFF))
    {
        out_[0] = out_[1] = 0;
        socket_.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&socket_, &QUdpSocket::readyRead, [this] {
            char in[80];
            if (socket_.readDatagram(in, sizeof in) >= 12) got_ = true;
        });
    }
    void run(int n)
    {
        for (int i = 0; i < n; ++i) {
            got_ = false;
            socket_.writeDatagram(out_, to_, port_);
            while (!got_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }

private:
    quint16 port_;
    QByteArray out_;
    QHostAddress to_{QHostAddress::LocalHost};
    QUdpSocket socket_;
    bool got_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int n = argc > 1 ? QString(argv[1]).toInt() : 20000;
    // The clients take turns in rounds, so a change in the machine's load falls on all.
    const int rounds = 10;
    const int perRound = qMax(1, n / rounds);
    Responder responder(4 * perRound * rounds);

    ScriptedOperator op;
    frmUIF::Options uo;
    uo.localPort = 0;
    uo.remotePort = responder.port();
    frmUIF uif(&op, uo);
    uif.load();
    uif.setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
    BareQtClient bare(responder.port());
    RawClient plain(responder.addr(), RawClient::Blocking);
    RawClient polled(responder.addr(), RawClient::Polled);

    int failures = 0;
    qint64 engineNs = 0, bareNs = 0, pollNs = 0, plainNs = 0;
    QElapsedTimer t;
    for (int r = 0; r < rounds; ++r) {
        t.start();
        for (int i = 0; i < perRound; ++i) {
            uif.BuildLongRequest(0, 0x12345678);
            if (uif.ExecUIF() != 0) ++failures;
        }
        engineNs += t.nsecsElapsed();
        t.start();
        bare.run(perRound);
        bareNs += t.nsecsElapsed();
        t.start();
        polled.run(perRound);
        pollNs += t.nsecsElapsed();
        t.start();
        plain.run(perRound);
        plainNs += t.nsecsElapsed();
    }
    const int total = perRound * rounds;
    const auto perSecond = [total](qint64 ns) { return total / (ns / 1e9); };
    out << "exchanges: " << total << ", engine failures: " << failures << Qt::endl;
    out << QStringLiteral("poll and recv, no Qt: %1/s, ratio to plain %2")
               .arg(perSecond(pollNs), 0, 'f', 0).arg(double(plainNs) / pollNs, 0, 'f', 2)
        << Qt::endl;
    out << QStringLiteral("bare Qt socket and processEvents: %1/s, ratio to plain %2")
               .arg(perSecond(bareNs), 0, 'f', 0).arg(double(plainNs) / bareNs, 0, 'f', 2)
        << Qt::endl;
    out << QStringLiteral("uif exchanges/s: engine %1, plain %2, ratio %3")
               .arg(perSecond(engineNs), 0, 'f', 0).arg(perSecond(plainNs), 0, 'f', 0)
               .arg(double(plainNs) / engineNs, 0, 'f', 2)
        << Qt::endl;
    return failures == 0 ? 0 : 1;
}
