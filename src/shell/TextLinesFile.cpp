#include "shell/TextLinesFile.h"

#include <QSaveFile>

bool WriteTextLines(const QString& path, const QStringList& lines)
{
    QByteArray text;
    for (const QString& line : lines) text += line.toLatin1() + "\r\n";
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return false;
    return f.commit();
}
