#pragma once
// An engine's deferred close: asked to close, it goes on for two more ticks, so that a wait
// still on the stack that uses it can return first.
class DeferredClose {
public:
    bool pending() const { return ticks_ != 0; }
    void request() { ticks_ = 1; }
    void reset() { ticks_ = 0; }
    // Called on every tick: true on the tick the engine unloads.
    bool due()
    {
        if (ticks_ == 0 || ++ticks_ <= 2) return false;
        ticks_ = 0;
        return true;
    }

private:
    int ticks_ = 0;
};
