// qln: the Quillon tools' flows without windows.
#include "cli/Cli.h"

#include <QCoreApplication>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCli(app.arguments().mid(1), out, err, ::isatty(2) == 1);
}
