// velorin-sim: boots a device, runs the program on it through a scenario, shows what happened.
#include "sim/cli/builtin_demo.hpp"
#include "sim/cli/demo_summary.hpp"
#include "sim/cli/options.hpp"
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

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

namespace {

using namespace velorin;
using namespace velorin::sim;

constexpr int kExpectFailed = 1;
constexpr int kBadInput = 2;
const std::filesystem::path kDemoOutput = "out";
constexpr std::string_view kLiveName = "<live window>";
// How often a run stops to look at the screen when pictures are made: the GIF's resolution.
constexpr DeviceTime kPictureStep = 10;
// How often a long run without pictures stops to update the progress line.
constexpr DeviceTime kProgressStep = 100;
// How often a run on the machine's charger stops to look for a new reading at the latest.
constexpr DeviceTime kHostPowerStep = 100;

Scenario loadScenario(const SimOptions& options)
{
    if (options.scenarioFile)
        return loadScenarioFile(*options.scenarioFile);
    if (options.window)
        return parseScenario("", std::string(kLiveName));
    return parseScenario(builtinDemoScenario(), std::string(kBuiltinDemoName));
}

std::string reason()
{
    return errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
}

// A file that the run writes at its end must be writable before the run starts.
std::optional<std::string> checkWritable(const std::string& file, const std::string& what)
{
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
        return file + ": cannot write the " + what + " there: it is a directory";
    // A device or a pipe is never replaced: the file is written whole beside it and renamed, or
    // removed when its writing fails, and either would take the device node away.
    if (std::filesystem::exists(file, error) && !std::filesystem::is_regular_file(file, error))
        return file + ": cannot write the " + what + " there: it is not a regular file";
    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    if (!parent.empty() && !std::filesystem::is_directory(parent, error))
        return file + ": cannot write the " + what + " there: there is no directory " + parent.string();
    return std::nullopt;
}

// The registry file's problems that its reader would misreport: a directory, nowhere to save.
std::optional<std::string> checkRegistryFile(const std::string& file)
{
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
        return file + ": is a directory, not a .reg file";
    if (auto problem = checkWritable(file, "registry"))
        return problem;
    return std::nullopt;
}

// A person's Ctrl-C, or a SIGTERM, ends the run as its end would: the registry, the trace and
// the pictures are saved, and the status says which signal came. A second one ends at once.
std::atomic<bool> g_interrupted{false};
std::atomic<int> g_signal{0};

extern "C" void onInterrupt(int signal)
{
    g_signal = signal;
    g_interrupted = true;
}

void catchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int run(SimOptions options)
{
    Scenario scenario;
    try {
        scenario = loadScenario(options);
    } catch (const ScenarioError& e) {
        std::cerr << e.what() << '\n';
        return kBadInput;
    }
    if (const auto refused = options.hostPower ? refusedWithMachinePower(scenario) : std::nullopt) {
        std::cerr << *refused << '\n';
        return kBadInput;
    }
    if (options.window && !LiveWindow::available()) {
        std::cerr << "velorin-sim: --window: this velorin-sim was built without SDL2\n";
        return kBadInput;
    }
    const auto problem =
        options.sheetFile ? checkWritable(*options.sheetFile, "contact sheet") : std::optional<std::string>();
    const auto registryProblem =
        options.registryFile ? checkRegistryFile(*options.registryFile) : std::optional<std::string>();
    if (problem || registryProblem) {
        std::cerr << problem.value_or(registryProblem.value_or("")) << '\n';
        return kBadInput;
    }

    // The demo keeps its whole trace and both pictures under out/ and tells the person about
    // them; the live device played by hand keeps its registry there from one session to the
    // next, while a scenario starts from the default hive as it does in the other clocks, so
    // that it has one outcome. What is asked for on the command line still wins.
    const bool demo = !options.scenarioFile && !options.window;
    const bool liveRegistry = options.window && !options.registryFile && !options.scenarioFile;
    if (demo || liveRegistry) {
        std::error_code error;
        std::filesystem::create_directories(kDemoOutput, error);
        if (error) {
            std::cerr << kDemoOutput.string() << ": cannot make the directory: " << error.message() << '\n';
            return kBadInput;
        }
    }
    if (liveRegistry)
        options.registryFile = (kDemoOutput / "live.reg").string();
    if (demo) {
        if (!options.traceFile) {
            options.traceFile = (kDemoOutput / "trace.txt").string();
            options.trace = options.trace.value_or(trace::TraceLevel::All);
        }
        if (!options.gifFile)
            options.gifFile = (kDemoOutput / "demo.gif").string();
        if (!options.sheetFile)
            options.sheetFile = (kDemoOutput / "sheet.png").string();
    }
    std::ofstream traceFile;
    std::ostream* traceOut = nullptr;
    if (options.traceFile && *options.traceFile == "-") {
        traceOut = &std::cout;
    } else if (options.traceFile) {
        errno = 0;
        traceFile.open(*options.traceFile);
        if (!traceFile) {
            std::cerr << *options.traceFile << ": cannot write the trace there" << reason() << '\n';
            return kBadInput;
        }
        traceOut = &traceFile;
    } else if (options.trace) {
        traceOut = &std::cout;
    }
    const trace::TraceLevel traceLevel = options.trace.value_or(trace::TraceLevel::Effects);

    const int side = std::max(options.screenWidth, options.screenHeight);
    std::optional<GifRecorder> gif;
    if (options.gifFile) {
        gif.emplace(*options.gifFile, side);
        if (gif->error()) {
            std::cerr << *gif->error() << '\n';
            return kBadInput;
        }
    }

    // The sheet watches the trace for the ends of sequences, which needs every dispatch; the
    // lines still reach the person at the level asked for.
    std::optional<ContactSheet> sheet;
    std::optional<SheetMoments> moments;
    std::optional<TraceTap> tap;
    if (options.sheetFile) {
        sheet.emplace("velorin-sim  " + std::filesystem::path(scenario.file).filename().string());
        tap.emplace(traceOut, traceLevel, [&moments](std::string_view line) {
            if (moments)
                moments->traceLine(line);
        });
    }

    const bool pictures = options.gifFile || options.sheetFile || options.framesDir;
    const bool progress = !options.window && isatty(STDERR_FILENO);
    HarnessOptions harnessOptions;
    harnessOptions.device.seed = options.seed;
    harnessOptions.device.clock =
        options.realtime || options.window ? kernel::ClockMode::Wall : kernel::ClockMode::Virtual;
    harnessOptions.device.run = options.free      ? kernel::RunMode::Free
                                : options.preempt ? kernel::RunMode::Preemptive
                                                  : kernel::RunMode::Serial;
    harnessOptions.device.trace = tap ? trace::TraceLevel::All : traceLevel;
    harnessOptions.device.screenWidth = options.screenWidth;
    harnessOptions.device.screenHeight = options.screenHeight;
    harnessOptions.sampleEvery = pictures || options.window ? kPictureStep
                                 : progress                  ? kProgressStep
                                 : options.hostPower         ? kHostPowerStep
                                                             : 0;
    if (options.framesDir)
        harnessOptions.framesDir = *options.framesDir;
    harnessOptions.traceSink = tap ? &*tap : traceOut;
    harnessOptions.interrupt = &g_interrupted;
    catchInterrupts();

    Harness harness(harnessOptions);
    if (options.registryFile) {
        try {
            harness.useRegistryFile(*options.registryFile);
        } catch (const registry::RegFileError& e) {
            std::cerr << e.what() << '\n';
            return kBadInput;
        }
    }
    const auto framesFailed = [&harness] {
        const auto* frames = harness.frames();
        if (frames && frames->error())
            std::cerr << *frames->error() << '\n';
        return frames && frames->error();
    };
    if (framesFailed())
        return kBadInput;
    if (gif)
        harness.addFrameSink(*gif);

    std::unique_ptr<LiveWindow> window;
    if (options.window) {
        try {
            window = std::make_unique<LiveWindow>(harness);
        } catch (const LiveWindowError& e) {
            std::cerr << "velorin-sim: " << e.what() << '\n';
            return kBadInput;
        }
        harness.addStepListener([&window] { window->afterStep(); });
    }
    std::optional<ProgressMeter> meter;
    if (progress) {
        meter.emplace(std::cerr, harness.now());
        harness.addStepListener([&meter, &harness] { meter->update(harness.now()); });
    }

    // Its first reading stands where a scenario's time-0 battery lines would.
    std::optional<HostBattery> hostBattery;
    if (options.hostPower) {
        HostPowerWatchOptions watch;
        if (options.powerRoot) {
            watch.root = *options.powerRoot;
            watch.udev = false;
            watch.inotify = true;
        }
        hostBattery.emplace(harness, watch, std::cerr);
    }

    ScenarioPlayer player(harness);
    if (sheet) {
        moments.emplace(harness, *sheet);
        harness.addStepListener([&moments] { moments->afterStep(); });
        player.beforeLine = [&moments](const ScenarioLine& line) { moments->beforeLine(line); };
        player.afterLine = [&moments](const ScenarioLine& line, const std::optional<std::string>& failure) {
            moments->afterLine(line, failure);
        };
    }
    const std::vector<UserSetting> settingsBefore = readUserSettings(harness);
    PlayResult result = player.play(scenario, options.until, &std::cerr);
    if (window) {
        window->runUntilClosed(options.until);
        result.endedAt = harness.now();
    }
    if (meter)
        meter->finish();
    if (moments)
        moments->finish();
    if (gif)
        gif->finish(result.endedAt);
    hostBattery.reset();
    harness.powerOff();
    window.reset();

    int status = result.failures.empty() ? 0 : kExpectFailed;
    if (options.registryFile) {
        try {
            harness.saveRegistry();
        } catch (const registry::FileSaveError& e) {
            std::cerr << "velorin-sim: " << e.what() << '\n';
            status = kBadInput;
        }
    }
    if (framesFailed())
        status = kBadInput;
    if (gif && gif->error()) {
        std::cerr << *gif->error() << '\n';
        status = kBadInput;
    }
    bool sheetWritten = false;
    if (sheet) {
        try {
            sheet->write(*options.sheetFile);
            sheetWritten = true;
        } catch (const std::runtime_error& e) {
            std::cerr << e.what() << '\n';
            status = kBadInput;
        }
    }

    if (demo) {
        if (sheet)
            printMoments(std::cout, sheet->cells());
        printUserSettings(std::cout, settingsBefore, readUserSettings(harness));
    }

    std::cerr << "velorin-sim: " << scenario.file << ": " << scenario.lines.size() << " lines, "
              << result.expectsChecked - result.expectsFailed << " of " << result.expectsChecked
              << " expectations held";
    if (const auto commandsFailed = result.failures.size() - static_cast<std::size_t>(result.expectsFailed))
        std::cerr << ", " << commandsFailed << (commandsFailed == 1 ? " command" : " commands") << " failed";
    std::cerr << "; the run " << (g_interrupted ? "was interrupted" : "ended") << " at "
              << formatDeviceTime(result.endedAt) << " device time";
    if (traceFile.is_open())
        std::cerr << "; trace in " << *options.traceFile;
    if (options.registryFile && status != kBadInput)
        std::cerr << "; registry saved in " << *options.registryFile;
    if (gif && !gif->error())
        std::cerr << "; GIF in " << *options.gifFile;
    if (sheetWritten)
        std::cerr << "; sheet in " << *options.sheetFile << " (" << sheet->cells().size() << " pictures)";
    std::cerr << '\n';
    if (g_interrupted && status != kBadInput)
        status = 128 + g_signal;
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedCommandLine parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        (parsed.exitStatus == 0 ? std::cout : std::cerr) << parsed.message << '\n';
        return parsed.exitStatus;
    }
    return run(*parsed.options);
}
