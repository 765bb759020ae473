// The scenario's screen commands and `--frames`, against a screen that the test supplies.
#include "gdi/png_file.hpp"
#include "sim/cli/options.hpp"
#include "sim/player/commands.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <memory>

namespace velorin::sim {
namespace {

namespace fs = std::filesystem;

fs::path freshDir(const std::string& name)
{
    const fs::path dir = fs::path(::testing::TempDir()) / "velorin-screen-test" / name;
    fs::remove_all(dir);
    return dir;
}

ScenarioLine lineOf(const std::string& text)
{
    Scenario scenario = parseScenario(text, "s.scn");
    return scenario.lines.at(0);
}

template <class T> CommandOutcome play(Harness& harness, const std::string& text)
{
    const ScenarioLine line = lineOf(text);
    return runCommand(harness, line, std::get<T>(line.command));
}

class ScreenCommands : public ::testing::Test {
protected:
    ScreenCommands()
    {
        screen->fill(0, 0, 4, 3, gdi::rgb(0x12, 0x34, 0x56));
        screen->setPixel(3, 2, gdi::rgb(0xFF, 0, 0));
        harness.screenSource = [s = screen] { return *s; };
    }
    std::shared_ptr<gdi::Surface> screen = std::make_shared<gdi::Surface>(4, 3);
    Harness harness;
};

TEST_F(ScreenCommands, ExpectPixelComparesTheScreenAndSaysWhatIsThere)
{
    EXPECT_EQ(play<ExpectPixelCommand>(harness, "0 expect pixel 3 2 #FF0000"), std::nullopt);
    EXPECT_EQ(play<ExpectPixelCommand>(harness, "0 expect pixel 0 0 #123456"), std::nullopt);
    EXPECT_EQ(play<ExpectPixelCommand>(harness, "0 expect pixel 1 1 #AbCdEf"),
              "s.scn:1: expect pixel 1 1 #abcdef failed: the pixel is #123456");
    EXPECT_EQ(play<ExpectPixelCommand>(harness, "0 expect pixel 4 0 #000000"),
              "s.scn:1: expect pixel 4 0 #000000 failed: the point is outside the 4x3 screen");
    harness.screenSource = nullptr;
    EXPECT_EQ(play<ExpectPixelCommand>(harness, "0 expect pixel 0 0 #000000"),
              "s.scn:1: expect pixel 0 0 #000000 failed: the point is outside the 0x0 screen");
}

TEST_F(ScreenCommands, SnapshotWritesTheScreenAsAPng)
{
    const fs::path dir = freshDir("snapshot");
    const fs::path file = dir / "sub" / "shot.png";
    EXPECT_EQ(play<SnapshotCommand>(harness, "1s snapshot \"" + file.string() + "\""), std::nullopt);
    EXPECT_EQ(gdi::readPng(file), *screen);

    fs::create_directories(dir);
    std::ofstream(dir / "file") << "in the way";
    const auto blocked = play<SnapshotCommand>(harness, "0 snapshot \"" + (dir / "file" / "x.png").string() + "\"");
    ASSERT_TRUE(blocked.has_value());
    EXPECT_EQ(blocked->rfind("s.scn:1: snapshot " + (dir / "file" / "x.png").string() + " failed: ", 0), 0u);
    harness.screenSource = nullptr;
    EXPECT_EQ(play<SnapshotCommand>(harness, "0 snapshot a.png"),
              "s.scn:1: snapshot a.png failed: the device has no screen to take a picture of");
}

TEST(Frames, OneFileForEachDistinctScreenNamedByDeviceTime)
{
    const fs::path dir = freshDir("frames");
    HarnessOptions options;
    options.framesDir = dir;
    Harness harness(options);
    auto screen = std::make_shared<gdi::Surface>(2, 2);
    harness.screenSource = [screen] { return *screen; };
    harness.settle();  // the first picture
    harness.runFor(500);
    harness.settle();  // unchanged: nothing new
    screen->setPixel(1, 1, gdi::rgb(1, 2, 3));
    harness.runUntil(12345);
    screen->setPixel(1, 1, 0);
    harness.runFor(1000);  // back to the first picture, a frame again
    ASSERT_NE(harness.frames(), nullptr);
    EXPECT_EQ(harness.frames()->written(), 3);
    EXPECT_EQ(harness.frames()->error(), std::nullopt);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"frame-000000000.png", "frame-000012345.png", "frame-000013345.png"}));
    EXPECT_EQ(gdi::readPng(dir / "frame-000012345.png").pixel(1, 1), gdi::rgb(1, 2, 3));

    // A frames directory that cannot be made is reported, naming it.
    std::ofstream(dir / "plain") << "x";
    FrameRecorder blocked(dir / "plain" / "frames");
    ASSERT_TRUE(blocked.error().has_value());
    EXPECT_EQ(blocked.error()->rfind((dir / "plain" / "frames").string() + ": cannot create the frames directory", 0),
              0u);
}

TEST(Frames, TheCommandLineTakesADirectory)
{
    const auto parsed = parseCommandLine({"--frames", "out/frames"});
    ASSERT_TRUE(parsed.options.has_value());
    EXPECT_EQ(parsed.options->framesDir, "out/frames");
    EXPECT_EQ(parseCommandLine({}).options->framesDir, std::nullopt);
}

}  // namespace
}  // namespace velorin::sim
