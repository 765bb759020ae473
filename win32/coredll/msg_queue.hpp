// Point-to-point message queues of the CE layer: the queues' shared core, for the power
// manager that writes notifications into them.
#pragma once

#include <windows.h>

#include <memory>

namespace velorin::ce {

struct QueueCore;

// The queue behind either end's handle, or null.
std::shared_ptr<QueueCore> queueOf(HANDLE end);
// Writes a message for the queue's readers as the system does: one that the queue cannot take
// (full, too long, nobody reading) is dropped. False when dropped.
bool offerMessage(QueueCore& queue, const void* bytes, DWORD size);
// A power subscription writes into its queue as a writer's end would.
void countWriter(QueueCore& queue, int change);

}  // namespace velorin::ce
