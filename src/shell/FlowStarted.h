#pragma once
// Called by a flow once the address and file it was given have passed their checks, before it
// logs or sends anything: where its window disables the pressed button and moves the focus, so
// a refused address or file never leaves a disabled button behind its message box.
#include <functional>

using FlowStarted = std::function<void()>;

inline void Started(const FlowStarted& started)
{
    if (started) started();
}
