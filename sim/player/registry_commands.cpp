// Scenario commands about the registry: changes from outside the program, and expectations.
#include "sim/player/commands.hpp"

#include "trace/trace_recorder.hpp"

#include <variant>

namespace velorin::sim {

namespace {

registry::Root rootOf(RegRoot root)
{
    return root == RegRoot::HKLM ? registry::Root::LocalMachine : registry::Root::CurrentUser;
}

registry::Value valueOf(const std::string& name, const RegValue& value)
{
    if (const auto* number = std::get_if<std::uint32_t>(&value.data))
        return registry::dwordValue(trace::widen(name), *number);
    return registry::stringValue(trace::widen(name), trace::widen(std::get<std::string>(value.data)));
}

bool matches(const registry::Value& actual, const RegValue& expected)
{
    if (const auto* number = std::get_if<std::uint32_t>(&expected.data))
        return registry::dwordOf(actual) == *number;
    return actual.type == REG_SZ && registry::textOf(actual) == trace::widen(std::get<std::string>(expected.data));
}

}  // namespace

CommandOutcome runCommand(Harness& harness, const ScenarioLine&, const RegSetCommand& command)
{
    harness.setRegistryValue(rootOf(command.root), trace::widen(command.path), valueOf(command.name, command.value));
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine&, const RegDeleteCommand& command)
{
    // Deleting what is not there changes nothing, as on the device.
    if (command.name)
        harness.deleteRegistryValue(rootOf(command.root), trace::widen(command.path), trace::widen(*command.name));
    else
        harness.deleteRegistryKey(rootOf(command.root), trace::widen(command.path));
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectRegCommand& command)
{
    const registry::Root root = rootOf(command.root);
    const std::wstring path = trace::widen(command.path);
    const auto actual = harness.registryValue(root, path, trace::widen(command.name));
    if (command.value ? actual && matches(*actual, *command.value) : !actual)
        return std::nullopt;

    const std::string key = std::string(regRootName(command.root)) + "\\" + command.path;
    const std::string value = key + " " + registry::describeName(trace::widen(command.name));
    const std::string wanted =
        command.value ? registry::describeData(valueOf(command.name, *command.value)) : std::string("absent");
    std::string why;
    if (actual)
        why = value + " is " + registry::describeData(*actual) + ", not " + wanted;
    else if (!harness.registryKeyExists(root, path))
        why = "the key " + key + " does not exist";
    else
        why = value + " is absent";
    return locationOf(line) + std::string(commandName(line.command)) + " failed: " + why;
}

}  // namespace velorin::sim
