#pragma once
// Configuration records sent one by one (interactive mode): each is taken into the live tables
// as it arrives, or refused with the status of ApplyRecord, and the running store becomes the
// image of the tables' configured part.
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
