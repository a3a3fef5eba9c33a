#pragma once
// Interactive mode: the configuration file's commands go to the device one by one, each record
// sent as soon as its line is parsed and the next line read only after the device answered.
// The first line that fails, on the PC or on the device, ends the run; what went before stays.
#include "shell/FlowStarted.h"
#include "config/ConfigConversion.h"

class SetupSession;

namespace config {

struct InteractiveResult {
    bool addressRejected = false;  // the window puts the focus back on the address
    bool fileRejected = false;     // ... on the file name
    bool ran = false;              // the file was read and its result shown
    ConversionResult conversion;   // status 0: every command line was taken
    bool ok() const { return ran && conversion.status == 0; }
};

InteractiveResult RunInteractive(SetupSession& s, const QString& addressText, const QString& path,
                                 const FlowStarted& started = {});

// The result line of a run that ended at a line: "Setting Complete.", the parse failure, or the
// command's error (the device's status then follows on a line of its own).
QString InteractiveResultText(const ConversionResult& r);

}  // namespace config
