#pragma once
// The firmware window's operations: send a firmware image and have it written to flash, save
// the device's firmware, save or send a configuration image (the sent one written to flash),
// and read the firmware version. Progress goes to the main window's message list and the log.
#include "firmware/FirmwareFiles.h"
#include "shell/FlowStarted.h"

#include <QString>

class Operator;
class SetupSession;

namespace firmware {

// `op` answers the flow's questions: the firmware window's own operator, or the session's;
// `started` runs once the file checks have passed, before anything is logged or sent.

enum class Outcome {
    Done,       // every step succeeded
    Failed,     // a step failed; its messages are shown and logged
    Refused,    // the file was refused with a message box before anything was sent
    Cancelled,  // the dialog was cancelled or the overwrite question answered No
};

// "Ref.": the firmware file chosen in the open dialog ("" when cancelled); the choice's folder
// and name follow it when the file is usable.
QString ChooseFirmwareFile(SetupSession& s, Operator& op, FileChoices& c);

// FW Update: the file in `path` goes to the device (type 2), then the flash write (RAM to ROM).
Outcome FwUpdate(SetupSession& s, Operator& op, FileChoices& c, const QString& path, const FlowStarted& started = {});
// FW RD: the device's firmware (type 3) into the file chosen in the save dialog.
Outcome FwRead(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started = {});
// Config RD: the saved configuration copied into RAM, then received (type 1) into a file.
Outcome ConfigRead(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started = {});
// Config WR: the image chosen in the open dialog goes to the device (type 0), then to flash.
Outcome ConfigWrite(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started = {});
// Version Check: the device's firmware version; `version` is set only when it answered, else
// `statusText` (when given) is the failure's status text.
Outcome VersionCheck(SetupSession& s, QString& version, QString* statusText = nullptr,
                     const FlowStarted& started = {});

}  // namespace firmware
