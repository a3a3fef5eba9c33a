#pragma once
// The command line's answers: message boxes go to standard error, questions are answered by
// options (--overwrite), never by waiting on standard input.
#include "platform/Operator.h"

#include <QHash>
#include <QTextStream>
#include <utility>

class CliOperator : public Operator {
public:
    // savePath: the answer to a save dialog (-o), "" for none.
    CliOperator(QTextStream& err, bool overwrite, QString savePath = QString())
        : err_(err), overwrite_(overwrite), savePath_(std::move(savePath)), file_(savePath_) {}

    // "TITLE: text" on standard error, then the line that names the value where the text names none.
    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    // The second line of the message `text` (as the flow shows it): what the command line gave.
    void explain(const QString& text, const QString& line) { details_.insert(text, line); }
    // The file that an "Invalid File Pathname" is about; its second line says what is wrong with it.
    void setFile(const QString& path) { file_ = path, saving_ = false; }
    // Files are named by options, never chosen in a dialog: an open dialog counts as cancelled,
    // a save dialog answers the -o path (cancelled without one).
    QString openFile(const QString&, const QString&, const QString&) override { return openPath_; }
    QString saveFile(const QString&, const QString&, const QString&) override { return savePath_; }
    // The commands that name their file as an argument answer the dialogs with it.
    void setOpenPath(const QString& path) { openPath_ = file_ = path, saving_ = false; }
    void setSavePath(const QString& path) { savePath_ = file_ = path, saving_ = true; }
    LogOpenChoice askLogOpen(const QString&) override
    {
        return overwrite_ ? LogOpenChoice::Overwrite : LogOpenChoice::Append;
    }

private:
    QTextStream& err_;
    bool overwrite_;
    QString savePath_;
    QString openPath_;
    QString file_;
    bool saving_ = true;  // file_ is where something is written (-o), not read
    QHash<QString, QString> details_;
};

// What is wrong with a file to read ("PATH: does not exist", "is a folder", "is empty", "cannot be
// read") or to write ("PATH: is a folder", "its folder does not exist", "cannot be written").
QString FileFaultLine(const QString& path, bool saving);

// A value the operator gave, quoted in a message: at most its first 64 bytes, then its size, so
// a runaway argument never fills the screen ("'xxxx...' (100000 bytes)").
QString CliQuoted(const QString& value);
// The second line of "Invalid Station ID": the value and the form a station ID takes.
QString CliStationLine(const QString& value);
