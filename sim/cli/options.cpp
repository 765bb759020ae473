#include "sim/cli/options.hpp"

#include "sim/scenario/device_time.hpp"

#include <CLI/CLI.hpp>

#include <charconv>
#include <filesystem>
#include <optional>
#include <string_view>

namespace velorin::sim {

namespace {

// The panel's sides that the device can drive, in pixels.
constexpr int kMinimumSide = 16;
constexpr int kMaximumSide = 4096;

std::optional<int> side(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size())
        return std::nullopt;
    // Too many digits for an int is still a number, only far too large.
    return error == std::errc() ? value : kMaximumSide + 1;
}

// "WxH", each side within the limits; the text of what is wrong otherwise.
std::optional<std::string> parseScreen(std::string_view text, SimOptions& options)
{
    const auto x = text.find('x');
    const auto width = x == std::string_view::npos ? std::nullopt : side(text.substr(0, x));
    const auto height = x == std::string_view::npos ? std::nullopt : side(text.substr(x + 1));
    if (!width || !height)
        return "'" + std::string(text) + "' is not WIDTHxHEIGHT in pixels, such as 240x320";
    if (*width < kMinimumSide || *width > kMaximumSide || *height < kMinimumSide || *height > kMaximumSide)
        return "'" + std::string(text) + "': each side must be " + std::to_string(kMinimumSide) + " to " +
               std::to_string(kMaximumSide) + " pixels";
    options.screenWidth = *width;
    options.screenHeight = *height;
    return std::nullopt;
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CLI::App app{"velorin-sim: boots a simulated handheld, runs the program on it through a scenario, and "
                 "shows what happened. With no arguments it plays the built-in demo.",
                 "velorin-sim"};
    app.get_formatter()->column_width(26);
    SimOptions options;
    std::string scenario;
    std::string until;
    std::string traceLevel;
    std::string traceFile;
    std::string registryFile;
    std::string framesDir;
    std::string gifFile;
    std::string sheetFile;
    std::string screen;
    std::string power = "scenario";
    std::string powerRoot;
    app.add_option("--scenario", scenario, "Scenario file to play; e.g. --scenario examples/plug.scn")
        ->check(CLI::Validator(CLI::ExistingFile).description(""))
        ->type_name("FILE");
    app.add_option("--seed", options.seed, "Seed for the choice among runnable threads; e.g. --seed 7")
        ->capture_default_str()
        ->type_name("N");
    app.add_option("--until", until, "Device time at which the run stops; e.g. --until 90s, --until 1h")
        ->type_name("TIME");
    auto* trace = app.add_option("--trace", traceLevel,
                                 "Print the trace of effects; --trace=all adds calls and messages; e.g. --trace=all")
                      ->expected(0, 1)
                      ->check(CLI::Validator(CLI::IsMember({"", "all"})).description(""))
                      ->type_name("[=all]");
    app.add_option("--trace-file", traceFile,
                   "Write the trace to FILE instead of the terminal, '-' for standard output; e.g. --trace-file "
                   "out/trace.txt")
        ->type_name("FILE");
    app.add_option("--gif", gifFile,
                   "Write the screen as the user sees it as an animated GIF, a frame for each new picture; e.g. "
                   "--gif out/run.gif")
        ->type_name("FILE");
    app.add_option("--sheet", sheetFile,
                   "Write a contact sheet (PNG) of the screen after each command and at the end of each sequence; "
                   "e.g. --sheet out/sheet.png")
        ->type_name("FILE");
    app.add_option("--frames", framesDir,
                   "Write a PNG of the screen to DIR each time it changes, named by device time; e.g. --frames "
                   "out/frames")
        ->type_name("DIR");
    app.add_option("--registry", registryFile,
                   "The device's persistent hive (.reg): loaded at boot, saved at the end; made from the default "
                   "hive when missing; e.g. --registry out/device.reg")
        ->type_name("FILE");
    auto* screenOption =
        app.add_option("--screen", screen, "The physical panel in pixels (default 240x320); e.g. --screen 480x640")
            ->type_name("WxH");
    app.add_flag("--window", options.window,
                 "Show the device live in a window, in wall-clock time: click to tap, Esc and Enter, p plugs or "
                 "unplugs, + and - change the percentage, r rotates, q quits; e.g. --window --scenario "
                 "examples/plug.scn");
    app.add_flag("--realtime", options.realtime,
                 "Run in wall-clock time instead of virtual time; e.g. --realtime --trace");
    app.add_flag("--free", options.free,
                 "Let device threads run at the same time (race hunting); e.g. --free --seed 3");
    app.add_flag("--preempt", options.preempt,
                 "Let any platform call hand the CPU to another device thread and cost a little device time, "
                 "both from the seed (race hunting); e.g. --preempt --seed 3");
    app.add_option("--power", power,
                   "What drives the device's battery: the scenario (the default), or the machine's own charger "
                   "and battery (wall time only: with --realtime or --window); e.g. --power host --window")
        ->check(CLI::Validator(CLI::IsMember({"host", "scenario"})).description(""))
        ->type_name("host|scenario");
    app.add_option("--power-root", powerRoot,
                   "With --power host, read a folder shaped as /sys/class/power_supply instead; e.g. --power-root "
                   "/tmp/supplies --power host --realtime")
        ->type_name("DIR");
    app.footer("Examples:\n"
               "  velorin-sim                                   the built-in demo; files under out/\n"
               "  velorin-sim --scenario s.scn --trace          a scenario, its trace on the terminal\n"
               "  velorin-sim --scenario s.scn --gif s.gif --sheet s.png\n"
               "  velorin-sim --window                          the live device (make run)\n"
               "  velorin-sim --window --power host             the live device on this machine's charger\n"
               "Exit status: 0 when every expect held, 1 when one failed, 2 for bad input.");

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return {std::nullopt, 0, app.help()};
    } catch (const CLI::ParseError& e) {
        return {std::nullopt, 2, std::string("velorin-sim: ") + e.what() + "\nRun with --help for the options."};
    }
    // Preemption passes one token around; the free mode has none.
    if (options.free && options.preempt)
        return {std::nullopt, 2, "velorin-sim: --preempt and --free do not go together\nRun with --help for the options."};
    options.hostPower = power == "host";
    if (!powerRoot.empty() && !options.hostPower)
        return {std::nullopt, 2, "velorin-sim: --power-root is read only with --power host"};
    // The machine's charger changes in its own time, which virtual time does not follow.
    if (options.hostPower && !options.realtime && !options.window)
        return {std::nullopt, 2,
                "velorin-sim: --power host runs in wall time only: add --realtime or --window"};
    if (!powerRoot.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(powerRoot, error))
            return {std::nullopt, 2, "velorin-sim: --power-root: " + powerRoot + " is not a folder"};
        options.powerRoot = powerRoot;
    }
    if (!scenario.empty())
        options.scenarioFile = scenario;
    if (!until.empty()) {
        try {
            options.until = parseDeviceTime(until);
        } catch (const std::invalid_argument& e) {
            return {std::nullopt, 2, std::string("velorin-sim: --until: ") + e.what()};
        }
    }
    if (screenOption->count() > 0) {
        if (const auto problem = parseScreen(screen, options))
            return {std::nullopt, 2, "velorin-sim: --screen: " + *problem};
    }
    if (trace->count() > 0 || !traceFile.empty())
        options.trace = traceLevel == "all" ? trace::TraceLevel::All : trace::TraceLevel::Effects;
    if (!traceFile.empty())
        options.traceFile = traceFile;
    if (!registryFile.empty())
        options.registryFile = registryFile;
    if (!framesDir.empty())
        options.framesDir = framesDir;
    if (!gifFile.empty())
        options.gifFile = gifFile;
    if (!sheetFile.empty())
        options.sheetFile = sheetFile;
    return {options, 0, {}};
}

}  // namespace velorin::sim
