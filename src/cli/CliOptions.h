#pragma once
// Which options each `qln` command takes: any other one given is a usage error, so a mistyped
// or misplaced option never passes unnoticed (`qln lint --count 3 FILE`).
#include <QString>
#include <QStringList>

// The first of the given options (long names, as QCommandLineParser::optionNames() lists them)
// that the command does not take, or "" when all belong to it.
QString CliOptionNotTaken(const QString& command, const QStringList& given);
