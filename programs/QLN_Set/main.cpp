// QLN_Set: the Quillon setup program. The whole command line is the device address; --help and
// --version are its only options, answered before a display is opened.
#include "platform/Clock.h"
#include "platform/QtClipboard.h"
#include "platform/QtOperator.h"
#include "shell/ProgramIdentity.h"
#include "shell/ProgramStart.h"
#include "shell/SetupSession.h"
#include "shell/frmMain.h"

#include <QApplication>

namespace {
const char Usage[] =
    "Usage: QLN_Set [--help] [--version] [ADDRESS]\n"
    "Quillon Setup: configuration, status checks and firmware of a Quillon device over UIF (local\n"
    "port 8640, device port 8649) and TFTP (port 8641). The command line, if any, is the device's\n"
    "address and is put into the address field.\n"
    "\nOptions:\n"
    "  --help     print this text and exit\n"
    "  --version  print the program name and version and exit\n";
}  // namespace

int main(int argc, char* argv[])
{
    const int started = StartGuiProgram(argc, argv, "QLN_Set", Usage);
    if (started >= 0) return started;
    QApplication app(argc, argv);
    SetProgramIdentity("QLN_Set");
    const QString commandLine = app.arguments().mid(1).join(QLatin1Char(' '));

    SystemClock clock;
    QtOperator op;
    QtClipboard clipboard;
    SetupSession session(clock, op);
    frmMain window(session, op, clipboard, commandLine);
    op.setParent(&window);
    window.show();
    return app.exec();
}
