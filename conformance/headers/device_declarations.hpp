// The device's declarations, by the lists, as its own headers give them.
#pragma once

#include "conformance/headers/declaration.hpp"

#include <span>

namespace velorin::conformance {

std::span<const Declaration> deviceDeclarations();

}  // namespace velorin::conformance
