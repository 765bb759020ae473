// One run of velorin-sim, step by step: from its options to its files and its summary.
#include "sim/cli/sim_run.hpp"

#include "sim/cli/builtin_demo.hpp"
#include "sim/cli/demo_summary.hpp"
#include "sim/cli/interrupts.hpp"
#include "sim/cli/options.hpp"
#include "sim/cli/output_paths.hpp"
#include "sim/cli/run_files.hpp"
#include "sim/cli/run_summary.hpp"
#include "sim/cli/trace_output.hpp"
#include "sim/harness/harness.hpp"
#include "sim/host_power/host_battery.hpp"
#include "sim/live/live_window.hpp"
#include "sim/output/contact_sheet.hpp"
#include "sim/output/gif_recorder.hpp"
#include "sim/output/progress_meter.hpp"
#include "sim/output/sheet_moments.hpp"
#include "sim/output/trace_tap.hpp"
#include "sim/player/scenario_player.hpp"
#include "sim/scenario/scenario.hpp"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

namespace velorin::sim {

namespace {

constexpr int kExpectFailed = 1;
constexpr int kBadInput = 2;
constexpr std::string_view kLiveName = "<live window>";
// How often a run stops to look at the screen when pictures are made: the GIF's resolution.
constexpr DeviceTime kPictureStep = 10;
// How often a long run without pictures stops to update the progress line.
constexpr DeviceTime kProgressStep = 100;
// How often a run on the machine's charger stops to look for a new reading at the latest.
constexpr DeviceTime kHostPowerStep = 100;

// One run, from its options to its summary. Each step that can refuse says why on standard
// error and returns false; then nothing after it is done.
class SimRun {
public:
    explicit SimRun(SimOptions options) : m_options(std::move(options)) {}
    SimRun(const SimRun&) = delete;
    SimRun& operator=(const SimRun&) = delete;

    int run()
    {
        if (!loadScenario() || !checkInputs() || !chooseOutputs() || !openTrace() || !openPictures() ||
            !bootDevice() || !openWindow())
            return kBadInput;
        watchProgress();
        followHostPower();
        preparePlayer();
        const std::vector<UserSetting> settingsBefore = readUserSettings(*m_harness);
        const PlayResult result = play();
        int status = save(result);
        if (m_demo)
            printDemoSummary(settingsBefore);
        printRunSummary(std::cerr, m_scenario, result, interrupted(), m_saved);
        if (interrupted() && status != kBadInput)
            status = 128 + interruptSignal();
        return status;
    }

private:
    static bool refuse(const std::string& why)
    {
        std::cerr << why << '\n';
        return false;
    }

    bool loadScenario()
    {
        try {
            if (m_options.scenarioFile)
                m_scenario = loadScenarioFile(*m_options.scenarioFile);
            else if (m_options.window)
                m_scenario = parseScenario("", std::string(kLiveName));
            else
                m_scenario = parseScenario(builtinDemoScenario(), std::string(kBuiltinDemoName));
        } catch (const ScenarioError& e) {
            return refuse(e.what());
        }
        return true;
    }

    bool checkInputs()
    {
        if (const auto refused = m_options.hostPower ? refusedWithMachinePower(m_scenario) : std::nullopt)
            return refuse(*refused);
        if (m_options.window && !LiveWindow::available())
            return refuse("velorin-sim: --window: this velorin-sim was built without SDL2");
        if (const auto problem = m_options.sheetFile ? checkWritable(*m_options.sheetFile, "contact sheet")
                                                     : std::nullopt)
            return refuse(*problem);
        if (const auto problem = m_options.registryFile ? checkRegistryFile(*m_options.registryFile) : std::nullopt)
            return refuse(*problem);
        return true;
    }

    // No two files of the run may be one, or one would be written over the other (or over the
    // scenario).
    bool chooseOutputs()
    {
        const RunFiles files = chooseRunFiles(m_options);
        m_demo = files.demo;
        if (const auto clash = findPathClash(files.paths))
            return refuse("velorin-sim: " + *clash);
        if (files.usesDemoOutput) {
            std::error_code error;
            std::filesystem::create_directories(kDemoOutput, error);
            if (error)
                return refuse(kDemoOutput.string() + ": cannot make the directory: " + error.message());
        }
        return true;
    }

    bool openTrace()
    {
        if (const auto problem = m_trace.open(m_options.traceFile, m_options.trace.has_value()))
            return refuse(*problem);
        m_traceLevel = m_options.trace.value_or(trace::TraceLevel::Effects);
        return true;
    }

    bool openPictures()
    {
        if (m_options.gifFile) {
            m_gif.emplace(*m_options.gifFile, std::max(m_options.screenWidth, m_options.screenHeight));
            if (m_gif->error())
                return refuse(*m_gif->error());
        }
        // The sheet watches the trace for the ends of sequences, which needs every dispatch; the
        // lines still reach the person at the level asked for.
        if (m_options.sheetFile) {
            m_sheet.emplace("velorin-sim  " + std::filesystem::path(m_scenario.file).filename().string());
            m_tap.emplace(m_trace.stream(), m_traceLevel, [this](std::string_view line) {
                if (m_moments)
                    m_moments->traceLine(line);
            });
        }
        return true;
    }

    HarnessOptions harnessOptions()
    {
        const bool pictures = m_options.gifFile || m_options.sheetFile || m_options.framesDir;
        HarnessOptions harness;
        harness.device.seed = m_options.seed;
        harness.device.clock =
            m_options.realtime || m_options.window ? kernel::ClockMode::Wall : kernel::ClockMode::Virtual;
        harness.device.run = m_options.free      ? kernel::RunMode::Free
                             : m_options.preempt ? kernel::RunMode::Preemptive
                                                 : kernel::RunMode::Serial;
        harness.device.trace = m_tap ? trace::TraceLevel::All : m_traceLevel;
        harness.device.screenWidth = m_options.screenWidth;
        harness.device.screenHeight = m_options.screenHeight;
        harness.sampleEvery = pictures || m_options.window ? kPictureStep
                              : showsProgress()            ? kProgressStep
                              : m_options.hostPower        ? kHostPowerStep
                                                           : 0;
        if (m_options.framesDir)
            harness.framesDir = *m_options.framesDir;
        harness.traceSink = m_tap ? &*m_tap : m_trace.stream();
        harness.keepTraceLines = false;
        harness.interrupt = &interrupted();
        return harness;
    }

    bool showsProgress() const { return !m_options.window && isatty(STDERR_FILENO); }

    bool bootDevice()
    {
        const HarnessOptions options = harnessOptions();
        catchInterrupts();
        m_harness.emplace(options);
        if (m_options.registryFile) {
            try {
                m_harness->useRegistryFile(*m_options.registryFile);
            } catch (const registry::RegFileError& e) {
                return refuse(e.what());
            }
        }
        if (framesFailed())
            return false;
        if (m_gif)
            m_harness->addFrameSink(*m_gif);
        return true;
    }

    bool framesFailed()
    {
        const auto* frames = m_harness->frames();
        return frames && failedWith(frames->error());
    }

    bool openWindow()
    {
        if (!m_options.window)
            return true;
        try {
            m_window = std::make_unique<LiveWindow>(*m_harness);
        } catch (const LiveWindowError& e) {
            return refuse(std::string("velorin-sim: ") + e.what());
        }
        m_harness->addStepListener([this] { m_window->afterStep(); });
        return true;
    }

    // The run's end is known unless the person ends it: the last line, or --until.
    void watchProgress()
    {
        if (!showsProgress())
            return;
        m_meter.emplace(std::cerr, m_harness->now());
        DeviceTime end = 0;
        if (m_options.until)
            end = *m_options.until;
        else
            for (const auto& line : m_scenario.lines)
                end = std::max(end, line.at);
        if (end > m_harness->now())
            m_meter->endsAt(end);
        m_harness->addStepListener([this] { m_meter->update(m_harness->now()); });
    }

    // Its first reading stands where a scenario's time-0 battery lines would.
    void followHostPower()
    {
        if (!m_options.hostPower)
            return;
        HostPowerWatchOptions watch;
        if (m_options.powerRoot) {
            watch.root = *m_options.powerRoot;
            watch.udev = false;
            watch.inotify = true;
        }
        m_hostBattery.emplace(*m_harness, watch, std::cerr);
    }

    // The sheet's moments are the ends of the scenario's lines, among others.
    void preparePlayer()
    {
        m_player.emplace(*m_harness);
        if (!m_sheet)
            return;
        m_moments.emplace(*m_harness, *m_sheet);
        m_harness->addStepListener([this] { m_moments->afterStep(); });
        m_player->beforeLine = [this](const ScenarioLine& line) { m_moments->beforeLine(line); };
        m_player->afterLine = [this](const ScenarioLine& line, const std::optional<std::string>& failure) {
            m_moments->afterLine(line, failure);
        };
    }

    PlayResult play()
    {
        PlayResult result = m_player->play(m_scenario, m_options.until, &std::cerr);
        if (m_window) {
            m_window->runUntilClosed(m_options.until);
            result.endedAt = m_harness->now();
        }
        if (m_meter)
            m_meter->finish();
        if (m_moments)
            m_moments->finish();
        if (m_gif)
            m_gif->finish(result.endedAt);
        m_hostBattery.reset();
        m_harness->powerOff();
        m_window.reset();
        return result;
    }

    // Each file written, or why not; the status of the run.
    int save(const PlayResult& result)
    {
        const bool traceInFile = m_trace.toFile();
        const bool traceSaved = closeTrace();
        const bool registrySaved = saveRegistry();
        const bool framesSaved = !framesFailed();
        const bool gifSaved = m_gif && !failedWith(m_gif->error());
        const bool sheetSaved = writeSheet();
        const bool allSaved = traceSaved && (registrySaved || !m_options.registryFile) && framesSaved &&
                              (gifSaved || !m_gif) && (sheetSaved || !m_sheet);
        if (traceSaved && traceInFile)
            m_saved.push_back("trace in " + *m_options.traceFile);
        if (registrySaved)
            m_saved.push_back("registry saved in " + *m_options.registryFile);
        if (gifSaved)
            m_saved.push_back("GIF in " + *m_options.gifFile);
        if (sheetSaved)
            m_saved.push_back("sheet in " + *m_options.sheetFile + " (" + std::to_string(m_sheet->cells().size()) +
                              " pictures)");
        return !allSaved ? kBadInput : result.failures.empty() ? 0 : kExpectFailed;
    }

    // Whether there is a problem; it is told.
    static bool failedWith(const std::optional<std::string>& problem)
    {
        if (problem)
            std::cerr << *problem << '\n';
        return problem.has_value();
    }

    bool closeTrace() { return !failedWith(m_trace.close()); }

    bool saveRegistry()
    {
        if (!m_options.registryFile)
            return false;
        try {
            m_harness->saveRegistry();
            return true;
        } catch (const registry::FileSaveError& e) {
            return !failedWith(std::string("velorin-sim: ") + e.what());
        }
    }

    bool writeSheet()
    {
        if (!m_sheet)
            return false;
        try {
            m_sheet->write(*m_options.sheetFile);
            return true;
        } catch (const std::runtime_error& e) {
            return !failedWith(e.what());
        }
    }

    void printDemoSummary(const std::vector<UserSetting>& settingsBefore)
    {
        if (m_sheet)
            printMoments(std::cout, m_sheet->cells());
        printUserSettings(std::cout, settingsBefore, readUserSettings(*m_harness));
    }

    SimOptions m_options;
    Scenario m_scenario;
    bool m_demo = false;
    std::vector<std::string> m_saved;  // "trace in out/trace.txt", for the summary
    TraceOutput m_trace;
    trace::TraceLevel m_traceLevel = trace::TraceLevel::Effects;
    std::optional<GifRecorder> m_gif;
    std::optional<ContactSheet> m_sheet;
    std::optional<SheetMoments> m_moments;
    std::optional<TraceTap> m_tap;
    std::optional<Harness> m_harness;
    std::unique_ptr<LiveWindow> m_window;
    std::optional<ProgressMeter> m_meter;
    std::optional<HostBattery> m_hostBattery;
    std::optional<ScenarioPlayer> m_player;
};

}  // namespace

int runSimulator(SimOptions options)
{
    return SimRun(std::move(options)).run();
}

}  // namespace velorin::sim
