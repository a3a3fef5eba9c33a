// QLN_Test: the Quillon radio echo and traceroute test. It takes no arguments beyond --help and
// --version, which are answered before a display is opened.
#include "echotest/EchoTestSession.h"
#include "echotest/frmEchoMain.h"
#include "platform/Clock.h"
#include "platform/QtClipboard.h"
#include "platform/QtOperator.h"
#include "shell/Version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {
const char Usage[] =
    "Usage: QLN_Test [--help] [--version]\n"
    "Quillon Radio Echo Test: echo requests and traceroutes over RCMP (local port 8600, device\n"
    "port 8650) to a remote station behind the local Quillon device.\n"
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
            std::printf("QLN_Test %s\n", qPrintable(basMain::ProgramVersion()));
            return 0;
        }
    }
    QApplication app(argc, argv);
    // What is left once Qt has taken its own options (-platform and so on) is a usage error.
    const QStringList extra = app.arguments().mid(1);
    if (!extra.isEmpty()) {
        std::fprintf(stderr, "QLN_Test: unexpected argument '%s'\nsee QLN_Test --help\n", qPrintable(extra.first()));
        return 2;
    }

    SystemClock clock;
    QtOperator op;
    op.setLogDialog(LogOpenDlgTexts::Test());
    QtClipboard clipboard;
    EchoTestSession session(clock, op);
    frmEchoMain window(session, op, clipboard);
    op.setParent(&window);
    window.show();
    return app.exec();
}
