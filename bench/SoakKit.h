#pragma once
// What the fault soaks share: their two arguments, the simulator on free loopback ports, and a
// pause that lets late datagrams land before the next round.
#include "devsim/DeviceSim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

namespace soak {

struct Args {
    int count = 0;
    quint32 seed = 0;
};

// --count N (rounds) and --seed S (the simulator's fault draws).
inline Args ParseArgs(QCoreApplication& app, const QString& what, int defaultCount)
{
    QCommandLineParser p;
    p.addHelpOption();
    p.addOptions({{"count", what, "N", QString::number(defaultCount)}, {"seed", "Seed of the simulator's faults.", "S", "2026"}});
    p.process(app);
    return {p.value("count").toInt(), p.value("seed").toUInt()};
}

inline DeviceSim::Options SimOptions(quint32 seed)
{
    return DeviceSim::Options::OnFreePorts(QHostAddress(QHostAddress::LocalHost), seed);
}

// False, with the reason printed under the soak's name, when the simulator cannot bind.
inline bool Start(DeviceSim& sim, QTextStream& out, const char* name)
{
    QString error;
    if (sim.start(&error)) return true;
    out << name << ": simulator: " << error << Qt::endl;
    return false;
}

inline void Settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace soak
