// Every source file opens with a comment on what it holds, so that a newcomer reads a folder by
// its files' first lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

TEST(FileHeads, EverySourceFileOpensWithACommentOnWhatItHolds)
{
    const fs::path source = VELORIN_SOURCE_DIR;
    int seen = 0;
    for (const char* top : {"utility", "platform", "sim", "win32", "conformance", "tests", "bench", "fuzz"}) {
        for (const auto& entry : fs::recursive_directory_iterator(source / top)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".hpp" && extension != ".h")
                continue;
            std::ifstream in(entry.path());
            std::string first;
            std::getline(in, first);
            ++seen;
            EXPECT_TRUE(first.starts_with("//") || first.starts_with("/*"))
                << fs::relative(entry.path(), source).string() << " opens with \"" << first << "\"";
        }
    }
    EXPECT_GT(seen, 300);
}
