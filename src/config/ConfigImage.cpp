#include "config/ConfigImage.h"

#include "link/basMain.h"

#include <QSaveFile>

namespace config {

QString DefaultImagePath() { return basMain::CurrentFolder() + QStringLiteral("Config.bin"); }

bool WriteConfigImage(const QString& path, const QByteArray& image, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(image) == image.size() && file.commit()) return true;
    if (error) *error = file.errorString();
    file.cancelWriting();
    return false;
}

}  // namespace config
