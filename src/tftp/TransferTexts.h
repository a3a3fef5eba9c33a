#pragma once
// What the sequencer tells the operator about a transfer that did not complete.
#include <QString>

namespace basTFTP {

// The text for a TFTPResult other than 0 (errCode: the device's code for result 4).
QString TFTPResultText(int result, int errCode);

}  // namespace basTFTP
