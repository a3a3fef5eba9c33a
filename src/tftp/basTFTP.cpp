#include "tftp/basTFTP.h"

#include "link/basConv.h"

#include <QFileInfo>

namespace basTFTP {

bool SetTransferFile(TransferFile& file, const QString& path)
{
    file.path = path;
    basConv::SplitPath(path, file.folder, file.name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QByteArray RequestName(const QByteArray& datagram)
{
    constexpr int first = 2;
    // One byte past the limit is kept, so that a longer name never reads as a shorter one.
    const int end = qMin<int>(datagram.size(), first + RequestNameMax + 1);
    QByteArray name;
    for (int i = first; i < end && datagram[i] != '\0'; ++i) name.append(datagram[i]);
    return name;
}

bool NameMatches(const TransferFile& file, const QByteArray& requested)
{
    // An empty bare name (a path ending in a separator) names no file at all.
    const QByteArray expected = file.name.toUtf8();
    return !expected.isEmpty() && requested.size() <= RequestNameMax && requested == expected;
}

}  // namespace basTFTP
