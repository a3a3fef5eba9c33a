#pragma once
// The copy between the device's configuration stores that Apply, the receive buttons, Save to
// ROM and the firmware window send, with the failure's messages; and a failed transfer's lines.
#include <QString>

class SetupSession;
struct CopyFields;

namespace config {

// How the status line under "Copy Command Error." reads: " St: " and the text, Apply's with one
// blank more, Save to ROM's the text alone.
enum class CopyStatusLine { St, WideSt, Bare };

// True when the device copied. Otherwise shows "Copy Command Error." and the status line, and
// logs the failure.
bool CopyStores(SetupSession& s, int source, int destination, CopyStatusLine form, const CopyFields& carried);

// A transfer that did not complete: `text`, the transfer message as indented lines, and the log
// record `text` + two blanks + the message's lines, two blanks between them.
void ShowTransferError(SetupSession& s, const QString& text, const QString& message);

}  // namespace config
