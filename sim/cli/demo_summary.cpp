// What the built-in demo prints when it ends: its moments and the user's settings before and after.
#include "sim/cli/demo_summary.hpp"

#include "sim/output/readable_time.hpp"

#include <algorithm>
#include <iomanip>
#include <string_view>

namespace velorin::sim {

namespace {

struct SettingPlace {
    registry::Root root;
    std::wstring_view path;
    std::wstring_view name;
};

constexpr SettingPlace kUserSettings[] = {
    {registry::Root::CurrentUser, L"ControlPanel\\BackLight", L"BatteryBacklightLevel"},
    {registry::Root::CurrentUser, L"ControlPanel\\BackLight", L"AcBacklightLevel"},
    {registry::Root::CurrentUser, L"ControlPanel\\BackLight", L"UseDim"},
    {registry::Root::LocalMachine, L"System\\GDI\\Rotation", L"AutoRotate"},
    {registry::Root::LocalMachine, L"System\\GDI\\Rotation", L"Angle"},
};

std::string narrow(std::wstring_view text)
{
    std::string out;
    for (const wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

std::vector<UserSetting> readUserSettings(Harness& harness)
{
    std::vector<UserSetting> out;
    for (const auto& place : kUserSettings) {
        const auto value = harness.registryValue(place.root, place.path, place.name);
        out.push_back({std::string(registry::rootName(place.root)) + '\\' + narrow(place.path) + ' ' +
                           narrow(place.name),
                       value ? registry::describeData(*value) : "absent"});
    }
    return out;
}

void printUserSettings(std::ostream& out, const std::vector<UserSetting>& before,
                       const std::vector<UserSetting>& after)
{
    std::size_t nameWidth = 0;
    std::size_t valueWidth = std::string_view("before").size();
    for (const auto& setting : before) {
        nameWidth = std::max(nameWidth, setting.name.size());
        valueWidth = std::max(valueWidth, setting.value.size());
    }
    const auto row = [&](std::string_view name, std::string_view was, std::string_view is, std::string_view mark) {
        out << "  " << std::left << std::setw(static_cast<int>(nameWidth)) << name << "  "
            << std::setw(static_cast<int>(valueWidth)) << was << "  " << is << mark << '\n';
    };
    out << "The user's settings in the registry:\n";
    row("", "before", "after", "");
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        row(before[i].name, before[i].value, after[i].value, before[i].value == after[i].value ? "" : "  (changed)");
}

void printMoments(std::ostream& out, const std::vector<SheetCell>& cells)
{
    out << "What happened:\n";
    for (const auto& cell : cells) {
        out << "  " << std::right << std::setw(7) << readableTime(cell.at) << "  " << cell.what;
        if (const std::string later = pictureLabel(cell); !later.empty())
            out << "  (" << later << ')';
        out << '\n';
    }
}

}  // namespace velorin::sim
