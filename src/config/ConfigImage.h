#pragma once
// The configuration image file ("Config.bin"): the 28672-byte collect buffer, written whole.
#include <QByteArray>
#include <QString>

namespace config {

// "Config.bin" in the current folder.
QString DefaultImagePath();

// Writes the image through SafeSave: a failed write leaves the old file as it was. On failure
// `error` says why.
bool WriteConfigImage(const QString& path, const QByteArray& image, QString* error = nullptr);

}  // namespace config
