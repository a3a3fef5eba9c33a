#include "shell/TextLinesFile.h"

#include "shell/SafeSave.h"

bool WriteTextLines(const QString& path, const QStringList& lines, QString* error)
{
    QByteArray text;
    for (const QString& line : lines) text += line.toLatin1() + "\r\n";
    return SaveBytes(path, text, SafeSave::Mode::Replace, error);
}
