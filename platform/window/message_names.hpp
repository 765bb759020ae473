// Names of the system's messages, for dispatch lines of the trace.
#pragma once

#include <map>
#include <string>

namespace velorin::window {

const std::map<unsigned, std::string>& systemMessageNames();

}  // namespace velorin::window
