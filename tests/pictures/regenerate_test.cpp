// velorin-pictures, run into a folder of the build, writes exactly the committed files: they are
// what the program draws, not edited by hand. Skipped where FreeType was not found and the
// program was not built.
#include "picture_files.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velorin::pictures::test {
namespace {

TEST(Regenerate, GivesFilesIdenticalToTheCommittedOnes)
{
    const std::string tool = VELORIN_PICTURES_TOOL;
    if (tool.empty()) {
        GTEST_SKIP() << "velorin-pictures was not built (no FreeType)";
    }
    const std::filesystem::path out = VELORIN_REGENERATED_DIR;
    const std::filesystem::path fontOut = out / "fonts";
    std::filesystem::remove_all(out);
    ASSERT_EQ(std::system(("\"" + tool + "\" \"" + out.string() + "\" \"" + fontOut.string() + "\"").c_str()), 0);
    for (const char* file : {"bitmaps/battery_full.bmp", "bitmaps/battery_empty.bmp", "bitmaps/charge_symbol.bmp",
                             "bitmaps/gauge.bmp", "bitmaps/digits.bmp", "velorin.ico"}) {
        EXPECT_TRUE(readBytes(out / file) == readBytes(resourceDir() / file))
            << file << " differs from the committed file; regenerate it (utility/res/README.md)";
    }
    EXPECT_TRUE(readBytes(fontOut / "ui_font.bin") == readBytes(fontDir() / "ui_font.bin"))
        << "ui_font.bin differs from the committed file; regenerate it (utility/res/README.md)";
}

}  // namespace
}  // namespace velorin::pictures::test
