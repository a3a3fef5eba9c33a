#pragma once
// Save to ROM: the device copies its running configuration into its saved one.
#include "shell/FlowStarted.h"

#include <QString>

class SetupSession;

namespace config {

struct SaveResult {
    bool addressRejected = false;
    bool saved = false;
};

SaveResult RunSaveToRom(SetupSession& s, const QString& addressText, const FlowStarted& started = {});

}  // namespace config
