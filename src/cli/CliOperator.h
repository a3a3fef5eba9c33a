#pragma once
// The command line's answers: message boxes go to standard error, questions are answered by
// options (--overwrite), never by waiting on standard input.
#include "platform/Operator.h"

#include <QTextStream>
#include <utility>

class CliOperator : public Operator {
public:
    // savePath: the answer to a save dialog (-o), "" for none.
    CliOperator(QTextStream& err, bool overwrite, QString savePath = QString())
        : err_(err), overwrite_(overwrite), savePath_(std::move(savePath)) {}

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    // Files are named by options, never chosen in a dialog: an open dialog counts as cancelled,
    // a save dialog answers the -o path (cancelled without one).
    QString openFile(const QString&, const QString&, const QString&) override { return openPath_; }
    QString saveFile(const QString&, const QString&, const QString&) override { return savePath_; }
    // The commands that name their file as an argument answer the dialogs with it.
    void setOpenPath(const QString& path) { openPath_ = path; }
    void setSavePath(const QString& path) { savePath_ = path; }
    LogOpenChoice askLogOpen(const QString&) override
    {
        return overwrite_ ? LogOpenChoice::Overwrite : LogOpenChoice::Append;
    }

private:
    QTextStream& err_;
    bool overwrite_;
    QString savePath_;
    QString openPath_;
};
