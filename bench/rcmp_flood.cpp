// QLN_Test's echo run while a flood of datagrams with other packet IDs reaches its RCMP port.
// The same run goes once without the flood (the reference) and once with it; the counters must
// come out the same, and the event loop must keep turning (the window stays responsive).
// Last line: "rcmp flood: ... ratio R": what one foreign datagram costs over what one answered
// request costs (ticks, send, the simulator's answer, the reply).
// Options: --requests N (echo requests, default 200), --flood F (foreign datagrams, 10000).
#include "devsim/DeviceSim.h"
#include "echotest/EchoTestRun.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "rcmp/frmRCMP.h"
#include "shell/ToolContext.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>

namespace {

struct Outcome {
    qint64 ms = 0;
    qint32 sent = 0, received = 0;
    qint64 longestTurnMs = 0;  // the longest gap between two turns of a 1 ms timer
    bool ok = false;
};

bool runUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

Outcome echoRun(int requests, int flood)
{
    Outcome out;
    const DeviceSim::Options so = DeviceSim::Options::OnFreePorts(QHostAddress(QHostAddress::LocalHost));
    DeviceSim sim(so);
    if (!sim.start()) return out;
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    ScriptedOperator op;
    ToolContext ctx(clock, op, QStringLiteral("TEST"));
    frmRCMP::Options lo;
    lo.localPort = 0;
    lo.remotePort = sim.rcmpPort();
    frmRCMP rcmp(&op, lo);
    EchoTestRun::Options ro;
    ro.tickMs = 0;  // the ticks are given below, each once the simulator has answered
    ro.echoCount = requests;
    EchoTestRun run(ctx, rcmp, ro);
    int replies = 0;
    QObject::connect(&rcmp, &RCMPLink::replyArrived, [&replies] { ++replies; });
    if (!run.Load()) return out;

    RCMPPacket foreign;
    foreign.PacketID = qint16(run.EchoPacketID ^ 0x5A5A);
    foreign.Result = basRCMP::ResultAnswered;
    QByteArray datagram;
    basRCMP::PutRCMPPacket(datagram, foreign);
    QUdpSocket flooder;
    flooder.bind(QHostAddress::LocalHost, 0);

    QTimer probe;
    probe.setInterval(1);
    QElapsedTimer sinceTurn;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        out.longestTurnMs = qMax(out.longestTurnMs, sinceTurn.restart());
    });

    QElapsedTimer t;
    t.start();
    sinceTurn.start();
    probe.start();
    if (!run.StartEcho(QStringLiteral("127.0.0.1"), QStringLiteral("00:80:45:01:00:01"))) return out;
    const int perRequest = requests > 0 ? flood / requests : 0;
    int flooded = 0, lastSent = -1;
    while (run.TestState != 0) {
        if (rcmp.sentCount() != lastSent) {
            lastSent = rcmp.sentCount();
            for (int i = 0; i < perRequest && flooded < flood; ++i, ++flooded)
                flooder.writeDatagram(datagram, QHostAddress::LocalHost, rcmp.localPort());
        }
        if (!runUntil([&] { return sim.rcmpRequestsReceived == rcmp.sentCount() && replies == sim.rcmpRepliesSent; }, 10000))
            return out;
        run.tmrRep_Timer();
    }
    out.ms = t.elapsed();
    out.sent = run.lngSendCnt;
    out.received = run.RecvCnt;
    out.ok = out.sent == requests && out.received == requests;
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QCommandLineParser p;
    p.addOptions({{"requests", "Echo requests per run.", "N", "200"}, {"flood", "Foreign datagrams in the flooded run.", "F", "10000"}});
    p.process(app);
    const int requests = p.value("requests").toInt();
    const int flood = p.value("flood").toInt();

    const Outcome plain = echoRun(requests, 0);
    const Outcome flooded = echoRun(requests, flood);
    for (const auto& [name, o] : {std::pair<const char*, Outcome>{"reference", plain}, {"flooded", flooded}})
        out << QStringLiteral("%1: %2 sent, %3 received, %4 ms, longest event-loop turn %5 ms%6")
                   .arg(name).arg(o.sent).arg(o.received).arg(o.ms).arg(o.longestTurnMs).arg(o.ok ? "" : " WRONG")
            << Qt::endl;
    // What one foreign datagram costs against what one answered request costs.
    const double perForeign = flood > 0 ? 1000.0 * double(flooded.ms - plain.ms) / flood : 0.0;
    const double perRequest = requests > 0 ? 1000.0 * double(plain.ms) / requests : 0.0;
    out << QStringLiteral("rcmp flood: %1 requests, %2 foreign datagrams, counters %3, %4 us per foreign datagram, "
                          "%5 us per request, ratio %6")
               .arg(requests).arg(flood).arg(plain.ok && flooded.ok ? "right" : "WRONG")
               .arg(perForeign, 0, 'f', 1).arg(perRequest, 0, 'f', 1)
               .arg(perRequest > 0 ? perForeign / perRequest : 0.0, 0, 'f', 2)
        << Qt::endl;
    return plain.ok && flooded.ok ? 0 : 1;
}
