#pragma once
// Configuration records sent one by one (interactive mode): each is taken into the live tables
// as it arrives and appended to the running store, or refused with the status of ApplyRecord
// (5 when the running store has no erased slot left).
#include <QHostAddress>
#include <QObject>

class DeviceSim;

class DeviceRecords : public QObject {
    Q_OBJECT
public:
    // Registers a handler for every configuration code the test mode does not own.
    explicit DeviceRecords(DeviceSim& sim);

    int recordsTaken = 0;
    int recordsRefused = 0;

private:
    qint32 onRecord(const QByteArray& request, const QHostAddress& from, quint16 fromPort);

    DeviceSim& sim_;
    // A resent request (same sender, Ident and code) is answered again but not taken twice.
    QHostAddress lastFrom_;
    quint16 lastPort_ = 0;
    qint32 lastIdent_ = -1;
    qint16 lastCode_ = -1;
    qint32 lastStatus_ = 0;
};
