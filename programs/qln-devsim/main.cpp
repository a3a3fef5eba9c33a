// qln-devsim: a substitute Quillon device on loopback.
#include "devsim/DeviceSim.h"
#include "devsim/DeviceSimOptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};
void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
}
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    DeviceSim::Options options;
    bool verbose = false;
    QString error;
    if (!ParseDeviceSimOptions(app.arguments(), options, verbose, error)) {
        err << error << Qt::endl;
        return 2;
    }

    // SIGINT/SIGTERM end the event loop through a socket pair, so shutdown runs as normal code.
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &c, 1);
        app.quit();
    });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    DeviceSim sim(options);
    if (verbose) QObject::connect(&sim, &DeviceSim::trace, [&out](const QString& line) { out << line << Qt::endl; });
    if (!sim.start(&error)) {
        err << "qln-devsim: " << error << Qt::endl;
        return 1;
    }
    out << "qln-devsim: device at " << options.address.toString() << ", UIF port " << sim.uifPort()
        << ", RCMP port " << sim.rcmpPort() << Qt::endl;
    const int rc = app.exec();
    out << "qln-devsim: stopped" << Qt::endl;
    return rc;
}
