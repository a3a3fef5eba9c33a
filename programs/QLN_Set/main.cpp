// QLN_Set: the Quillon setup program. The whole command line is the device address.
#include "platform/Clock.h"
#include "platform/QtClipboard.h"
#include "platform/QtOperator.h"
#include "shell/SetupSession.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
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
