// A person's Ctrl-C, or a SIGTERM, ends the run as its end would: the registry, the trace and
// the pictures are saved, and the status says which signal came. A second one ends at once.
#pragma once

#include <atomic>

namespace velorin::sim {

// From now on the first SIGINT or SIGTERM only sets the flag.
void catchInterrupts();

// Set once a signal came; the harness looks at it between its steps.
std::atomic<bool>& interrupted();

// The signal that came, 0 before one did.
int interruptSignal();

}  // namespace velorin::sim
