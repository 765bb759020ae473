// A scenario line's command read from its words, keyword by keyword.
#include "sim/scenario/command_parser.hpp"

#include <array>
#include <stdexcept>
#include <string>

#include "sim/scenario/arguments.hpp"
#include "sim/scenario/registry_arguments.hpp"
#include "sim/scenario/value_parsers.hpp"

namespace velorin::sim {
namespace {

constexpr std::string_view kRegValueForms = "dword:<n> or sz:\"<text>\"";
constexpr std::string_view kExpectedRegForms = "dword:<n>, sz:\"<text>\" or absent";

std::invalid_argument error(const std::string& reason)
{
    return std::invalid_argument(reason);
}

int parseAc(std::string_view word)
{
    static constexpr std::array kAcStates{0, 1, 2, 255};
    return parseIntChoice(word, "ac", kAcStates);
}

Command parsePower(const TokenizedLine& line)
{
    Arguments args(line, 2, "power needs ac=<0|1|2|255> and/or percent=<0..255>");
    if (args.done())
        args.failUsage();
    PowerCommand power;
    while (!args.done()) {
        const std::string_view word = args.next();
        if (word.starts_with("ac=")) {
            if (power.ac)
                throw error("power: ac= given twice");
            power.ac = parseAc(word.substr(3));
        } else if (word.starts_with("percent=")) {
            if (power.percent)
                throw error("power: percent= given twice");
            power.percent = parseIntInRange(word.substr(8), "percent", 0, 255);
        } else {
            throw error("power takes ac=<0|1|2|255> and percent=<0..255>, got '" + std::string(word) + "'");
        }
    }
    return power;
}

Command parsePlug(const TokenizedLine& line)
{
    Arguments(line, 2, {}).finish();
    return PowerCommand{.ac = 1, .percent = {}, .spelling = PowerCommand::Spelling::Plug};
}

Command parseUnplug(const TokenizedLine& line)
{
    Arguments(line, 2, {}).finish();
    return PowerCommand{.ac = 0, .percent = {}, .spelling = PowerCommand::Spelling::Unplug};
}

Command parsePercent(const TokenizedLine& line)
{
    Arguments args(line, 2, "percent needs <n> (0..255)");
    const int percent = parseIntInRange(args.next(), "percent", 0, 255);
    args.finish();
    return PowerCommand{.ac = {}, .percent = percent, .spelling = PowerCommand::Spelling::Percent};
}

Command parseLaunch(const TokenizedLine& line)
{
    Arguments(line, 2, {}).finish();
    return LaunchCommand{};
}

Command parseTap(const TokenizedLine& line)
{
    Arguments args(line, 2, "tap needs <x> <y>");
    TapCommand tap;
    tap.x = parseCoordinate(args.next(), "tap x");
    tap.y = parseCoordinate(args.next(), "tap y");
    args.finish();
    return tap;
}

Command parseClick(const TokenizedLine& line)
{
    Arguments args(line, 2, "click needs <text> (the button's text)");
    const std::string_view rest = args.rest();
    if (rest.empty())
        args.failUsage();
    // Quotes are needed only for text holding '#' or edge blanks; otherwise it is literal.
    std::string text = rest.starts_with('"') ? unquote(rest) : std::string(rest);
    if (text.empty())
        throw error("click text must not be empty");
    return ClickCommand{std::move(text)};
}

Command parseKey(const TokenizedLine& line)
{
    Arguments args(line, 2, "key needs esc or enter");
    const std::string_view word = args.next();
    KeyCommand key;
    if (word == "esc") {
        key.key = KeyCommand::Key::Esc;
    } else if (word == "enter") {
        key.key = KeyCommand::Key::Enter;
    } else {
        throw error("key must be esc or enter, got '" + std::string(word) + "'");
    }
    args.finish();
    return key;
}

Command parseRotate(const TokenizedLine& line)
{
    Arguments args(line, 2, "rotate needs 0, 90, 180 or 270");
    const int degrees = parseDegrees(args.next(), "rotate");
    args.finish();
    return RotateCommand{degrees};
}

Command parseRegSet(const TokenizedLine& line)
{
    Arguments args(line, 3, "reg set needs <ROOT>\\<path> <name> dword:<n>|sz:\"<text>\"");
    const RegKey key = parseRegKey(args.next());
    std::string name = parseRegName(args.next());
    RegValue value = parseRegValue(args.next(), kRegValueForms);
    args.finish();
    return RegSetCommand{key.root, key.path, std::move(name), std::move(value)};
}

Command parseRegDelete(const TokenizedLine& line)
{
    Arguments args(line, 3, "reg delete needs <ROOT>\\<path> [<name>]");
    const RegKey key = parseRegKey(args.next());
    RegDeleteCommand command{key.root, key.path, std::nullopt};
    if (!args.done())
        command.name = parseRegName(args.next());
    args.finish();
    return command;
}

Command parseReg(const TokenizedLine& line)
{
    Arguments args(line, 2, "reg needs set or delete");
    const std::string_view action = args.next();
    if (action == "set")
        return parseRegSet(line);
    if (action == "delete")
        return parseRegDelete(line);
    throw error("reg needs set or delete, got '" + std::string(action) + "'");
}

Command parseSnapshot(const TokenizedLine& line)
{
    Arguments args(line, 2, "snapshot needs <file.png>");
    std::string file = wordValue(args.next());
    args.finish();
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    std::string suffix = file.size() > 4 ? file.substr(file.size() - 4) : std::string();
    for (char& c : suffix)
        c = lower(c);
    if (suffix != ".png")
        throw error("snapshot needs a file name ending in .png, got '" + file + "'");
    return SnapshotCommand{std::move(file)};
}

Command parseExpectWindow(const TokenizedLine& line)
{
    Arguments args(line, 3, "expect window needs visible, hidden or none");
    const std::string_view word = args.next();
    ExpectWindowCommand expect;
    if (word == "visible") {
        expect.state = ExpectWindowCommand::State::Visible;
    } else if (word == "hidden") {
        expect.state = ExpectWindowCommand::State::Hidden;
    } else if (word == "none") {
        expect.state = ExpectWindowCommand::State::None;
    } else {
        throw error("expect window must be visible, hidden or none, got '" + std::string(word) + "'");
    }
    args.finish();
    return expect;
}

Command parseExpectProcess(const TokenizedLine& line, bool running)
{
    Arguments(line, 3, {}).finish();
    return ExpectProcessCommand{running};
}

Command parseExpectReg(const TokenizedLine& line)
{
    Arguments args(line, 3, "expect reg needs <ROOT>\\<path> <name> dword:<n>|sz:\"<text>\"|absent");
    const RegKey key = parseRegKey(args.next());
    ExpectRegCommand expect{key.root, key.path, parseRegName(args.next()), std::nullopt};
    if (const std::string_view value = args.next(); value != "absent")
        expect.value = parseRegValue(value, kExpectedRegForms);
    args.finish();
    return expect;
}

Command parseExpectOrientation(const TokenizedLine& line)
{
    Arguments args(line, 3, "expect orientation needs 0, 90, 180 or 270");
    const int degrees = parseDegrees(args.next(), "expect orientation");
    args.finish();
    return ExpectOrientationCommand{degrees};
}

Command parseExpectBacklight(const TokenizedLine& line)
{
    Arguments args(line, 3, "expect backlight needs on or off [level=<n>]");
    const std::string_view state = args.next();
    if (state != "on" && state != "off")
        throw error("expect backlight must be on or off, got '" + std::string(state) + "'");
    ExpectBacklightCommand expect{state == "on", std::nullopt};
    if (const auto word = args.peek(); word && word->starts_with("level=")) {
        if (!expect.on)
            throw error("level= goes only with 'expect backlight on'; an off backlight has no "
                        "level");
        expect.level = parseIntInRange(args.next().substr(6), "backlight level", 0, 10);
    }
    args.finish();
    return expect;
}

Command parseExpectPixel(const TokenizedLine& line)
{
    Arguments args(line, 3, "expect pixel needs <x> <y> #rrggbb");
    ExpectPixelCommand expect;
    expect.x = parseCoordinate(args.next(), "expect pixel x");
    expect.y = parseCoordinate(args.next(), "expect pixel y");
    expect.rgb = parseColour(args.next(), "expect pixel colour");
    args.finish();
    return expect;
}

Command parseExpect(const TokenizedLine& line)
{
    constexpr std::string_view kKinds = "window, running, exited, reg, orientation, backlight or pixel";
    Arguments args(line, 2, "expect needs " + std::string(kKinds));
    const std::string_view kind = args.next();
    if (kind == "window")
        return parseExpectWindow(line);
    if (kind == "running")
        return parseExpectProcess(line, true);
    if (kind == "exited")
        return parseExpectProcess(line, false);
    if (kind == "reg")
        return parseExpectReg(line);
    if (kind == "orientation")
        return parseExpectOrientation(line);
    if (kind == "backlight")
        return parseExpectBacklight(line);
    if (kind == "pixel")
        return parseExpectPixel(line);
    throw error("unknown expectation 'expect " + std::string(kind) + "'; expect takes " + std::string(kKinds));
}

Command parseEnd(const TokenizedLine& line)
{
    Arguments(line, 2, {}).finish();
    return EndCommand{};
}

struct Keyword {
    std::string_view name;
    Command (*parse)(const TokenizedLine&);
};

constexpr std::array kKeywords{
    Keyword{"power", parsePower},     Keyword{"plug", parsePlug},         Keyword{"unplug", parseUnplug},
    Keyword{"percent", parsePercent}, Keyword{"launch", parseLaunch},     Keyword{"tap", parseTap},
    Keyword{"click", parseClick},     Keyword{"key", parseKey},           Keyword{"rotate", parseRotate},
    Keyword{"reg", parseReg},         Keyword{"snapshot", parseSnapshot}, Keyword{"expect", parseExpect},
    Keyword{"end", parseEnd},
};

}  // namespace

Command parseCommand(const TokenizedLine& line)
{
    const std::string_view keyword = line.tokens.at(1).text;
    for (const Keyword& k : kKeywords) {
        if (k.name == keyword)
            return k.parse(line);
    }
    throw error("unknown command '" + std::string(keyword) + "'");
}

}  // namespace velorin::sim
