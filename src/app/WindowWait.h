// The window thread's way to wait for the instrument: the event loop sleeps until the port has
// input, the time is up, or the window has something to do (a paint, a timer); user input is
// held back until the operation ends, as in every wait of an operation.
#pragma once

#include "Clock.h"

namespace tavolex {

// Returns when `descriptor` reads as ready or `maxWait` has passed, whichever comes first,
// having handled the window's own events meanwhile. May return earlier: callers look again.
void WaitKeepingWindowPainted(int descriptor, Clock::Duration maxWait);

}  // namespace tavolex
