#pragma once
// The radio network behind the simulated device: remote stations, each reached over a chain of
// stations, answering RCMP echoes and traceroute probes as the device relays them.
#include "link/basConv.h"
#include "rcmp/basRCMP.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct RadioStation {
    basConv::Mac id{};
    QList<basConv::Mac> via;  // the stations on the way, nearest first
    double lossRate = 0.0;       // share of the requests it answers that are lost instead
    double duplicateRate = 0.0;  // share of its answers that arrive twice
    int delayMs = 0;             // its answers leave this much later
    int hops() const { return int(via.size()) + 1; }
};

struct RadioTopology {
    // The device's own station ID: it answers for the stations it cannot reach.
    basConv::Mac self{};
    QList<RadioStation> stations;

    const RadioStation* find(const basConv::Mac& id) const;

    // The stations file (one station a line, see README.md). False with `error` naming the line.
    static bool Parse(const QByteArray& text, RadioTopology& topology, QString& error);
    // Five stations, up to three hops away (examples/stations.txt holds the same).
    static RadioTopology Default();
};

// What comes back for one request. The request goes hop by hop along the destination's route;
// each station it reaches uses up one of its TTL, and where none is left before the destination
// that station answers Result 2. TTL -1 (any negative TTL) sets no limit. An unknown destination
// is answered by the device itself with Result 1. PacketID, SeqNo and TimeStamp are copied; TTL
// carries what was left of the limit; StationID is the station that answered.
RCMPPacket RadioReply(const RadioTopology& topology, const RCMPPacket& request);
