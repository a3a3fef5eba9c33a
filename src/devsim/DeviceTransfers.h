#pragma once
// The device's transfer commands: 13 starts a TFTP transfer with the PC's server, 14 copies
// one configuration store into another (RAM to ROM is the flash write).
#include "devsim/DeviceTftpClient.h"

#include <QObject>
#include <QPointer>

class DeviceSim;

class DeviceTransfers : public QObject {
    Q_OBJECT
public:
    // Registers the handlers of commands 13 and 14 on `sim`.
    explicit DeviceTransfers(DeviceSim& sim);

    int transfersStarted = 0;
    int transfersCompleted = 0;
    int transfersFailed = 0;
    QString lastFailure;
    // Copies into the running configuration asked for, refused ones included.
    int copiesToRunning = 0;
    // The client of the transfer under way, or null.
    DeviceTftpClient* client() const { return client_; }

signals:
    void transferFinished(bool ok);

private:
    qint32 onStart(const QByteArray& request, const QHostAddress& from);
    QByteArray sentImage(const QByteArray& ram) const;  // what the faults make of the RAM store
    qint32 onCopy(const QByteArray& request);
    // The copy faults of a copy into the running configuration, after the store has been written.
    void afterCopyToRunning();
    void onFinished(DeviceTftpClient* client, int type, bool ok);

    DeviceSim& sim_;
    QPointer<DeviceTftpClient> client_;
    int type_ = -1;
};
