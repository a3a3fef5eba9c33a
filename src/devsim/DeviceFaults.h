#pragma once
// Faults the simulator can inject into its UIF answers. Shares are 0..1; every draw comes from
// the simulator's seeded generator, so a run with the same seed misbehaves the same way.
#include <QByteArray>
#include <QHash>

struct DeviceFaults {
    double dropRate = 0.0;       // share of requests left unanswered
    double duplicateRate = 0.0;  // share of replies sent twice
    int delayMs = 0;             // every reply leaves this much later
    bool staleFirst = false;     // a reply with the previous Ident goes out before the right one
    bool mute = false;           // nothing is answered at all
    QHash<int, int> refuse;      // command code -> status to answer instead of acting

    // The radio stations' RCMP answers: this share is held back and sent after the answer to the
    // next request (or after that request is lost), however late that comes. Drawn from the
    // radio's generator, after each station's own loss and duplicate draws.
    double rcmpReorderRate = 0.0;

    // The TFTP client's packets (transfers started by command 13).
    double tftpDropRate = 0.0;       // share of its packets never sent
    double tftpDuplicateRate = 0.0;  // share sent twice
    double tftpReorderRate = 0.0;    // share held back and sent after the next one
    int tftpDelayMs = 0;             // every packet leaves this much later
    bool tftpNeverOpen = false;      // command 13 is accepted but no transfer follows
    bool tftpReversed = false;       // it asks to write what it was told to fetch, and the other way
    QByteArray tftpAskName;          // when set, this name is requested instead of the given one
    int tftpErrorAtBlock = 0;        // when set, an ERROR packet replaces the packet of this block
    int tftpErrorCode = 0;
    // The configuration image it sends (type 1): whole, cut after 1000 bytes, or with record 0
    // scrambled, as a failing line or flash would deliver it.
    enum class SentImage { Whole, Short, Garbled };
    SentImage tftpSentImage = SentImage::Whole;
    // The client's timing: wait for an answer, resends before it gives up.
    int tftpTimeoutMs = 1000;
    int tftpRetries = 5;

    // Copies into the running configuration (command 14 towards store 2), counted from the start.
    // The first `alterRunningCopies` of them change the last record on the way: its byte 23 (an
    // interface's last address octet, a route's netmask) flips its lowest bit, as a failing flash
    // or line would; later copies are faithful.
    int alterRunningCopies = 0;
    // When not negative: the copies into the running configuration after this many are refused
    // with status 8, as a device that took one configuration and refuses the next.
    int refuseRunningCopiesAfter = -1;
    // When not negative: after the first copy into the running configuration has been answered the
    // device answers nothing more (a device that lost its management link), until it restarts
    // after this many ms (0: never). Once.
    int muteAfterRunningCopyMs = -1;
};
