#pragma once
// Waiting inside a handler. Where a handler waits in a loop of its own (the
// exercise waiting for an answer) it serves the window messages meanwhile,
// and it waits for them instead of sleeping: key presses, repaints and
// accessibility queries are served the moment they come, and an idle wait
// costs no CPU.

#include <functional>

// One pass over the pending window messages; returns without waiting.
void ProcessPendingMessages();

// Serves the window messages until `done` is true, checking it after every
// pass. A timer wakes the wait at least every `wakeMilliseconds`, so `done`
// is also checked when no message comes.
void ServeMessagesUntil(const std::function<bool()>& done, int wakeMilliseconds = 100);

// Waits `milliseconds`, serving meanwhile every window message except user
// input (key presses and mouse clicks are kept for later): windows are
// repainted and answer queries while no handler the user could start runs.
// Where this thread has no message loop (a console program) it only waits.
void ServeMessagesWithoutInputFor(int milliseconds);
