#pragma once
// What the sequencer tells the operator about a transfer that did not complete.
#include <QString>
#include <QStringList>

namespace basTFTP {

// The text for a TFTPResult other than 0 (errCode: the device's code for result 4), with the
// server's detail of what was wrong, when it has one, as a second line.
QString TFTPResultText(int result, int errCode, const QString& detail = QString());

// A message and a second line that names what it is about, as TransferMessageLines splits it.
QString WithSecondLine(const QString& text, const QString& second);

// The indented lines that show a transfer message: a message holding a backslash shows as the
// text before it and the text from the second character after it (the backslash and its "n").
QStringList TransferMessageLines(const QString& message);

}  // namespace basTFTP
