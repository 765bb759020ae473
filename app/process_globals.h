// The utility's process-wide variables at their start values, as a new process has them. The
// simulator runs every launch in one address space, so it calls this before a first instance.
#pragma once

void ResetProcessGlobals();
