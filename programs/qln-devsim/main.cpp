// qln-devsim: a substitute Quillon device on loopback.
#include "devsim/DeviceSim.h"
#include "devsim/DeviceSimOptions.h"
#include "shell/Version.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <memory>
#include <vector>

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

    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--version"))) {
        out << "qln-devsim " << basMain::ProgramVersion() << Qt::endl;
        return 0;
    }
    QList<DeviceSim::Options> devices;
    bool verbose = false;
    QString error;
    if (!ParseDeviceSimFleet(args, devices, verbose, error)) {
        // --help ends the parse with the help text in place of an error.
        if ((args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) && error.startsWith(QLatin1String("Usage:"))) {
            // Qt names the program by the path it was started with.
            out << "Usage: qln-devsim [options]" << error.mid(error.indexOf(QLatin1Char('\n')));
            return 0;
        }
        if (error.endsWith(QLatin1Char('.'))) error.chop(1);
        err << "qln-devsim: " << error << "; see qln-devsim --help" << Qt::endl;
        return 2;
    }

    // SIGINT, SIGTERM and SIGHUP end the event loop through a socket pair, so shutdown runs as normal code.
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &c, 1);
        app.quit();
    });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);

    // One simulator per address, all in this event loop.
    std::vector<std::unique_ptr<DeviceSim>> sims;
    for (const DeviceSim::Options& options : devices) {
        sims.push_back(std::make_unique<DeviceSim>(options));
        DeviceSim& sim = *sims.back();
        // Many devices' lines are told apart by the address they begin with.
        const QString prefix = devices.size() > 1 ? options.address.toString() + QLatin1Char(' ') : QString();
        if (verbose)
            QObject::connect(&sim, &DeviceSim::trace, [&out, prefix](const QString& line) { out << prefix << line << Qt::endl; });
        if (!sim.start(&error)) {
            err << "qln-devsim: " << options.address.toString() << ": " << error << Qt::endl;
            return 1;
        }
    }
    const auto deviceLine = [&out](const DeviceSim& sim) {
        out << "qln-devsim: device at " << sim.address().toString() << ", UIF port " << sim.uifPort()
            << ", RCMP port " << sim.rcmpPort() << Qt::endl;
    };
    if (sims.size() == 1) {
        deviceLine(*sims.front());
    } else {
        out << "qln-devsim: " << sims.size() << " devices at " << sims.front()->address().toString() << " to "
            << sims.back()->address().toString() << ", UIF port " << sims.front()->uifPort() << ", RCMP port "
            << sims.front()->rcmpPort() << Qt::endl;
        if (verbose)
            for (const auto& sim : sims) deviceLine(*sim);
    }
    const int rc = app.exec();
    out << "qln-devsim: stopped" << Qt::endl;
    return rc;
}
