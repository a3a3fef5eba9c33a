#pragma once
// Saved lists (configurations, reports): each line's characters as bytes (Latin-1), CR LF after
// each, saved through SafeSave (the old file is replaced only once the new one is on disk).
#include <QString>
#include <QStringList>

// False when the file could not be written; `error`, when given, then holds the reason.
bool WriteTextLines(const QString& path, const QStringList& lines, QString* error = nullptr);

// The file dialogs' filter for text files, in the system's form (the desktop seam turns it into
// the platform's).
inline QString TextFileFilter() { return QStringLiteral("Text File (*.txt)|*.txt|All Files (*.*)|*.*"); }
