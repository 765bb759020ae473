// The scenario commands' keywords, as messages name them.
#include "sim/scenario/command.hpp"

namespace velorin::sim {
namespace {

std::string_view nameOf(const PowerCommand& c)
{
    switch (c.spelling) {
    case PowerCommand::Spelling::Plug:
        return "plug";
    case PowerCommand::Spelling::Unplug:
        return "unplug";
    case PowerCommand::Spelling::Percent:
        return "percent";
    case PowerCommand::Spelling::Power:
        break;
    }
    return "power";
}
std::string_view nameOf(const LaunchCommand&)
{
    return "launch";
}
std::string_view nameOf(const TapCommand&)
{
    return "tap";
}
std::string_view nameOf(const ClickCommand&)
{
    return "click";
}
std::string_view nameOf(const KeyCommand&)
{
    return "key";
}
std::string_view nameOf(const RotateCommand&)
{
    return "rotate";
}
std::string_view nameOf(const RegSetCommand&)
{
    return "reg set";
}
std::string_view nameOf(const RegDeleteCommand&)
{
    return "reg delete";
}
std::string_view nameOf(const SnapshotCommand&)
{
    return "snapshot";
}
std::string_view nameOf(const ExpectWindowCommand&)
{
    return "expect window";
}
std::string_view nameOf(const ExpectProcessCommand& c)
{
    return c.running ? "expect running" : "expect exited";
}
std::string_view nameOf(const ExpectRegCommand&)
{
    return "expect reg";
}
std::string_view nameOf(const ExpectOrientationCommand&)
{
    return "expect orientation";
}
std::string_view nameOf(const ExpectBacklightCommand&)
{
    return "expect backlight";
}
std::string_view nameOf(const ExpectPixelCommand&)
{
    return "expect pixel";
}
std::string_view nameOf(const EndCommand&)
{
    return "end";
}

}  // namespace

std::string_view regRootName(RegRoot root)
{
    return root == RegRoot::HKLM ? "HKLM" : "HKCU";
}

std::string_view commandName(const Command& command)
{
    return std::visit([](const auto& c) { return nameOf(c); }, command);
}

bool isSetupCommand(const Command& command)
{
    return std::holds_alternative<PowerCommand>(command) || std::holds_alternative<RegSetCommand>(command) ||
           std::holds_alternative<RegDeleteCommand>(command);
}

bool isExpectation(const Command& command)
{
    return std::holds_alternative<ExpectWindowCommand>(command) ||
           std::holds_alternative<ExpectProcessCommand>(command) || std::holds_alternative<ExpectRegCommand>(command) ||
           std::holds_alternative<ExpectOrientationCommand>(command) ||
           std::holds_alternative<ExpectBacklightCommand>(command) ||
           std::holds_alternative<ExpectPixelCommand>(command);
}

}  // namespace velorin::sim
