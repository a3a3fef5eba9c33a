#pragma once
#include <QString>

class SetupSession;

// The echo test: command 0 with 0x12345678; success is the device's status 0.
// Returns the status; `addressRejected` tells the window to put the focus back on the address.
qint32 RunEchoTest(SetupSession& s, const QString& addressText, bool* addressRejected = nullptr);
