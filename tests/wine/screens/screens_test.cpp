// The device's screen and Wine's at the snapshots of screens.scn. The scenario plays under Wine
// (tools/velorin-wine, wall-clock time) and on the device (virtual time, its logical screen
// sampled every 50 ms); each of Wine's pictures must be, pixel for pixel, one that the device
// showed within a second of the snapshot, since under Wine the animation may run a tick early
// or late. Under the close prompt, which each system draws with its own frame and font,
// everything outside the two prompts must agree.
#include "gdi/png_file.hpp"
#include "sim/harness/harness.hpp"
#include "sim/player/scenario_player.hpp"
#include "window/window_manager.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace velorin::sim {
namespace {

namespace fs = std::filesystem;

constexpr DeviceTime kSampleEvery = 50;
// Under Wine the animation may be a tick (900 ms) off the device's, and the launch lags a little.
constexpr DeviceTime kLeeway = 1000;
constexpr gdi::Rgb kBlack = 0;
constexpr std::size_t kDifferencesListed = 5;

// A rectangle of the logical screen: [left, right) x [top, bottom).
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Box&) const = default;
};

bool inAny(const std::vector<Box>& boxes, int x, int y)
{
    return std::any_of(boxes.begin(), boxes.end(), [&](const Box& b) { return b.contains(x, y); });
}

Box unite(const std::optional<Box>& a, const Box& b)
{
    if (!a)
        return b;
    return Box{std::min(a->left, b.left), std::min(a->top, b.top), std::max(a->right, b.right),
               std::max(a->bottom, b.bottom)};
}

// A picture the device's screen kept from `from` to `to`, and where its prompt was.
struct Shown {
    DeviceTime from = 0;
    DeviceTime to = 0;
    gdi::Surface screen;
    std::optional<Box> prompt;
};

// The visible owned top-level windows (the close prompt), as one rectangle.
std::optional<Box> promptOf(platform::Device& device)
{
    std::lock_guard lock(device.kernel().mutex());
    window::WindowManager& windows = device.windows();
    std::optional<Box> prompt;
    for (HWND hwnd : windows.zOrderLocked()) {
        const window::Window* w = windows.findLocked(hwnd);
        if (w && w->visible && w->owner && !w->isChild())
            prompt = unite(prompt, Box{w->rect.left, w->rect.top, w->rect.right, w->rect.bottom});
    }
    return prompt;
}

std::string colour(gdi::Rgb rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

struct Comparison {
    int compared = 0;
    int differing = 0;
    std::string firstDifferences;  // "(x,y) Wine #.. device #..", the first few
};

// The pixels outside `excluded` where the two pictures differ; pictures of different sizes
// differ everywhere.
Comparison compare(const gdi::Surface& wine, const gdi::Surface& device, const std::vector<Box>& excluded)
{
    Comparison result;
    if (wine.width() != device.width() || wine.height() != device.height()) {
        result.differing = std::max(wine.width() * wine.height(), device.width() * device.height());
        result.firstDifferences = "Wine's is " + std::to_string(wine.width()) + "x" + std::to_string(wine.height()) +
                                  ", the device's " + std::to_string(device.width()) + "x" +
                                  std::to_string(device.height());
        return result;
    }
    for (int y = 0; y < wine.height(); ++y) {
        for (int x = 0; x < wine.width(); ++x) {
            if (inAny(excluded, x, y))
                continue;
            ++result.compared;
            if (wine.pixel(x, y) == device.pixel(x, y))
                continue;
            if (static_cast<std::size_t>(result.differing++) < kDifferencesListed)
                result.firstDifferences += "(" + std::to_string(x) + "," + std::to_string(y) + ") Wine " +
                                           colour(wine.pixel(x, y)) + " device " + colour(device.pixel(x, y)) + "; ";
        }
    }
    return result;
}

// The first pixel outside `box` that is not `fill`.
std::optional<std::pair<int, int>> firstOtherThan(const gdi::Surface& picture, gdi::Rgb fill, const Box& box)
{
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!box.contains(x, y) && picture.pixel(x, y) != fill)
                return std::pair{x, y};
        }
    }
    return std::nullopt;
}

const fs::path kMismatchDir = fs::path(VELORIN_SCREENS_OUTPUT) / "mismatch";

// Both pictures and one of where they differ (red; the rest dimmed, what was left out blue),
// under the test's build folder; returns that folder.
fs::path writeMismatch(const std::string& name, const gdi::Surface& wine, const gdi::Surface& device,
                       const std::vector<Box>& excluded)
{
    const fs::path dir = kMismatchDir;
    fs::create_directories(dir);
    const std::string stem = fs::path(name).stem().string();
    gdi::writePng(dir / (stem + "-wine.png"), wine);
    gdi::writePng(dir / (stem + "-device.png"), device);
    gdi::Surface difference(wine.width(), wine.height());
    for (int y = 0; y < wine.height(); ++y) {
        for (int x = 0; x < wine.width(); ++x) {
            const gdi::Rgb seen = wine.pixel(x, y);
            if (inAny(excluded, x, y))
                difference.setPixel(x, y, 0x000060);
            else if (seen != device.pixel(x, y))
                difference.setPixel(x, y, 0xFF0000);
            else
                difference.setPixel(x, y, (seen >> 2) & 0x3F3F3F);
        }
    }
    gdi::writePng(dir / (stem + "-difference.png"), difference);
    return dir;
}

struct Runs {
    fs::path dir;  // the Wine run's working folder, where its snapshots land
    Scenario scenario;
    int wineStatus = -1;
    std::string wineOutput;
    PlayResult device;
    std::vector<Shown> shown;
};

fs::path makeTemporaryDir()
{
    std::string pattern = (fs::temp_directory_path() / "velorin-screens.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    return pattern;
}

void playUnderWine(Runs& runs)
{
    const fs::path log = runs.dir / "velorin-wine.log";
    const std::string command = "cd '" + runs.dir.string() + "' && '" VELORIN_WINE_SCRIPT "' --scenario '" +
                                std::string(VELORIN_SCREENS_SCENARIO) + "' >'" + log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    runs.wineStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(log);
    std::ostringstream text;
    text << in.rdbuf();
    if (WIFSIGNALED(status))
        text << "(ended by signal " << WTERMSIG(status) << ")\n";
    runs.wineOutput = text.str();
}

void playOnDevice(Runs& runs)
{
    // The device's own snapshots stay in the temporary folder too.
    Scenario scenario = runs.scenario;
    for (auto& line : scenario.lines) {
        if (auto* snapshot = std::get_if<SnapshotCommand>(&line.command))
            snapshot->file = (runs.dir / "device" / snapshot->file).string();
    }
    HarnessOptions options;
    options.sampleEvery = kSampleEvery;
    Harness harness(options);
    harness.addStepListener([&] {
        gdi::Surface screen = harness.screen();
        if (screen.width() == 0)
            return;
        const std::optional<Box> prompt = promptOf(harness.device());
        if (!runs.shown.empty() && runs.shown.back().screen == screen && runs.shown.back().prompt == prompt)
            runs.shown.back().to = harness.now();
        else
            runs.shown.push_back(Shown{harness.now(), harness.now(), std::move(screen), prompt});
    });
    runs.device = ScenarioPlayer(harness).play(scenario);
    harness.powerOff();
}

class Screens : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Pictures of an earlier failure would read as this run's.
        fs::remove_all(kMismatchDir);
        runs = new Runs;
        runs->dir = makeTemporaryDir();
        runs->scenario = loadScenarioFile(VELORIN_SCREENS_SCENARIO);
        playUnderWine(*runs);
        playOnDevice(*runs);
    }
    static void TearDownTestSuite()
    {
        std::error_code ignored;
        fs::remove_all(runs->dir, ignored);
        delete runs;
        runs = nullptr;
    }

    static DeviceTime snapshotTime(const std::string& file)
    {
        for (const auto& line : runs->scenario.lines) {
            const auto* snapshot = std::get_if<SnapshotCommand>(&line.command);
            if (snapshot && snapshot->file == file)
                return line.at;
        }
        ADD_FAILURE() << "the scenario takes no snapshot " << file;
        return 0;
    }
    static gdi::Surface wineSnapshot(const std::string& file)
    {
        const fs::path path = runs->dir / file;
        if (!fs::exists(path)) {
            ADD_FAILURE() << "Wine wrote no " << file << "; velorin-wine said:\n" << runs->wineOutput;
            return {};
        }
        return gdi::readPng(path);
    }
    // What the device showed within the leeway of `at`.
    static std::vector<const Shown*> shownAround(DeviceTime at)
    {
        std::vector<const Shown*> found;
        for (const Shown& shown : runs->shown) {
            if (shown.from <= at + kLeeway && shown.to >= at - kLeeway)
                found.push_back(&shown);
        }
        return found;
    }

    static inline Runs* runs = nullptr;
};

TEST_F(Screens, BothRunsHoldEveryExpectation)
{
    EXPECT_EQ(runs->wineStatus, 0) << "velorin-wine said:\n" << runs->wineOutput;
    for (const auto& failure : runs->device.failures)
        ADD_FAILURE() << "on the device: " << failure;
    EXPECT_GT(runs->device.expectsChecked, 0);
}

// The charging display (at 35 %, its animation running) and the full battery, whole.
TEST_F(Screens, ChargingDisplayIsTheDevicesPixelForPixel)
{
    for (const std::string file : {"charging.png", "full.png"}) {
        SCOPED_TRACE(file);
        const DeviceTime at = snapshotTime(file);
        const gdi::Surface wine = wineSnapshot(file);
        if (wine.width() == 0)
            continue;
        const auto candidates = shownAround(at);
        ASSERT_FALSE(candidates.empty()) << "the device showed nothing around " << formatDeviceTime(at);
        const Shown* closest = nullptr;
        Comparison best;
        for (const Shown* shown : candidates) {
            const Comparison comparison = compare(wine, shown->screen, {});
            if (!closest || comparison.differing < best.differing) {
                closest = shown;
                best = comparison;
            }
        }
        if (best.differing == 0) {
            std::cout << file << " at " << formatDeviceTime(at) << ": " << best.compared
                      << " pixels, the device's picture from " << formatDeviceTime(closest->from) << " to "
                      << formatDeviceTime(closest->to) << "\n";
            continue;
        }
        const fs::path dir = writeMismatch(file, wine, closest->screen, {});
        ADD_FAILURE() << "Wine's " << file << " (at " << formatDeviceTime(at) << ") is none of the "
                      << candidates.size() << " pictures the device showed within " << formatDeviceTime(kLeeway)
                      << "; the closest (from " << formatDeviceTime(closest->from) << " to "
                      << formatDeviceTime(closest->to) << ") differs in " << best.differing
                      << " pixels: " << best.firstDifferences << "pictures in " << dir;
    }
}

// Under the prompt the charging display is blanked to the dialog's background on both; the
// prompts themselves (the device's window, and the extent of Wine's, which is drawn neither in
// black nor in that background) are left out.
TEST_F(Screens, ClosePromptOverTheBlankedDisplay)
{
    const std::string file = "prompt.png";
    const DeviceTime at = snapshotTime(file);
    const gdi::Surface wine = wineSnapshot(file);
    ASSERT_GT(wine.width(), 0);

    const Shown* closest = nullptr;
    Comparison best;
    std::vector<Box> bestExcluded;
    for (const Shown* shown : shownAround(at)) {
        if (!shown->prompt)
            continue;
        const Box& prompt = *shown->prompt;
        // The device's display blanked: one colour wherever its prompt is not.
        ASSERT_FALSE(prompt.contains(0, 0));
        const gdi::Rgb blank = shown->screen.pixel(0, 0);
        if (const auto other = firstOtherThan(shown->screen, blank, prompt))
            ADD_FAILURE() << "the device's display shows beside its prompt from " << formatDeviceTime(shown->from)
                          << ": " << colour(shown->screen.pixel(other->first, other->second)) << " at (" << other->first
                          << "," << other->second << ") on " << colour(blank);

        std::optional<Box> winePrompt;
        for (int y = 0; y < wine.height(); ++y) {
            for (int x = 0; x < wine.width(); ++x) {
                const gdi::Rgb seen = wine.pixel(x, y);
                if (seen != kBlack && seen != blank)
                    winePrompt = unite(winePrompt, Box{x, y, x + 1, y + 1});
            }
        }
        ASSERT_TRUE(winePrompt && winePrompt->contains(wine.width() / 2, wine.height() / 2))
            << "Wine's prompt is not at the centre of its " << file;
        // Reaching an edge, it would hide a screen blanked in another colour than the device's.
        ASSERT_TRUE(winePrompt->left > 0 && winePrompt->top > 0 && winePrompt->right < wine.width() &&
                    winePrompt->bottom < wine.height())
            << "Wine's prompt reaches the edge of its " << file << ": " << winePrompt->left << "," << winePrompt->top
            << " to " << winePrompt->right << "," << winePrompt->bottom;

        const std::vector<Box> excluded{prompt, *winePrompt};
        const Comparison comparison = compare(wine, shown->screen, excluded);
        if (!closest || comparison.differing < best.differing) {
            closest = shown;
            best = comparison;
            bestExcluded = excluded;
        }
    }
    ASSERT_TRUE(closest) << "the device showed no prompt within " << formatDeviceTime(kLeeway) << " of "
                         << formatDeviceTime(at);
    if (best.differing == 0) {
        std::cout << file << " at " << formatDeviceTime(at) << ": " << best.compared
                  << " pixels outside the prompts, the device's picture from " << formatDeviceTime(closest->from)
                  << " to " << formatDeviceTime(closest->to) << "\n";
        return;
    }
    const fs::path dir = writeMismatch(file, wine, closest->screen, bestExcluded);
    const Box& winePrompt = bestExcluded[1];
    ADD_FAILURE() << "outside the prompts (the device's and Wine's, " << winePrompt.left << "," << winePrompt.top
                  << " to " << winePrompt.right << "," << winePrompt.bottom << "), Wine's " << file
                  << " differs from the device's picture from " << formatDeviceTime(closest->from) << " in "
                  << best.differing << " pixels: " << best.firstDifferences << "pictures in " << dir;
}

}  // namespace
}  // namespace velorin::sim
