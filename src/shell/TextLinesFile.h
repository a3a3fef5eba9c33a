#pragma once
// Saved lists (configurations, reports): each line's characters as bytes (Latin-1), CR LF after
// each. The old file is replaced only once the new one is completely written.
#include <QString>
#include <QStringList>

bool WriteTextLines(const QString& path, const QStringList& lines);
