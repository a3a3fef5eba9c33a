// N echo exchanges through ExecUIF against a responder on loopback, next to a plain blocking
// UDP ping-pong of the same 64-byte datagrams, in the same run.
// Usage: uif_exchange [N]   (default 20000)
#include "devsim/DeviceSim.h"
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

// The plain reference: a blocking echo thread and a blocking client, no event loop at all.
double plainExchangesPerSecond(int n)
{
    const int server = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(server, reinterpret_cast<sockaddr*>(&addr), &len);
    std::thread echo([server, n] {
        char buf[80];
        sockaddr_in from{};
        for (int i = 0; i < n; ++i) {
            socklen_t fl = sizeof from;
            const ssize_t got = ::recvfrom(server, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
            ::sendto(server, buf, size_t(got), 0, reinterpret_cast<sockaddr*>(&from), fl);
        }
    });
    const int client = ::socket(AF_INET, SOCK_DGRAM, 0);
    char out[64], in[80];
    std::fill(out, out + 64, char(0xFF));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        ::sendto(client, out, 64, 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::recv(client, in, sizeof in, 0);
    }
    const double secs = t.nsecsElapsed() / 1e9;
    echo.join();
    ::close(client);
    ::close(server);
    return n / secs;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int n = argc > 1 ? QString(argv[1]).toInt() : 20000;

    // The engine: the simulator answers in the same process and event loop, as it would from a
    // device, and ExecUIF waits for each reply.
    DeviceSim::Options so;
    so.address = QHostAddress::LocalHost;
    so.uifPort = 0;
    so.rcmpPort = 0;
    DeviceSim sim(so);
    sim.start();
    ScriptedOperator op;
    frmUIF::Options uo;
    uo.localPort = 0;
    uo.remotePort = sim.uifPort();
    frmUIF uif(&op, uo);
    uif.load();
    uif.setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());

    QElapsedTimer t;
    t.start();
    int failures = 0;
    for (int i = 0; i < n; ++i) {
        uif.BuildLongRequest(0, 0x12345678);
        if (uif.ExecUIF() != 0) ++failures;
    }
    const double engine = n / (t.nsecsElapsed() / 1e9);
    const double plain = plainExchangesPerSecond(n);
    out << "exchanges: " << n << ", engine failures: " << failures << Qt::endl;
    out << QStringLiteral("uif exchanges/s: engine %1, plain %2, ratio %3")
               .arg(engine, 0, 'f', 0).arg(plain, 0, 'f', 0).arg(engine / plain, 0, 'f', 2)
        << Qt::endl;
    return failures == 0 ? 0 : 1;
}
