#include "tftp/TftpFiles.h"

#include "tftp/basTFTP.h"

namespace basTFTP {

bool TransferTarget::open(const QString& path)
{
    discard();
    file_ = std::make_unique<QSaveFile>(path);
    // Unbuffered, so that a full disk shows at the block that meets it.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        file_.reset();
        return false;
    }
    return true;
}

bool TransferTarget::writeBlock(int block, const QByteArray& bytes)
{
    if (!file_) return false;
    const qint64 offset = qint64(block - 1) * TFTPBlockSize;
    if (file_->pos() != offset && !file_->seek(offset)) return false;
    return file_->write(bytes) == bytes.size();
}

bool TransferTarget::commit()
{
    if (!file_) return false;
    const bool ok = file_->commit();
    file_.reset();
    return ok;
}

void TransferTarget::discard()
{
    if (!file_) return;
    file_->cancelWriting();
    file_.reset();
}

}  // namespace basTFTP
