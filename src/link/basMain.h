#pragma once
// QLN_Set's wrappers around the conversions, and its file checks.
#include "link/basConv.h"
#include <QString>

namespace basMain {

int StrToIPv4(const QByteArray& text, qint32& value);
int StrToMAC(const QByteArray& text, basConv::Mac& mac);
int StrToLong(const QByteArray& text, qint32& value);
// -3 when the number is outside 0..255; the Byte is then 0.
int StrToByte(const QByteArray& text, uint8_t& value);
// -3 when outside 0..65535; 32768..65535 are kept as the equal 16-bit pattern.
int StrToInt(const QByteArray& text, qint16& value);

// 0 when the file exists and is not empty, else -1.
int FileHasData(const QString& path);
// 1: created empty; 0: a file of that name exists (left as it is); -1: cannot be created, or
// the path names a folder.
int PrepareNewFile(const QString& path);
// The same, remembering the path accepted as the last checked file (PrepareNewFile clears it on
// -1): the file the firmware window then hands to the transfer.
int FileHasData(const QString& path, QString& lastChecked);
int PrepareNewFile(const QString& path, QString& lastChecked);
// The current folder, always ending in "/".
QString CurrentFolder();

}  // namespace basMain
