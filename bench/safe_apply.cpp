// What the safe apply costs beyond the plain flows, against an in-process simulator with 1 ms
// ticks (so no step waits for a program tick). Two pairs, their rounds alternating so both sides
// see the same machine:
// - unchanged: a safe apply of the file the device already runs (pre-flight, receive, compare,
//   nothing sent) against a plain receive of the running configuration;
// - changed: a safe apply that changes the device (backup, apply, verify, echo) against Apply
//   with verify of the same file. Two files that differ in the RF channel take turns, so every
//   round changes the device.
// The last line is the changed pair's ratio: what the backup, the compare and the echo add.
// Usage: safe_apply [ROUNDS]   (default 20)
#include "RoundTripKit.h"
#include "config/SafeApplyFlow.h"
#include "devsim/DeviceSim.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/SetupSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds = argc > 1 ? QString(argv[1]).toInt() : 20;

    DeviceSim sim(DeviceSim::Options::OnFreePorts(QHostAddress(QHostAddress::LocalHost)));
    if (!soak::Start(sim, out, "safe apply")) return 1;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());  // Config.bin goes here
    QFile sample(QStringLiteral(QLN_SOURCE_DIR "/examples/sample.conf"));
    if (!sample.open(QIODevice::ReadOnly)) return 1;
    const QByteArray text = sample.readAll();
    const QString files[2] = {dir.filePath("a.conf"), dir.filePath("b.conf")};
    for (int i = 0; i < 2; ++i) {
        QFile f(files[i]);
        if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray(text).replace("rfchannel 3", "rfchannel " + QByteArray::number(4 + i))) < 0)
            return 1;
    }

    SystemClock clock;
    ScriptedOperator op;
    SetupSession s(clock, op, soak::SessionOptions(sim, 1, 1, 1));
    s.load();
    const QString device = QStringLiteral("127.0.0.1");

    int failures = 0;
    int turn = 0;
    QElapsedTimer t;
    const auto timed = [&](const std::function<bool()>& run) {
        t.start();
        if (!run()) ++failures;
        const qint64 ns = t.nsecsElapsed();
        s.lstStatus.clear();
        return ns;
    };
    const auto safe = [&](const QString& file, bool expectChange) {
        const config::SafeApplyResult r = config::RunSafeApply(s, device, file, {});
        return r.outcome == config::SafeApplyResult::Done && r.changed == expectChange;
    };
    const auto receive = [&] { return config::RunReceive(s, device, config::ReceiveRunning).received; };
    // Each call applies the other file: the device always changes.
    const auto nextFile = [&] { return files[turn++ % 2]; };
    const auto applyVerify = [&] { return config::RunApply(s, device, nextFile(), true).ok(true); };
    const auto safeChanged = [&] { return safe(nextFile(), true); };
    // The device runs files[(turn - 1) % 2] after any of the changing runs.
    const auto safeUnchanged = [&] { return safe(files[(turn + 1) % 2], false); };

    applyVerify();  // warm-up, not counted
    qint64 unchangedNs = 0, receiveNs = 0, safeNs = 0, plainNs = 0;
    for (int i = 0; i < rounds; ++i) {
        unchangedNs += timed(safeUnchanged);
        receiveNs += timed(receive);
        safeNs += timed(safeChanged);
        plainNs += timed(applyVerify);
    }
    const auto ms = [rounds](qint64 ns) { return ns / 1e6 / rounds; };
    out << "rounds: " << rounds << ", failures: " << failures << Qt::endl;
    out << QStringLiteral("unchanged: safe apply %1 ms, receive %2 ms, ratio %3")
               .arg(ms(unchangedNs), 0, 'f', 2).arg(ms(receiveNs), 0, 'f', 2).arg(double(unchangedNs) / receiveNs, 0, 'f', 2)
        << Qt::endl;
    out << QStringLiteral("changed: safe apply %1 ms, apply with verify %2 ms, ratio %3")
               .arg(ms(safeNs), 0, 'f', 2).arg(ms(plainNs), 0, 'f', 2).arg(double(safeNs) / plainNs, 0, 'f', 2)
        << Qt::endl;
    return failures == 0 ? 0 : 1;
}
