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
int CliInteractive(CliContext& ctx);
int CliSave(CliContext& ctx);
int CliFwUpdate(CliContext& ctx);
int CliFwRead(CliContext& ctx);
int CliConfigWrite(CliContext& ctx);
int CliConfigRead(CliContext& ctx);
int CliVersion(CliContext& ctx);

const QList<CliCommand>& CliCommands()
{
    // Grouped by the program whose window the command stands for; `qln --help` lists them so.
    static const QList<CliCommand> commands = {
        {CliGroup::Set, "apply", "apply FILE", "send the configuration file to --device and make it running (--verify; --safe)", &CliApply},
        {CliGroup::Set, "receive", "receive rom|running", "the device's saved or running configuration (-o FILE saves it)", &CliReceive},
        {CliGroup::Set, "diff", "diff FILE", "what apply would change: the device's configuration against FILE (--against rom)", &CliDiff},
        {CliGroup::Set, "interactive", "interactive FILE", "send the file's commands one by one into the running configuration", &CliInteractive},
        {CliGroup::Set, "save", "save", "save the running configuration to ROM", &CliSave},
        {CliGroup::Set, "echo", "echo", "run the echo test against --device", &CliEcho},
        {CliGroup::Set, "check", "check QUERY...|all", "the device's status queries, or all of them (-o FILE saves the report)", &CliCheck},
        {CliGroup::Set, "fw-update", "fw-update FILE", "send a firmware image and have it written to flash", &CliFwUpdate},
        {CliGroup::Set, "fw-read", "fw-read FILE", "save the device's firmware into FILE (--overwrite)", &CliFwRead},
        {CliGroup::Set, "config-write", "config-write IMAGE", "send a configuration image and have it written to flash", &CliConfigWrite},
        {CliGroup::Set, "config-read", "config-read IMAGE", "save the device's saved configuration image into IMAGE (--overwrite)", &CliConfigRead},
        {CliGroup::Set, "version", "version", "the device's firmware version (--json)", &CliVersion},
        {CliGroup::Test, "ping", "ping STATION", "RCMP echo to a radio station through --device (--count, --packet-id)", &CliPing},
        {CliGroup::Test, "traceroute", "traceroute STATION", "RCMP route to a radio station through --device (--packet-id)", &CliTraceroute},
        {CliGroup::Xfer, "xfer", "xfer mode send|receive|disable", "set the device's test mode (--packet-id, --interval, --limit, --host-ip, --host-port)", &CliXfer},
        {CliGroup::Xfer, "", "xfer check", "show the device's test mode parameters", &CliXfer},
        {CliGroup::Xfer, "", "xfer count", "count the test packets that arrive on --host-port (--duration, --quiet)", &CliXfer},
        {CliGroup::Xfer, "", "xfer echo STATION", "RCMP echo with the transfer test's packet IDs (--count, --packet-id, --host-port)", &CliXfer},
        {CliGroup::Offline, "lint", "lint FILE", "check a configuration file and warn of what the device would take silently (--strict)", &CliLint},
        {CliGroup::Offline, "encode", "encode FILE [-o IMG]", "write the configuration image (Config.bin)", &CliEncode},
        {CliGroup::Offline, "decode", "decode IMAGE", "print the configuration lines of an image file", &CliDecode},
    };
    return commands;
}
