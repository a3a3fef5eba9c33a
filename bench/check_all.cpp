// Check All against an in-process simulator with its default tables, saving the report each
// time, next to a ping-pong of code-0 echoes through the same engine and simulator. The two
// alternate round by round, each round's echoes as many as that Check All's exchanges, so both
// see the same machine. The save is timed from the moment the run asks for the file.
// Last line: "check all, queries only: T ms per run, N exchanges/s, ratio R" (R against the echoes).
// Usage: check_all [RUNS]   (default 50)
#include "check/CheckQueries.h"
#include "devsim/DeviceSim.h"
#include "link/frmUIF.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "shell/MessageList.h"
#include "shell/ToolContext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <climits>
#include <utility>

namespace {

// Saves every report to one file, replacing it, and notes when it was asked for the file: from
// then on the run writes the report.
class ReportOperator : public Operator {
public:
    ReportOperator(QString path, const QElapsedTimer& clock) : path_(std::move(path)), clock_(clock) {}
    qint64 askedAtNs = 0;
    Answer message(const QString&, const QString&, Icon, Buttons buttons) override
    {
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return QString(); }
    QString saveFile(const QString&, const QString&, const QString&) override
    {
        askedAtNs = clock_.nsecsElapsed();
        return path_;
    }
    LogOpenChoice askLogOpen(const QString&) override { return LogOpenChoice::Cancel; }

private:
    QString path_;
    const QElapsedTimer& clock_;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int runs = argc > 1 ? QString(argv[1]).toInt() : 50;

    const DeviceSim::Options so = DeviceSim::Options::OnFreePorts(QHostAddress(QHostAddress::LocalHost));
    DeviceSim sim(so);
    QString error;
    if (!sim.start(&error)) {
        out << "simulator: " << error << Qt::endl;
        return 1;
    }
    QTemporaryDir dir;
    QElapsedTimer t;
    ReportOperator op(dir.filePath(QStringLiteral("report.txt")), t);
    SystemClock clock;
    ToolContext ctx(clock, op, QStringLiteral("CONF"));
    frmUIF::Options uo;
    uo.localPort = 0;
    uo.remotePort = sim.uifPort();
    frmUIF uif(&op, uo);
    if (!uif.load()) return 1;
    uif.setRemoteHost(QHostAddress(QHostAddress::LocalHost).toIPv4Address());
    MessageList lstMsg;
    // As the window runs it: lines and report, no table rows kept as values.
    const check::CheckRun run{ctx, uif, lstMsg, {}, nullptr, false};

    int failures = 0;
    auto checkAll = [&] {
        const check::CheckAllResult r = check::RunCheckAll(run);
        if (!r.completed || r.status != 0 || r.savedPath.isEmpty()) ++failures;
    };
    checkAll();  // warm-up, not counted

    qint64 checkNs = 0, saveNs = 0, echoNs = 0;
    qint64 exchanges = 0;
    int perRunMin = INT_MAX, perRunMax = 0;
    for (int i = 0; i < runs; ++i) {
        const int before = sim.requestsReceived;
        t.start();
        checkAll();
        const qint64 ns = t.nsecsElapsed();
        checkNs += ns;
        saveNs += ns - op.askedAtNs;
        const int n = sim.requestsReceived - before;
        exchanges += n;
        perRunMin = qMin(perRunMin, n);
        perRunMax = qMax(perRunMax, n);
        t.start();
        for (int k = 0; k < n; ++k) {
            uif.BuildLongRequest(0, 0x12345678);
            if (uif.ExecUIF() != 0) ++failures;
        }
        echoNs += t.nsecsElapsed();
    }

    const double checkRate = exchanges / (checkNs / 1e9);
    const double echoRate = exchanges / (echoNs / 1e9);
    out << "runs: " << runs << ", exchanges per run: " << perRunMin;
    if (perRunMax != perRunMin) out << ".." << perRunMax;
    out << ", list lines per run: " << lstMsg.count() << ", failures: " << failures << Qt::endl;
    out << QStringLiteral("echo ping-pong: %1 ms per %2 exchanges, %3 exchanges/s")
               .arg(echoNs / 1e6 / runs, 0, 'f', 2).arg(perRunMax).arg(echoRate, 0, 'f', 0)
        << Qt::endl;
    // The report's save is a file written and flushed to the disk: it is shown on its own line,
    // and the ratio of the queries alone, the engine's part, is the last line.
    const double queryRate = exchanges / ((checkNs - saveNs) / 1e9);
    out << QStringLiteral("report save: %1 ms per run; with it %2 ms per run, %3 exchanges/s, ratio %4")
               .arg(saveNs / 1e6 / runs, 0, 'f', 2).arg(checkNs / 1e6 / runs, 0, 'f', 2)
               .arg(checkRate, 0, 'f', 0).arg(checkRate / echoRate, 0, 'f', 2)
        << Qt::endl;
    out << QStringLiteral("check all, queries only: %1 ms per run, %2 exchanges/s, ratio %3")
               .arg((checkNs - saveNs) / 1e6 / runs, 0, 'f', 2).arg(queryRate, 0, 'f', 0)
               .arg(queryRate / echoRate, 0, 'f', 2)
        << Qt::endl;
    return failures == 0 ? 0 : 1;
}
