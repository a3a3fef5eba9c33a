#pragma once
// The two ends of a transfer on the PC's disk: the file served to a read request, and the file
// a write request delivers, which replaces its target only once it is complete.
#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace basTFTP {

class TransferSource {
public:
    bool open(const QString& path);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    qint64 size() const { return size_; }
    // The bytes of a block (fewer than 512, maybe none, for the last one); false when unreadable.
    bool readBlock(int block, QByteArray& bytes);

private:
    QFile file_;
    qint64 size_ = 0;
};

class TransferTarget {
public:
    // Opens a temporary file beside the target; the target itself is not touched yet.
    bool open(const QString& path);
    bool isOpen() const { return file_ != nullptr; }
    bool writeBlock(int block, const QByteArray& bytes);
    // Moves the received file into place; false (and nothing moved) when that fails.
    bool commit();
    // Throws the received bytes away and leaves the target as it was.
    void discard();

private:
    std::unique_ptr<QSaveFile> file_;
};

}  // namespace basTFTP
