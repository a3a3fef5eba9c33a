#include "cli/Cli.h"

int CliEcho(CliContext& ctx);
int CliLint(CliContext& ctx);
int CliEncode(CliContext& ctx);
int CliDecode(CliContext& ctx);
int CliPing(CliContext& ctx);
int CliTraceroute(CliContext& ctx);
int CliCheck(CliContext& ctx);
int CliXfer(CliContext& ctx);
int CliApply(CliContext& ctx);
int CliReceive(CliContext& ctx);
int CliDiff(CliContext& ctx);

const QList<CliCommand>& CliCommands()
{
    static const QList<CliCommand> commands = {
        {"echo", "echo", "run the echo test against --device", &CliEcho},
        {"lint", "lint FILE", "check a configuration file (no device)", &CliLint},
        {"encode", "encode FILE [-o IMG]", "write the configuration image (Config.bin)", &CliEncode},
        {"decode", "decode IMAGE", "print the configuration lines of an image file (no device)", &CliDecode},
        {"ping", "ping STATION", "RCMP echo to a radio station through --device (--count, --packet-id)", &CliPing},
        {"traceroute", "traceroute STATION", "RCMP route to a radio station through --device (--packet-id)", &CliTraceroute},
        {"apply", "apply FILE", "send the configuration file to --device and make it running (--verify)", &CliApply},
        {"receive", "receive rom|running", "the device's saved or running configuration (-o FILE saves it)", &CliReceive},
        {"diff", "diff FILE", "what apply would change: the device's configuration against FILE (--against rom)", &CliDiff},
        {"check", "check QUERY...|all", "the device's status queries, or all of them (-o FILE saves the report)", &CliCheck},
        {"xfer", "xfer mode send|receive|disable", "set the device's test mode (--packet-id, --interval, --limit, --host-ip, --host-port)", &CliXfer},
        {"", "xfer check", "show the device's test mode parameters", &CliXfer},
        {"", "xfer count", "count the test packets that arrive on --host-port (--duration, --quiet)", &CliXfer},
        {"", "xfer echo STATION", "RCMP echo with the transfer test's packet IDs (--count, --packet-id, --host-port)", &CliXfer},
    };
    return commands;
}
