#include "cli/Cli.h"

int CliEcho(CliContext& ctx);

const QList<CliCommand>& CliCommands()
{
    static const QList<CliCommand> commands = {
        {"echo", "echo", "run the echo test against --device", &CliEcho},
    };
    return commands;
}
