// Where a run's files go: those named on the command line, and the defaults under out/.
#include "sim/cli/run_files.hpp"

namespace velorin::sim {

namespace {

std::vector<NamedPath> namedOnTheCommandLine(const SimOptions& options)
{
    std::vector<NamedPath> paths;
    const auto add = [&paths](const char* option, const std::optional<std::string>& path, bool written) {
        if (path)
            paths.push_back({option, *path, written});
    };
    add("--scenario", options.scenarioFile, false);
    add("--registry", options.registryFile, true);
    add("--power-root", options.powerRoot, false);
    if (options.traceFile != "-")
        add("--trace-file", options.traceFile, true);
    add("--gif", options.gifFile, true);
    add("--sheet", options.sheetFile, true);
    add("--frames", options.framesDir, true);
    return paths;
}

}  // namespace

// The demo keeps its whole trace and both pictures under out/ and tells the person about them;
// the live device played by hand keeps its registry there from one session to the next, while a
// scenario starts from the default hive as it does in the other clocks, so that it has one
// outcome. What is asked for on the command line still wins.
RunFiles chooseRunFiles(SimOptions& options)
{
    RunFiles files;
    files.paths = namedOnTheCommandLine(options);
    files.demo = !options.scenarioFile && !options.window;
    const bool liveRegistry = options.window && !options.registryFile && !options.scenarioFile;
    files.usesDemoOutput = files.demo || liveRegistry;
    const auto byDefault = [&files](std::optional<std::string>& option, const char* name, const char* what) {
        if (option)
            return false;
        option = (kDemoOutput / name).string();
        files.paths.push_back({what, *option, true});
        return true;
    };
    if (liveRegistry)
        byDefault(options.registryFile, "live.reg", "the live device's registry");
    if (files.demo) {
        if (byDefault(options.traceFile, "trace.txt", "the demo's trace"))
            options.trace = options.trace.value_or(trace::TraceLevel::All);
        byDefault(options.gifFile, "demo.gif", "the demo's GIF");
        byDefault(options.sheetFile, "sheet.png", "the demo's contact sheet");
    }
    return files;
}

}  // namespace velorin::sim
