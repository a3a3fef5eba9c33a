#pragma once
// A simulator on free ports, so suites run side by side without fixed-port locks.
#include "devsim/DeviceSim.h"

inline DeviceSim::Options FreePortSimOptions(const QHostAddress& address = QHostAddress(QStringLiteral("127.0.0.2")),
                                             quint32 seed = 1)
{
    DeviceSim::Options o;
    o.address = address;
    o.uifPort = 0;
    o.rcmpPort = 0;
    o.seed = seed;
    return o;
}
