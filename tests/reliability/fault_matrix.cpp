// The scenario every case runs, the plan of cases drawn from a clean run's calls, and one case run
// with its fault: the device checked after each step and the outcome judged.
#include "tests/reliability/fault_matrix.hpp"

#include "tests/reliability/call_watch.hpp"
#include "tests/reliability/device_checks.hpp"

#include "services/saved_settings.h"
#include "res/resource.h"
#include "tests/support/utility_test_support.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

namespace velorin::reliability {

namespace {

using registry::Root;
using sim::Harness;

constexpr int kEveryCallBound = 300;

// Calls that only a failure before them reaches: the monitor's pause after a failed wait or
// read, and the queue's release after a refused subscription.
const std::vector<FaultCase>& failurePathCases()
{
    static const std::vector<FaultCase> cases{
        {{{"WaitForMultipleObjects", 0}, {"Sleep", 1}}, "Sleep", "the pause after a failed wait"},
        {{{"ReadMsgQueue", 0}, {"Sleep", 1}}, "Sleep", "the pause after a failed read"},
        {{{"RequestPowerNotifications", 1}, {"CloseMsgQueue", 1}}, "CloseMsgQueue", "after a refused subscription"},
    };
    return cases;
}

// Where a traced call happens: the message being handled (timers by id), "start" before the
// first one.
std::string contextOf(const std::string& dispatchLine)
{
    // "<ms> dispatch hwnd=<h> <MSG> wparam=<n> lparam=<n>"
    const std::size_t name = dispatchLine.find(' ', dispatchLine.find("hwnd=")) + 1;
    const std::size_t end = dispatchLine.find(' ', name);
    std::string context = dispatchLine.substr(name, end - name);
    if (context == "WM_TIMER" || context == "WM_COMMAND") {
        const std::size_t w = dispatchLine.find("wparam=") + 7;
        context += " " + dispatchLine.substr(w, dispatchLine.find(' ', w) - w);
    }
    return context;
}

// The scenario every case runs. `checkpoint` looks at the device after each step.
void runScenario(Harness& harness, const std::function<void()>& checkpoint)
{
    const auto step = [&](kernel::DeviceTime duration) {
        harness.runFor(duration);
        checkpoint();
    };
    // Taps the charge symbol and answers the prompt with `button`, when there is one to tap.
    const auto answer = [&](const wchar_t* button) {
        CChargeScreenDlg* screen = harness.programRunning() ? test::chargeScreen(harness) : nullptr;
        const auto window = harness.mainWindow();
        if (!screen || !window || !harness.windowVisible(*window) || IsRectEmpty(&screen->m_symbolRect))
            return;
        const RECT r = screen->m_symbolRect;
        harness.tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        if (!promptUp(harness))
            harness.runFor(1100);
        if (const auto centre = harness.device().windows().buttonCentre(button)) {
            harness.tap(centre->x, centre->y);
            if (promptUp(harness))
                harness.runFor(1100);
        }
        checkpoint();
    };

    harness.power(0, 50);
    harness.launch();
    harness.settle();
    checkpoint();
    step(1000);
    harness.power(1, 55);
    step(11500);  // the AC sequence, its ramp and a keep-awake tick
    answer(L"Dismiss");
    step(4000);
    harness.power(0, 60);
    step(4000);
    harness.power(1, 65);
    step(4000);
    answer(L"Close");
    step(2000);
}

sim::HarnessOptions options(CallWatch& watch)
{
    sim::HarnessOptions options = test::utilityOptions();
    options.traceSink = &watch.sink();
    return options;
}

// The bitmap that fails, the k-th loaded: the window never shows, nothing of the device is read
// or changed, no thread or timer starts, the bitmaps loaded before it are freed by the
// destructor (the digits first), and the utility ends.
void checkMissingBitmap(Harness& harness, std::uint64_t k, std::vector<std::string>& failures)
{
    const auto lines = test::traceLines(harness);
    const auto fail = [&](const std::string& what) {
        failures.push_back("missing bitmap " + std::to_string(k) + ": " + what);
    };
    constexpr UINT kLoadOrder[] = {IDB_BATTERY_EMPTY, IDB_BATTERY_FULL, IDB_CHARGE_SYMBOL, IDB_GAUGE, IDB_DIGITS};
    // Declaration order is Full, Empty, Symbol, Gauge, Digits; the destructor frees in reverse.
    constexpr UINT kFreeOrder[] = {IDB_DIGITS, IDB_GAUGE, IDB_CHARGE_SYMBOL, IDB_BATTERY_EMPTY, IDB_BATTERY_FULL};

    std::map<UINT, std::string> loaded;
    std::size_t failedAt = lines.size();
    std::uint64_t loads = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto call = parseCallLine(lines[i]);
        if (!call || call->function != "LoadBitmapW")
            continue;
        ++loads;
        const UINT id = static_cast<UINT>(std::stoul(call->args.at(1)));
        if (loads <= 5 && id != kLoadOrder[loads - 1])
            fail("bitmap " + std::to_string(id) + " loaded in place " + std::to_string(loads));
        if (call->result == "NULL")
            failedAt = std::min(failedAt, i);
        else
            loaded[id] = call->result;
    }
    if (loads != k)
        fail(std::to_string(loads) + " bitmaps asked for, not " + std::to_string(k));

    std::vector<std::string> freed;
    bool ended = false;
    bool cancelled = false;
    for (std::size_t i = failedAt; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        for (const char* effect : {" window.show ", " window.topmost ", " reg.set ", " reg.create ",
                                   " display.orientation ", " device.power ", " system.power "}) {
            if (line.find(effect) != std::string::npos)
                fail("after the failure: " + line);
        }
        ended = ended || line.find(" exit pid=1 code=0") != std::string::npos;
        if (line.find(" gdi.leak ") != std::string::npos)
            fail(line);
        const auto call = parseCallLine(line);
        if (!call)
            continue;
        if (call->function == "DeleteObject")
            freed.push_back(call->args.at(0));
        cancelled = cancelled || (call->function == "EndDialog" && call->args.at(1) == "2");
        static const std::set<std::string> notAfter{"SetWindowPos", "SetWindowLongPtrW", "CreateEventW",    "CreateThread",
                                                    "SetTimer",     "EventModify",    "RegCreateKeyExW", "ShowWindow"};
        if (notAfter.contains(call->function) ||
            (call->function == "RegOpenKeyExW" && call->args.at(1).find("Rotation") != std::string::npos))
            fail("after the failure: " + line);
    }
    std::vector<std::string> expectedFreed;
    for (const UINT id : kFreeOrder) {
        if (loaded.contains(id))
            expectedFreed.push_back(loaded[id]);
    }
    if (freed != expectedFreed) {
        std::string text;
        for (const auto& h : freed)
            text += " " + h;
        fail("freed" + (text.empty() ? std::string(" nothing") : text) + ", not the " +
             std::to_string(expectedFreed.size()) + " bitmaps loaded, the digits first");
    }
    if (!cancelled)
        fail("the dialog was not ended with IDCANCEL");
    if (!ended)
        fail("the utility did not end");
}

}  // namespace

std::string FaultCase::describe() const
{
    std::string text;
    for (const auto& rule : rules)
        text += (text.empty() ? "" : " + ") + rule.function +
                (rule.nth == 0 ? " always (its first " + std::to_string(kEveryCallBound) + " calls)"
                               : " call " + std::to_string(rule.nth));
    return text + " (" + function + ": " + context + ")";
}

const MatrixPlan& matrixPlan()
{
    static const MatrixPlan plan = [] {
        CallWatch watch;
        Harness harness(options(watch));
        watch.attach(harness);
        runScenario(harness, [] {});
        MatrixPlan built;
        std::map<std::string, std::set<std::string>> seen;
        std::map<std::string, std::uint64_t> ordinal;
        std::string context = "start";
        for (const auto& line : test::traceLines(harness)) {
            if (line.find(" dispatch ") != std::string::npos) {
                context = contextOf(line);
                ordinal.clear();
                continue;
            }
            const auto call = parseCallLine(line);
            if (!call)
                continue;
            const std::uint64_t n = ++built.calls[call->function];
            const std::string where = context + " #" + std::to_string(++ordinal[call->function]);
            // The first call at each place where the scenario makes it.
            if (seen[call->function].insert(where).second)
                built.cases.push_back({{{call->function, n}}, call->function, where});
        }
        for (const auto& [function, count] : built.calls) {
            built.cases.push_back({{{function, count}}, function, kLastCall});
            built.cases.push_back({{{function, 0}}, function, kEveryCall});
        }
        for (const auto& extra : failurePathCases())
            built.cases.push_back(extra);
        harness.powerOff();
        return built;
    }();
    return plan;
}

CaseOutcome runFaultCase(const FaultCase& faultCase)
{
    CaseOutcome outcome;
    CallWatch watch;
    Harness harness(options(watch));
    watch.attach(harness);
    for (const auto& rule : faultCase.rules) {
        if (rule.nth == 0) {
            // Every call, up to a bound: a window whose painting always fails is sent WM_PAINT
            // again at once, and time, which the scenario needs, would never move on.
            auto left = std::make_shared<int>(kEveryCallBound);
            harness.faults().failWhile(rule.function, [left] { return (*left)-- > 0; });
        } else {
            harness.faults().failNth(rule.function, rule.nth);
        }
    }
    const auto fail = [&](const std::string& what) {
        outcome.failures.push_back("at " + std::to_string(harness.now()) + " ms: " + what);
    };
    const bool gdiRelease = std::any_of(faultCase.rules.begin(), faultCase.rules.end(), [](const FaultRuleSpec& r) {
        return std::find(std::begin(kGdiRelease), std::end(kGdiRelease), r.function) != std::end(kGdiRelease);
    });
    bool wasRunning = false;
    std::size_t violationsSeen = 0;
    const auto checkpoint = [&] {
        // A thread kept busy (painting that always fails) spends device time, and a step can end
        // in the middle of its frame: the checks look once it has settled.
        harness.runUntilIdle();
        for (; violationsSeen < watch.violations().size(); ++violationsSeen)
            fail(watch.violations()[violationsSeen]);
        if (const auto other = foreignWindowShown(harness))
            fail("a window \"" + trace::narrow(*other) + "\" is shown");
        const bool running = harness.programRunning();
        if (wasRunning && !running && aliveThreads(harness) != kThreadsWithoutPrograms)
            fail("threads alive after the utility's end: " + std::to_string(aliveThreads(harness)));
        wasRunning = running;
        if (running) {
            if (CChargeScreenDlg* screen = test::chargeScreen(harness)) {
                if (const auto problem = gdiImbalance(harness, *screen, gdiRelease ? watch.gdiReleaseFaults() : 0))
                    fail(*problem);
            }
        }
    };
    runScenario(harness, checkpoint);
    checkpoint();
    for (const auto& rule : faultCase.rules)
        outcome.injected = outcome.injected || watch.faultsOn(rule.function) > 0;
    if (watch.gdiLeaks() > 0 && !gdiRelease)
        fail("the utility ended with GDI objects left");
    if (faultCase.function == "LoadBitmapW" && faultCase.rules.size() == 1) {
        const std::uint64_t nth = faultCase.rules[0].nth;
        if (nth <= 5)
            checkMissingBitmap(harness, nth == 0 ? 1 : nth, outcome.failures);
    }
    // VELORIN_SIM_TRACE=file keeps the trace of the case (run one with VELORIN_MATRIX_CASE).
    if (const char* file = std::getenv("VELORIN_SIM_TRACE")) {
        std::ofstream out(file);
        for (const auto& line : test::traceLines(harness))
            out << line << '\n';
    }
    harness.powerOff();
    return outcome;
}

}  // namespace velorin::reliability
