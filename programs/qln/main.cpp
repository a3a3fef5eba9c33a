// qln: the Quillon tools' flows without windows.
#include "cli/Cli.h"
#include "cli/TerminalOutput.h"

#include <QCoreApplication>
#include <unistd.h>

namespace {
// Qt's own notes ("QFile::open: ...") are no message of the tool: the tool says what failed in
// its own words. Only what ends the program is passed on.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        const QByteArray line = "qln: " + text.toLocal8Bit() + '\n';
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line.constData(), size_t(line.size()));
    }
}
}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietQtMessages);
    QCoreApplication app(argc, argv);
    TerminalOutput outDevice(STDOUT_FILENO, ::isatty(STDOUT_FILENO) == 1);
    TerminalOutput errDevice(STDERR_FILENO, ::isatty(STDERR_FILENO) == 1);
    QTextStream out(&outDevice);
    QTextStream err(&errDevice);
    const int status = RunCli(app.arguments().mid(1), out, err, errDevice.isTerminal());
    out.flush();
    err.flush();
    return status;
}
