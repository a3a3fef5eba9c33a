#pragma once
// The command line's answers: message boxes go to standard error, questions are answered by
// options (--overwrite), never by waiting on standard input.
#include "platform/Operator.h"

#include <QTextStream>

class CliOperator : public Operator {
public:
    CliOperator(QTextStream& err, bool overwrite) : err_(err), overwrite_(overwrite) {}

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    QString openFile(const QString&, const QString&, const QString&) override { return openPath; }
    QString saveFile(const QString&, const QString&, const QString&) override { return savePath; }
    LogOpenChoice askLogOpen(const QString&) override
    {
        return overwrite_ ? LogOpenChoice::Overwrite : LogOpenChoice::Append;
    }

    QString openPath;  // what a file dialog "chooses"
    QString savePath;

private:
    QTextStream& err_;
    bool overwrite_;
};
