#pragma once
// The copy between the device's configuration stores that Apply, the receive buttons and Save
// to ROM send, with the failure's messages.
class SetupSession;

namespace config {

// How the status line under "Copy Command Error." reads: " St: " and the text, Apply's with one
// blank more, Save to ROM's the text alone.
enum class CopyStatusLine { St, WideSt, Bare };

// True when the device copied. Otherwise shows "Copy Command Error." and the status line, and
// logs the failure.
bool CopyStores(SetupSession& s, int source, int destination, CopyStatusLine form);

}  // namespace config
