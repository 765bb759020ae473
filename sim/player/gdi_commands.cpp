// Scenario commands about the screen: snapshot and expect pixel.
#include "sim/player/commands.hpp"

#include "gdi/png_file.hpp"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace velorin::sim {

namespace {

std::string hexColour(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

}  // namespace

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const SnapshotCommand& command)
{
    const auto failed = [&](const std::string& why) {
        return locationOf(line) + "snapshot " + command.file + " failed: " + why;
    };
    // The picture is what the user sees, the backlight's brightness applied.
    const gdi::Surface screen = harness.screenAsSeen();
    if (screen.width() == 0 || screen.height() == 0)
        return failed("the device has no screen to take a picture of");
    // A relative name is taken from the working directory; missing folders are made.
    const std::filesystem::path file(command.file);
    std::error_code error;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), error);
    if (error)
        return failed(file.parent_path().string() + ": cannot create the directory: " + error.message());
    try {
        gdi::writePng(file, screen);
    } catch (const std::runtime_error& e) {
        return failed(e.what());
    }
    return std::nullopt;
}

CommandOutcome runCommand(Harness& harness, const ScenarioLine& line, const ExpectPixelCommand& command)
{
    const gdi::Surface screen = harness.screen();
    const std::string expectation =
        "expect pixel " + std::to_string(command.x) + " " + std::to_string(command.y) + " " + hexColour(command.rgb);
    if (!screen.contains(command.x, command.y))
        return locationOf(line) + expectation + " failed: the point is outside the " + std::to_string(screen.width()) +
               "x" + std::to_string(screen.height()) + " screen";
    const gdi::Rgb actual = screen.pixel(command.x, command.y);
    if (actual == command.rgb)
        return std::nullopt;
    return locationOf(line) + expectation + " failed: the pixel is " + hexColour(actual);
}

}  // namespace velorin::sim
