#pragma once
// Faults the simulator can inject into its UIF answers. Shares are 0..1; every draw comes from
// the simulator's seeded generator, so a run with the same seed misbehaves the same way.
#include <QHash>

struct DeviceFaults {
    double dropRate = 0.0;       // share of requests left unanswered
    double duplicateRate = 0.0;  // share of replies sent twice
    int delayMs = 0;             // every reply leaves this much later
    bool staleFirst = false;     // a reply with the previous Ident goes out before the right one
    bool mute = false;           // nothing is answered at all
    QHash<int, int> refuse;      // command code -> status to answer instead of acting
};
