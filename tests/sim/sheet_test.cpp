// --sheet: which moments get a picture, how they are labelled, and how the sheet is laid out.
#include "sim/harness/harness.hpp"
#include "sim/output/contact_sheet.hpp"
#include "sim/output/picture_tools.hpp"
#include "sim/output/sheet_moments.hpp"
#include "sim/output/trace_tap.hpp"
#include "sim/player/scenario_player.hpp"

#include "gdi/png_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace velorin::sim {
namespace {

namespace fs = std::filesystem;

struct Moment {
    DeviceTime at;
    std::string where;
    std::string what;
    bool operator==(const Moment&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Moment& m)
{
    return out << m.at << " " << m.where << " " << m.what;
}

// Plays `text` on the utility with a sheet watching, as velorin-sim does.
ContactSheet playWithSheet(const std::string& text)
{
    ContactSheet sheet("test");
    std::optional<SheetMoments> moments;
    TraceTap tap(nullptr, trace::TraceLevel::Effects, [&moments](std::string_view line) {
        if (moments)
            moments->traceLine(line);
    });
    HarnessOptions options;
    options.sampleEvery = 10;
    options.device.trace = trace::TraceLevel::All;
    options.traceSink = &tap;
    Harness harness(options);
    moments.emplace(harness, sheet);
    harness.addStepListener([&] { moments->afterStep(); });
    ScenarioPlayer player(harness);
    player.beforeLine = [&](const ScenarioLine& line) { moments->beforeLine(line); };
    player.afterLine = [&](const ScenarioLine& line, const std::optional<std::string>& failure) {
        moments->afterLine(line, failure);
    };
    player.play(parseScenario(text, "/some/where/s.scn"));
    moments->finish();
    harness.powerOff();
    return sheet;
}

std::vector<Moment> momentsOf(const ContactSheet& sheet)
{
    std::vector<Moment> out;
    for (const SheetCell& cell : sheet.cells())
        out.push_back(Moment{cell.at, cell.where, cell.what});
    return out;
}

TEST(Sheet, APictureAfterEachCommandThatActsAndAtTheEndOfEachSequence)
{
    const ContactSheet sheet = playWithSheet("0 plug\n"
                                             "2s expect window visible\n"  // looks only: no picture
                                             "5s percent 50\n"
                                             "6s expect window hidden\n"  // fails: a picture
                                             "7s unplug\n"
                                             "12s end\n");
    // The charging sequence ends at 1 s; its ramp lights the screen up to level 10 at 3 s, and
    // the picture waits until the backlight has held for half a second. The battery sequence
    // ends at 7 s and ramps up to the battery level, 5, at 8.6 s.
    EXPECT_EQ(momentsOf(sheet), (std::vector<Moment>{
                                    {0, "s.scn:1", "plug"},
                                    {3500, "", "charging sequence done"},
                                    {5000, "s.scn:3", "percent 50"},
                                    {6000, "s.scn:4", "expect window hidden - failed"},
                                    {7000, "s.scn:5", "unplug"},
                                    {9100, "", "battery sequence done"},
                                }));
    // What each picture shows: dark at the plug, lit and turned when the charging screen is up.
    const auto& cells = sheet.cells();
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(cells[0].picture.width(), 120);  // 240 x 320, halved
    EXPECT_EQ(cells[0].picture.height(), 160);
    EXPECT_EQ(cells[1].picture.width(), 160);  // turned for charging
    EXPECT_EQ(cells[1].picture.height(), 120);
    const auto lit = [](const gdi::Surface& s) {
        return std::count_if(s.pixels().begin(), s.pixels().end(), [](gdi::Rgb p) { return ((p >> 8) & 0xFF) > 150; });
    };
    EXPECT_EQ(lit(cells[0].picture), 0);
    EXPECT_GT(lit(cells[1].picture), 1000);
}

TEST(Sheet, ACommandLineBeforeTheBacklightSettlesTakesTheSequencesPictureFirst)
{
    const ContactSheet sheet = playWithSheet("0 plug\n2500ms tap 5 5\n4s end\n");
    EXPECT_EQ(momentsOf(sheet), (std::vector<Moment>{
                                    {0, "s.scn:1", "plug"},
                                    {2500, "", "charging sequence done"},
                                    {2500, "s.scn:2", "tap 5 5"},
                                }));
}

TEST(Sheet, CellsAreLaidOutInRowsOfFiveUnderATitle)
{
    ContactSheet sheet("title");
    for (int i = 0; i < 6; ++i)
        sheet.add(i * 1000, gdi::Surface(320, 240, gdi::rgb(0, static_cast<std::uint8_t>(40 * i), 0)), "f:1", "x");
    const gdi::Surface picture = sheet.render();
    EXPECT_EQ(picture.width(), ContactSheet::cellLeft(4) + ContactSheet::kPictureSide + 12);
    EXPECT_GT(picture.height(), ContactSheet::cellTop(5) + ContactSheet::kPictureSide);
    EXPECT_EQ(ContactSheet::cellTop(5),
              ContactSheet::cellTop(0) + (ContactSheet::cellTop(5) - ContactSheet::cellTop(4)));
    EXPECT_GT(ContactSheet::cellTop(5), ContactSheet::cellTop(4));
    EXPECT_EQ(ContactSheet::cellLeft(5), ContactSheet::cellLeft(0));
    // Each 320 x 240 picture is halved and sits in the middle of its box.
    for (int i = 0; i < 6; ++i) {
        const int centreX = ContactSheet::cellLeft(i) + ContactSheet::kPictureSide / 2;
        const int centreY = ContactSheet::cellTop(i) + ContactSheet::kPictureSide / 2;
        EXPECT_EQ(picture.pixel(centreX, centreY), gdi::rgb(0, static_cast<std::uint8_t>(40 * i), 0)) << i;
        EXPECT_NE(picture.pixel(centreX, ContactSheet::cellTop(i) + 5),
                  gdi::rgb(0, static_cast<std::uint8_t>(40 * i), 0))
            << "a 160 x 120 picture leaves the box's top free";
    }
    // The labels are drawn: text below the box.
    int inked = 0;
    for (int y = ContactSheet::cellTop(0) + ContactSheet::kPictureSide; y < ContactSheet::cellTop(5); ++y)
        for (int x = ContactSheet::cellLeft(0); x < ContactSheet::cellLeft(1); ++x)
            inked += picture.pixel(x, y) != picture.pixel(0, 0);
    EXPECT_GT(inked, 20);

    const fs::path file = fs::path(::testing::TempDir()) / "velorin-sheet.png";
    sheet.write(file);
    EXPECT_EQ(gdi::readPng(file), picture);
}

TEST(PictureTools, ShrinkingAveragesAndKeepsTheShape)
{
    gdi::Surface checks(4, 2);
    for (int x = 0; x < 4; ++x)
        checks.setPixel(x, 0, x % 2 ? 0xFFFFFF : 0);
    const gdi::Surface half = shrinkToFit(checks, 2, 2);
    ASSERT_EQ(half.width(), 2);
    ASSERT_EQ(half.height(), 1);
    EXPECT_EQ(half.pixel(0, 0), 0x404040u);  // two white of four: 255 / 4, rounded
    EXPECT_EQ(shrinkToFit(checks, 10, 10), checks);
    const gdi::Surface tall = shrinkToFit(gdi::Surface(240, 320), 160, 160);
    EXPECT_EQ(tall.width(), 120);
    EXPECT_EQ(tall.height(), 160);
}

TEST(TraceTap, PassesOnTheLevelAskedForAndHearsEveryLine)
{
    std::ostringstream out;
    std::vector<std::string> heard;
    TraceTap tap(&out, trace::TraceLevel::Effects, [&](std::string_view line) { heard.emplace_back(line); });
    tap << "0 launch pid=1\n10 dispatch hwnd=0x10000 WM_TIMER wparam=1 lparam=0\n";
    tap << "20 call Sl"
        << "eep(5) = 0\n30 window.show";
    tap << " hwnd=0x10000\n";
    EXPECT_EQ(out.str(), "0 launch pid=1\n30 window.show hwnd=0x10000\n");
    EXPECT_EQ(heard, (std::vector<std::string>{"0 launch pid=1", "10 dispatch hwnd=0x10000 WM_TIMER wparam=1 lparam=0",
                                               "20 call Sleep(5) = 0", "30 window.show hwnd=0x10000"}));
    std::ostringstream all;
    TraceTap everything(&all, trace::TraceLevel::All, nullptr);
    everything << "20 call Sleep(5) = 0\n";
    EXPECT_EQ(all.str(), "20 call Sleep(5) = 0\n");
}

}  // namespace
}  // namespace velorin::sim
