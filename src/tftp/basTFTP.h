#pragma once
// The file the next transfer serves or receives, and the name a device's request asks for.
#include <QByteArray>
#include <QString>

namespace basTFTP {

constexpr quint16 TFTPServerPort = 8641;
constexpr int TFTPBlockSize = 512;
// Datagrams are read up to this many bytes: a full DATA block and a little more.
constexpr int TFTPReadMax = 520;
// Block numbers are unsigned 16-bit on the wire and block 0 is never DATA.
constexpr int TFTPMaxBlocks = 65535;

// The expected file: full path, its folder (ending in a separator, or "") and the bare name.
struct TransferFile {
    QString path;
    QString folder;
    QString name;
};

// Stores the path and splits it; true when a file of that path exists.
bool SetTransferFile(TransferFile& file, const QString& path);

// The most a device can read: 65535 blocks, the last one shorter than 512 bytes.
constexpr qint64 TFTPMaxBytes = qint64(TFTPMaxBlocks) * TFTPBlockSize - 1;

// One transfer as the flow that starts it defines it: its type, the name the device is told and
// must ask for, and what moves. A device that reads (types 0 and 2) is served `bytes`, taken when
// the flow began, never whatever a file in the folder holds by then; a device that writes (types
// 1 and 3) delivers into `file.path`. `port` is the server's port the start command named.
struct Transfer {
    int type = 0;
    TransferFile file;
    QByteArray bytes;
    quint16 port = 0;
    // A device that writes: false when its file must be new (an existing one is never replaced).
    bool replaces = true;
    bool deviceReads() const { return type == 0 || type == 2; }
};

// The server compares at most this many bytes of a requested name.
constexpr int RequestNameMax = 17;

// The name a read or write request asks for, from byte 2 up to the first 0, never past the end
// of the datagram; a name longer than 17 bytes comes back with 18, so it can never match.
QByteArray RequestName(const QByteArray& datagram);

// True when the requested name is exactly the expected bare name (bytes, letter case included)
// and no longer than 17 bytes.
bool NameMatches(const TransferFile& file, const QByteArray& requested);

}  // namespace basTFTP
