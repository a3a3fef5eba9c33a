#include "cli/Cli.h"

int CliEcho(CliContext& ctx);
int CliLint(CliContext& ctx);
int CliEncode(CliContext& ctx);
int CliPing(CliContext& ctx);
int CliTraceroute(CliContext& ctx);
int CliCheck(CliContext& ctx);

const QList<CliCommand>& CliCommands()
{
    static const QList<CliCommand> commands = {
        {"echo", "echo", "run the echo test against --device", &CliEcho},
        {"lint", "lint FILE", "check a configuration file (no device)", &CliLint},
        {"encode", "encode FILE [-o IMG]", "write the configuration image (Config.bin)", &CliEncode},
        {"ping", "ping STATION", "RCMP echo to a radio station through --device (--count, --packet-id)", &CliPing},
        {"traceroute", "traceroute STATION", "RCMP route to a radio station through --device (--packet-id)", &CliTraceroute},
        {"check", "check QUERY...|all", "the device's status queries, or all of them (-o FILE saves the report)", &CliCheck},
    };
    return commands;
}
