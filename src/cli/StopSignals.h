#pragma once
// SIGINT (Ctrl+C), SIGTERM (timeout, systemd, Ansible) and SIGHUP (a closed terminal) are one
// request: Stop. While a StopSignals lives each of them only sets a flag, which the run's own
// event loop reads, so the flow ends through its Stop path: its lines, its result record and
// "Log End" are written and no file is left half made.
#include <csignal>

class StopSignals {
public:
    StopSignals();   // catches the three and forgets any earlier request
    ~StopSignals();  // the previous handlers come back
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // True once one of them came.
    static bool requested();
    // As requested(), and forgets it.
    static bool take();

private:
    struct sigaction previous_[3];
};
