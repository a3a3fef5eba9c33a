#include "tftp/TftpFiles.h"

#include "tftp/basTFTP.h"

namespace basTFTP {

bool TransferTarget::open(const QString& path, bool replace)
{
    return file_.open(path, replace ? SafeSave::Mode::Replace : SafeSave::Mode::Create);
}

bool TransferTarget::writeBlock(int block, const QByteArray& bytes)
{
    // Each block is written as it comes, so a full disk shows at the block that meets it.
    return file_.writeAt(qint64(block - 1) * TFTPBlockSize, bytes);
}

bool TransferTarget::commit() { return file_.commit(); }

}  // namespace basTFTP
