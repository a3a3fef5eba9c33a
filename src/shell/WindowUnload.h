#pragma once
// Unloading a window that QLN_Set opens on demand (check, firmware): after Exit or the close box
// its owner deletes it, so the next opening starts from the load-time state. A handler of the
// window may still be waiting on the device below the close; the window is then let go once
// that handler has returned, never under it.
#include <functional>

class WindowUnload {
public:
    // `gone` tells the owner that the window may be deleted now.
    explicit WindowUnload(std::function<void()> gone) : gone_(std::move(gone)) {}

    // Held by each handler for its run.
    class Running {
    public:
        explicit Running(WindowUnload& u) : u_(u) { ++u_.running_; }
        ~Running()
        {
            if (--u_.running_ == 0 && u_.requested_) u_.gone_();
        }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        WindowUnload& u_;
    };

    // From the close event: the window goes now, or when its last running handler returns.
    void request()
    {
        if (requested_) return;
        requested_ = true;
        if (running_ == 0) gone_();
    }
    bool requested() const { return requested_; }

private:
    std::function<void()> gone_;
    int running_ = 0;
    bool requested_ = false;
};
