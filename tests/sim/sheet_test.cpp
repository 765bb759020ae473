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
#include <fstream>
#include <iterator>
#include <sstream>
#include <optional>

namespace velorin::sim {
namespace {

namespace fs = std::filesystem;

struct Moment {
    DeviceTime at;
    std::string where;
    std::string what;
    std::string later;  // "picture at ...: ...", when the picture waited for the screen
    bool operator==(const Moment&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Moment& m)
{
    return out << m.at << " " << m.where << " " << m.what << " (" << m.later << ")";
}

// Plays `text` on the utility with a sheet watching, as velorin-sim does; `lines`, when given,
// receives the whole trace.
ContactSheet playWithSheet(const std::string& text, std::vector<std::string>* lines = nullptr)
{
    ContactSheet sheet("test");
    std::optional<SheetMoments> moments;
    TraceTap tap(nullptr, trace::TraceLevel::Effects, [&moments, lines](std::string_view line) {
        if (lines)
            lines->emplace_back(line);
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
        out.push_back(Moment{cell.at, cell.where, cell.what, pictureLabel(cell)});
    return out;
}

TEST(Sheet, EachCommandsPictureWaitsUntilTheScreenHasCaughtUp)
{
    const ContactSheet sheet = playWithSheet("0 power ac=1 percent=40\n"
                                             "2s expect window visible\n"  // looks only: no picture
                                             "5s percent 50\n"
                                             "6s expect window hidden\n"  // fails: a picture, at once
                                             "7s unplug\n"
                                             "12s end\n");
    // The plug starts the charging sequence, which ends at 1 s; its ramp lights the screen up to
    // level 10 at 3 s, and the picture waits until the backlight has held for half a second. The
    // new percentage shows at the next animation frame (every 900 ms from the launch at 0). The
    // battery sequence ends at 7 s and ramps up to the battery level, 5, at 8.6 s.
    EXPECT_EQ(momentsOf(sheet), (std::vector<Moment>{
                                    {0, "s.scn:1", "power ac=1 percent=40", "picture at 3.5s: charging sequence done"},
                                    {5000, "s.scn:3", "percent 50", "picture at 5.4s: next frame"},
                                    {6000, "s.scn:4", "expect window hidden - failed", ""},
                                    {7000, "s.scn:5", "unplug", "picture at 9.1s: battery sequence done"},
                                }));
    // What each picture shows: the charging screen lit and turned, then the screen after the
    // battery sequence, upright again.
    const auto& cells = sheet.cells();
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0].picture.width(), 160);  // 320 x 240, halved
    EXPECT_EQ(cells[0].picture.height(), 120);
    EXPECT_EQ(cells[3].picture.width(), 120);
    EXPECT_EQ(cells[3].picture.height(), 160);
    const auto lit = [](const gdi::Surface& s) {
        return std::count_if(s.pixels().begin(), s.pixels().end(), [](gdi::Rgb p) { return ((p >> 8) & 0xFF) > 150; });
    };
    EXPECT_GT(lit(cells[0].picture), 1000);
}

// The digits of a new percentage are what the percentage's picture is for: the cell shows the
// screen of the next frame, not the one the command found.
TEST(Sheet, APercentagesPictureShowsTheFrameThatDrewIt)
{
    const ContactSheet sheet = playWithSheet("0 power ac=1 percent=40\n5s percent 50\n5200ms percent 60\n8s end\n");
    const auto& cells = sheet.cells();
    ASSERT_EQ(cells.size(), 3u);
    // The next line came before the next frame: the first is shown as the command left it.
    EXPECT_EQ(pictureLabel(cells[1]), "");
    EXPECT_FALSE(cells[1].picture == cells[2].picture) << "the second shows the new digits";
    EXPECT_EQ(pictureLabel(cells[2]), "picture at 5.4s: next frame");
}

// The percentage the utility last drew at or before `at`, read from the trace's digit copies:
// "<ms> call TransparentImage(dc, x, y, 19, 30, digits, 19 * d, 0, 19, 30, 0) = 1", one frame's
// digits all at one moment, the percent sign (from x 190) last.
std::optional<int> percentDrawnBy(const std::vector<std::string>& lines, DeviceTime at)
{
    std::optional<int> shown;
    std::string digits;
    DeviceTime digitsAt = -1;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        DeviceTime time = 0;
        std::string kind, call;
        in >> time >> kind >> call;
        if (time > at)
            break;
        if (kind != "call" || call.rfind("TransparentImage(", 0) != 0)
            continue;
        std::istringstream argText(line.substr(line.find('(') + 1));
        std::vector<long> args;
        for (std::string arg; std::getline(argText, arg, ',');)
            args.push_back(std::strtol(arg.c_str(), nullptr, 0));
        if (args.size() < 7)
            continue;
        if (time != digitsAt)
            digits.clear();
        digitsAt = time;
        const long sourceX = args[6];
        if (sourceX >= 190 && !digits.empty())
            shown = std::stoi(digits);
        else if (sourceX < 190)
            digits += static_cast<char>('0' + sourceX / 19);
    }
    return shown;
}

// The demo's percentage cells show their own percentage: the picture is taken after the frame
// that drew it.
TEST(Sheet, TheDemosPercentageCellsShowTheirPercentage)
{
    std::ifstream file(VELORIN_EXAMPLES_DIR "/demo.scn");
    const std::string demo{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(demo.empty());
    std::vector<std::string> lines;
    const ContactSheet sheet = playWithSheet(demo, &lines);
    int percentCells = 0;
    for (const SheetCell& cell : sheet.cells()) {
        if (cell.what.rfind("percent ", 0) != 0)
            continue;
        const int percent = std::stoi(cell.what.substr(8));
        if (cell.picture == sheet.cells().front().picture)
            continue;  // the screen hidden (the charge dismissed): no digits to show
        ++percentCells;
        EXPECT_EQ(percentDrawnBy(lines, cell.pictureAt.value_or(cell.at)), percent) << cell.what;
    }
    EXPECT_GE(percentCells, 4);
}

// A command after which nothing is drawn within a frame's time is shown at its own moment: a
// percentage below a full battery already drawn (which the utility shows only after its next
// sequence), and one while the screen is hidden.
TEST(Sheet, ACommandThatChangesNothingLaterKeepsItsOwnMoment)
{
    const ContactSheet sheet = playWithSheet("0 power ac=1 percent=100\n5s percent 50\n7s unplug\n"
                                             "12s percent 30\n14s end\n");
    const std::vector<Moment> moments = momentsOf(sheet);
    ASSERT_EQ(moments.size(), 4u);
    EXPECT_EQ(moments[1], (Moment{5000, "s.scn:2", "percent 50", ""}));
    EXPECT_EQ(moments[3], (Moment{12000, "s.scn:4", "percent 30", ""}));
}

// An expectation that fails while a command's picture waits comes after that picture.
TEST(Sheet, AFailedExpectationDuringAWaitComesAfterTheCommandsPicture)
{
    const ContactSheet sheet = playWithSheet("0 power ac=1 percent=40\n5s percent 50\n"
                                             "5100ms expect window hidden\n8s end\n");
    EXPECT_EQ(momentsOf(sheet), (std::vector<Moment>{
                                    {0, "s.scn:1", "power ac=1 percent=40", "picture at 3.5s: charging sequence done"},
                                    {5000, "s.scn:2", "percent 50", ""},
                                    {5100, "s.scn:3", "expect window hidden - failed", ""},
                                }));
}

TEST(Sheet, ACommandLineBeforeTheBacklightSettlesTakesTheSequencesPictureFirst)
{
    const ContactSheet sheet = playWithSheet("0 plug\n2500ms tap 5 5\n4s end\n");
    EXPECT_EQ(momentsOf(sheet), (std::vector<Moment>{
                                    {0, "s.scn:1", "plug", "picture at 2.5s: charging sequence done"},
                                    {2500, "s.scn:2", "tap 5 5", ""},
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
