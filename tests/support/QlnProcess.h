#pragma once
// Runs a program of the build (qln, qln-devsim) as a script would, while this process's event
// loop keeps serving whatever runs in-process (a simulator).
#include "ScriptedPeer.h"

#include <QProcess>
#include <QStringList>

struct ProgramRun {
    int exitCode = -1;  // -1 when it crashed or did not end in time
    QStringList out;    // standard output, one element per line (no trailing empty one)
    QString err;
};

inline ProgramRun RunProgram(const QString& program, const QStringList& args, int timeoutMs = 60000)
{
    QProcess p;
    p.start(program, args);
    const bool ended = waitUntil([&] { return p.state() == QProcess::NotRunning; }, timeoutMs);
    if (!ended) {
        p.kill();
        p.waitForFinished();
    }
    ProgramRun r;
    r.exitCode = ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    if (r.out.last().isEmpty()) r.out.removeLast();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
