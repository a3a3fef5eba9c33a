#pragma once
// Runs a program (qln) to its end while this process's event loop keeps turning, so that a
// simulator living in the test answers it.
#include "ScriptedPeer.h"

#include <QProcess>
#include <QStringList>

struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
    // Standard output's lines, each character one byte.
    QStringList outLines() const
    {
        QStringList lines = QString::fromLatin1(out).split(QLatin1Char('\n'));
        if (lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

inline ProgramRun RunProgram(const QString& program, const QStringList& args, int timeoutMs = 60000)
{
    QProcess p;
    p.start(program, args);
    ProgramRun r;
    if (!waitUntil([&] { return p.state() == QProcess::NotRunning; }, timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("<timed out>");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
