// The device's state that every process of the CE layer sees: the battery reading, the
// backlight, the display's orientation, the power manager's state, the clock of the trace and
// the trace file. It lives in a named file mapping, guarded by a named mutex, so that the
// scenario player and the utility, two processes, share one device.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace velorin::ce {

inline constexpr int kMaxClients = 16;

struct DeviceState {
    // Set by the scenario player for its run: programs' starts are traced, device time starts
    // with the first, and the desktop (Wine's virtual one) takes the panel's turned shape.
    LONG runActive;
    // Set when the run's scenario drives the battery; otherwise the machine's charger does.
    LONG scenarioDriven;
    // The performance counter at device time 0 (a scenario's start, or the first process's).
    LONGLONG clockZero;
    // Set by a scenario's start: device time starts again when its program starts, as the
    // device launches the program at 0.
    LONG clockAwaitsProgram;
    BYTE acLineStatus;
    BYTE batteryPercent;
    // The backlight "BKL1:": the power state asked for, the level it read, what is seen.
    LONG backlightState;
    LONG backlightLevel;
    LONG seenOn;
    LONG seenLevel;
    // The power manager's state: 0 On, 1 UserIdle, 2 Suspend.
    LONG systemState;
    DWORD orientation;  // a DMDO_ code
    // The panel at 0 degrees, in a scenario run, whose desktop turns with the orientation.
    LONG panelWidth;
    LONG panelHeight;
    WCHAR traceFile[MAX_PATH];
    // Processes that loaded the CE layer: the windows of these make up the device.
    DWORD clients[kMaxClients];
};

// Holds the lock on the shared state for its scope and gives access to it.
class DeviceLock {
public:
    DeviceLock();
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    DeviceState* operator->() { return m_state; }
    DeviceState& operator*() { return *m_state; }

private:
    DeviceState* m_state;
};

// Opens (or, in the first process, creates) the shared state; false when it cannot. The first
// process hosts the power manager; in a scenario every later one is a program on the device,
// whose start the trace records (and the first's starts device time).
bool attachDevice();
void detachDevice();
bool hostsPowerManager();

// The performance counter now, the clock that device time is kept in.
LONGLONG counterNow();
// Milliseconds since device time 0.
std::int64_t deviceTimeMs();

// One trace line, "<ms> <event> <args>", appended to the trace file when there is one.
void traceEffect(const char* event, const std::string& args);

// Whether a window belongs to a process of the device.
bool isDeviceWindow(HWND hwnd);

}  // namespace velorin::ce
