#include "cli/Cli.h"

int CliEcho(CliContext& ctx);
int CliLint(CliContext& ctx);
int CliEncode(CliContext& ctx);

const QList<CliCommand>& CliCommands()
{
    static const QList<CliCommand> commands = {
        {"echo", "echo", "run the echo test against --device", &CliEcho},
        {"lint", "lint FILE", "check a configuration file (no device)", &CliLint},
        {"encode", "encode FILE [-o IMG]", "write the configuration image (Config.bin)", &CliEncode},
    };
    return commands;
}
