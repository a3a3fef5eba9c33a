#pragma once
// The file a write request delivers on the PC's disk, saved through SafeSave: it replaces (or
// creates) its target only once it is complete. (What a read request is served is held in
// memory: see Transfer.)
#include "shell/SafeSave.h"

#include <QByteArray>
#include <QString>

namespace basTFTP {

class TransferTarget {
public:
    // Opens a temporary file beside the target (or a device in place); the target itself is not
    // touched yet. `replace`: false when the target must not exist when the file is complete.
    bool open(const QString& path, bool replace = true);
    bool isOpen() const { return file_.isOpen(); }
    bool writeBlock(int block, const QByteArray& bytes);
    // Moves the received file into place; false (and nothing moved) when that fails.
    bool commit();
    // Throws the received bytes away and leaves the target as it was.
    void discard() { file_.discard(); }
    // Why the last step failed.
    QString errorString() const { return file_.errorString(); }

private:
    SafeSave file_;
};

}  // namespace basTFTP
