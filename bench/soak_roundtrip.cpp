// Apply and Receive round trips (RoundTripKit.h says how each is judged) against the in-process
// simulator, whose TFTP packets are dropped (20%), duplicated (10%) and reordered (10%).
// Last line: "roundtrip soak: N round trips, R right, F failed with a text, W wrong".
// Options: --count N (round trips, default 100), --seed S.
#include "RoundTripKit.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"

#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const soak::Args args = soak::ParseArgs(app, "Round trips.", 100);

    DeviceSim::Options so = soak::SimOptions(args.seed);
    so.faults.tftpDropRate = 0.2;
    so.faults.tftpDuplicateRate = 0.1;
    so.faults.tftpReorderRate = 0.1;
    so.faults.tftpTimeoutMs = 4;
    so.faults.tftpRetries = 6;
    DeviceSim sim(so);
    if (!soak::Start(sim, out, "roundtrip soak")) return 1;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());  // Config.bin goes here
    SystemClock clock;
    ScriptedOperator op;  // the receive's save dialog is cancelled
    SetupSession s(clock, op, soak::SessionOptions(sim));
    if (!s.load()) return 1;

    QElapsedTimer t;
    t.start();
    const soak::RoundTrips n = soak::RunRoundTrips(s, sim, dir.filePath(QStringLiteral("round.conf")), args.count, args.seed, out);
    out << QStringLiteral("%1 round trips in %2 s").arg(args.count).arg(t.elapsed() / 1000.0, 0, 'f', 1) << Qt::endl;
    out << QStringLiteral("roundtrip soak: %1 round trips, %2 right, %3 failed with a text, %4 wrong")
               .arg(args.count).arg(n.right).arg(n.failed).arg(n.wrong)
        << Qt::endl;
    return n.wrong ? 1 : 0;
}
