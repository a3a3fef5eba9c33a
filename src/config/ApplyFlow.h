#pragma once
// Apply: the configuration file becomes the image "Config.bin" in the current folder, the
// device fetches it by TFTP and copies it from RAM into its running configuration.
#include "shell/FlowStarted.h"

#include <QByteArray>
#include <QString>

class SetupSession;

namespace config {

struct ApplyResult {
    bool addressRejected = false;  // the window puts the focus back on the address
    bool fileRejected = false;     // ... on the file name
    bool applied = false;          // the copy into the running configuration succeeded
    bool verified = false;         // with verify: the running configuration is the image sent
    QByteArray image;              // the image converted from the file (when it converted)
    bool ok(bool verify) const { return applied && (!verify || verified); }
};

// With `verify`, after the copy the running configuration is received back and compared with
// the image sent, record by record.
ApplyResult RunApply(SetupSession& s, const QString& addressText, const QString& path, bool verify = false,
                     const FlowStarted& started = {});

// The transfer of an image into the device's RAM and its copy into the running configuration,
// with their messages; the device asks for it under the name of `imagePath`, which is not read.
// `copySent`, when given, tells whether the copy was asked for (before it, the running
// configuration is as it was). True when the device copied.
bool SendToRunning(SetupSession& s, const QByteArray& image, const QString& imagePath, bool* copySent = nullptr);

// The verification alone: receives the running configuration and shows "Verify: N records
// identical", or how many differ and the lines that do. True when identical.
bool VerifyRunning(SetupSession& s, const QByteArray& sent);

}  // namespace config
