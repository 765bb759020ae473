// The system's registry, as the scenario's reg lines read and change it.
#pragma once

#include "sim/scenario/command.hpp"

#include <optional>
#include <string>

namespace velorin::wine {

void setValue(const sim::RegSetCommand& command);
void deleteValueOrKey(const sim::RegDeleteCommand& command);
// Nothing when the expectation holds, otherwise why not.
std::optional<std::string> checkValue(const sim::ExpectRegCommand& command);

}  // namespace velorin::wine
