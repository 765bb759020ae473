// The random scenarios and fault plans of the simulation tests, and the checks after each event.
#include "tests/reliability/simulation.hpp"

#include "tests/reliability/call_watch.hpp"
#include "tests/reliability/device_checks.hpp"
#include "tests/reliability/platform_api_scan.hpp"

#include "services/backlight_ramp.h"
#include "services/power_source.h"
#include "services/saved_settings.h"
#include "display/display.hpp"
#include "tests/support/utility_test_support.hpp"

#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string_view>

namespace velorin::reliability {

namespace {

using kernel::DeviceTime;
using kernel::ProcessId;
using registry::Root;
using sim::Harness;

constexpr WCHAR kTimeoutsKey[] = L"System\\CurrentControlSet\\Control\\Power\\Timeouts";
constexpr WCHAR kIdentKey[] = L"Ident";
constexpr WCHAR kProgramTitle[] = L"Velorin";
constexpr int kBurstFailures = 2000;
// The sequencer's pause, during which the window's thread handles nothing.
constexpr DeviceTime kPause = 1000;
// How long the line must have been quiet before the screen must show what it says: every run
// and ramp that a report can set off has ended by then.
constexpr DeviceTime kQuietLine = 8000;

// Three seeds in four run with preemption, so that reports land between any two steps; the
// rest keep the serial order. VELORIN_SIM_MODE=serial, preemptive or free runs every seed so.
kernel::RunMode runModeFor(std::uint64_t seed)
{
    if (const char* mode = std::getenv("VELORIN_SIM_MODE")) {
        const std::string_view name(mode);
        if (name == "free")
            return kernel::RunMode::Free;
        return name == "preemptive" ? kernel::RunMode::Preemptive : kernel::RunMode::Serial;
    }
    return seed % 4 != 0 ? kernel::RunMode::Preemptive : kernel::RunMode::Serial;
}

// The user's five settings that the utility captures and puts back, as the utility reads them:
// a missing value, or one that is not a 4-byte DWORD, reads as its default.
constexpr int kSettingCount = 5;
struct SettingInfo {
    Root root;
    const WCHAR* path;
    const WCHAR* name;
    const char* label;
    DWORD defaultValue;
};
constexpr std::array<SettingInfo, kSettingCount> kSettings{{
    {Root::CurrentUser, kBacklightKey, kBatteryBacklightLevel, "BatteryBacklightLevel", 10},
    {Root::CurrentUser, kBacklightKey, kAcBacklightLevel, "AcBacklightLevel", 10},
    {Root::CurrentUser, kBacklightKey, kUseDim, "UseDim", 0},
    {Root::LocalMachine, kRotationKey, kAutoRotate, "AutoRotate", 0},
    {Root::LocalMachine, kRotationKey, kAngle, "Angle", 90},
}};
enum Setting { kBattery, kAc, kDim, kAutoRotateSetting, kAngleSetting };
using Settings = std::array<DWORD, kSettingCount>;

Settings savedGlobals()
{
    return {static_cast<DWORD>(g_savedBatteryBacklightLevel), static_cast<DWORD>(g_savedAcBacklightLevel),
            g_savedUseDim, g_savedAutoRotate, g_savedAngle};
}

// The orientation (degrees) that restoring an angle turns the display to; nothing when the
// display refuses the code, which leaves the orientation as it was.
std::optional<int> degreesForAngle(DWORD angle)
{
    const DWORD quarter = angle / 90;
    return display::degreesOf(quarter == 3 ? 4 : quarter);
}

// What a ramp that writes 0..10 up to a saved level leaves: the saved level within 0..10, 10
// above it, and the step's 11 when the saved level is below 0 (it is never written then).
DWORD rampEnd(DWORD saved)
{
    const auto level = static_cast<LONG>(saved);
    return level < 0 ? 11 : static_cast<DWORD>(std::min<LONG>(level, 10));
}

std::string hex(DWORD value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", value);
    return buf;
}

// Which source the device is to end in.
enum class Target { Ac, Battery, Dismissed, Closed };
const char* targetName(Target target)
{
    switch (target) {
    case Target::Ac:
        return "AC";
    case Target::Battery:
        return "battery";
    case Target::Dismissed:
        return "dismissed";
    case Target::Closed:
        return "closed";
    }
    return "?";
}

enum class Ending { Dismiss, Close, Esc, Enter, CaptionClose };

class Simulation {
public:
    Simulation(std::uint64_t seed, Sabotage sabotage, kernel::RunMode run)
        : m_seed(seed), m_sabotage(sabotage), m_run(run), m_rng(seed),
          m_faultRng(seed ^ 0x9E3779B97F4A7C15ull)
    {
        sim::HarnessOptions options = test::utilityOptions();
        options.device.seed = seed;
        options.device.run = m_run;
        options.traceSink = &m_watch.sink();
        m_harness = std::make_unique<Harness>(std::move(options));
        m_watch.attach(*m_harness);
    }

    SimulationResult run()
    {
        m_result.seed = m_seed;
        setUp();
        mainPhase();
        finalPhase();
        {
            std::lock_guard lock(m_harness->device().kernel().mutex());
            m_result.traceHash = m_harness->trace().hash();
            // VELORIN_SIM_TRACE=file keeps the whole trace of a replayed seed.
            if (const char* file = std::getenv("VELORIN_SIM_TRACE")) {
                std::ofstream out(file);
                for (const auto& line : m_harness->trace().lines())
                    out << line << '\n';
            }
        }
        m_harness->powerOff();
        return std::move(m_result);
    }

private:
    // --- Random choices -----------------------------------------------------------------------

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(m_rng) < p; }
    template <class T> const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(uniform(0, static_cast<int>(items.size()) - 1))];
    }

    DeviceTime gap()
    {
        // Mostly short, so that events land inside runs and ramps; now and then a long quiet.
        const int kind = uniform(0, 99);
        if (kind < 35)
            return uniform(0, 50);
        if (kind < 60)
            return uniform(50, 1500);
        if (kind < 90)
            return uniform(1500, 6000);
        return uniform(6000, 30000);
    }

    // Between two reports of a flapping charger: now and then right on a burst of steps (the
    // report's own, or the one after the sequencer's pause), which only preemption can split.
    DeviceTime flapGap()
    {
        if (chance(0.5))
            return uniform(0, 300);
        return pick<DeviceTime>({0, 0, 1, 2, kPause, kPause + 1, kPause + 2});
    }

    // --- Log and failures ---------------------------------------------------------------------

    void note(const std::string& text) { m_result.log.push_back(std::to_string(m_harness->now()) + "ms " + text); }
    void fail(const std::string& what)
    {
        m_result.failures.push_back("at " + std::to_string(m_harness->now()) + " ms: " + what);
    }

    // --- Set-up -------------------------------------------------------------------------------

    void setUp()
    {
        m_platformId = pick<std::wstring>({L"522", L"522", L"533", L"511", L"511", L""});
        if (m_platformId.empty())
            m_harness->deleteRegistryValue(Root::LocalMachine, kIdentKey, L"PlatformID");
        else
            m_harness->setRegistryValue(Root::LocalMachine, kIdentKey,
                                        registry::stringValue(L"PlatformID", m_platformId));
        note("reg set HKLM\\Ident PlatformID sz:\"" + trace::narrow(m_platformId) + "\"");

        Settings user{};
        user[kBattery] = static_cast<DWORD>(uniform(0, 10));
        user[kAc] = static_cast<DWORD>(uniform(0, 10));
        user[kDim] = static_cast<DWORD>(uniform(0, 1));
        user[kAutoRotateSetting] = pick<DWORD>({0, 1, 0x80000000u, 0x80000001u, static_cast<DWORD>(m_rng())});
        user[kAngleSetting] = pick<DWORD>({0, 90, 180, 270});
        for (int k = 0; k < kSettingCount; ++k)
            writeSetting(k, user[k]);
        // The display stands where the user's angle says.
        if (user[kAngleSetting] != 0)
            rotate(static_cast<int>(user[kAngleSetting]));
        m_user = user;

        if (chance(0.35)) {
            // Short idle time-outs on battery: the device dims and suspends between events.
            setTimeout(L"BattUserIdle", static_cast<DWORD>(uniform(1, 10)));
            setTimeout(L"BattSuspend", static_cast<DWORD>(uniform(5, 40)));
            setTimeout(L"ACUserIdle", static_cast<DWORD>(uniform(0, 20)));
        }

        const int line = pick<int>({0, 0, 0, 0, 0, 1, 1, 1, 2, 255});
        const int percent = chance(0.1) ? 255 : uniform(0, 100);
        power(line, percent);

        chooseFaultPlan();
        launch();
    }

    void setTimeout(const WCHAR* name, DWORD seconds)
    {
        test::setDword(*m_harness, Root::LocalMachine, kTimeoutsKey, name, seconds);
        note("reg set HKLM\\System\\CurrentControlSet\\Control\\Power\\Timeouts " + trace::narrow(name) +
             " dword:" + std::to_string(seconds));
    }

    void writeSetting(int k, DWORD value)
    {
        const SettingInfo& s = kSettings[static_cast<std::size_t>(k)];
        test::setDword(*m_harness, s.root, s.path, s.name, value);
        note(std::string("reg set ") + (s.root == Root::LocalMachine ? "HKLM\\" : "HKCU\\") + trace::narrow(s.path) +
             " " + s.label + " dword:" + std::to_string(value));
    }

    void chooseFaultPlan()
    {
        if (m_sabotage != Sabotage::None || chance(0.35)) {
            note("# no faults");
            return;
        }
        m_result.faulted = true;
        // Not these two: with either failing, a second launch would not find the first instance
        // and would run beside it, which the simulator cannot keep apart (one address space for
        // every launch). The fault matrix fails them.
        std::vector<std::string> functions;
        for (const auto& function : faultFunctions()) {
            if (function != "FindWindowW" && function != "SetWindowTextW")
                functions.push_back(function);
        }
        const bool burst = chance(0.3);
        const int count = uniform(1, burst ? 4 : 5);
        const DeviceTime from = uniform(1000, 60000);
        const DeviceTime until = from + uniform(100, 3000);
        std::string plan =
            burst ? "# faults from " + std::to_string(from) + " to " + std::to_string(until) + " ms:" : "# faults:";
        for (int i = 0; i < count; ++i) {
            const std::string& function = pick(functions);
            // Both failing at once would turn the monitor's pause after a failed wait into a
            // spin that never lets time move on.
            if (burst && function == "Sleep")
                continue;
            const double p = pick<double>({0.03, 0.1, 0.25, 0.5});
            if (burst) {
                // At most so many failures: while a call keeps failing some loops never block,
                // and time, which would end the burst, stands still.
                auto left = std::make_shared<int>(kBurstFailures);
                m_harness->faults().failWhile(function, [this, from, until, left] {
                    const DeviceTime now = m_harness->device().scheduler().nowLocked();
                    return m_armed && now >= from && now < until && (*left)-- > 0;
                });
                plan += " " + function;
            } else {
                m_harness->faults().failWhile(function, [this, p] {
                    return m_armed && std::uniform_real_distribution<double>(0.0, 1.0)(m_faultRng) < p;
                });
                plan += " " + function + "@" + std::to_string(p).substr(0, 4);
            }
        }
        note(plan);
    }

    void faultsOff()
    {
        m_armed = false;
        m_harness->faults().clear();
        m_watch.install();
    }

    // --- The device ---------------------------------------------------------------------------

    bool running() { return m_harness->programRunning(); }
    CChargeScreenDlg* screen() { return running() ? test::chargeScreen(*m_harness) : nullptr; }
    bool windowShown()
    {
        const auto window = m_harness->mainWindow();
        return window && m_harness->windowVisible(*window);
    }
    bool promptUp() { return reliability::promptUp(*m_harness); }

    DWORD effective(int k)
    {
        const SettingInfo& s = kSettings[static_cast<std::size_t>(k)];
        const auto value = m_harness->registryValue(s.root, s.path, s.name);
        const auto number = value ? registry::dwordOf(*value) : std::nullopt;
        return number.value_or(s.defaultValue);
    }
    Settings registrySettings()
    {
        Settings now{};
        for (int k = 0; k < kSettingCount; ++k)
            now[k] = effective(k);
        return now;
    }

    // While a run or a ramp is under way, an outside change may or may not be overwritten by
    // what the utility writes next.
    bool busy()
    {
        CChargeScreenDlg* s = screen();
        return s && (s->m_pendingRuns != 0 || g_rampCounter > kRampIdle);
    }
    // On AC with nothing under way the utility holds the settings: whatever another program
    // writes now, the battery sequence or Close puts the captured value back.
    bool holding() { return running() && LoadShared(&g_powerSource) == POWER_SOURCE_AC && !busy(); }

    // --- Actions ------------------------------------------------------------------------------

    void runFor(DeviceTime duration) { m_harness->runFor(duration); }

    void power(std::optional<int> ac, std::optional<int> percent)
    {
        m_harness->power(ac, percent);
        m_lastReportAt = m_harness->now();
        std::string text = "power";
        if (ac)
            text += " ac=" + std::to_string(*ac);
        if (percent)
            text += " percent=" + std::to_string(*percent);
        note(text);
        // Every report carries the line status, a changed one or the one before.
        noteLine(ac.value_or(m_line));
    }

    // The power monitor's table, as the model follows it.
    void noteLine(int ac)
    {
        m_line = ac;
        if (!m_modelRunning || (ac != 0 && ac != 1))
            return;
        if (ac == 1 && m_source == POWER_SOURCE_DISMISSED)
            return;
        if (m_source == POWER_SOURCE_DISMISSED) {
            m_source = 0;
            m_lastReported = 0;
            return;
        }
        m_source = static_cast<BYTE>(ac);
        m_lastReported = static_cast<BYTE>(ac);
    }

    void rotate(int degrees)
    {
        // Another program turns the display, and the display driver records the angle.
        const bool known = !busy();
        const bool held = holding();
        m_harness->rotate(degrees);
        note("rotate " + std::to_string(degrees));
        if (!known)
            m_unknown[kAngleSetting] = true;
        else if (!held)
            m_user[kAngleSetting] = static_cast<DWORD>(degrees);
    }

    void launch()
    {
        // A suspended device would start the program only when it wakes, with the faults back.
        if (suspended())
            tap(0, 0, "wakes the device");
        const bool first = !running();
        if (first && m_modelRunning) {
            // The last instance ended after the last checkpoint: what it left is the user's now.
            m_modelRunning = false;
            ended();
        }
        // Start-up runs without faults: a start that fails is the fault matrix's.
        m_armed = false;
        m_harness->launch();
        m_harness->runUntilIdle();
        m_armed = m_result.faulted;
        note(first ? "launch" : "launch   # a second instance");
        if (!first)
            return;
        m_modelRunning = running();
        m_source = POWER_SOURCE_UNKNOWN;
        m_lastReported = POWER_SOURCE_UNKNOWN;
        m_lastSaved.reset();
        m_leaksAtStart = m_watch.gdiLeaks();
        // The monitor's subscription brings the current reading at once.
        noteLine(m_line);
    }

    void tap(int x, int y, const std::string& why)
    {
        m_harness->tap(x, y);
        note("tap " + std::to_string(x) + " " + std::to_string(y) + "   # " + why);
    }

    // Taps the charge symbol; true when the close prompt came up.
    bool tapSymbol()
    {
        CChargeScreenDlg* s = screen();
        if (!s || !windowShown() || IsRectEmpty(&s->m_symbolRect))
            return false;
        const RECT r = s->m_symbolRect;
        tap((r.left + r.right) / 2, (r.top + r.bottom) / 2, "the charge symbol");
        return waitForPrompt(true);
    }

    // Input waits in the queue while the window's thread is busy (the sequencer's one-second
    // pause); the prompt comes or goes once it has been handled.
    bool waitForPrompt(bool up)
    {
        if (promptUp() != up)
            runFor(kPause + 100);
        return promptUp() == up;
    }

    std::optional<POINT> captionCloseBox()
    {
        auto& windows = m_harness->device().windows();
        std::lock_guard lock(m_harness->device().kernel().mutex());
        for (std::uintptr_t h = 0x10000; h < 0x10000 + 4 * 4096; h += 4) {
            const window::Window* w = windows.findLocked(reinterpret_cast<HWND>(h));
            if (!w || !w->visible || w->isChild() || !w->owner || w->text != kProgramTitle)
                continue;
            const window::NonClient nc = windows.nonClientLocked(*w);
            return POINT{w->rect.right - nc.right - window::kCaptionHeight / 2,
                         w->rect.top + nc.top - window::kCaptionHeight / 2};
        }
        return std::nullopt;
    }

    void endPrompt(Ending ending)
    {
        // A tap or key that wakes a suspended device goes no further, and keys reach only the
        // active window: the chosen ending is tried twice, then the close box, then Dismiss.
        const Ending attempts[] = {ending, ending, Ending::CaptionClose, Ending::Dismiss};
        for (const Ending now : attempts) {
            if (!promptUp())
                break;
            switch (now) {
            case Ending::Dismiss:
            case Ending::Close: {
                const auto centre =
                    m_harness->device().windows().buttonCentre(now == Ending::Dismiss ? L"Dismiss" : L"Close");
                if (centre) {
                    m_harness->tap(centre->x, centre->y);
                    note(now == Ending::Dismiss ? "click Dismiss" : "click Close");
                }
                break;
            }
            case Ending::Esc:
                m_harness->key(VK_ESCAPE);
                note("key esc   # on the prompt");
                break;
            case Ending::Enter:
                m_harness->key(VK_RETURN);
                note("key enter   # on the prompt");
                break;
            case Ending::CaptionClose:
                if (const auto box = captionCloseBox())
                    tap(box->x, box->y, "the prompt's close box");
                break;
            }
            if (waitForPrompt(false) && now == Ending::Dismiss)
                dismissed();
        }
        if (promptUp())
            fail("the close prompt could not be ended");
    }

    // Only a charge is dismissed; after the charger has gone a Dismiss is only a request.
    void dismissed()
    {
        if (m_sabotage == Sabotage::DismissOnBattery && LoadShared(&g_powerSource) == POWER_SOURCE_BATTERY)
            g_powerSource = POWER_SOURCE_DISMISSED;
        if (m_source == POWER_SOURCE_AC)
            m_source = POWER_SOURCE_DISMISSED;
    }

    // --- Random events ------------------------------------------------------------------------

    void mainPhase()
    {
        const int events = uniform(8, 40);
        for (int i = 0; i < events; ++i) {
            runFor(gap());
            checkpoint();
            if (promptUp()) {
                // A tap that waited in the queue opened it.
                note("# the close prompt is up");
                endPrompt(pick<Ending>({Ending::Dismiss, Ending::Close, Ending::Esc, Ending::CaptionClose}));
                checkpoint();
            }
            randomEvent();
            checkpoint();
        }
    }

    void randomEvent()
    {
        if (!running() && chance(0.4)) {
            launch();
            return;
        }
        const int kind = uniform(0, 99);
        if (kind < 20) {
            const int ac = chance(0.85) ? (m_line == 1 ? 0 : 1) : uniform(0, 1);
            power(ac, chance(0.5) ? std::optional<int>(uniform(0, 100)) : std::nullopt);
        } else if (kind < 26) {
            // A flapping charger.
            const int flaps = uniform(2, 7);
            for (int f = 0; f < flaps; ++f) {
                power(m_line == 1 ? 0 : 1, std::nullopt);
                runFor(flapGap());
            }
        } else if (kind < 34) {
            power(std::nullopt, chance(0.15) ? 255 : uniform(0, 100));
        } else if (kind < 38) {
            power(chance(0.5) ? 2 : 255, chance(0.5) ? std::optional<int>(uniform(0, 100)) : std::nullopt);
        } else if (kind < 50) {
            promptEvent();
        } else if (kind < 55) {
            tap(uniform(0, 239), uniform(0, 319), "anywhere");
        } else if (kind < 62) {
            rotate(pick<int>({0, 90, 180, 270}));
        } else if (kind < 74) {
            settingEdit();
        } else if (kind < 77) {
            otherEdit();
        } else if (kind < 81) {
            if (running())
                secondLaunch();
        } else if (kind < 84) {
            m_harness->key(VK_ESCAPE);
            note("key esc");
        } else if (kind < 87) {
            m_harness->key(VK_RETURN);
            note("key enter");
        } else {
            runFor(uniform(5000, 40000));
        }
    }

    void promptEvent()
    {
        if (!tapSymbol()) {
            tap(uniform(0, 239), uniform(0, 319), "no charge symbol to tap");
            return;
        }
        const Ending ending = pick<Ending>(
            {Ending::Dismiss, Ending::Dismiss, Ending::Close, Ending::Esc, Ending::Enter, Ending::CaptionClose});
        if (chance(0.4)) {
            // The sequencer and the timers go on while the prompt is up.
            const DeviceTime hold = uniform(0, 3000);
            runFor(hold / 2);
            if (chance(0.5))
                power(m_line == 1 ? 0 : 1, std::nullopt);
            else if (chance(0.5))
                rotate(pick<int>({0, 90, 180, 270}));
            runFor(hold - hold / 2);
        }
        endPrompt(ending);
    }

    void settingEdit()
    {
        const int k = uniform(0, kSettingCount - 1);
        const SettingInfo& s = kSettings[static_cast<std::size_t>(k)];
        const bool known = !busy();
        const bool held = holding();
        std::optional<DWORD> value;
        const int how = uniform(0, 19);
        std::string text =
            std::string(s.root == Root::LocalMachine ? "HKLM\\" : "HKCU\\") + trace::narrow(s.path) + " " + s.label;
        if (how == 0) {
            m_harness->deleteRegistryValue(s.root, s.path, s.name);
            note("reg delete " + text);
        } else if (how == 1) {
            // Text where a number belongs reads as the default.
            m_harness->setRegistryValue(s.root, s.path, registry::stringValue(s.name, L"7"));
            note("reg set " + text + " sz:\"7\"");
        } else {
            switch (k) {
            case kBattery:
            case kAc:
                value = static_cast<DWORD>(uniform(0, 10));
                break;
            case kDim:
                value = static_cast<DWORD>(uniform(0, 1));
                break;
            case kAutoRotateSetting:
                value = pick<DWORD>({0, 1, 0x80000000u, 0x80000001u, static_cast<DWORD>(m_rng())});
                break;
            default:
                value = pick<DWORD>({0, 90, 180, 270});
                break;
            }
            writeSetting(k, *value);
        }
        if (!known)
            m_unknown[static_cast<std::size_t>(k)] = true;
        else if (!held)
            m_user[static_cast<std::size_t>(k)] = effective(k);
    }

    void otherEdit()
    {
        const DWORD value = static_cast<DWORD>(uniform(0, 1000));
        test::setDword(*m_harness, Root::CurrentUser, L"Software\\Other", L"Value", value);
        note("reg set HKCU\\Software\\Other Value dword:" + std::to_string(value));
    }

    void secondLaunch()
    {
        const auto before = m_harness->instances().size();
        launch();
        // A suspended device runs no program until it wakes; the instance is checked then.
        m_secondInstances.push_back(m_harness->instances().at(before));
        checkSecondInstances();
    }

    bool suspended()
    {
        std::lock_guard lock(m_harness->device().kernel().mutex());
        return m_harness->device().scheduler().suspendedLocked();
    }

    void checkSecondInstances()
    {
        if (m_secondInstances.empty() || suspended())
            return;
        for (const auto pid : m_secondInstances) {
            if (m_harness->device().running(pid))
                fail("a second instance (pid " + std::to_string(pid) + ") kept running");
        }
        m_secondInstances.clear();
    }

    // --- Checks -------------------------------------------------------------------------------

    void checkpoint()
    {
        // The model's state is the device's once what the last event set off has run.
        m_harness->runUntilIdle();
        for (std::size_t i = m_violationsSeen; i < m_watch.violations().size(); ++i)
            fail(m_watch.violations()[i]);
        m_violationsSeen = m_watch.violations().size();

        checkSilence();
        checkSecondInstances();
        if (m_modelRunning && !running()) {
            m_modelRunning = false;
            ended();
        }
        CChargeScreenDlg* s = screen();
        if (!s)
            return;
        if (!m_result.faulted && LoadShared(&g_powerSource) != m_source)
            fail("the power source is " + std::to_string(LoadShared(&g_powerSource)) + " where the line reports give " +
                 std::to_string(m_source));
        if (s->m_pendingRuns < 0 || s->m_pendingRuns > 1)
            fail("the sequencer's pending runs is " + std::to_string(s->m_pendingRuns));
        // A suspended device may have frozen the window's thread in the middle of a frame.
        if (!suspended())
            checkGdi(*s);
        checkCapture();
        checkScreenFollowsTheLine();
    }

    // Once the line has been quiet for a while the screen shows what it says: shown after a
    // plug unless the user dismissed it since, hidden after an unplug.
    void checkScreenFollowsTheLine()
    {
        if (m_result.faulted || !m_modelRunning || promptUp() || suspended())
            return;
        const DeviceTime quiet = m_harness->now() - m_lastReportAt;
        if (quiet < kQuietLine)
            return;
        const std::string since = " for " + std::to_string(quiet) + " ms";
        if (m_line == 1 && m_source == POWER_SOURCE_AC && !windowShown())
            fail("on AC" + since + " and not dismissed: the charging screen is hidden");
        else if (m_line == 0 && windowShown())
            fail("on battery" + since + ": the charging screen is shown");
    }

    // Nothing but the utility's own windows is ever shown: no message, no other window.
    void checkSilence()
    {
        if (const auto other = foreignWindowShown(*m_harness))
            fail("a window \"" + trace::narrow(*other) + "\" is shown");
    }

    void checkGdi(CChargeScreenDlg& s)
    {
        // A failed release leaves an object behind, as it would on the device.
        if (const auto problem = gdiImbalance(*m_harness, s, m_watch.gdiReleaseFaults()))
            fail(*problem);
    }

    // Each time the utility captures the user's settings, it captures what the model says the
    // user has (on a run without faults).
    void checkCapture()
    {
        const Settings saved = savedGlobals();
        if (m_lastSaved && *m_lastSaved == saved)
            return;
        m_lastSaved = saved;
        for (int k = 0; k < kSettingCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (m_unknown[i] || m_result.faulted) {
                m_user[i] = saved[i];
                m_unknown[i] = outOfRangeLevel(k, saved[i]);
            } else if (saved[i] != m_user[i]) {
                fail(std::string("the utility captured ") + kSettings[i].label + " " + hex(saved[i]) +
                     " where the user's setting is " + hex(m_user[i]));
                m_user[i] = saved[i];
            }
        }
    }

    // A level outside 0..10 (the steps' 11, left by an end without Close) is one that the ramps
    // do not put back as it was: the model follows it no further.
    static bool outOfRangeLevel(int k, DWORD value) { return (k == kBattery || k == kAc) && value > 10; }

    // The reference for the settings the device should hold: the model's on a run without
    // faults, where it also checks the utility's own; what the utility captured otherwise.
    Settings reference()
    {
        const Settings saved = savedGlobals();
        Settings ref = m_user;
        for (int k = 0; k < kSettingCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (m_result.faulted || m_unknown[i])
                ref[i] = saved[i];
            else if (saved[i] != m_user[i])
                fail(std::string("the utility holds ") + kSettings[i].label + " " + hex(saved[i]) +
                     " as the user's, where the user's setting is " + hex(m_user[i]));
        }
        return ref;
    }

    void expectSetting(int k, DWORD expected, const char* state)
    {
        const DWORD actual = effective(k);
        if (actual != expected)
            fail(std::string(state) + ": " + kSettings[static_cast<std::size_t>(k)].label + " is " + hex(actual) +
                 ", not " + hex(expected));
    }

    void expectOrientation(std::optional<int> degrees, const char* state)
    {
        if (degrees && m_harness->orientationDegrees() != *degrees)
            fail(std::string(state) + ": the display is at " + std::to_string(m_harness->orientationDegrees()) +
                 " degrees, not " + std::to_string(*degrees));
    }

    // The utility ended: by Close (the settings restored), or by Esc (nothing restored).
    void ended()
    {
        const bool closed = g_closeRequested != 0;
        note(closed ? "# the utility ended by Close" : "# the utility ended without Close");
        if (closed && m_armed) {
            // A registry call failed on purpose during the restore loses that value, as the
            // device would; the restore is checked on the runs where nothing fails.
            note("# the restore ran under faults");
        } else if (closed) {
            const Settings ref = reference();
            for (int k = 0; k < kSettingCount; ++k)
                expectSetting(k, ref[static_cast<std::size_t>(k)], "after Close");
            expectOrientation(degreesForAngle(ref[kAngleSetting]), "after Close");
        } else {
            // What the utility left is what the user has from now on; but a level the user
            // cannot set (the steps' 11) the utility's ramps treat as they please.
            m_user = registrySettings();
            for (int k = 0; k < kSettingCount; ++k)
                m_unknown[static_cast<std::size_t>(k)] = outOfRangeLevel(k, m_user[static_cast<std::size_t>(k)]);
        }
        if (m_watch.gdiLeaks() > m_leaksAtStart && m_watch.gdiReleaseFaults() == 0)
            fail("the utility ended with GDI objects left");
        // The controller and the power manager.
        const int threads = aliveThreads(*m_harness);
        if (threads != kThreadsWithoutPrograms)
            fail("threads alive after the utility's end: " + std::to_string(threads) +
                 ", where only the controller and the power manager should be");
    }

    // --- The end: faults stop, the last source, liveness ---------------------------------------

    void finalPhase()
    {
        if (m_result.faulted) {
            faultsOff();
            note("# faults off");
            runFor(5000);
            checkpoint();
        } else {
            runFor(gap());
        }
        if (promptUp()) {
            note("# the close prompt is up");
            endPrompt(Ending::CaptionClose);
        }
        // A key pressed while the utility sleeps in its one-second pause is handled only after
        // it: the last phase decides whether the utility runs once such input has had its effect.
        runFor(1500);
        // Input also waits behind the steps a run posts, and a flapping charger can start a
        // run right as the last one's pause ends: wait until no run is under way.
        for (int wait = 0; wait < 40 && busy(); ++wait)
            runFor(500);
        if (!running()) {
            launch();
            runFor(uniform(100, 3000));
            checkpoint();
        }
        Target target =
            pick<Target>({Target::Ac, Target::Ac, Target::Battery, Target::Battery, Target::Dismissed, Target::Closed});
        target = sabotageBefore(target);
        note(std::string("# the last source: ") + targetName(target));

        switch (target) {
        case Target::Ac:
            freshAc();
            break;
        case Target::Battery:
            freshBattery();
            break;
        case Target::Dismissed:
        case Target::Closed:
            freshAc();
            openPromptFor(target);
            break;
        }
        runFor(10000);
        checkpoint();
        checkLiveness(target);
    }

    // Brings the device to AC by a change that the power monitor reports (a request): from what
    // the monitor holds, since a request lost to a fault leaves it otherwise than the line says.
    void freshAc()
    {
        // On a run without faults the model is what the monitor holds, and what it should hold
        // when the utility has it otherwise.
        const BYTE source = m_result.faulted ? LoadShared(&g_powerSource) : m_source;
        const BYTE reported = m_result.faulted ? LoadShared(&g_lastReportedSource) : m_lastReported;
        if (source != POWER_SOURCE_UNKNOWN && !(source == POWER_SOURCE_BATTERY && reported == POWER_SOURCE_BATTERY)) {
            power(0, std::nullopt);
            runFor(uniform(0, 6000));
        }
        power(1, std::nullopt);
    }

    void freshBattery()
    {
        if (LoadShared(&g_powerSource) != POWER_SOURCE_AC || LoadShared(&g_lastReportedSource) != POWER_SOURCE_AC) {
            freshAc();
            runFor(uniform(0, 6000));
        }
        if (m_sabotage == Sabotage::LoseDimSetting) {
            g_savedUseDim ^= 1;
            m_lastSaved = savedGlobals();
        }
        power(0, std::nullopt);
    }

    void openPromptFor(Target target)
    {
        runFor(2500);
        bool opened = false;
        for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
            opened = tapSymbol();
            if (!opened)
                runFor(1000);
        }
        if (!opened) {
            fail("the close prompt did not open on a tap on the charge symbol");
            return;
        }
        if (target == Target::Closed) {
            if (m_sabotage == Sabotage::CorruptSavedLevel) {
                ++g_savedAcBacklightLevel;
                m_lastSaved = savedGlobals();
            } else if (m_sabotage == Sabotage::UseClosedHandle) {
                std::lock_guard lock(m_harness->device().kernel().mutex());
                m_harness->device().kernel().handlesLocked().close(g_stopEvent);
            }
        }
        endPrompt(target == Target::Closed ? Ending::Close : Ending::Dismiss);
    }

    Target sabotageBefore(Target target)
    {
        switch (m_sabotage) {
        case Sabotage::None:
            return target;
        case Sabotage::LoseDimSetting:
            return Target::Battery;
        case Sabotage::CorruptSavedLevel:
        case Sabotage::UseClosedHandle:
            return Target::Closed;
        case Sabotage::LeakGdiObject: {
            std::lock_guard lock(m_harness->device().kernel().mutex());
            m_harness->device().gdi().createSolidBrushLocked(0);
            return Target::Ac;
        }
        case Sabotage::LeaveThreadRunning: {
            kernel::Kernel& k = m_harness->device().kernel();
            k.spawnSystemThread("stray", [&k] {
                std::unique_lock lock(k.mutex());
                k.waitForLocked(
                    lock, [] { return false; }, INFINITE);
            });
            return Target::Closed;
        }
        case Sabotage::DismissOnBattery:
            // The charger pulled under the close prompt, then Dismiss; the last plug follows.
            freshAc();
            runFor(4000);
            if (!tapSymbol()) {
                fail("the close prompt did not open on a tap on the charge symbol");
                return Target::Ac;
            }
            power(0, std::nullopt);
            runFor(50);
            endPrompt(Ending::Dismiss);
            runFor(4000);
            return Target::Ac;
        case Sabotage::StallSequencer:
            // Once the run under way, if any, has ended: a run pending with nothing of it queued.
            runFor(6000);
            if (CChargeScreenDlg* s = screen())
                s->m_pendingRuns = 1;
            // The other state than the one the device is in, which a stalled run never reaches.
            return windowShown() ? Target::Battery : Target::Ac;
        }
        return target;
    }

    void checkLiveness(Target target)
    {
        if (target == Target::Closed) {
            if (running())
                fail("closed: the utility still runs");
            return;
        }
        if (!running()) {
            // A Close whose exit a fault refused ends the utility at its next run instead.
            if (m_result.faulted && g_closeRequested != 0) {
                note("# a Close made under faults took effect at a later run");
                return;
            }
            fail(std::string(targetName(target)) + ": the utility is not running");
            return;
        }
        const Settings ref = reference();
        const char* state = targetName(target);
        if (LoadShared(&g_powerSource) != m_source)
            fail(std::string(state) + ": the power source is " + std::to_string(LoadShared(&g_powerSource)) +
                 " where the line reports give " + std::to_string(m_source));
        const bool ac = target == Target::Ac;
        if (windowShown() != ac)
            fail(std::string(state) + ": the window is " + (ac ? "hidden" : "shown"));
        if (ac) {
            const int charging = m_platformId == L"511" ? 270 : 90;
            expectOrientation(charging, state);
            expectSetting(kAc, 10, state);
            expectSetting(kBattery, ref[kBattery], state);
            expectSetting(kDim, 0, state);
            expectSetting(kAutoRotateSetting, ref[kAutoRotateSetting] & 0x7FFFFFFF, state);
            expectSetting(kAngleSetting, static_cast<DWORD>(charging), state);
        } else {
            const bool dismissed = target == Target::Dismissed;
            expectOrientation(degreesForAngle(ref[kAngleSetting]), state);
            expectSetting(kBattery, dismissed ? ref[kBattery] : rampEnd(ref[kBattery]), state);
            expectSetting(kAc, dismissed ? rampEnd(ref[kAc]) : ref[kAc], state);
            expectSetting(kDim, ref[kDim], state);
            expectSetting(kAutoRotateSetting, ref[kAutoRotateSetting], state);
            expectSetting(kAngleSetting, ref[kAngleSetting], state);
        }
        const auto backlight = test::linesWith(*m_harness, " device.power BKL1: ");
        if (!backlight.empty() && !backlight.back().ends_with(" D0"))
            fail(std::string(state) + ": the backlight was left at " + backlight.back());
    }

    std::uint64_t m_seed;
    Sabotage m_sabotage;
    kernel::RunMode m_run;
    std::mt19937_64 m_rng;
    std::mt19937_64 m_faultRng;
    CallWatch m_watch;
    std::unique_ptr<Harness> m_harness;
    SimulationResult m_result;

    // Faults fail calls only while armed: not during a start-up, not after the faults stop.
    bool m_armed = false;
    std::wstring m_platformId;
    // The model: the battery driver's line, the power source as the monitor keeps it, the
    // user's settings and which of them an outside change during a run has left open.
    int m_line = 0;
    DeviceTime m_lastReportAt = 0;
    bool m_modelRunning = false;
    BYTE m_source = POWER_SOURCE_UNKNOWN;
    BYTE m_lastReported = POWER_SOURCE_UNKNOWN;
    Settings m_user{};
    std::array<bool, kSettingCount> m_unknown{};
    std::optional<Settings> m_lastSaved;
    std::size_t m_violationsSeen = 0;
    std::vector<ProcessId> m_secondInstances;
    int m_leaksAtStart = 0;
};

std::uint64_t splitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

std::string SimulationResult::report() const
{
    std::ostringstream out;
    out << "seed " << seed << (faulted ? " (with faults)" : " (no faults)") << ": " << failures.size()
        << " failure(s); replay with VELORIN_SEED=" << seed << "\n";
    for (const auto& f : failures)
        out << "  FAILED " << f << "\n";
    out << "  scenario:\n";
    for (const auto& line : log)
        out << "    " << line << "\n";
    return out.str();
}

SimulationResult runSimulation(std::uint64_t seed, Sabotage sabotage, std::optional<kernel::RunMode> run)
{
    Simulation simulation(seed, sabotage, run.value_or(runModeFor(seed)));
    return simulation.run();
}

std::vector<std::uint64_t> freshSeeds(std::uint64_t base, std::size_t count)
{
    std::vector<std::uint64_t> seeds;
    std::uint64_t state = base;
    for (std::size_t i = 0; i < count; ++i)
        seeds.push_back(splitMix(state) % 1000000000000ull);
    return seeds;
}

std::optional<std::uint64_t> seedFromEnvironment(const char* name)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return std::nullopt;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (!end || *end != '\0')
        return std::nullopt;
    return value;
}

const char* commitName()
{
    return VELORIN_COMMIT;
}

std::uint64_t commitSeedBase()
{
    std::uint64_t h = 1469598103934665603ull;
    for (const char* c = VELORIN_COMMIT; *c; ++c) {
        h ^= static_cast<unsigned char>(*c);
        h *= 1099511628211ull;
    }
    return h;
}

}  // namespace velorin::reliability
