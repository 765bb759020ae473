// The shared state mapped and its first holder made host, the device lock, the trace clock, and
// trace lines appended to the one file.
#include "shared_device.hpp"

#include <cstdio>
#include <cstring>

namespace velorin::ce {

namespace {

constexpr wchar_t kMappingName[] = L"Local\\VelorinDevice.State";
constexpr wchar_t kMutexName[] = L"Local\\VelorinDevice.Lock";
// The backlight's level before any request: full.
constexpr LONG kFullBacklight = 10;

HANDLE g_mapping = nullptr;
HANDLE g_mutex = nullptr;
DeviceState* g_state = nullptr;
bool g_host = false;

}  // namespace

LONGLONG counterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

bool attachDevice()
{
    g_mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    g_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DeviceState), kMappingName);
    if (!g_mutex || !g_mapping)
        return false;
    g_host = GetLastError() != ERROR_ALREADY_EXISTS;
    g_state = static_cast<DeviceState*>(MapViewOfFile(g_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(DeviceState)));
    if (!g_state)
        return false;
    DeviceLock state;
    if (g_host) {
        // A new mapping is zeroed: the device boots on AC of unknown charge until it hears
        // otherwise, its backlight on at full level, the display upright.
        state->clockZero = counterNow();
        state->acLineStatus = AC_LINE_UNKNOWN;
        state->batteryPercent = BATTERY_PERCENTAGE_UNKNOWN;
        state->backlightLevel = kFullBacklight;
        state->seenOn = 1;
        state->seenLevel = kFullBacklight;
    }
    for (DWORD& client : state->clients) {
        if (client == 0) {
            client = GetCurrentProcessId();
            break;
        }
    }
    if (!g_host && state->runActive) {
        if (state->clockAwaitsProgram) {
            state->clockAwaitsProgram = 0;
            state->clockZero = counterNow();
        }
        traceEffect("launch", "pid=" + std::to_string(GetCurrentProcessId()));
    }
    return true;
}

void detachDevice()
{
    if (g_state) {
        {
            DeviceLock state;
            for (DWORD& client : state->clients) {
                if (client == GetCurrentProcessId())
                    client = 0;
            }
        }
        UnmapViewOfFile(g_state);
    }
    if (g_mapping)
        CloseHandle(g_mapping);
    if (g_mutex)
        CloseHandle(g_mutex);
    g_state = nullptr;
    g_mapping = g_mutex = nullptr;
}

bool hostsPowerManager()
{
    return g_host;
}

DeviceLock::DeviceLock() : m_state(g_state)
{
    // A holder that died with the lock leaves it abandoned; the state is still whole, since
    // every field is written on its own.
    WaitForSingleObject(g_mutex, INFINITE);
}

DeviceLock::~DeviceLock()
{
    ReleaseMutex(g_mutex);
}

std::int64_t deviceTimeMs()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    // Until the program starts the clock, it stands at 0: set-up lines come before the launch.
    if (g_state && g_state->clockAwaitsProgram)
        return 0;
    const LONGLONG elapsed = counterNow() - (g_state ? g_state->clockZero : 0);
    return elapsed <= 0 ? 0 : elapsed * 1000 / frequency.QuadPart;
}

void traceEffect(const char* event, const std::string& args)
{
    if (!g_state)
        return;
    DeviceLock state;
    if (state->traceFile[0] == 0)
        return;
    // Opened for each line, so that every process appends to the same file in time order.
    const HANDLE file = CreateFileW(state->traceFile, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string line = std::to_string(deviceTimeMs()) + " " + event + (args.empty() ? "" : " " + args) + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

bool isDeviceWindow(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    DeviceLock state;
    for (const DWORD client : state->clients) {
        if (client != 0 && client == pid)
            return true;
    }
    return false;
}

}  // namespace velorin::ce
