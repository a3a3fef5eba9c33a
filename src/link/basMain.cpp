#include "link/basMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace basMain {

int StrToIPv4(const QByteArray& text, qint32& value)
{
    int err = 0;
    value = basConv::ParseIPv4(text, err);
    return err;
}

int StrToMAC(const QByteArray& text, basConv::Mac& mac)
{
    int err = 0;
    basConv::ParseMAC(text, mac, err);
    return err;
}

int StrToLong(const QByteArray& text, qint32& value)
{
    int err = 0;
    value = basConv::ParseNumber(text, err);
    return err;
}

int StrToByte(const QByteArray& text, uint8_t& value)
{
    int err = 0;
    const quint32 v = quint32(basConv::ParseNumber(text, err));
    value = 0;
    if (err != 0) return err;
    if (v > 255) return -3;
    value = uint8_t(v);
    return 0;
}

int StrToInt(const QByteArray& text, qint16& value)
{
    int err = 0;
    const quint32 v = quint32(basConv::ParseNumber(text, err));
    value = 0;
    if (err != 0) return err;
    if (v > 65535) return -3;
    value = qint16(quint16(v));
    return 0;
}

int FileHasData(const QString& path)
{
    const QFileInfo info(path);
    return (!path.isEmpty() && info.isFile() && info.size() != 0) ? 0 : -1;
}

int FileHasData(const QString& path, QString& lastChecked)
{
    const int result = FileHasData(path);
    if (result == 0) lastChecked = path;
    return result;
}

int PrepareNewFile(const QString& path)
{
    if (path.isEmpty()) return -1;
    const QFileInfo info(path);
    // A folder (or anything else that is no file) can never be written as one.
    if (info.exists()) return info.isFile() ? 0 : -1;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return -1;
    return 1;
}

int PrepareNewFile(const QString& path, QString& lastChecked)
{
    const int result = PrepareNewFile(path);
    lastChecked = result < 0 ? QString() : path;
    return result;
}

QString CurrentFolder()
{
    QString folder = QDir::currentPath();
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

}  // namespace basMain
