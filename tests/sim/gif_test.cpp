// --gif: frames, delays, palettes and placement, read back through giflib; and a real run that
// gives the same bytes twice.
#include "sim/harness/harness.hpp"
#include "sim/output/gif_recorder.hpp"
#include "sim/output/palette.hpp"
#include "sim/output/picture_tools.hpp"
#include "sim/player/scenario_player.hpp"

#include <gif_lib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

namespace velorin::sim {
namespace {

namespace fs = std::filesystem;

fs::path freshDir(const std::string& name)
{
    const fs::path dir = fs::path(::testing::TempDir()) / ("velorin-gif-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

struct Frame {
    int left, top, width, height, delay;
    gdi::Surface canvas;  // the whole canvas after this frame
};

// Reads a GIF back: each frame's place, delay, and the canvas it leaves.
std::vector<Frame> readGif(const fs::path& file, int& side)
{
    int error = 0;
    const std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(DGifOpenFileName(file.c_str(), &error),
                                                                   [](GifFileType* g) {
                                                                       int e = 0;
                                                                       DGifCloseFile(g, &e);
                                                                   });
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    if (!gif || DGifSlurp(gif.get()) != GIF_OK)
        return {};
    side = gif->SWidth;
    EXPECT_EQ(gif->SWidth, gif->SHeight);
    std::vector<Frame> frames;
    gdi::Surface canvas(gif->SWidth, gif->SHeight);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        EXPECT_EQ(DGifSavedExtensionToGCB(gif.get(), i, &control), GIF_OK);
        EXPECT_EQ(control.DisposalMode, DISPOSE_DO_NOT);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        EXPECT_NE(map, nullptr);
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                const GifColorType c = map->Colors[image.RasterBits[y * d.Width + x]];
                canvas.setPixel(d.Left + x, d.Top + y, gdi::rgb(c.Red, c.Green, c.Blue));
            }
        }
        frames.push_back(Frame{d.Left, d.Top, d.Width, d.Height, control.DelayTime, canvas});
    }
    return frames;
}

std::vector<int> delays(const std::vector<Frame>& frames)
{
    std::vector<int> out;
    for (const Frame& f : frames)
        out.push_back(f.delay);
    return out;
}

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Gif, OneFrameForEachPictureThatLastedWithItsDelayInHundredths)
{
    const fs::path file = freshDir("delays") / "a.gif";
    const gdi::Surface black(4, 6, 0);
    gdi::Surface dot = black;
    dot.setPixel(1, 2, 0xFF0000);
    gdi::Surface flash = black;
    flash.fill(0, 0, 4, 6, 0xFFFFFF);
    {
        GifRecorder gif(file, 6);
        gif.offer(0, gdi::Surface());  // no window system yet: no picture
        gif.offer(0, black);
        gif.offer(120, black);   // the same picture again
        gif.offer(1231, dot);    // 0 -> 1.23 s
        gif.offer(1233, flash);  // within the same hundredth: left out, the next takes its place
        gif.offer(1233, dot);
        gif.offer(1500, black);  // 1.23 -> 1.5 s
        gif.finish(2004);        // 1.5 -> 2.0 s
        gif.offer(3000, dot);    // after the end: ignored
        EXPECT_EQ(gif.error(), std::nullopt);
        EXPECT_EQ(gif.framesWritten(), 3);
    }
    int side = 0;
    const auto frames = readGif(file, side);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(side, 6);
    EXPECT_EQ(delays(frames), (std::vector<int>{123, 27, 50}));
    // The first frame is the whole canvas: the portrait screen in the middle, grey beside it.
    EXPECT_EQ(frames[0].width, 6);
    EXPECT_EQ(frames[0].canvas.pixel(0, 0), kOutsideScreen);
    EXPECT_EQ(frames[0].canvas.pixel(1, 0), 0u);
    EXPECT_EQ(frames[0].canvas.pixel(4, 5), 0u);
    EXPECT_EQ(frames[0].canvas.pixel(5, 5), kOutsideScreen);
    // Later frames carry only what changed: the one red pixel, at screen (1, 2).
    EXPECT_EQ(frames[1].left, 2);
    EXPECT_EQ(frames[1].top, 2);
    EXPECT_EQ(frames[1].width, 1);
    EXPECT_EQ(frames[1].height, 1);
    EXPECT_EQ(frames[1].canvas.pixel(2, 2), 0xFF0000u);
    EXPECT_EQ(frames[2].canvas, frames[0].canvas);
}

TEST(Gif, TurnedScreensShareTheSquareAndLongWaitsAreCarriedOn)
{
    const fs::path file = freshDir("square") / "b.gif";
    {
        GifRecorder gif(file, 8);
        gif.offer(0, gdi::Surface(6, 8, 0x112233));
        gif.offer(10, gdi::Surface(8, 6, 0x112233));  // turned: landscape, centred the other way
        gif.finish(10 + 700'000);                     // 70000 hundredths: more than one delay holds
    }
    int side = 0;
    const auto frames = readGif(file, side);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(delays(frames), (std::vector<int>{1, 65535, 70000 - 65535}));
    EXPECT_EQ(frames[0].canvas.pixel(0, 4), kOutsideScreen);
    EXPECT_EQ(frames[0].canvas.pixel(1, 4), 0x112233u);
    EXPECT_EQ(frames[1].canvas.pixel(0, 4), 0x112233u);
    EXPECT_EQ(frames[1].canvas.pixel(4, 0), kOutsideScreen);
    EXPECT_EQ(frames[2].width * frames[2].height, 1);  // changes nothing
    EXPECT_EQ(frames[2].canvas, frames[1].canvas);
}

TEST(Gif, ARunWithoutPicturesStillMakesAGifAndAnUnwritablePlaceIsNamed)
{
    const fs::path dir = freshDir("empty");
    {
        GifRecorder gif(dir / "e.gif", 4);
        gif.finish(500);
    }
    int side = 0;
    const auto frames = readGif(dir / "e.gif", side);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].delay, 50);
    EXPECT_EQ(frames[0].canvas, gdi::Surface(4, 4, kOutsideScreen));

    GifRecorder blocked(dir / "missing" / "x.gif", 4);
    ASSERT_TRUE(blocked.error().has_value());
    EXPECT_EQ(blocked.error()->rfind((dir / "missing" / "x.gif").string() + ": cannot write the GIF there", 0), 0u)
        << *blocked.error();
}

TEST(Palette, FewColoursAreKeptExactlyAndManyAreCutToTheNearest)
{
    const std::vector<gdi::Rgb> few{0x0000FF, 0xFF0000, 0x0000FF, 0x00FF00};
    const IndexedPicture exact = quantise(few);
    EXPECT_EQ(exact.palette, (std::vector<gdi::Rgb>{0x0000FF, 0x00FF00, 0xFF0000}));
    EXPECT_EQ(exact.indices, (std::vector<std::uint8_t>{0, 2, 0, 1}));

    // 1024 greens and a few reds: more than a GIF holds.
    std::vector<gdi::Rgb> many;
    for (int i = 0; i < 1024; ++i)
        many.push_back(gdi::rgb(static_cast<std::uint8_t>(i % 4), static_cast<std::uint8_t>(i / 4), 0));
    for (int i = 0; i < 50; ++i)
        many.push_back(gdi::rgb(250, 0, 0));
    const IndexedPicture cut = quantise(many);
    ASSERT_LE(cut.palette.size(), 256u);
    ASSERT_EQ(cut.indices.size(), many.size());
    EXPECT_EQ(std::set<gdi::Rgb>(cut.palette.begin(), cut.palette.end()).size(), cut.palette.size());
    int worst = 0;
    for (std::size_t i = 0; i < many.size(); ++i) {
        const gdi::Rgb was = many[i];
        const gdi::Rgb now = cut.palette[cut.indices[i]];
        for (int shift : {0, 8, 16})
            worst = std::max(
                worst, std::abs(static_cast<int>((was >> shift) & 0xFF) - static_cast<int>((now >> shift) & 0xFF)));
    }
    EXPECT_LE(worst, 3);  // the rare red keeps a colour of its own
    EXPECT_EQ(quantise(many).palette, cut.palette);
    EXPECT_EQ(quantise(many).indices, cut.indices);
}

// The utility plugged in at 0: the picture before and after the display turns (both dark),
// then the backlight's ramp in tenths of a second, then the lit screen until the end.
std::string plugRun(const fs::path& file)
{
    HarnessOptions options;
    options.sampleEvery = 10;
    Harness harness(options);
    GifRecorder gif(file, 320);
    harness.addFrameSink(gif);
    const PlayResult result = ScenarioPlayer(harness).play(parseScenario("0 plug\n4s end\n", "plug.scn"));
    gif.finish(result.endedAt);
    EXPECT_EQ(gif.error(), std::nullopt);
    return bytesOf(file);
}

TEST(Gif, APlugRunGivesTheSameBytesTwiceAndShowsTheRamp)
{
    const fs::path dir = freshDir("plug");
    const std::string first = plugRun(dir / "1.gif");
    const std::string second = plugRun(dir / "2.gif");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "two runs wrote different GIFs";
    int side = 0;
    const auto frames = readGif(dir / "1.gif", side);
    EXPECT_EQ(side, 320);
    std::vector<int> expected{100, 100};
    expected.insert(expected.end(), 10, 10);
    expected.push_back(100);
    EXPECT_EQ(delays(frames), expected);
    ASSERT_EQ(frames.size(), expected.size());
    // Dark while the backlight is off; brighter at each step of the ramp.
    const auto brightest = [](const gdi::Surface& s) {
        int most = 0;
        for (gdi::Rgb p : s.pixels())
            if (p != kOutsideScreen)
                most = std::max(most, static_cast<int>((p >> 8) & 0xFF));
        return most;
    };
    EXPECT_EQ(brightest(frames[0].canvas), 0);
    EXPECT_EQ(brightest(frames[1].canvas), 0);
    for (std::size_t i = 2; i < frames.size(); ++i)
        EXPECT_GT(brightest(frames[i].canvas), brightest(frames[i - 1].canvas)) << "frame " << i;
}

}  // namespace
}  // namespace velorin::sim
