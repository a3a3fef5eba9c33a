#pragma once
// Receiving the device's configuration: the device copies its saved (ROM) or running
// configuration into RAM, sends that image by TFTP into a private "work.bin", and the records
// become text lines in Statelist, which the operator may save as a text file.
#include "shell/FlowStarted.h"

#include <QByteArray>
#include <QString>

class SetupSession;

namespace config {

// The receive buttons: 0 "ROM Config", 1 "RAM Config" (the running configuration).
enum ReceiveIndex { ReceiveRom = 0, ReceiveRunning = 1 };

// The copy into RAM and the transfer, with their messages and log records. The image is what
// the device sent (28672 bytes from a device that sends its whole RAM store); false after the
// failure's messages. work.bin is gone when it returns, whatever happened.
bool ReceiveImage(SetupSession& s, int index, QByteArray& image, const FlowStarted& started = {});

struct ReceiveResult {
    bool addressRejected = false;
    bool received = false;  // the image came and its lines are in Statelist
    QByteArray image;       // what the device sent, when received
    QString savedPath;      // "" when nothing was saved
    bool saveFailed = false;
    QString saveError;  // why, as the file system said
};

// The whole flow of a receive button, the save dialog and the overwrite question included.
ReceiveResult RunReceive(SetupSession& s, const QString& addressText, int index, const FlowStarted& started = {});

}  // namespace config
