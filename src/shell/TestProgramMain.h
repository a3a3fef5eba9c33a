#pragma once
// The main of a test program (QLN_Test, QLN_Xfer): --help and --version answered before a display
// is opened, any other argument a usage error, then the session and its window.
#include "platform/Clock.h"
#include "platform/QtClipboard.h"
#include "platform/QtOperator.h"
#include "shell/Version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

template <typename Session, typename Window>
int RunTestProgram(int argc, char* argv[], const char* name, const char* usage, const LogOpenDlgTexts& logTexts)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", name, qPrintable(basMain::ProgramVersion()));
            return 0;
        }
    }
    QApplication app(argc, argv);
    // What is left once Qt has taken its own options (-platform and so on) is a usage error.
    const QStringList extra = app.arguments().mid(1);
    if (!extra.isEmpty()) {
        std::fprintf(stderr, "%s: unexpected argument '%s'\nsee %s --help\n", name, qPrintable(extra.first()), name);
        return 2;
    }
    SystemClock clock;
    QtOperator op;
    op.setLogDialog(logTexts);
    QtClipboard clipboard;
    Session session(clock, op);
    Window window(session, op, clipboard);
    op.setParent(&window);
    window.show();
    return app.exec();
}
