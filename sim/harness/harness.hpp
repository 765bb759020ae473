// What tests and the scenario player drive a device through: boot, launch the program, move
// time, look at what the device did.
#pragma once

#include "boot/device.hpp"
#include "gdi/surface.hpp"
#include "sim/harness/frame_recorder.hpp"
#include "sim/harness/frame_sink.hpp"
#include "sim/harness/program.hpp"
#include "sim/harness/screen_watch.hpp"
#include "registry/registry.hpp"
#include "sim/scenario/device_time.hpp"

#include <atomic>
#include <filesystem>
#include <utility>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace velorin::sim {

using platform::ProcessId;

struct HarnessOptions {
    platform::DeviceOptions device;
    Program program = defaultProgram();
    std::ostream* traceSink = nullptr;               // receives each trace line as it is made
    // Tests read the trace back; a person's run only streams it to the sink, so that its memory
    // stays flat however long the device runs.
    bool keepTraceLines = true;
    std::optional<std::filesystem::path> framesDir;  // a PNG there for each new screen image
    // Boot with the default hive (sim/default.reg), or with an empty registry.
    bool defaultRegistry = true;
    // Above 0, every move of time also stops at each multiple of this many milliseconds, so
    // that frame sinks and step listeners see the device between one command and the next.
    DeviceTime sampleEvery = 0;
    // Set from outside (a signal handler) to stop the run: time then moves no further, and a
    // long stretch of time is played in pieces so that the stop is seen within one.
    const std::atomic<bool>* interrupt = nullptr;
};

class Harness {
public:
    explicit Harness(HarnessOptions options = {});

    platform::Device& device() { return m_device; }
    trace::TraceRecorder& trace() { return m_device.trace(); }
    trace::FaultPlan& faults() { return m_device.faults(); }
    const Program& program() const { return m_options.program; }

    // Starts an instance of the program.
    ProcessId launch();
    const std::vector<ProcessId>& instances() const { return m_instances; }
    // Whether any instance of the program still runs.
    bool programRunning() const;
    // How the last instance to end ended, if one has.
    std::optional<kernel::ProcessInfo> lastEnded() const;

    // Input, in logical screen pixels; the device then runs what it set off at this moment.
    // Input is activity for the power manager; the input that wakes it from Suspend goes no
    // further.
    void tap(int x, int y);
    void key(UINT virtualKey);
    // A report of the battery driver (harness_power.cpp): the line status (0, 1, 2 or 255) and
    // the percentage (0 to 255) that are given change, and every subscribed queue hears of it;
    // values out of range throw std::invalid_argument. The device then runs what that set off.
    void power(std::optional<int> acLineStatus, std::optional<int> percent);
    // The backlight as the user sees it.
    power::Backlight backlight();
    // The program's main window (by its title), and whether a window is shown.
    std::optional<HWND> mainWindow();
    bool windowVisible(HWND hwnd);
    // Another program turns the display (0, 90, 180 or 270 degrees; anything else throws
    // std::invalid_argument); the device then runs what that set off. And the angle it is at.
    void rotate(int degrees);
    int orientationDegrees();
    // The screen's width and height as programs see them, which follow the rotation.
    std::pair<int, int> logicalScreenSize();

    DeviceTime now() const { return m_device.now(); }
    // Once a stop is requested, time no longer moves (a live window closed).
    void runUntil(DeviceTime time) { advanceTo(time); }
    void runFor(DeviceTime duration) { advanceTo(now() + duration); }
    void settle()
    {
        m_device.settle();
        afterStep();
    }
    void runUntilIdle()
    {
        m_device.runUntilIdle();
        afterStep();
    }
    void powerOff() { m_device.powerOff(); }
    void requestStop() { m_stopRequested = true; }
    bool stopRequested() const { return m_stopRequested || (m_options.interrupt && m_options.interrupt->load()); }

    // Offered the screen as seen after each step when it may have changed; not owned.
    void addFrameSink(FrameSink& sink) { m_sinks.push_back(&sink); }
    // Called after each step, with the device at rest, on the controller's thread. A listener
    // may drive the harness itself (tap, key, ...); the steps that makes call no listener.
    void addStepListener(std::function<void()> listener) { m_listeners.push_back(std::move(listener)); }

    // The composed screen: logical orientation, before brightness. The window manager fills
    // `screenSource`; until it does, the screen is empty (0 x 0).
    std::function<gdi::Surface()> screenSource;
    gdi::Surface screen() const { return screenSource ? screenSource() : gdi::Surface(); }
    // The screen as the user sees it, the backlight's brightness applied: what snapshots and
    // frames show (harness_power.cpp).
    gdi::Surface screenAsSeen();
    // The `--frames` recorder, when one was asked for.
    const FrameRecorder* frames() const { return m_frames ? &*m_frames : nullptr; }

    // The registry seen from outside the program (harness_registry.cpp). Changes are traced as
    // a program's are; loading and saving are not.
    registry::Registry& registry() { return m_device.registry(); }
    std::optional<registry::Value> registryValue(registry::Root root, std::wstring_view path, std::wstring_view name);
    bool registryKeyExists(registry::Root root, std::wstring_view path);
    void setRegistryValue(registry::Root root, std::wstring_view path, registry::Value value);
    bool deleteRegistryValue(registry::Root root, std::wstring_view path, std::wstring_view name);
    bool deleteRegistryKey(registry::Root root, std::wstring_view path);
    // Replace the hive with a .reg file's (throw registry::RegFileError, leaving the hive as
    // it was); the hive is then saved in that file's encoding.
    void loadRegistry(std::string_view regFileText, const std::string& fileName = "registry.reg");
    void loadRegistryFile(const std::filesystem::path& file);
    std::string registryText(registry::RegFileEncoding encoding);
    // Saves atomically; throws registry::FileSaveError.
    void saveRegistryFile(const std::filesystem::path& file, registry::RegFileEncoding encoding);
    // Makes `file` the device's persistent hive: loaded now when it exists (otherwise the hive
    // stays as booted), written by saveRegistry() and by a program's RegFlushKey.
    void useRegistryFile(const std::filesystem::path& file);
    void saveRegistry();

private:
    void advanceTo(DeviceTime time);
    // The device to `time`, in pieces when a stop may be asked for from outside.
    void runDeviceUntil(DeviceTime time);
    // After each move of time and each settle: offers the screen to the frame sinks when it
    // may have changed, then calls the step listeners.
    void afterStep();

    HarnessOptions m_options;
    platform::Device m_device;
    std::vector<ProcessId> m_instances;
    std::optional<FrameRecorder> m_frames;
    std::vector<FrameSink*> m_sinks;
    std::vector<std::function<void()>> m_listeners;
    bool m_inListener = false;
    bool m_stopRequested = false;
    ScreenWatch m_watch;
};

}  // namespace velorin::sim
