#pragma once
// Safe apply: an apply that cannot leave the device worse than it found it without saying so.
// Pre-flight (the file converts, lint's warnings), compare with the running configuration
// (identical: nothing is sent), guard the management address, keep the running configuration as
// the backup, apply and verify, check that the device still answers the echo, roll back to the
// backup when any of that fails, and save to ROM only after all of it succeeded. The device's
// saved configuration in ROM is untouched until then, so a restart always brings back the one
// it had.
#include "config/DiffFlow.h"
#include "shell/FlowStarted.h"

#include <QByteArray>
#include <QString>

class SetupSession;

namespace config {

struct SafeApplyOptions {
    bool strict = false;              // a lint warning fails the pre-flight
    bool allowAddressChange = false;  // the file may change or remove the address this PC talks to
    bool save = false;                // after a verified, reachable apply: running into ROM
    bool checkOnly = false;           // pre-flight, compare and guard only: nothing is sent
    QString backupPath;               // where the running configuration's text goes, "" nowhere
};

struct SafeApplyResult {
    // Done: applied (or nothing to change); AsBefore: failed, the device's configuration is the
    // one it had; Changed: failed, the running configuration may be changed (the lines say what to do).
    enum Outcome { Done = 0, AsBefore = 1, Changed = 3 };
    Outcome outcome = AsBefore;
    bool addressRejected = false;
    bool fileRejected = false;
    bool compared = false;  // the running configuration was received and compared with the file's image
    bool changed = false;   // they differ (in check mode: applying would change the device)
    bool applied = false;   // the device copied the file's image into its running configuration
    bool verified = false;
    bool rolledBack = false;
    bool saved = false;
    QString backup;    // the backup text file written, "" none
    DiffResult diff;   // when compared: the device's running configuration against the file
    QByteArray before;  // the running configuration received: the backup image
    QString error;     // one line, "" on success
};

SafeApplyResult RunSafeApply(SetupSession& s, const QString& addressText, const QString& path,
                             const SafeApplyOptions& options, const FlowStarted& started = {});

}  // namespace config
