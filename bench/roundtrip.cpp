// Apply of the sample configuration and a receive of the running configuration, against an
// in-process simulator, with the program's own ticks (UIF and sequencer 100 ms, TFTP server
// 1000 ms) next to the same round trip with 1 ms ticks. The rounds alternate, so both see the
// same machine. When no step waits for a tick, both take the same time: the ratio is 1.
// Usage: roundtrip [ROUNDS] [SAMPLE]   (default 20, examples/sample.conf of the source tree)
#include "RoundTripKit.h"
#include "devsim/DeviceSim.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/SetupSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds = argc > 1 ? QString(argv[1]).toInt() : 20;
    const QString sample = QFileInfo(argc > 2 ? QString(argv[2]) : QStringLiteral(QLN_SOURCE_DIR "/examples/sample.conf")).absoluteFilePath();

    const DeviceSim::Options so = DeviceSim::Options::OnFreePorts(QHostAddress(QHostAddress::LocalHost));
    DeviceSim sim(so);
    if (!soak::Start(sim, out, "roundtrip")) return 1;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());  // Config.bin goes here
    SystemClock clock;
    ScriptedOperator op;  // the save dialog is cancelled: the lines stay in Statelist

    auto session = [&](int tickMs, int serverTickMs) {
        auto s = std::make_unique<SetupSession>(clock, op, soak::SessionOptions(sim, tickMs, tickMs, serverTickMs));
        s->load();
        return s;
    };
    std::unique_ptr<SetupSession> programTicks = session(100, 1000);
    std::unique_ptr<SetupSession> shortTicks = session(1, 1);

    int failures = 0;
    int lines = 0;
    QElapsedTimer t;
    auto round = [&](SetupSession& s) {
        t.start();
        const config::ApplyResult a = config::RunApply(s, QStringLiteral("127.0.0.1"), sample);
        const config::ReceiveResult r = config::RunReceive(s, QStringLiteral("127.0.0.1"), config::ReceiveRunning);
        const qint64 ns = t.nsecsElapsed();
        if (!a.applied || !r.received) ++failures;
        lines = s.Statelist.count();
        s.lstStatus.clear();
        return ns;
    };
    round(*programTicks);  // warm-up, not counted
    round(*shortTicks);
    qint64 programNs = 0, shortNs = 0;
    for (int i = 0; i < rounds; ++i) {
        programNs += round(*programTicks);
        shortNs += round(*shortTicks);
    }
    const double programMs = programNs / 1e6 / rounds;
    const double shortMs = shortNs / 1e6 / rounds;
    out << "rounds: " << rounds << ", configuration lines received: " << lines << ", failures: " << failures << Qt::endl;
    out << QStringLiteral("roundtrip: %1 ms per apply+receive").arg(programMs, 0, 'f', 2) << Qt::endl;
    out << QStringLiteral("with 1 ms ticks: %1 ms; share waiting in ticks: %2%")
               .arg(shortMs, 0, 'f', 2).arg(qMax(0.0, (programMs - shortMs) / programMs * 100), 0, 'f', 1)
        << Qt::endl;
    out << QStringLiteral("ratio program ticks / 1 ms ticks: %1").arg(programMs / shortMs, 0, 'f', 2) << Qt::endl;
    return failures == 0 ? 0 : 1;
}
