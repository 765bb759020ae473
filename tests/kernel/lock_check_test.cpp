// In the builds that check invariants, a ...Locked function called without the device's lock
// stops the device at once, naming the function, instead of racing with the other threads.
#include "kernel_test_support.hpp"

#include "kernel/invariant.hpp"

namespace velorin::test {
namespace {

TEST(LockCheckDeathTest, ALockedFunctionCalledWithoutTheLockAborts)
{
    if constexpr (!kernel::kCheckInvariants)
        GTEST_SKIP() << "invariants are checked where asserts are on (or with VELORIN_CHECKS)";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Device device;
            device.kernel().handlesLocked();
        },
        "handlesLocked.*invariant failed: the device's lock is held by the caller");
    // Held, the same call passes.
    Device device;
    std::lock_guard lock(device.kernel().mutex());
    device.kernel().handlesLocked();
}

}  // namespace
}  // namespace velorin::test
