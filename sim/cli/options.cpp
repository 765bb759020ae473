// The command line of velorin-sim: its options, their help, and the checks between them.
#include "sim/cli/options.hpp"

#include "sim/cli/help_text.hpp"
#include "sim/cli/version.hpp"
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
// Options' names and their text in the help; the text is wrapped to the terminal's width.
constexpr std::size_t kNameColumn = 26;
constexpr std::size_t kHelpWidth = 100;
constexpr std::string_view kSeeHelp = "\nRun with --help for the options.";

// What CLI11 fills in as text, read into SimOptions once parsing is done.
struct OptionTexts {
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
    CLI::Option* trace = nullptr;
    CLI::Option* screenGiven = nullptr;
};

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

void addScenarioOptions(CLI::App& app, SimOptions& options, OptionTexts& texts)
{
    app.add_option("--scenario", texts.scenario, "Scenario file to play; e.g. --scenario examples/plug.scn")
        ->check(CLI::Validator(CLI::ExistingFile).description(""))
        ->type_name("FILE");
    app.add_option("--seed", options.seed, "Seed for the choice among runnable threads; e.g. --seed 7")
        ->capture_default_str()
        ->type_name("N");
    app.add_option("--until", texts.until, "Device time at which the run stops; e.g. --until 90s, --until 1h")
        ->type_name("TIME");
}

void addOutputOptions(CLI::App& app, OptionTexts& texts)
{
    texts.trace = app.add_option("--trace", texts.traceLevel,
                                 "Print the trace of effects; --trace=all adds calls and messages; e.g. --trace=all")
                      ->expected(0, 1)
                      ->check(CLI::Validator(CLI::IsMember({"", "all"})).description(""))
                      ->type_name("[=all]");
    app.add_option("--trace-file", texts.traceFile,
                   "Write the trace to FILE instead of the terminal, '-' for standard output; e.g. --trace-file "
                   "out/trace.txt")
        ->type_name("FILE");
    app.add_option("--gif", texts.gifFile,
                   "Write the screen as the user sees it as an animated GIF, a frame for each new picture; e.g. "
                   "--gif out/run.gif")
        ->type_name("FILE");
    app.add_option("--sheet", texts.sheetFile,
                   "Write a contact sheet (PNG) of the screen after each command and at the end of each sequence; "
                   "e.g. --sheet out/sheet.png")
        ->type_name("FILE");
    app.add_option("--frames", texts.framesDir,
                   "Write a PNG of the screen to DIR each time it changes, named by device time; e.g. --frames "
                   "out/frames")
        ->type_name("DIR");
    app.add_option("--registry", texts.registryFile,
                   "The device's persistent hive (.reg): loaded at boot, saved at the end; made from the default "
                   "hive when missing; e.g. --registry out/device.reg")
        ->type_name("FILE");
}

void addDeviceOptions(CLI::App& app, SimOptions& options, OptionTexts& texts)
{
    texts.screenGiven =
        app.add_option("--screen", texts.screen, "The physical panel in pixels (default 240x320); e.g. --screen 480x640")
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
    app.add_option("--power", texts.power,
                   "What drives the device's battery: the scenario (the default), or the machine's own charger "
                   "and battery (wall time only: with --realtime or --window); e.g. --power host --window")
        ->check(CLI::Validator(CLI::IsMember({"host", "scenario"})).description(""))
        ->type_name("host|scenario");
    app.add_option("--power-root", texts.powerRoot,
                   "With --power host, read a folder shaped as /sys/class/power_supply instead; e.g. --power-root "
                   "/tmp/supplies --power host --realtime")
        ->type_name("DIR");
}

void describe(CLI::App& app)
{
    app.get_formatter()->column_width(kNameColumn);
    app.set_version_flag("--version", "velorin-sim " + std::string(kVersion), "Print the version and exit");
    app.footer("Examples:\n"
               "  velorin-sim                                   the built-in demo; files under out/\n"
               "  velorin-sim --scenario s.scn --trace          a scenario, its trace on the terminal\n"
               "  velorin-sim --scenario s.scn --gif s.gif --sheet s.png\n"
               "  velorin-sim --window                          the live device (make run)\n"
               "  velorin-sim --window --power host             the live device on this machine's charger\n"
               "Exit status: 0 when every expect held, 1 when one failed, 2 for bad input.");
}

// CLI11 names what it did not expect last first; a person reads them in the order given.
std::string notExpected(const std::vector<std::string>& extras)
{
    std::string text = extras.size() > 1 ? "The following arguments were not expected:"
                                         : "The following argument was not expected:";
    for (const auto& extra : extras)
        text += " " + extra;
    return text;
}

ParsedCommandLine refused(const std::string& why, bool pointToHelp = false)
{
    return {std::nullopt, 2, "velorin-sim: " + why + (pointToHelp ? std::string(kSeeHelp) : std::string())};
}

// The options that do not go together, or need another.
std::optional<ParsedCommandLine> checkModes(const SimOptions& options, const OptionTexts& texts)
{
    // Preemption passes one token around; the free mode has none.
    if (options.free && options.preempt)
        return refused("--preempt and --free do not go together", true);
    const bool hostPower = texts.power == "host";
    if (!texts.powerRoot.empty() && !hostPower)
        return refused("--power-root is read only with --power host");
    // The machine's charger changes in its own time, which virtual time does not follow.
    if (hostPower && !options.realtime && !options.window)
        return refused("--power host runs in wall time only: add --realtime or --window");
    std::error_code error;
    if (!texts.powerRoot.empty() && !std::filesystem::is_directory(texts.powerRoot, error))
        return refused("--power-root: " + texts.powerRoot + " is not a folder");
    return std::nullopt;
}

// The texts read into the options; what is wrong with one of them otherwise.
std::optional<ParsedCommandLine> readTexts(const OptionTexts& texts, SimOptions& options)
{
    const auto given = [](const std::string& text) {
        return text.empty() ? std::nullopt : std::optional<std::string>(text);
    };
    options.hostPower = texts.power == "host";
    options.powerRoot = given(texts.powerRoot);
    options.scenarioFile = given(texts.scenario);
    if (!texts.until.empty()) {
        try {
            options.until = parseDeviceTime(texts.until);
        } catch (const std::invalid_argument& e) {
            return refused(std::string("--until: ") + e.what());
        }
    }
    if (texts.screenGiven->count() > 0) {
        if (const auto problem = parseScreen(texts.screen, options))
            return refused("--screen: " + *problem);
    }
    if (texts.trace->count() > 0 || !texts.traceFile.empty())
        options.trace = texts.traceLevel == "all" ? trace::TraceLevel::All : trace::TraceLevel::Effects;
    options.traceFile = given(texts.traceFile);
    options.registryFile = given(texts.registryFile);
    options.framesDir = given(texts.framesDir);
    options.gifFile = given(texts.gifFile);
    options.sheetFile = given(texts.sheetFile);
    return std::nullopt;
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CLI::App app{"velorin-sim: boots a simulated handheld, runs the program on it through a scenario, and "
                 "shows what happened. With no arguments it plays the built-in demo.",
                 "velorin-sim"};
    SimOptions options;
    OptionTexts texts;
    addScenarioOptions(app, options, texts);
    addOutputOptions(app, texts);
    addDeviceOptions(app, options, texts);
    describe(app);

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return {std::nullopt, 0, wrapHelp(app.help(), kHelpWidth, kNameColumn)};
    } catch (const CLI::CallForVersion& e) {
        return {std::nullopt, 0, e.what()};
    } catch (const CLI::ExtrasError&) {
        return refused(notExpected(app.remaining()), true);
    } catch (const CLI::ParseError& e) {
        return refused(e.what(), true);
    }
    if (auto problem = checkModes(options, texts))
        return *problem;
    if (auto problem = readTexts(texts, options))
        return *problem;
    return {options, 0, {}};
}

}  // namespace velorin::sim
