#pragma once
// Files the operator names as input (configuration files, images, firmware, the simulator's
// files). Only a regular file is read: a FIFO or a device would hang the tool or never end.
#include <QByteArray>
#include <QFile>
#include <QString>

// "is not a regular file", the reason every refusal below gives for a FIFO, device or folder.
QString NotRegularFileReason();

// Opens `path` for reading when it is a regular file; else false with `why` (the system's
// reason, or NotRegularFileReason()). The file is checked on the descriptor that reads it, so a
// name swapped for a FIFO afterwards cannot make the read hang.
bool OpenRegularFile(QFile& file, const QString& path, QString* why = nullptr);

// Reads at most `limit` bytes of a regular file.
bool ReadRegularFile(const QString& path, qint64 limit, QByteArray& bytes, QString* why = nullptr);
