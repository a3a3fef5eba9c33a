// QLN_Test: the Quillon radio echo and traceroute test. It takes no arguments beyond --help and
// --version, which are answered before a display is opened.
#include "echotest/EchoTestSession.h"
#include "echotest/frmEchoMain.h"
#include "shell/TestProgramMain.h"

namespace {
const char Usage[] =
    "Usage: QLN_Test [--help] [--version]\n"
    "Quillon Radio Echo Test: echo requests and traceroutes over RCMP (local port 8600, device\n"
    "port 8650) to a remote station behind the local Quillon device.\n"
    "\nOptions:\n"
    "  --help     print this text and exit\n"
    "  --version  print the program name and version and exit\n";
}  // namespace

int main(int argc, char* argv[])
{
    return RunTestProgram<EchoTestSession, frmEchoMain>(argc, argv, "QLN_Test", Usage, LogOpenDlgTexts::Test());
}
