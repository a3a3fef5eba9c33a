#include "shell/TextLinesFile.h"

#include <QSaveFile>

bool WriteTextLines(const QString& path, const QStringList& lines, QString* error)
{
    QByteArray text;
    for (const QString& line : lines) text += line.toLatin1() + "\r\n";
    QSaveFile f(path);
    const bool ok = f.open(QIODevice::WriteOnly) && f.write(text) == text.size() && f.commit();
    if (!ok && error) *error = f.errorString();
    return ok;
}
