// A script's <winresrc.h> and the C++ headers of the device must agree on every value both
// define, or a template would carry other styles than the code that checks them expects.
#include "script_constants.hpp"
#include "windows.h"

#include <gtest/gtest.h>

namespace velorin::test {
namespace {

TEST(ScriptConstants, MatchTheDevicesHeaders)
{
    const std::vector<ScriptConstant> device = {
#define VELORIN_SCRIPT_CONSTANT(name) {#name, static_cast<std::uint32_t>(name)},
#include "script_constants.inc"
#undef VELORIN_SCRIPT_CONSTANT
    };
    const std::vector<ScriptConstant> script = scriptConstants();
    ASSERT_EQ(script.size(), device.size());
    for (std::size_t i = 0; i < device.size(); ++i) {
        EXPECT_EQ(script[i].name, device[i].name);
        EXPECT_EQ(script[i].value, device[i].value) << device[i].name;
    }
}

}  // namespace
}  // namespace velorin::test
