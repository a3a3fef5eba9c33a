#pragma once
// The copy between the device's configuration stores that Apply, the receive buttons and Save
// to ROM send, with the failure's messages.
class SetupSession;

namespace config {

// True when the device copied. Otherwise shows "Copy Command Error." and the status line (Apply's
// has one blank more before " St: "), and logs the failure.
bool CopyStores(SetupSession& s, int source, int destination, bool extraBlank);

}  // namespace config
