#pragma once
// Runs a program (qln) to its end while this process's event loop keeps turning, so that a
// simulator living in the test answers it.
#include "ScriptedPeer.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
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

inline ProgramRun RunProgram(const QString& program, const QStringList& args, int timeoutMs = 60000,
                             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    // An event loop, not polling: a simulator in this process then answers each datagram at once
    // (a transfer of thousands of lock-step blocks would otherwise wait a poll for every one).
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    p.start(program, args);
    ProgramRun r;
    if (p.state() != QProcess::NotRunning) loop.exec();
    if (p.state() != QProcess::NotRunning) {
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
