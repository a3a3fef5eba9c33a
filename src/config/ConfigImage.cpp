#include "config/ConfigImage.h"

#include "link/basMain.h"
#include "shell/SafeSave.h"

namespace config {

QString DefaultImagePath() { return basMain::CurrentFolder() + QStringLiteral("Config.bin"); }

bool WriteConfigImage(const QString& path, const QByteArray& image, QString* error)
{
    return SaveBytes(path, image, SafeSave::Mode::Replace, error);
}

}  // namespace config
