// N echo exchanges through ExecUIF against a responder thread on loopback, next to a plain blocking
// UDP ping-pong of the same 64-byte datagrams, in the same run.
// Usage: uif_exchange [N]   (default 20000)
#include "link/frmUIF.h"
#include "platform/ScriptedOperator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <arpa/inet.h>
#include <netinet/in.h>
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

// The plain reference: a blocking client, no event loop at all.
double plainExchangesPerSecond(int n)
{
    Responder responder(n);
    const int client = ::socket(AF_INET, SOCK_DGRAM, 0);
    char out[64], in[80];
    std::fill(out, out + 64, char(0xFF));
    out[0] = out[1] = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        ::sendto(client, out, 64, 0, reinterpret_cast<const sockaddr*>(&responder.addr()), sizeof(sockaddr_in));
        ::recv(client, in, sizeof in, 0);
    }
    const double secs = t.nsecsElapsed() / 1e9;
    ::close(client);
    return n / secs;
}

// The engine: ExecUIF builds, sends and waits in its local event loop for each reply.
double engineExchangesPerSecond(int n, int& failures)
{
    Responder responder(n);
    ScriptedOperator op;
    frmUIF::Options uo;
    uo.localPort = 0;
    uo.remotePort = responder.port();
    frmUIF uif(&op, uo);
    uif.load();
    uif.setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        uif.BuildLongRequest(0, 0x12345678);
        if (uif.ExecUIF() != 0) ++failures;
    }
    return n / (t.nsecsElapsed() / 1e9);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int n = argc > 1 ? QString(argv[1]).toInt() : 20000;

    int failures = 0;
    const double engine = engineExchangesPerSecond(n, failures);
    const double plain = plainExchangesPerSecond(n);
    out << "exchanges: " << n << ", engine failures: " << failures << Qt::endl;
    out << QStringLiteral("uif exchanges/s: engine %1, plain %2, ratio %3")
               .arg(engine, 0, 'f', 0).arg(plain, 0, 'f', 0).arg(engine / plain, 0, 'f', 2)
        << Qt::endl;
    return failures == 0 ? 0 : 1;
}
