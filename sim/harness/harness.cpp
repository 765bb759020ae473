// The harness: boot, the program's launch, input, time, and the steps that pictures watch.
#include "sim/harness/harness.hpp"

#include "sim/harness/default_hive.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace velorin::sim {

namespace {

// The window manager's screen, told apart from a source that a test puts in its place.
struct WindowManagerScreen {
    platform::Device* device;
    gdi::Surface operator()() const { return device->windows().composeScreen(); }
};

}  // namespace

Harness::Harness(HarnessOptions options) : m_options(std::move(options)), m_device(m_options.device)
{
    m_device.trace().setSink(m_options.traceSink);
    m_device.trace().setKeepLines(m_options.keepTraceLines);
    screenSource = WindowManagerScreen{&m_device};
    if (m_options.framesDir) {
        m_frames.emplace(*m_options.framesDir);
        m_sinks.push_back(&*m_frames);
    }
    if (m_options.defaultRegistry)
        loadRegistry(defaultHiveText(), std::string(kDefaultHiveName));
    for (const auto& [message, name] : m_options.program.messageNames)
        m_device.windows().nameMessage(message, name);
}

void Harness::advanceTo(DeviceTime time)
{
    if (stopRequested())
        return;
    const DeviceTime every = m_options.sampleEvery;
    for (DeviceTime from = now();;) {
        // Stops on the grid of multiples, so where a run starts does not move the samples.
        const DeviceTime next = every > 0 ? std::min(time, (from / every + 1) * every) : time;
        runDeviceUntil(next);
        afterStep();
        if (next >= time || stopRequested())
            return;
        from = next;
    }
}

void Harness::runDeviceUntil(DeviceTime time)
{
    if (!m_options.interrupt) {
        m_device.runUntil(time);
        return;
    }
    // Pieces on a grid of their own, so that playing in pieces moves nothing the device does.
    constexpr DeviceTime kPiece = 1000;
    DeviceTime at = now();
    do {
        at = std::min(time, (at / kPiece + 1) * kPiece);
        m_device.runUntil(at);
    } while (at < time && !stopRequested());
}

void Harness::afterStep()
{
    if (!m_sinks.empty() && screenSource) {
        // Only the window manager's own screen can be watched cheaply; any other is looked at.
        const bool ownScreen = screenSource.target<WindowManagerScreen>() != nullptr;
        if (!ownScreen || m_watch.changed(m_device)) {
            const gdi::Surface seen = screenAsSeen();
            for (FrameSink* sink : m_sinks)
                sink->offer(now(), seen);
        }
    }
    if (m_inListener)
        return;
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(m_inListener);
    for (const auto& listener : m_listeners)
        listener();
}

void Harness::tap(int x, int y)
{
    if (m_device.powerManager().userInput())
        m_device.windows().tap(x, y);
    settle();
}

void Harness::key(UINT virtualKey)
{
    if (m_device.powerManager().userInput())
        m_device.windows().key(virtualKey);
    settle();
}

std::optional<HWND> Harness::mainWindow()
{
    std::lock_guard lock(m_device.kernel().mutex());
    const std::wstring& title = m_options.program.mainWindowTitle;
    HWND hwnd = m_device.windows().findUnownedLocked(title);
    return hwnd ? std::optional<HWND>(hwnd) : std::nullopt;
}

bool Harness::windowVisible(HWND hwnd)
{
    std::lock_guard lock(m_device.kernel().mutex());
    const window::Window* w = m_device.windows().findLocked(hwnd);
    return w && w->visible;
}

void Harness::rotate(int degrees)
{
    const auto code = display::orientationCodeOf(degrees);
    if (!code)
        throw std::invalid_argument("cannot turn the display to " + std::to_string(degrees) + " degrees");
    // A worker of the device turns it, so that the messages the rotation sends wait for their
    // windows' threads in the device, and a window that never answers cannot stop the run.
    display::DisplayDriver& driver = m_device.displayDriver();
    m_device.kernel().spawnSystemThread(
        "rotate", [&driver, code = *code] { driver.setOrientation(static_cast<std::uint32_t>(code)); });
    settle();
}

int Harness::orientationDegrees()
{
    std::lock_guard lock(m_device.kernel().mutex());
    return m_device.display().degrees();
}

std::pair<int, int> Harness::logicalScreenSize()
{
    std::lock_guard lock(m_device.kernel().mutex());
    return {m_device.display().width(), m_device.display().height()};
}

ProcessId Harness::launch()
{
    if (!programRunning() && m_options.program.resetGlobals)
        m_options.program.resetGlobals();
    const ProcessId pid = m_device.launch(m_options.program.name, m_options.program.entry, m_options.program.resources);
    m_instances.push_back(pid);
    return pid;
}

bool Harness::programRunning() const
{
    return std::any_of(m_instances.begin(), m_instances.end(), [this](ProcessId pid) { return m_device.running(pid); });
}

std::optional<kernel::ProcessInfo> Harness::lastEnded() const
{
    for (auto it = m_instances.rbegin(); it != m_instances.rend(); ++it) {
        const auto info = m_device.kernel().process(*it);
        if (info && !info->running)
            return info;
    }
    return std::nullopt;
}

}  // namespace velorin::sim
