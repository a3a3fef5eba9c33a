// Apply and Receive round trips (RoundTripKit.h says how each is judged) against the in-process
// simulator on 127.0.0.2, while strangers flood the PC's TFTP port the whole time: one on
// 127.0.0.9 with read and write requests for the names the transfers expect, one on the
// device's own address but another port with DATA, ACK and ERROR packets. Nothing a stranger
// sends may take, change or end a transfer, and nothing may be sent to a stranger.
// Last line: "hostile soak: N round trips, R right, F failed with a text, W wrong, B bytes to strangers".
// Options: --count N (round trips, default 100), --seed S.
#include "RoundTripKit.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "tftp/TftpPacket.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUdpSocket>

namespace {

// A host on the LAN that floods the server's port and counts what comes back.
struct Stranger {
    QUdpSocket socket;
    qint64 bytesBack = 0;
    int sent = 0;
    explicit Stranger(const QHostAddress& address)
    {
        socket.bind(address, 0);
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                const qint64 n = socket.pendingDatagramSize();
                char sink[600];
                socket.readDatagram(sink, sizeof sink);
                bytesBack += n;
            }
        });
    }
    void send(const QByteArray& d, quint16 port)
    {
        if (socket.writeDatagram(d, QHostAddress(QHostAddress::LocalHost), port) == d.size()) ++sent;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const soak::Args args = soak::ParseArgs(app, "Round trips.", 100);

    DeviceSim sim(DeviceSim::Options::OnFreePorts(QHostAddress(QStringLiteral("127.0.0.2")), args.seed));
    if (!soak::Start(sim, out, "hostile soak")) return 1;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());  // Config.bin goes here
    SystemClock clock;
    ScriptedOperator op;  // the receive's save dialog is cancelled
    SetupSession s(clock, op, soak::SessionOptions(sim));
    if (!s.load()) return 1;
    int debugLines = 0;
    QObject::connect(&s.tfr, &frmTFR::debugLine, [&debugLines] { ++debugLines; });

    Stranger otherHost(QHostAddress(QStringLiteral("127.0.0.9")));
    Stranger otherPort(sim.address());
    const QList<QByteArray> requests = {
        basTFTP::MakeRequest(basTFTP::OpRRQ, "Config.bin"), basTFTP::MakeRequest(basTFTP::OpWRQ, "work.bin"),
        basTFTP::MakeRequest(basTFTP::OpRRQ, "work.bin"), basTFTP::MakeRequest(basTFTP::OpWRQ, "Config.bin")};
    const QList<QByteArray> packets = {basTFTP::MakeData(1, QByteArray(512, 'x')), basTFTP::MakeAck(1),
                                       basTFTP::MakeData(2, "forged"), basTFTP::MakeError(0), basTFTP::MakeAck(0)};
    QTimer flood;
    flood.setInterval(1);
    int turn = 0;
    QObject::connect(&flood, &QTimer::timeout, [&] {
        frmTFTP& server = s.tfr.server();
        if (!server.isLoaded()) return;
        for (int burst = 0; burst < 5; ++burst, ++turn) {
            otherHost.send(requests[turn % requests.size()], server.localPort());
            otherPort.send(packets[turn % packets.size()], server.localPort());
        }
    });
    flood.start();

    QElapsedTimer t;
    t.start();
    const soak::RoundTrips n = soak::RunRoundTrips(s, sim, dir.filePath(QStringLiteral("round.conf")), args.count, args.seed, out);
    flood.stop();
    soak::Settle(20);
    const qint64 back = otherHost.bytesBack + otherPort.bytesBack;
    out << QStringLiteral("%1 round trips in %2 s; %3 datagrams from strangers, %4 debug lines")
               .arg(args.count).arg(t.elapsed() / 1000.0, 0, 'f', 1).arg(otherHost.sent + otherPort.sent).arg(debugLines)
        << Qt::endl;
    out << QStringLiteral("hostile soak: %1 round trips, %2 right, %3 failed with a text, %4 wrong, %5 bytes to strangers")
               .arg(args.count).arg(n.right).arg(n.failed).arg(n.wrong).arg(back)
        << Qt::endl;
    return n.wrong || back ? 1 : 0;
}
