#include "shell/ProgramStart.h"

#include "shell/Version.h"

#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A local X display (":0", "unix:0.0") is open when its socket accepts; a remote one is left to Qt.
bool localXDisplayAnswers(const QString& display)
{
    const int colon = int(display.lastIndexOf(QLatin1Char(':')));
    const QString host = display.left(colon);
    if (colon < 0 || !(host.isEmpty() || host == QLatin1String("unix"))) return true;
    const QString number = display.mid(colon + 1).section(QLatin1Char('.'), 0, 0);
    const QByteArray path = QStringLiteral("/tmp/.X11-unix/X%1").arg(number).toLocal8Bit();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= int(sizeof addr.sun_path)) return false;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    // The abstract socket of the same name serves where /tmp is private.
    if (ok) return true;
    sockaddr_un abstractAddr{};
    abstractAddr.sun_family = AF_UNIX;
    std::memcpy(abstractAddr.sun_path + 1, path.constData(), size_t(path.size()));
    const int fd2 = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd2 < 0) return false;
    const bool ok2 = ::connect(fd2, reinterpret_cast<sockaddr*>(&abstractAddr), socklen_t(offsetof(sockaddr_un, sun_path) + 1 + path.size())) == 0;
    ::close(fd2);
    return ok2;
}

}  // namespace

int AnswerHelpOrVersion(int argc, char* argv[], const char* name, const char* usage)
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
    return -1;
}

QString DisplayProblem(int argc, char* argv[])
{
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) platform = QString::fromLocal8Bit(argv[i + 1]);
    platform = platform.section(QLatin1Char(':'), 0, 0).section(QLatin1Char(';'), 0, 0);
    if (platform.startsWith(QLatin1String("wayland")))
        return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QStringLiteral("WAYLAND_DISPLAY is not set") : QString();
    if (!platform.isEmpty() && platform != QLatin1String("xcb")) return QString();
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return platform.isEmpty() && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QString() : QStringLiteral("DISPLAY is not set");
    if (!localXDisplayAnswers(display)) return QStringLiteral("DISPLAY '%1' does not answer").arg(display);
    return QString();
}

int StartGuiProgram(int argc, char* argv[], const char* name, const char* usage)
{
    const int answered = AnswerHelpOrVersion(argc, argv, name, usage);
    if (answered >= 0) return answered;
    const QString problem = DisplayProblem(argc, argv);
    if (problem.isEmpty()) return -1;
    std::fprintf(stderr, "%s: cannot open a display (%s); run it under a desktop or xvfb-run\n", name, qPrintable(problem));
    return 1;
}
