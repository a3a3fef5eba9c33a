#include "shell/SafeSave.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fromName(const QByteArray& name) { return QFile::decodeName(name); }
QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray folderOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QString ownerName(uid_t uid)
{
    const passwd* pw = getpwuid(uid);
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QStringLiteral("uid %1").arg(uid);
}

// write() until every byte is out; a short write is retried, an error ends it.
bool writeAll(int fd, const char* data, qint64 size, qint64 offset, bool positioned)
{
    while (size > 0) {
        const ssize_t n = positioned ? ::pwrite(fd, data, size_t(size), off_t(offset)) : ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

}  // namespace

SafeSave::Target SafeSave::Resolve(const QString& path)
{
    Target t;
    if (path.isEmpty()) {
        t.reason = QStringLiteral("no file name");
        return t;
    }
    QByteArray p = QFile::encodeName(path);
    // At most as many links as the kernel itself follows.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(p.constData(), &st) != 0) {
            const int e = errno;
            if (e == ENOENT && hops > 0) {
                t.reason = QStringLiteral("is a link to %1, which does not exist").arg(fromName(p));
            } else if (e == ENOENT) {
                t.kind = Kind::Missing;
                t.path = fromName(p);
            } else {
                t.reason = systemReason(e);
            }
            return t;
        }
        if (S_ISLNK(st.st_mode)) {
            if (st.st_uid != ::geteuid()) {
                t.reason = QStringLiteral("%1 is a link owned by %2; only your own links are followed")
                               .arg(fromName(p), ownerName(st.st_uid));
                return t;
            }
            QByteArray to(st.st_size > 0 ? st.st_size + 1 : 4096, '\0');
            const ssize_t n = ::readlink(p.constData(), to.data(), size_t(to.size()));
            if (n < 0 || n >= to.size()) {
                t.reason = systemReason(n < 0 ? errno : ENAMETOOLONG);
                return t;
            }
            to.truncate(n);
            p = to.startsWith('/') ? to : folderOf(p) + '/' + to;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            t.reason = QStringLiteral("is a folder");
        } else if (S_ISREG(st.st_mode)) {
            t.kind = Kind::File;
            t.path = fromName(p);
        } else if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
            t.kind = Kind::InPlace;
            t.path = fromName(p);
        } else {
            // A block device holds a file system: no save is ever written onto one.
            t.reason = QStringLiteral("is a block device");
        }
        return t;
    }
    t.reason = systemReason(ELOOP);
    return t;
}

bool SafeSave::fail(const QString& reason)
{
    discard();
    error_ = reason;
    return false;
}

bool SafeSave::failErrno() { return fail(systemReason(errno)); }

QByteArray SafeSave::temporaryName() const
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = folderOf(target_) + "/.qln-save-";
    for (int i = 0; i < 8; ++i) name += letters[QRandomGenerator::global()->bounded(62)];
    return name;
}

bool SafeSave::open(const QString& path, Mode mode)
{
    discard();
    error_.clear();
    mode_ = mode;
    pos_ = 0;
    const Target t = Resolve(path);
    if (t.kind == Kind::Refused) return fail(t.reason);
    if (t.kind == Kind::File && mode == Mode::Create) return fail(systemReason(EEXIST));
    target_ = QFile::encodeName(t.path);
    inPlace_ = t.kind == Kind::InPlace;
    if (inPlace_) {
        // Not blocking: a FIFO nobody reads fails at once instead of hanging the tool.
        fd_ = ::open(target_.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) return failErrno();
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return true;
    }
    // A replaced file keeps its permissions; a new one has the umask's.
    mode_t perms = 0666;
    struct stat old;
    const bool replacing = t.kind == Kind::File && ::stat(target_.constData(), &old) == 0;
    if (replacing) perms = old.st_mode & 07777 & ~mode_t(S_ISUID | S_ISGID);
    const mode_t createMode = replacing ? 0600 : perms;
    // A file without a name while it is written: nobody can open or swap it, and a killed run
    // leaves nothing behind. It gets a name only once it is complete.
    fd_ = ::open(folderOf(target_).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode);
    if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return failErrno();
    // File systems without unnamed files: a hidden name, made by this call and never reopened.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const QByteArray name = temporaryName();
        fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (fd_ >= 0) temp_ = name;
        else if (errno != EEXIST) return failErrno();
    }
    if (fd_ < 0) return fail(systemReason(EEXIST));
    if (replacing && ::fchmod(fd_, perms) != 0) return failErrno();
    return true;
}

bool SafeSave::write(const QByteArray& bytes) { return writeAt(pos_, bytes); }

bool SafeSave::writeAt(qint64 offset, const QByteArray& bytes)
{
    if (fd_ < 0) return fail(error_.isEmpty() ? systemReason(EBADF) : error_);
    if (inPlace_ && offset != pos_) return fail(systemReason(ESPIPE));
    if (!writeAll(fd_, bytes.constData(), bytes.size(), offset, !inPlace_)) return failErrno();
    pos_ = qMax(pos_, offset + bytes.size());
    return true;
}

bool SafeSave::nameTemporary()
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = temporaryName();
        int done = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW);
        // Without /proc, root can still link the descriptor itself.
        if (done != 0 && errno == ENOENT) done = ::linkat(fd_, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH);
        if (done == 0) {
            temp_ = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
}

bool SafeSave::commit()
{
    if (fd_ < 0) return fail(error_.isEmpty() ? systemReason(EBADF) : error_);
    // Devices and FIFOs cannot be synced: only a real failure of the flush counts.
    if (::fsync(fd_) != 0 && (!inPlace_ || (errno != EINVAL && errno != EROFS && errno != ENOTSUP))) return failErrno();
    if (inPlace_) {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 || failErrno();
    }
    struct stat mine;
    const bool known = ::fstat(fd_, &mine) == 0;
    if (temp_.isEmpty() && !nameTemporary()) return failErrno();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failErrno();
    // The name must still be the file written: in a folder others may write, it could have been
    // swapped, and what took its place must not become the target.
    struct stat named;
    if (!known || ::lstat(temp_.constData(), &named) != 0 || named.st_dev != mine.st_dev || named.st_ino != mine.st_ino) {
        temp_.clear();
        return fail(QStringLiteral("the temporary file was replaced by another user"));
    }
    int done;
    if (mode_ == Mode::Replace) {
        done = ::rename(temp_.constData(), target_.constData());
    } else {
        // A file that appeared meanwhile is never replaced.
        done = ::renameat2(AT_FDCWD, temp_.constData(), AT_FDCWD, target_.constData(), RENAME_NOREPLACE);
        if (done != 0 && (errno == EINVAL || errno == ENOSYS)) {
            done = ::link(temp_.constData(), target_.constData());
            if (done == 0) ::unlink(temp_.constData());
        }
    }
    if (done != 0) return failErrno();
    temp_.clear();
    return true;
}

void SafeSave::discard()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.isEmpty()) ::unlink(temp_.constData());
    temp_.clear();
}

bool SaveBytes(const QString& path, const QByteArray& bytes, SafeSave::Mode mode, QString* error)
{
    SafeSave save;
    const bool ok = save.open(path, mode) && save.write(bytes) && save.commit();
    if (!ok && error) *error = save.errorString();
    return ok;
}
