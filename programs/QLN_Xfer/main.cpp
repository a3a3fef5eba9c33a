// QLN_Xfer: the Quillon radio data transfer test. It takes no arguments beyond --help and
// --version, which are answered before a display is opened.
#include "platform/Clock.h"
#include "platform/QtClipboard.h"
#include "platform/QtOperator.h"
#include "shell/Version.h"
#include "xfertest/XferTestSession.h"
#include "xfertest/frmXferMain.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {
const char Usage[] =
    "Usage: QLN_Xfer [--help] [--version]\n"
    "Quillon Radio Data Transfer Test: sets and checks the local device's test mode over UIF\n"
    "(local port 8640, device port 8649), counts the RCMP test packets that arrive on the host\n"
    "UDP port (8601 unless changed in the window) and runs an RCMP echo to a remote station.\n"
    "  --help     print this text and exit\n"
    "  --version  print the program name and version and exit\n";
}  // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("QLN_Xfer %s\n", qPrintable(basMain::ProgramVersion()));
            return 0;
        }
    }
    QApplication app(argc, argv);
    // What is left once Qt has taken its own options (-platform and so on) is a usage error.
    const QStringList extra = app.arguments().mid(1);
    if (!extra.isEmpty()) {
        std::fprintf(stderr, "QLN_Xfer: unexpected argument '%s'\nsee QLN_Xfer --help\n", qPrintable(extra.first()));
        return 2;
    }

    SystemClock clock;
    QtOperator op;
    op.setLogDialog(LogOpenDlgTexts::Xfer());
    QtClipboard clipboard;
    XferTestSession session(clock, op);
    frmXferMain window(session, op, clipboard);
    op.setParent(&window);
    window.show();
    return app.exec();
}
