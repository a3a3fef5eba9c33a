#pragma once
// Whole files as the tests read and write them.
#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or "<none>" when it cannot be read (so a missing file never equals content).
inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
