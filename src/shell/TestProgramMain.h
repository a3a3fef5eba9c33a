#pragma once
// The main of a test program (QLN_Test, QLN_Xfer): --help and --version answered and a missing
// display named before QApplication is built, any other argument a usage error, then the session
// and its window.
#include "platform/Clock.h"
#include "platform/QtClipboard.h"
#include "platform/QtOperator.h"
#include "shell/ProgramIdentity.h"
#include "shell/ProgramStart.h"

#include <QApplication>

#include <cstdio>

template <typename Session, typename Window>
int RunTestProgram(int argc, char* argv[], const char* name, const char* usage, const LogOpenDlgTexts& logTexts)
{
    const int started = StartGuiProgram(argc, argv, name, usage);
    if (started >= 0) return started;
    QApplication app(argc, argv);
    SetProgramIdentity(name);
    // What is left once Qt has taken its own options (-platform and so on) is a usage error.
    const QStringList extra = app.arguments().mid(1);
    if (!extra.isEmpty()) {
        std::fprintf(stderr, "%s: unexpected argument '%s'; see %s --help\n", name, qPrintable(extra.first()), name);
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
