#pragma once
// The one way a tool writes a file the operator named (saved lists and reports, Config.bin and
// encode's image, files received from the device). Rules for the target:
// - a folder is refused;
// - a character device, FIFO or socket is written in place and never replaced;
// - a symbolic link is followed only when the running user owns it, else refused naming the link
//   and its owner; a dangling link is refused naming its target;
// - otherwise the bytes go into a temporary file in the target's folder, created with the
//   umask's mode (or the replaced file's mode) and written through the descriptor that made it
//   (an unnamed file where the file system has them, else a hidden ".qln-save-" name); every
//   write, the flush to disk and the close are checked before the temporary takes the target's
//   name in one rename. A failed or abandoned save removes the temporary and leaves the old
//   file as it was.
#include <QByteArray>
#include <QString>
#include <sys/types.h>

class SafeSave {
public:
    // Replace: an existing regular file is replaced. Create: the save fails if a file of that
    // name appeared meanwhile (a device or FIFO is still written in place).
    enum class Mode { Replace, Create };
    // What a path names once the rules are applied.
    enum class Kind { Missing, File, InPlace, Refused };
    struct Target {
        Kind kind = Kind::Refused;
        QString path;    // the file written: a followed link's target
        QString reason;  // for Refused: what is wrong, naming the link, its owner or target
    };
    static Target Resolve(const QString& path);

    SafeSave() = default;
    ~SafeSave() { discard(); }
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;

    bool open(const QString& path, Mode mode = Mode::Replace);
    bool isOpen() const { return fd_ >= 0; }
    bool write(const QByteArray& bytes);
    // For blocks that may come again: a device or FIFO only takes the next offset.
    bool writeAt(qint64 offset, const QByteArray& bytes);
    bool commit();
    void discard();
    // Why the last step failed, as the system said it ("No space left on device").
    QString errorString() const { return error_; }

private:
    bool fail(const QString& reason);
    bool failErrno();
    QByteArray temporaryName() const;
    // Links the unnamed file written into the folder under a hidden name.
    bool nameTemporary();

    QByteArray target_;  // encoded name of the file replaced or written in place
    QByteArray temp_;    // encoded name of the temporary, once it has one
    int fd_ = -1;
    bool inPlace_ = false;
    Mode mode_ = Mode::Replace;
    qint64 pos_ = 0;
    QString error_;
};

// Writes `bytes` through SafeSave; on failure `error`, when given, says why.
bool SaveBytes(const QString& path, const QByteArray& bytes, SafeSave::Mode mode = SafeSave::Mode::Replace,
               QString* error = nullptr);
