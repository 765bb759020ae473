// The CE layer's start in each process: it joins the shared device, and the first process to
// do so hosts the power manager and watches the machine's charger.
#include "power_manager.hpp"
#include "power_watcher.hpp"
#include "shared_device.hpp"

#include <windows.h>

using namespace velorin::ce;

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (!attachDevice())
            return FALSE;
        if (hostsPowerManager()) {
            // Threads start once the loader is done with this module; nothing here waits.
            startPowerManager();
            launchPowerWatcher();
        }
        return TRUE;
    case DLL_PROCESS_DETACH:
        // At process end the other threads are gone already; an unload stops them first.
        if (!reserved) {
            stopPowerWatcher();
            stopPowerManager();
        }
        detachDevice();
        return TRUE;
    default:
        return TRUE;
    }
}
