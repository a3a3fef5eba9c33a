// qln --device IP [--log FILE] xfer mode send|receive|disable [--packet-id N] [--interval MS]
//                                   [--limit N] [--host-ip IP] [--host-port N]
// qln --device IP xfer check
// qln --device IP xfer count [--duration S] [--quiet] [--host-port N]
// qln --device IP xfer echo STATION [--count N] [--packet-id N] [--host-port N]
// --local-port is the UIF port (8640), --host-port the RCMP port (8601), as in QLN_Xfer's window.
#include "cli/Cli.h"
#include "cli/CliOperator.h"
#include "cli/CliProgress.h"
#include "cli/StopSignals.h"
#include "link/basConv.h"
#include "platform/Clock.h"
#include "rcmp/basRCMP.h"
#include "shell/PcAddress.h"
#include "xfertest/XferTestSession.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

XferTestRun::Fields FieldsFrom(const CliContext& ctx)
{
    XferTestRun::Fields f;
    f.ip = ctx.device;
    if (!ctx.packetId.isEmpty()) f.id = ctx.packetId;
    if (!ctx.interval.isEmpty()) f.rep = ctx.interval;
    if (!ctx.limit.isEmpty()) f.limit = ctx.limit;
    if (!ctx.hostPort.isEmpty()) f.hostPort = ctx.hostPort;
    if (ctx.hostIp.isEmpty()) {
        // The window's default: this PC's address towards the device.
        int err = 0;
        f.hostIp = basMain::PcAddressTowards(quint32(basConv::ParseIPv4(ctx.device, err)));
    } else {
        f.hostIp = ctx.hostIp;
    }
    return f;
}

XferTestSession::Options SessionOptions(const CliContext& ctx, bool rcmpLink)
{
    XferTestSession::Options o;
    o.uif.localPort = ctx.localPort;
    if (!rcmpLink && ctx.devicePortGiven) o.uif.remotePort = ctx.devicePort;
    if (rcmpLink && ctx.devicePortGiven) o.rcmp.remotePort = ctx.devicePort;
    o.run.reloadOnHostPort = false;
    return o;
}

// Runs the event loop until `done` holds; a Stop signal (Ctrl+C, SIGTERM, SIGHUP), or `ms` passing (0: no limit), runs `stop` once.
void RunUntil(const std::function<bool()>& done, const std::function<void()>& stop, qint64 ms)
{
    const StopSignals catchStop;
    QElapsedTimer t;
    t.start();
    bool stopped = false;
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!stopped && (StopSignals::requested() || (ms > 0 && t.elapsed() >= ms))) {
            stopped = true;
            stop();
        }
        if (done()) loop.quit();
    });
    watch.start(20);
    if (!done()) loop.exec();
}

int ModeCommand(CliContext& ctx, XferTestSession& s)
{
    static const QStringList modes{QStringLiteral("disable"), QStringLiteral("send"), QStringLiteral("receive")};
    if (ctx.args.size() < 2) return CliUsageError(ctx, QStringLiteral("xfer mode: send, receive or disable is missing"));
    const int mode = int(modes.indexOf(ctx.args[1]));
    if (mode < 0) return CliUsageError(ctx, QStringLiteral("xfer mode: unknown mode '") + ctx.args[1] + "'");
    if (ctx.args.size() > 2) return CliUsageError(ctx, QStringLiteral("xfer mode: unexpected argument '") + ctx.args[2] + "'");
    if (!OpenCliSession(ctx, s)) return 1;
    const bool bound = s.uif.load();
    s.run.Load();
    if (s.run.ValidateMode(mode, FieldsFrom(ctx)) != XferTestRun::Box::None) return 1;
    const qint32 status = s.run.SetTestMode(mode);
    return bound && status == 0 ? 0 : 1;
}

int CheckCommand(CliContext& ctx, XferTestSession& s)
{
    if (ctx.args.size() > 1) return CliUsageError(ctx, QStringLiteral("xfer check: unexpected argument '") + ctx.args[1] + "'");
    if (!OpenCliSession(ctx, s)) return 1;
    const bool bound = s.uif.load();
    s.run.Load();
    if (!s.run.CheckIPAddress(ctx.device)) return 1;
    return bound && s.run.ModeCheck() == 0 ? 0 : 1;
}

// The RCMP link on --host-port (8601 unless given).
bool LoadRcmp(CliContext& ctx, XferTestSession& s)
{
    int err = 0;
    const qint32 port = ctx.hostPort.isEmpty() ? basRCMP::RCMPXferLocalPort
                                               : basConv::ParseNumber(ctx.hostPort.toLatin1(), err, basConv::NumberDialect::Xfer);
    if (err != 0 || port < 0 || port > 65535) {
        *ctx.err << "Invalid Port number" << Qt::endl;
        return false;
    }
    s.rcmp.setLocalPort(quint16(port));
    if (!s.rcmp.load()) return false;
    s.run.Load();
    if (!s.run.CheckIPAddress(ctx.device) || !s.run.CheckPacketID(ctx.packetId.isEmpty() ? QStringLiteral("0") : ctx.packetId))
        return false;
    // What the system granted of the receive buffer asked for (Linux reports twice the data room).
    const int got = s.rcmp.receiveBufferSize();
    *ctx.err << "xfer: RCMP port " << s.rcmp.localPort() << ", receive buffer " << got << " bytes";
    if (got < frmRCMP2::TestStreamBuffer) *ctx.err << " (asked " << frmRCMP2::TestStreamBuffer << "; see net.core.rmem_max)";
    *ctx.err << Qt::endl;
    return true;
}

int CountCommand(CliContext& ctx, XferTestSession& s)
{
    if (ctx.args.size() > 1) return CliUsageError(ctx, QStringLiteral("xfer count: unexpected argument '") + ctx.args[1] + "'");
    bool ok = true;
    const double seconds = ctx.duration.isEmpty() ? 0.0 : ctx.duration.toDouble(&ok);
    if (!ok || seconds < 0.0) return CliUsageError(ctx, QStringLiteral("Invalid --duration '") + ctx.duration + "'");
    // Thousands of lines a second: written as they come, flushed a few times a second.
    if (!ctx.quiet)
        QObject::connect(&s.lstStatus, &MessageList::lineAdded, [&ctx](const QString& line) { *ctx.out << line << '\n'; });
    QTimer flush;
    QObject::connect(&flush, &QTimer::timeout, [&ctx] { ctx.out->flush(); });
    flush.start(200);
    if (!OpenCliLog(ctx, s) || !LoadRcmp(ctx, s)) return 1;
    bool over = false;
    RunUntil([&] { return over; }, [&] { over = true; }, qint64(seconds * 1000.0));
    *ctx.out << "Packet Count (Lost/Receive) " << s.run.countText() << Qt::endl;
    return 0;
}

int EchoCommand(CliContext& ctx, XferTestSession& s)
{
    if (ctx.args.size() < 2) return CliUsageError(ctx, QStringLiteral("xfer echo: STATION is missing"));
    if (ctx.args.size() > 2) return CliUsageError(ctx, QStringLiteral("xfer echo: unexpected argument '") + ctx.args[2] + "'");
    if (!OpenCliSession(ctx, s) || !LoadRcmp(ctx, s)) return 1;
    // The station box shows the parsed ID in its normal form once it has been left.
    QString station = ctx.args[1];
    basConv::Mac id{};
    int err = 0;
    basConv::ParseMAC(station.toLatin1(), id, err);
    if (err == 0) station = basConv::FormatMAC(id);
    if (!s.run.StartEcho(FieldsFrom(ctx), station)) return 1;
    bool ended = false;
    QObject::connect(&s.run, &XferTestRun::echoEnded, [&ended] { ended = true; });
    RunUntil([&] { return ended; }, [&] { s.run.EchoStop(); }, 0);
    return s.run.LastEchoRecv > 0 ? 0 : 1;
}

}  // namespace

int CliXfer(CliContext& ctx)
{
    static const QStringList commands{QStringLiteral("mode"), QStringLiteral("check"), QStringLiteral("count"), QStringLiteral("echo")};
    if (ctx.args.isEmpty() || !commands.contains(ctx.args[0]))
        return CliUsageError(ctx, QStringLiteral("xfer: mode, check, count or echo is missing"));
    const QString what = ctx.args[0];
    qint64 count = 0;
    if (!ctx.count.isEmpty()) {
        bool ok = false;
        count = ctx.count.toLongLong(&ok);
        if (what != QLatin1String("echo") || !ok || count < 1 || count > 0x7FFFFFFF)
            return CliUsageError(ctx, QStringLiteral("Invalid --count '") + ctx.count + "'");
    }
    CliOperator op(*ctx.err, ctx.overwrite);
    if (!CliDeviceIsValid(ctx)) return 1;
    SystemClock clock;
    const bool rcmpLink = what == QLatin1String("count") || what == QLatin1String("echo");
    XferTestSession::Options o = SessionOptions(ctx, rcmpLink);
    o.run.echoCount = int(count);
    if (ctx.tickMs > 0) o.uif.tickMs = ctx.tickMs;
    XferTestSession s(clock, op, o);
    op.explain(QStringLiteral("Invalid IP Address"), QStringLiteral("--host-ip %1").arg(CliQuoted(ctx.hostIp)));
    // The system's texts name no value: the second line gives it and what is valid.
    op.explain(QStringLiteral("Interval Time out of range "), QStringLiteral("--interval %1: from 1 to 100000").arg(ctx.interval.left(64)));
    if (ctx.args.size() >= 2) op.explain(QStringLiteral("Invalid Station ID"), CliStationLine(ctx.args[1]));
    op.explain(QStringLiteral("Invalid Send Limit"), QStringLiteral("--limit %1: a number (65535: no limit)").arg(CliQuoted(ctx.limit)));
    op.explain(QStringLiteral("Bind address already in use."),
               rcmpLink ? QStringLiteral("host port %1 is taken: use --host-port 0").arg(ctx.hostPort.isEmpty() ? QString::number(basRCMP::RCMPXferLocalPort) : ctx.hostPort)
                        : QStringLiteral("local port %1 is taken: use --local-port 0").arg(ctx.localPort));
    ProgressLine progress(*ctx.err, ctx.errIsTerminal);
    progress.follow(s.waits);
    int rc = 0;
    if (what == QLatin1String("mode")) rc = ModeCommand(ctx, s);
    else if (what == QLatin1String("check")) rc = CheckCommand(ctx, s);
    else if (what == QLatin1String("count")) rc = CountCommand(ctx, s);
    else rc = EchoCommand(ctx, s);
    s.log.EndLog();
    return rc;
}
