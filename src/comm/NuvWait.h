#pragma once
// The cancellable wait of the device loops: it keeps the program's events flowing while it
// waits, and ends early when the caller's cancel flag is set.

#include <cstdint>

namespace rv8::comm {

// Sleeps in 1 ms steps until `milliseconds` have passed on the wall clock or *cancel (when
// given) is set; pending events are processed after every 50th step and once at the end.
// The first step is always made, so a wait of 0 sleeps 1 ms and processes events once.
// Events processed here may run other handlers, including ones that set *cancel.
void CancellableWait(uint32_t milliseconds, const bool* cancel = nullptr);

}  // namespace rv8::comm
