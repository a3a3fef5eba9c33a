#pragma once
// The command line's answers: message boxes go to standard error, questions are answered by
// options (--overwrite), never by waiting on standard input.
#include "platform/Operator.h"

#include <QTextStream>

class CliOperator : public Operator {
public:
    CliOperator(QTextStream& err, bool overwrite) : err_(err), overwrite_(overwrite) {}

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    // Files are named by options, never chosen in a dialog: a dialog counts as cancelled.
    QString openFile(const QString&, const QString&, const QString&) override { return QString(); }
    QString saveFile(const QString&, const QString&, const QString&) override { return QString(); }
    LogOpenChoice askLogOpen(const QString&) override
    {
        return overwrite_ ? LogOpenChoice::Overwrite : LogOpenChoice::Append;
    }

private:
    QTextStream& err_;
    bool overwrite_;
};
