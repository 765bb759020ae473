// The utility's process-wide variables at their start values, as a new process has them: the one
// hook that only the device needs. The simulator runs every launch in one address space, so it
// calls this before a first instance; on Windows each process starts with them.
#ifndef VELORIN_APP_PROCESS_GLOBALS_H
#define VELORIN_APP_PROCESS_GLOBALS_H

void ResetProcessGlobals();

#endif
