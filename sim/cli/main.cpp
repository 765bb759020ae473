// velorin-sim: boots a device, runs the program on it through a scenario, shows what happened.
#include "sim/cli/builtin_demo.hpp"
#include "sim/cli/options.hpp"
#include "sim/harness/harness.hpp"
#include "sim/player/scenario_player.hpp"
#include "sim/scenario/scenario.hpp"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace velorin;
using namespace velorin::sim;

constexpr int kExpectFailed = 1;
constexpr int kBadInput = 2;
const std::filesystem::path kDemoOutput = "out";

Scenario loadScenario(const SimOptions& options)
{
    if (options.scenarioFile)
        return loadScenarioFile(*options.scenarioFile);
    return parseScenario(builtinDemoScenario(), std::string(kBuiltinDemoName));
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

    const bool demo = !options.scenarioFile;
    if (demo && !options.trace)
        options.trace = trace::TraceLevel::All;
    std::ofstream traceFile;
    if (options.traceFile) {
        traceFile.open(*options.traceFile);
        if (!traceFile) {
            std::cerr << *options.traceFile << ": cannot write the trace there\n";
            return kBadInput;
        }
    }

    HarnessOptions harnessOptions;
    harnessOptions.device.seed = options.seed;
    harnessOptions.device.clock = options.realtime ? kernel::ClockMode::Wall : kernel::ClockMode::Virtual;
    harnessOptions.device.run = options.free ? kernel::RunMode::Free : kernel::RunMode::Serial;
    harnessOptions.device.trace = options.trace.value_or(trace::TraceLevel::Effects);
    harnessOptions.device.screenWidth = options.screenWidth;
    harnessOptions.device.screenHeight = options.screenHeight;
    if (options.framesDir)
        harnessOptions.framesDir = *options.framesDir;
    if (options.traceFile)
        harnessOptions.traceSink = &traceFile;
    else if (options.trace)
        harnessOptions.traceSink = &std::cout;

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
    ScenarioPlayer player(harness);
    const PlayResult result = player.play(scenario, options.until, &std::cerr);
    harness.powerOff();
    if (options.registryFile) {
        try {
            harness.saveRegistry();
        } catch (const registry::FileSaveError& e) {
            std::cerr << "velorin-sim: " << e.what() << '\n';
            return kBadInput;
        }
    }
    if (framesFailed())
        return kBadInput;

    if (demo) {
        std::error_code error;
        std::filesystem::create_directories(kDemoOutput, error);
        std::ofstream out(kDemoOutput / "trace.txt");
        for (const auto& line : harness.trace().lines())
            out << line << '\n';
        if (!out)
            std::cerr << (kDemoOutput / "trace.txt").string() << ": cannot write the trace there\n";
    }

    std::cerr << "velorin-sim: " << scenario.file << ": " << scenario.lines.size() << " lines, "
              << result.expectsChecked - result.expectsFailed << " of " << result.expectsChecked
              << " expectations held";
    if (const auto commandsFailed = result.failures.size() - static_cast<std::size_t>(result.expectsFailed))
        std::cerr << ", " << commandsFailed << (commandsFailed == 1 ? " command" : " commands") << " failed";
    std::cerr << "; the run ended at " << formatDeviceTime(result.endedAt) << " device time";
    if (demo)
        std::cerr << "; trace in " << (kDemoOutput / "trace.txt").string();
    std::cerr << '\n';
    return result.failures.empty() ? 0 : kExpectFailed;
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
