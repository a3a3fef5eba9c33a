#pragma once
// A simulator on free ports, so suites run side by side without fixed-port locks.
#include "devsim/DeviceSim.h"
#include "shell/SetupSession.h"

inline DeviceSim::Options FreePortSimOptions(const QHostAddress& address = QHostAddress(QStringLiteral("127.0.0.2")),
                                             quint32 seed = 1)
{
    return DeviceSim::Options::OnFreePorts(address, seed);
}

// QLN_Set's session talking to that simulator from a free port, with short ticks.
inline SetupSession::Options SessionOptionsFor(const DeviceSim& sim, int tickMs = 2)
{
    SetupSession::Options o;
    o.uif.localPort = 0;
    o.uif.remotePort = sim.uifPort();
    o.uif.tickMs = tickMs;
    return o;
}
