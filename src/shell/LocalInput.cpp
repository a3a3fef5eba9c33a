#include "shell/LocalInput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString NotRegularFileReason() { return QStringLiteral("is not a regular file"); }

bool OpenRegularFile(QFile& file, const QString& path, QString* why)
{
    // Not blocking: opening a FIFO nobody writes would wait for ever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (why) *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (why) *why = NotRegularFileReason();
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (why) *why = file.errorString();
        return false;
    }
    return true;
}

bool ReadRegularFile(const QString& path, qint64 limit, QByteArray& bytes, QString* why)
{
    QFile file;
    if (!OpenRegularFile(file, path, why)) return false;
    bytes = file.read(limit);
    if (file.error() == QFileDevice::NoError) return true;
    if (why) *why = file.errorString();
    return false;
}
