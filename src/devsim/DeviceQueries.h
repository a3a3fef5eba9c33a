#pragma once
// The device's status queries: codes 2 to 77 read the live tables of `DeviceSim::tables` and
// answer with their reply layouts; a table read past its end answers the table's end status.
#include <QElapsedTimer>
#include <QObject>

class DeviceSim;

class DeviceQueries : public QObject {
    Q_OBJECT
public:
    // Registers the query handlers on `sim`; the up-time counts from here.
    explicit DeviceQueries(DeviceSim& sim);

    // The up-time answered now: the tables' base plus the whole seconds since the start.
    qint32 uptime() const;

private:
    DeviceSim& sim_;
    QElapsedTimer started_;
};
