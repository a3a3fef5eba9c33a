// QLN_Xfer: the Quillon radio data transfer test. It takes no arguments beyond --help and
// --version, which are answered before a display is opened.
#include "xfertest/XferTestSession.h"
#include "xfertest/frmXferMain.h"
#include "shell/TestProgramMain.h"

namespace {
const char Usage[] =
    "Usage: QLN_Xfer [--help] [--version]\n"
    "Quillon Radio Data Transfer Test: sets and checks the local device's test mode over UIF\n"
    "(local port 8640, device port 8649), counts the RCMP test packets that arrive on the host\n"
    "UDP port (8601 unless changed in the window) and runs an RCMP echo to a remote station.\n"
    "\nOptions:\n"
    "  --help     print this text and exit\n"
    "  --version  print the program name and version and exit\n";
}  // namespace

int main(int argc, char* argv[])
{
    return RunTestProgram<XferTestSession, frmXferMain>(argc, argv, "QLN_Xfer", Usage, LogOpenDlgTexts::Xfer());
}
