// The recent entries in front of GDI's handle map must never outlive the entries they point to:
// a stale one would hand a deleted object's memory to the next drawing call.
#include "gdi/handle_map.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace velorin::test {
namespace {

// Handles as GDI makes them: a serial above two low bits. 16 serials apart share a slot.
std::uintptr_t handle(std::uintptr_t serial)
{
    return 0x10000u | (serial << 2);
}

TEST(HandleMapTest, AnErasedHandleIsNotFoundEvenRightAfterAFind)
{
    gdi::HandleMap<std::string> map;
    map.emplace(handle(1), "brush");
    ASSERT_NE(map.find(handle(1)), nullptr);
    map.erase(handle(1));
    EXPECT_EQ(map.find(handle(1)), nullptr);
}

TEST(HandleMapTest, HandlesSharingASlotEachFindTheirOwnEntry)
{
    gdi::HandleMap<std::string> map;
    map.emplace(handle(3), "dc");
    map.emplace(handle(3 + 16), "bitmap");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(*map.find(handle(3)), "dc");
        EXPECT_EQ(*map.find(handle(3 + 16)), "bitmap");
    }
    // Erasing the one the slot does not hold leaves the other found.
    map.erase(handle(3));
    EXPECT_EQ(map.find(handle(3)), nullptr);
    EXPECT_EQ(*map.find(handle(3 + 16)), "bitmap");
}

TEST(HandleMapTest, EntriesStayFoundWhileTheMapGrowsAndAfterEraseIf)
{
    gdi::HandleMap<std::string> map;
    for (std::uintptr_t serial = 0; serial < 8; ++serial)
        map.emplace(handle(serial), std::to_string(serial));
    for (std::uintptr_t serial = 0; serial < 8; ++serial)
        ASSERT_NE(map.find(handle(serial)), nullptr);
    // Enough more to rehash: the recent entries must still lead to the right strings.
    for (std::uintptr_t serial = 8; serial < 500; ++serial)
        map.emplace(handle(serial), std::to_string(serial));
    for (std::uintptr_t serial = 0; serial < 8; ++serial)
        EXPECT_EQ(*map.find(handle(serial)), std::to_string(serial));

    EXPECT_EQ(map.eraseIf([](const auto& entry) { return std::stoul(entry.second) % 2 == 0; }), 250u);
    for (std::uintptr_t serial = 0; serial < 8; ++serial) {
        if (serial % 2 == 0)
            EXPECT_EQ(map.find(handle(serial)), nullptr) << serial;
        else
            EXPECT_EQ(*map.find(handle(serial)), std::to_string(serial));
    }
    EXPECT_EQ(map.size(), 250u);
}

}  // namespace
}  // namespace velorin::test
