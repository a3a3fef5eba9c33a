// Check All against the in-process simulator while it leaves 30% of the UIF requests
// unanswered. The first run, without drops, gives the reference report. Each later report is
// complete (the reference, line for line, time stamps and up-time aside), or ends with the error report of
// the query whose request went unanswered, every line before it as the reference has it; any
// other report is wrong.
// Last line: "check soak: N reports, C complete, E with the query's error, W wrong".
// Options: --count N (reports, default 100), --seed S.
#include "SoakKit.h"
#include "check/CheckQueries.h"
#include "link/frmUIF.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/MessageList.h"
#include "shell/ToolContext.h"

#include <QElapsedTimer>
#include <QRegularExpression>

namespace {

// The lines without their time stamps, and without the up-time, which goes on counting.
QStringList unstamped(const QStringList& lines)
{
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  "));
    static const QRegularExpression uptime(QStringLiteral("^(UpTime +: ).*$"));
    QStringList out;
    for (const QString& line : lines) out << QString(line).remove(stamp).replace(uptime, QStringLiteral("\\1(live)"));
    return out;
}

// A report cut short by a query's failure: the reference up to some line, then "Error occurred
// on '...' Command." and its status line.
bool endsWithQueryError(const QStringList& report, const QStringList& reference)
{
    static const QRegularExpression error(QStringLiteral("^Error occurred on '[^']+' Command\\.$"));
    const qsizetype n = report.size();
    if (n < 2 || n - 2 > reference.size()) return false;
    if (!error.match(report[n - 2]).hasMatch() || !report[n - 1].startsWith(QString(14, ' ') + QStringLiteral(" St: ")))
        return false;
    return report.mid(0, n - 2) == reference.mid(0, n - 2);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const soak::Args args = soak::ParseArgs(app, "Check All reports.", 100);

    DeviceSim sim(soak::SimOptions(args.seed));
    if (!soak::Start(sim, out, "check soak")) return 1;
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    ScriptedOperator op;  // the save dialog is cancelled: the report stays in the list
    ToolContext ctx(clock, op, QStringLiteral("CONF"));
    frmUIF::Options uo;
    uo.tickMs = 1;
    uo.waitTicks = 5;
    uo.localPort = 0;
    uo.remotePort = sim.uifPort();
    frmUIF uif(&op, uo);
    if (!uif.load()) return 1;
    uif.setRemoteHost(sim.address().toIPv4Address());
    MessageList lstMsg;
    const check::CheckRun run{ctx, uif, lstMsg};

    const check::CheckAllResult first = check::RunCheckAll(run);
    const QStringList reference = unstamped(lstMsg.lines());
    if (!first.completed) {
        out << "check soak: the reference run did not complete" << Qt::endl;
        return 1;
    }
    sim.faults().dropRate = 0.3;

    int complete = 0, withError = 0, wrong = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < args.count; ++i) {
        const check::CheckAllResult r = check::RunCheckAll(run);
        const QStringList report = unstamped(lstMsg.lines());
        if (r.completed && r.status == 0 && report == reference) {
            ++complete;
        } else if (!r.completed && r.status != 0 && endsWithQueryError(report, reference)) {
            ++withError;
            out << "report " << i + 1 << ": " << report.value(report.size() - 2) << report.last() << Qt::endl;
        } else {
            ++wrong;
            out << "report " << i + 1 << ": WRONG, " << report.size() << " lines, status " << r.status << Qt::endl;
        }
    }
    out << QStringLiteral("%1 reports of %2 lines in %3 s, %4 requests reached the device")
               .arg(args.count).arg(reference.size()).arg(t.elapsed() / 1000.0, 0, 'f', 1).arg(sim.requestsReceived)
        << Qt::endl;
    out << QStringLiteral("check soak: %1 reports, %2 complete, %3 with the query's error, %4 wrong")
               .arg(args.count).arg(complete).arg(withError).arg(wrong)
        << Qt::endl;
    return wrong ? 1 : 0;
}
