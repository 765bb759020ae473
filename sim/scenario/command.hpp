// The commands of a scenario line, one struct each.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace velorin::sim {

// One struct per scenario command; equality lets callers and tests compare parsed lines.

struct PowerCommand {
    // The keyword the line used, so messages can speak the user's language.
    enum class Spelling { Power, Plug, Unplug, Percent };
    std::optional<int> ac;       // 0, 1, 2 or 255
    std::optional<int> percent;  // 0..255
    Spelling spelling = Spelling::Power;
    bool operator==(const PowerCommand&) const = default;
};

struct LaunchCommand {
    bool operator==(const LaunchCommand&) const = default;
};

struct TapCommand {
    int x = 0;
    int y = 0;
    bool operator==(const TapCommand&) const = default;
};

struct ClickCommand {
    std::string text;
    bool operator==(const ClickCommand&) const = default;
};

struct KeyCommand {
    enum class Key { Esc, Enter };
    Key key = Key::Esc;
    bool operator==(const KeyCommand&) const = default;
};

struct RotateCommand {
    int degrees = 0;  // 0, 90, 180 or 270
    bool operator==(const RotateCommand&) const = default;
};

enum class RegRoot { HKLM, HKCU };
std::string_view regRootName(RegRoot root);  // "HKLM" / "HKCU"

struct RegValue {
    std::variant<std::uint32_t, std::string> data;  // dword / sz
    bool operator==(const RegValue&) const = default;
};

struct RegSetCommand {
    RegRoot root = RegRoot::HKLM;
    std::string path;  // below the root, without a leading backslash: "Software\Velorin"
    std::string name;  // "" is the key's default value
    RegValue value;
    bool operator==(const RegSetCommand&) const = default;
};

struct RegDeleteCommand {
    RegRoot root = RegRoot::HKLM;
    std::string path;
    std::optional<std::string> name;  // nullopt deletes the whole key
    bool operator==(const RegDeleteCommand&) const = default;
};

struct SnapshotCommand {
    std::string file;
    bool operator==(const SnapshotCommand&) const = default;
};

struct ExpectWindowCommand {
    enum class State { Visible, Hidden, None };
    State state = State::Visible;
    bool operator==(const ExpectWindowCommand&) const = default;
};

struct ExpectProcessCommand {
    bool running = true;
    bool operator==(const ExpectProcessCommand&) const = default;
};

struct ExpectRegCommand {
    RegRoot root = RegRoot::HKLM;
    std::string path;
    std::string name;
    std::optional<RegValue> value;  // nullopt: the value must be absent
    bool operator==(const ExpectRegCommand&) const = default;
};

struct ExpectOrientationCommand {
    int degrees = 0;
    bool operator==(const ExpectOrientationCommand&) const = default;
};

struct ExpectBacklightCommand {
    bool on = true;
    std::optional<int> level;  // 0..10, only with on
    bool operator==(const ExpectBacklightCommand&) const = default;
};

struct ExpectPixelCommand {
    int x = 0;
    int y = 0;
    std::uint32_t rgb = 0;  // 0xRRGGBB
    bool operator==(const ExpectPixelCommand&) const = default;
};

struct EndCommand {
    bool operator==(const EndCommand&) const = default;
};

using Command =
    std::variant<PowerCommand, LaunchCommand, TapCommand, ClickCommand, KeyCommand, RotateCommand, RegSetCommand,
                 RegDeleteCommand, SnapshotCommand, ExpectWindowCommand, ExpectProcessCommand, ExpectRegCommand,
                 ExpectOrientationCommand, ExpectBacklightCommand, ExpectPixelCommand, EndCommand>;

// The command's keyword(s) as written in a scenario: "plug", "tap", "reg set", "expect exited".
std::string_view commandName(const Command& command);

// A command that, at time 0, sets the device up before the program starts (power, reg).
bool isSetupCommand(const Command& command);
// An `expect` line, which every player counts and checks.
bool isExpectation(const Command& command);

}  // namespace velorin::sim
