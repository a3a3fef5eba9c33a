// QLN_Test's echo and traceroute runs against the in-process simulator, whose radio stations
// lose 10% of their answers, send 15% twice and hold 20% back until after the next answer. The
// soak gives the ticks itself, each once every request has reached the simulator and every
// answer it sent has arrived, so the counters follow from what the simulator did alone:
// - echo: every answer that arrived counts, duplicates included: received = sent - lost - still
//   held + duplicated, duplicated replies = duplicated, distinct replies = sent - lost - held, and
//   the round-trip times one for every reply;
// - traceroute: only the answer to the probe sent last counts, once: a duplicate comes when the
//   hop has moved on, and an answer held back comes after the next probe went out, so
//   received = sent - lost - held back, and the hop lines hold as many times.
// Last line: "rcmp soak: N echoes, counters exact in K of N, T traceroutes, exact in J of T, ...".
// Options: --count N (echo runs and traceroutes each, default 400), --seed S.
#include "SoakKit.h"
#include "echotest/EchoTestRun.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "rcmp/frmRCMP.h"
#include "shell/ToolContext.h"

#include <QElapsedTimer>

namespace {

constexpr int EchoRequests = 30;
const QString Destination = QStringLiteral("00:80:45:01:00:03");  // three hops away

struct Tally {
    int lost = 0, duplicated = 0, reordered = 0, inversions = 0;
};

bool runUntil(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

// One run on a simulator of its own, so no answer held back by one run reaches the next.
// Returns whether the counters came out as the simulator's faults predict.
bool soakRun(bool trace, quint32 seed, Tally& tally, QTextStream& out)
{
    DeviceSim::Options so = soak::SimOptions(seed);
    for (RadioStation& s : so.radio.stations) {
        s.lossRate = 0.1;
        s.duplicateRate = 0.15;
    }
    so.faults.rcmpReorderRate = 0.2;
    DeviceSim sim(so);
    if (!soak::Start(sim, out, "rcmp soak")) return false;
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    ScriptedOperator op;
    ToolContext ctx(clock, op, QStringLiteral("TEST"));
    frmRCMP::Options lo;
    lo.localPort = 0;
    lo.remotePort = sim.rcmpPort();
    frmRCMP rcmp(&op, lo);
    EchoTestRun::Options ro;
    ro.tickMs = 0;
    ro.echoCount = EchoRequests;
    EchoTestRun run(ctx, rcmp, ro);
    int replies = 0;
    QObject::connect(&rcmp, &RCMPLink::replyArrived, [&replies] { ++replies; });
    if (!run.Load()) return false;
    const QString device = sim.address().toString();
    if (!(trace ? run.StartTrace(device, Destination) : run.StartEcho(device, Destination))) return false;
    auto quiet = [&] { return sim.rcmpRequestsReceived == rcmp.sentCount() && replies == sim.rcmpRepliesSent; };
    for (int guard = 0; run.TestState != 0 && guard < 100000; ++guard) {
        if (!runUntil(quiet)) return false;
        run.tmrRep_Timer();
    }
    if (run.TestState != 0 || !runUntil(quiet)) return false;

    const int sent = sim.rcmpRequestsReceived;
    const int held = sim.rcmpHolding() ? 1 : 0;
    tally.lost += sim.rcmpLost;
    tally.duplicated += sim.rcmpDuplicated;
    tally.reordered += sim.rcmpReordered;
    bool exact = run.lngSendCnt == sent;
    if (trace) {
        int times = 0;
        for (const TraceHopRecord& h : run.traceHops())
            for (qint64 ms : h.timesMs) times += ms >= 0 ? 1 : 0;
        exact = exact && run.RecvCnt == sent - sim.rcmpLost - sim.rcmpReordered && times == run.RecvCnt;
    } else {
        qint16 last = 0;
        for (const EchoReplyRecord& r : run.echoReplies()) {
            if (r.seq < last) ++tally.inversions;
            last = qMax(last, r.seq);
        }
        exact = exact && sent == EchoRequests && run.RecvCnt == sent - sim.rcmpLost - held + sim.rcmpDuplicated &&
                run.duplicateReplies() == sim.rcmpDuplicated && run.distinctReplies() == sent - sim.rcmpLost - held &&
                run.replyTimesMs().size() == run.RecvCnt;
    }
    if (!exact)
        out << (trace ? "traceroute" : "echo") << " seed " << seed << ": WRONG, " << run.lngSendCnt << " sent, "
            << run.RecvCnt << " received; the simulator: " << sent << " requests, " << sim.rcmpLost << " lost, "
            << sim.rcmpDuplicated << " duplicated, " << sim.rcmpReordered << " held back, " << held << " still held"
            << Qt::endl;
    return exact;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const soak::Args args = soak::ParseArgs(app, "Echo runs, and traceroutes as many.", 400);

    Tally tally;
    int echoExact = 0, traceExact = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < args.count; ++i) {
        if (soakRun(false, args.seed + quint32(2 * i), tally, out)) ++echoExact;
        if (soakRun(true, args.seed + quint32(2 * i + 1), tally, out)) ++traceExact;
    }
    out << QStringLiteral("%1 echo runs of %2 requests and %1 traceroutes in %3 s")
               .arg(args.count).arg(EchoRequests).arg(t.elapsed() / 1000.0, 0, 'f', 1)
        << Qt::endl;
    out << QStringLiteral("rcmp soak: %1 echoes, counters exact in %2 of %1, %3 traceroutes, exact in %4 of %3; "
                          "%5 answers lost, %6 duplicated, %7 held back, %8 arrived out of order")
               .arg(args.count).arg(echoExact).arg(args.count).arg(traceExact)
               .arg(tally.lost).arg(tally.duplicated).arg(tally.reordered).arg(tally.inversions)
        << Qt::endl;
    return echoExact == args.count && traceExact == args.count ? 0 : 1;
}
