/* What the CE layer offers the program that drives the device through a scenario (the scenario
   player under Wine); no part of CE. Programs written for CE do not include it. */
#ifndef VELORIN_WIN32_VELORIN_DEVICE_H
#define VELORIN_WIN32_VELORIN_DEVICE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* From now on the battery follows the scenario, not the machine: the reading becomes the one
   given and the trace goes to `traceFile` (appended). Device time starts again at 0 when the
   next program starts, which the trace records with its launch. */
CE_LAYER_API BOOL WINAPI VelorinBeginScenario(LPCWSTR traceFile, BYTE acLineStatus, BYTE percent);
/* The same run with the machine's own charger driving the battery, as velorin.exe has it on its
   own (under Wine, the Linux machine's power supply). */
CE_LAYER_API BOOL WINAPI VelorinBeginMachineRun(LPCWSTR traceFile);
/* Whether the run's program has started. */
CE_LAYER_API BOOL WINAPI VelorinClockStarted(void);
CE_LAYER_API DWORD WINAPI VelorinDeviceTime(void);
/* One report of the battery driver; a negative argument leaves that part as it is. */
CE_LAYER_API void WINAPI VelorinReportPower(int acLineStatus, int percent);
/* A trace line of the player's own (launch, exit, ...). */
CE_LAYER_API void WINAPI VelorinTraceEffect(LPCSTR event, LPCSTR args);
/* The backlight as the user sees it, and the display's orientation (a DMDO_ code). */
CE_LAYER_API void WINAPI VelorinBacklight(BOOL* on, int* level);
CE_LAYER_API DWORD WINAPI VelorinOrientation(void);

#ifdef __cplusplus
}
#endif

#endif
