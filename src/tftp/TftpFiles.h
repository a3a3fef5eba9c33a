#pragma once
// The file a write request delivers on the PC's disk, which replaces its target only once it is
// complete. (What a read request is served is held in memory: see Transfer.)
#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace basTFTP {

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
