// The table of script_constants.inc, expanded here where only <winresrc.h>'s macros are in sight.
#include "script_constants.hpp"

#include "resources/rc/winresrc.h"

namespace velorin::test {

std::vector<ScriptConstant> scriptConstants()
{
    return {
#define VELORIN_SCRIPT_CONSTANT(name) {#name, static_cast<std::uint32_t>(name)},
#include "script_constants.inc"
#undef VELORIN_SCRIPT_CONSTANT
    };
}

}  // namespace velorin::test
