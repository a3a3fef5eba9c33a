#include "cli/Cli.h"

#include "check/CheckQueries.h"
#include "cli/CliOperator.h"
#include "cli/CliOptions.h"
#include "link/basConv.h"
#include "shell/PcAddress.h"
#include "shell/SafeSave.h"
#include "shell/ToolContext.h"
#include "shell/Version.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

void printHelp(QTextStream& out)
{
    out << "Usage: qln [options] COMMAND [ARGS]\n\n"
           "Runs the Quillon tools' flows without windows.\n\n"
           "Options:\n"
           "  --device IP         the device's IPv4 address\n"
           "  --log FILE          write the log file as the windows do (appends; --overwrite truncates)\n"
           "  -o, --output FILE   where a command writes its file\n"
           "  --overwrite         answer Yes to \"File Exist. Overwrite?\" questions (receive, fw-read, config-read, check all)\n"
           "  --device-port N     the device's port of the command's link (UIF 8649, RCMP 8650)\n"
           "  --local-port N      the local port of the command's link (UIF 8640, RCMP 8600; 0 picks a free one)\n"
           "  --tftp-port N       apply, receive, diff, fw-*, config-*: the PC's TFTP server port (default 8641; 0 picks a free one)\n"
           "  --verify            apply: receive the running configuration afterwards and compare it with the image sent\n"
           "  --safe              apply: compare first, guard the address, back up, verify, check the echo, roll back on failure\n"
           "  --check             apply --safe: pre-flight, compare and guard only; nothing is sent to the device\n"
           "  --backup FILE       apply --safe: write the running configuration received before the apply to FILE\n"
           "  --allow-address-change  apply --safe: let the file change the address --device names\n"
           "  --save              apply --safe: after verify and echo succeeded, save the running configuration to ROM\n"
           "  --strict            lint, apply --safe: any warning makes the exit status 1; receive, diff: so does a record\n"
           "                      of a code this tool does not know (else it is left out and named)\n"
           "  --against STORE     diff: running (default) or rom\n"
           "  --count N           ping: stop after N requests (default: until interrupted)\n"
           "  --packet-id N       ping, traceroute: the RCMP packet ID (default: from the time of day)\n"
           "  --json              ping, traceroute, check, receive, diff, version, apply --safe: one JSON document on standard output, the lines on standard error\n"
           "  --interval MS       xfer mode send: the interval time (default 10, 1 to 100000)\n"
           "  --limit N           xfer mode send: the send limit (default 0xffffffff, no limit)\n"
           "  --host-ip IP        xfer mode receive: where the device sends the test packets (default: this PC)\n"
           "  --host-port N       xfer: the RCMP port of this PC (default 8601; 0 picks a free one for count, echo)\n"
           "  --duration S        xfer count: stop after S seconds (default: until interrupted)\n"
           "  --quiet             xfer count: no packet lines, only the count at the end\n"
           "  -h, --help          this text\n"
           "  --version           the program version\n";
    const std::pair<CliGroup, const char*> groups[] = {
        {CliGroup::Set, "QLN_Set commands (configuration, status, firmware; --device IP)"},
        {CliGroup::Test, "QLN_Test commands (radio echo and traceroute; --device IP)"},
        {CliGroup::Xfer, "QLN_Xfer commands (radio data transfer test; --device IP)"},
        {CliGroup::Offline, "Offline commands (no device)"},
    };
    for (const auto& [group, title] : groups) {
        out << "\n" << title << ":\n";
        for (const CliCommand& c : CliCommands()) {
            if (c.group != group) continue;
            const QString usage = QString::fromLatin1(c.usage);
            // A long usage puts its summary on a line of its own, in the same column.
            out << "  " << usage << (usage.size() < 22 ? QString(22 - usage.size(), ' ') : "\n" + QString(24, ' '))
                << c.summary << "\n";
        }
    }
    out << "\nQueries of check:\n";
    QString row = QStringLiteral(" ");
    for (const check::QueryDef& q : check::QueryDefs()) {
        if (row.size() + 1 + int(qstrlen(q.cliName)) > 78) {
            out << row << "\n";
            row = QStringLiteral(" ");
        }
        row += QStringLiteral(" ") + QLatin1String(q.cliName);
    }
    out << row << "\n";
    out << "\nExit status: 0 success, 1 the command failed (its lines say why), 2 a usage error.\n"
           "apply --safe: 0 applied or unchanged, 1 failed and the device is as before (rolled back),\n"
           "3 failed and not rolled back (the lines say what to do), 2 a usage error.\n";
}

int usageError(QTextStream& err, QString text)
{
    // Qt's parser ends its texts with a full stop; the pointer to --help follows on the same line.
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    err << text << "; see qln --help" << Qt::endl;
    return 2;
}

// Whether two paths name one file: the same file when both exist (links, "." and hard links
// included), else the same name once links and the folder's path are resolved.
bool sameFile(const QString& a, const QString& b)
{
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    const auto named = [](const QString& path) {
        const SafeSave::Target t = SafeSave::Resolve(path);
        const QFileInfo f(t.path.isEmpty() ? path : t.path);
        const QString folder = QFileInfo(f.absolutePath()).canonicalFilePath();
        return (folder.isEmpty() ? f.absolutePath() : folder) + '/' + f.fileName();
    };
    return named(a) == named(b);
}

bool readPort(const QString& text, quint16& port)
{
    bool ok = false;
    const uint v = text.toUInt(&ok);
    if (!ok || v > 65535) return false;
    port = quint16(v);
    return true;
}

}  // namespace

bool CliDeviceIsValid(CliContext& ctx)
{
    int err = 0;
    basConv::ParseIPv4(ctx.device, err);
    if (err == 0) return true;
    *ctx.err << "WARNING: Invalid IP Address" << Qt::endl
             << (ctx.device.isEmpty() ? QStringLiteral("--device is missing") : CliQuoted(ctx.device))
             << Qt::endl;
    return false;
}

bool OpenCliSession(CliContext& ctx, ToolContext& session)
{
    QObject::connect(&session.lstStatus, &MessageList::lineAdded, [&ctx](const QString& line) {
        *ctx.out << line << Qt::endl;
    });
    return OpenCliLog(ctx, session);
}

int CliUsageError(CliContext& ctx, const QString& text) { return usageError(*ctx.err, text); }

bool OpenCliLog(CliContext& ctx, ToolContext& session)
{
    if (ctx.logPath.isEmpty()) return true;
    int parseError = 0;
    const quint32 device = quint32(basConv::ParseIPv4(ctx.device, parseError));
    if (!ctx.device.isEmpty() && parseError == 0) {
        // One run, one device: every record names it, and the same PC address (the one the
        // system would send from towards it), the start record included.
        session.log.startEndDevice = ctx.device;
        const QString pc = basMain::PcAddressTowards(device);
        session.log.pcAddress = [pc] { return pc; };
    }
    const bool exists = QFileInfo::exists(ctx.logPath);
    QTextStream* err = ctx.err;
    // After the start a failing record stops the log with one line; the run goes on.
    session.log.writeFailed = [err](const QString& path, const QString& why) {
        *err << "Log Data Write Error: " << path << ": " << why << "; logging stopped" << Qt::endl;
    };
    if (session.log.open(ctx.logPath, exists && ctx.overwrite)) return true;
    // The second line names the file and why, as the rules or the system say it.
    *ctx.err << "Log Data Write Error" << Qt::endl << ctx.logPath << ": " << session.log.errorString() << Qt::endl;
    return false;
}

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err, bool errIsTerminal)
{
    QCommandLineParser p;
    p.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption device(QStringLiteral("device"), QString(), QStringLiteral("IP"));
    const QCommandLineOption log(QStringLiteral("log"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(), QStringLiteral("FILE"));
    const QCommandLineOption overwrite(QStringList{QStringLiteral("overwrite")});
    const QCommandLineOption devicePort(QStringLiteral("device-port"), QString(), QStringLiteral("N"));
    const QCommandLineOption localPort(QStringLiteral("local-port"), QString(), QStringLiteral("N"));
    const QCommandLineOption json(QStringList{QStringLiteral("json")});
    const QCommandLineOption count(QStringLiteral("count"), QString(), QStringLiteral("N"));
    const QCommandLineOption packetId(QStringLiteral("packet-id"), QString(), QStringLiteral("N"));
    const QCommandLineOption interval(QStringLiteral("interval"), QString(), QStringLiteral("MS"));
    const QCommandLineOption limit(QStringLiteral("limit"), QString(), QStringLiteral("N"));
    const QCommandLineOption hostIp(QStringLiteral("host-ip"), QString(), QStringLiteral("IP"));
    const QCommandLineOption hostPort(QStringLiteral("host-port"), QString(), QStringLiteral("N"));
    const QCommandLineOption duration(QStringLiteral("duration"), QString(), QStringLiteral("S"));
    const QCommandLineOption quiet(QStringList{QStringLiteral("quiet")});
    const QCommandLineOption tftpPort(QStringLiteral("tftp-port"), QString(), QStringLiteral("N"));
    const QCommandLineOption verify(QStringList{QStringLiteral("verify")});
    const QCommandLineOption strict(QStringList{QStringLiteral("strict")});
    const QCommandLineOption against(QStringLiteral("against"), QString(), QStringLiteral("STORE"), QStringLiteral("running"));
    const QCommandLineOption safe(QStringList{QStringLiteral("safe")});
    const QCommandLineOption checkOnly(QStringList{QStringLiteral("check")});
    const QCommandLineOption save(QStringList{QStringLiteral("save")});
    const QCommandLineOption allowAddressChange(QStringList{QStringLiteral("allow-address-change")});
    const QCommandLineOption backup(QStringLiteral("backup"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("version")});
    p.addOptions({device, log, output, overwrite, devicePort, localPort, count, packetId, json, help, version});
    p.addOptions({interval, limit, hostIp, hostPort, duration, quiet, tftpPort, verify, strict, against});
    p.addOptions({safe, checkOnly, save, allowAddressChange, backup});
    if (!p.parse(QStringList{QStringLiteral("qln")} + arguments)) return usageError(err, p.errorText());
    if (p.isSet(help)) {
        printHelp(out);
        return 0;
    }
    if (p.isSet(version)) {
        out << "qln " << basMain::ProgramVersion() << Qt::endl;
        return 0;
    }
    QStringList rest = p.positionalArguments();
    if (rest.isEmpty()) return usageError(err, QStringLiteral("Usage: qln [options] COMMAND [ARGS]: COMMAND is missing"));
    CliContext ctx;
    const QString name = rest.takeFirst();
    const QString notTaken = CliOptionNotTaken(name, p.optionNames());
    if (!notTaken.isEmpty())
        return usageError(err, QStringLiteral("%1: option --%2 does not belong to this command").arg(name, notTaken));
    ctx.args = rest;
    ctx.device = p.value(device);
    ctx.logPath = p.value(log);
    ctx.output = p.value(output);
    // Both would write one file: the records and the output would cut each other.
    if (!ctx.logPath.isEmpty() && !ctx.output.isEmpty() && sameFile(ctx.logPath, ctx.output))
        return usageError(err, QStringLiteral("--log and -o name the same file '%1'").arg(ctx.output));
    ctx.overwrite = p.isSet(overwrite);
    ctx.count = p.value(count);
    ctx.json = p.isSet(json);
    ctx.packetId = p.value(packetId);
    ctx.interval = p.value(interval);
    ctx.limit = p.value(limit);
    ctx.hostIp = p.value(hostIp);
    ctx.hostPort = p.value(hostPort);
    ctx.duration = p.value(duration);
    ctx.quiet = p.isSet(quiet);
    ctx.verify = p.isSet(verify);
    ctx.strict = p.isSet(strict);
    ctx.against = p.value(against);
    ctx.safe = p.isSet(safe);
    ctx.check = p.isSet(checkOnly);
    ctx.save = p.isSet(save);
    ctx.allowAddressChange = p.isSet(allowAddressChange);
    ctx.backup = p.value(backup);
    // Both would write one file: the backup and the log records would cut each other.
    if (!ctx.logPath.isEmpty() && !ctx.backup.isEmpty() && sameFile(ctx.logPath, ctx.backup))
        return usageError(err, QStringLiteral("--log and --backup name the same file '%1'").arg(ctx.backup));
    ctx.devicePortGiven = p.isSet(devicePort);
    ctx.localPortGiven = p.isSet(localPort);
    ctx.out = &out;
    ctx.err = &err;
    ctx.errIsTerminal = errIsTerminal;
    const std::pair<const QCommandLineOption*, quint16*> ports[] = {
        {&devicePort, &ctx.devicePort}, {&localPort, &ctx.localPort}, {&tftpPort, &ctx.tftpPort}};
    for (const auto& [option, port] : ports)
        if (p.isSet(*option) && !readPort(p.value(*option), *port))
            return usageError(err, QStringLiteral("Invalid port number '%1' of --%2").arg(p.value(*option), option->names().first()));
    for (const CliCommand& c : CliCommands())
        if (name == QLatin1String(c.name)) return c.run(ctx);
    return usageError(err, QStringLiteral("Unknown command '%1'").arg(name));
}
