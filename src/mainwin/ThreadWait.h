#pragma once

#include <functional>

class ModalGate;

// Runs `work` in a thread of its own and returns once it is done. Meanwhile the window's thread
// waits in an event loop that paints and runs timers and sockets, but leaves user input queued
// until the work has returned: what the user types during a save lands after it, as it did when
// the window stood still. The wait counts as open in `modals`, so that a quit, and whatever else
// must not run inside a save, waits for its end.
void runWhileWindowWaits(ModalGate &modals, const std::function<void()> &work);
