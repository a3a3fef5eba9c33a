// qln --device IP [--log FILE] ping STATION [--count N] [--packet-id N]
// qln --device IP [--log FILE] traceroute STATION [--packet-id N]
#include "cli/Cli.h"
#include "cli/CliOperator.h"
#include "cli/StopSignals.h"
#include "echotest/EchoTestRun.h"
#include "link/basConv.h"
#include "platform/Clock.h"
#include "rcmp/frmRCMP.h"
#include "shell/ToolContext.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {

// A number option, decimal or 0x hexadecimal; "" (not given) leaves the value. False when out of range.
bool readNumber(const QString& text, qint64 low, qint64 high, qint64& value)
{
    if (text.isEmpty()) return true;
    const QByteArray bytes = text.toLatin1();
    bool ok = false;
    value = bytes.startsWith("0x") || bytes.startsWith("0X") ? bytes.mid(2).toLongLong(&ok, 16) : bytes.toLongLong(&ok, 10);
    return ok && value >= low && value <= high;
}

QJsonValue Milliseconds(qint64 ms) { return ms < 0 ? QJsonValue() : QJsonValue(double(ms)); }

QJsonObject PingJson(const EchoTestRun& run)
{
    QJsonObject o;
    o[QStringLiteral("sent")] = run.lngSendCnt;
    // As iputils ping counts: received are the distinct replies, so duplicates never make the
    // loss negative.
    o[QStringLiteral("received")] = run.distinctReplies();
    o[QStringLiteral("duplicates")] = run.duplicateReplies();
    const qint64 missing = qMax<qint64>(0, qint64(run.lngSendCnt) - run.distinctReplies());
    o[QStringLiteral("loss")] = run.lngSendCnt == 0 ? QJsonValue() : QJsonValue(double(missing) / run.lngSendCnt * 100.0);
    if (run.replyTimesMs().isEmpty()) {
        o[QStringLiteral("rtt")] = QJsonValue();
    } else {
        const EchoRtt r = EchoRttStats(run.replyTimesMs());
        o[QStringLiteral("rtt")] = QJsonObject{{QStringLiteral("min"), r.min}, {QStringLiteral("avg"), r.avg},
                                               {QStringLiteral("max"), r.max}, {QStringLiteral("mdev"), r.mdev}};
    }
    QJsonArray replies;
    for (const EchoReplyRecord& e : run.echoReplies())
        replies.append(QJsonObject{{QStringLiteral("seq"), e.seq}, {QStringLiteral("ttl"), e.ttl},
                                   {QStringLiteral("time"), double(e.timeMs)}, {QStringLiteral("station"), e.station}});
    o[QStringLiteral("replies")] = replies;
    return o;
}

QJsonObject TraceJson(const EchoTestRun& run, const QString& station)
{
    QJsonArray hops;
    for (const TraceHopRecord& h : run.traceHops()) {
        QJsonArray times;
        for (qint64 t : h.timesMs) times.append(Milliseconds(t));
        hops.append(QJsonObject{{QStringLiteral("hop"), h.hop}, {QStringLiteral("times"), times},
                                {QStringLiteral("station"), h.station.isEmpty() ? QJsonValue() : QJsonValue(h.station)}});
    }
    return QJsonObject{{QStringLiteral("destination"), station}, {QStringLiteral("complete"), run.TraceDone},
                       {QStringLiteral("hops"), hops}};
}

int RunRcmpCommand(CliContext& ctx, bool trace)
{
    const QString name = trace ? QStringLiteral("traceroute") : QStringLiteral("ping");
    if (ctx.args.isEmpty()) return CliUsageError(ctx, name + QStringLiteral(": STATION is missing"));
    if (ctx.args.size() > 1) return CliUsageError(ctx, name + QStringLiteral(": unexpected argument '") + ctx.args[1] + "'");
    qint64 count = 0;
    qint64 packetId = -1;
    if (trace && !ctx.count.isEmpty()) return CliUsageError(ctx, QStringLiteral("traceroute takes no --count"));
    if (!readNumber(ctx.count, 1, 0x7FFFFFFF, count)) return CliUsageError(ctx, QStringLiteral("Invalid --count '") + ctx.count + "'");
    if (!readNumber(ctx.packetId, 0, 0xFFFF, packetId))
        return CliUsageError(ctx, QStringLiteral("Invalid --packet-id '") + ctx.packetId + "'");

    CliOperator op(*ctx.err, ctx.overwrite);
    if (!CliDeviceIsValid(ctx)) return 1;
    SystemClock clock;
    ToolContext tool(clock, op, QStringLiteral("TEST"));
    frmRCMP::Options ro;
    ro.localPort = ctx.localPortGiven ? ctx.localPort : basRCMP::RCMPTestLocalPort;
    ro.remotePort = ctx.devicePortGiven ? ctx.devicePort : basRCMP::RCMPDevicePort;
    op.explain(QStringLiteral("Bind address already in use."), QStringLiteral("local port %1 is taken: use --local-port 0").arg(ro.localPort));
    op.explain(QStringLiteral("Invalid Station ID"), CliStationLine(ctx.args[0]));
    frmRCMP rcmp(&op, ro);
    EchoTestRun::Options eo;
    eo.echoCount = int(count);
    eo.fixedPacketID = packetId >= 0;
    eo.packetID = qint16(quint16(packetId));
    EchoTestRun run(tool, rcmp, eo);

    // A hop line grows in place in the window; here it is printed once, when it is complete
    // (or when the next line shows that it will not grow any more).
    QString pending;
    QTextStream& lines = ctx.json ? *ctx.err : *ctx.out;
    auto print = [&lines](const QString& line) { lines << line << Qt::endl; };
    QObject::connect(&tool.lstStatus, &MessageList::lineAdded, [&](const QString& line) {
        if (!pending.isNull()) print(pending);
        pending = QString();
        if (run.hopLinePending())
            pending = line;
        else
            print(line);
    });
    QObject::connect(&tool.lstStatus, &MessageList::lastLineModified, [&](const QString& line) {
        if (run.hopLinePending()) {
            pending = line;
            return;
        }
        pending = QString();
        print(line);
    });
    if (!OpenCliLog(ctx, tool)) return 1;

    // The station box shows the parsed ID in its normal form once it has been left.
    QString station = ctx.args[0];
    basConv::Mac id{};
    int err = 0;
    basConv::ParseMAC(station.toLatin1(), id, err);
    if (err == 0) station = basConv::FormatMAC(id);

    const bool bound = run.Load();
    bool started = false;
    if (bound) started = trace ? run.StartTrace(ctx.device, station) : run.StartEcho(ctx.device, station);
    if (started) {
        QEventLoop loop;
        QObject::connect(&run, &EchoTestRun::runEnded, &loop, &QEventLoop::quit);
        // Ctrl+C, SIGTERM and SIGHUP are the Stop button.
        const StopSignals catchStop;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (StopSignals::take()) run.cmdStop_Click();
        });
        watch.start(50);
        loop.exec();
    }
    if (!pending.isNull()) print(pending);
    if (started && ctx.json) *ctx.out << QJsonDocument(trace ? TraceJson(run, station) : PingJson(run)).toJson();
    if (started && !trace) {
        // Beyond the list: the round-trip statistics as iputils ping gives them.
        const QString rtt = EchoRttSummary(run.replyTimesMs());
        if (!rtt.isEmpty()) print(rtt);
        if (run.duplicateReplies() > 0) print(QStringLiteral("+%1 duplicates").arg(run.duplicateReplies()));
    }
    tool.log.EndLog();
    if (!started) return 1;
    return (trace ? run.TraceDone : run.RecvCnt > 0) ? 0 : 1;
}

}  // namespace

int CliPing(CliContext& ctx) { return RunRcmpCommand(ctx, false); }
int CliTraceroute(CliContext& ctx) { return RunRcmpCommand(ctx, true); }
