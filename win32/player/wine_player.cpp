// A scenario played line by line on the wall clock: set-up lines before the launch, commands
// carried out, and each expectation polled until it holds or its time to settle runs out.
#include "wine_player.hpp"

#include "input.hpp"
#include "registry_access.hpp"
#include "screen.hpp"
#include "text.hpp"

#include <velorin_device.h>

#include <cstdio>
#include <type_traits>
#include <variant>

namespace velorin::wine {

namespace {

using namespace sim;

// How much later than its time an expectation may come true; see WinePlayer::expect.
constexpr DWORD kSettleMs = 500;
constexpr DWORD kPollMs = 10;
constexpr wchar_t kMainWindowTitle[] = L"Velorin";

std::string failed(const ScenarioLine& line, const std::string& why)
{
    return locationOf(line) + std::string(commandName(line.command)) + " failed: " + why;
}

void waitUntil(DeviceTime at)
{
    for (;;) {
        const DWORD now = VelorinDeviceTime();
        if (now >= at)
            return;
        Sleep(static_cast<DWORD>(at - now));
    }
}

int degreesOf(DWORD code)
{
    switch (code) {
    case DMDO_90:
        return 90;
    case DMDO_180:
        return 180;
    case DMDO_270:
        return 270;
    default:
        return 0;
    }
}

DWORD codeOf(int degrees)
{
    switch (degrees) {
    case 90:
        return DMDO_90;
    case 180:
        return DMDO_180;
    case 270:
        return DMDO_270;
    default:
        return DMDO_0;
    }
}

std::string hexColour(DWORD rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06lx", static_cast<unsigned long>(rgb));
    return text;
}

}  // namespace

PlayOutcome WinePlayer::play(const Scenario& scenario, std::ostream& report)
{
    PlayOutcome outcome;
    const auto record = [&](const ScenarioLine& line) {
        const bool expectation = isExpectation(line.command);
        outcome.expectsChecked += expectation ? 1 : 0;
        if (const auto failure = expectation ? expect(line) : run(line)) {
            outcome.expectsFailed += expectation ? 1 : 0;
            report << *failure << std::endl;
        }
    };
    for (const auto& line : scenario.lines) {
        if (line.at == 0 && isSetupCommand(line.command))
            record(line);
    }
    std::string why;
    if (!m_programs.launch(why))
        report << scenario.file << ": " << why << std::endl;
    for (const auto& line : scenario.lines) {
        if (line.at == 0 && isSetupCommand(line.command))
            continue;
        waitUntil(line.at);
        if (std::holds_alternative<EndCommand>(line.command))
            break;
        record(line);
    }
    m_programs.endAll();
    return outcome;
}

std::optional<std::string> WinePlayer::expect(const ScenarioLine& line)
{
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        auto failure = check(line);
        if (!failure || GetTickCount64() - start >= kSettleMs)
            return failure;
        Sleep(kPollMs);
    }
}

std::optional<std::string> WinePlayer::run(const ScenarioLine& line)
{
    return std::visit(
        [&](const auto& command) -> std::optional<std::string> {
            using T = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<T, PowerCommand>) {
                VelorinReportPower(command.ac.value_or(-1), command.percent.value_or(-1));
            } else if constexpr (std::is_same_v<T, LaunchCommand>) {
                std::string why;
                if (!m_programs.launch(why))
                    return failed(line, why);
            } else if constexpr (std::is_same_v<T, TapCommand>) {
                tap(command.x, command.y);
            } else if constexpr (std::is_same_v<T, ClickCommand>) {
                const auto centre = buttonCentre(widen(command.text), m_programs.processIds());
                if (!centre)
                    return locationOf(line) + "click failed: no visible button says \"" + command.text + "\"";
                tap(centre->x, centre->y);
            } else if constexpr (std::is_same_v<T, KeyCommand>) {
                pressKey(command.key == KeyCommand::Key::Esc ? VK_ESCAPE : VK_RETURN);
            } else if constexpr (std::is_same_v<T, RotateCommand>) {
                // Another program turns the display, through the same call as the utility.
                DEVMODEW mode{};
                mode.dmSize = sizeof mode;
                mode.dmFields = DM_DISPLAYORIENTATION;
                mode.dmDisplayOrientation = codeOf(command.degrees);
                ChangeDisplaySettingsEx(nullptr, &mode, nullptr, CDS_RESET, nullptr);
            } else if constexpr (std::is_same_v<T, RegSetCommand>) {
                setValue(command);
            } else if constexpr (std::is_same_v<T, RegDeleteCommand>) {
                deleteValueOrKey(command);
            } else if constexpr (std::is_same_v<T, SnapshotCommand>) {
                std::string why;
                if (!saveScreen(widen(command.file), why))
                    return locationOf(line) + "snapshot " + command.file + " failed: " + why;
            }
            return std::nullopt;
        },
        line.command);
}

std::optional<std::string> WinePlayer::check(const ScenarioLine& line)
{
    return std::visit(
        [&](const auto& command) -> std::optional<std::string> {
            using T = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<T, ExpectWindowCommand>) {
                using State = ExpectWindowCommand::State;
                const auto window = mainWindow(kMainWindowTitle, m_programs.processIds());
                const State actual = !window ? State::None : IsWindowVisible(*window) ? State::Visible : State::Hidden;
                if (actual == command.state)
                    return std::nullopt;
                const char* names[] = {"visible", "hidden", "none"};
                return locationOf(line) + "expect window " + names[static_cast<int>(command.state)] +
                       " failed: the window \"Velorin\" " +
                       (actual == State::None ? std::string("does not exist")
                                              : std::string("is ") + names[static_cast<int>(actual)]);
            } else if constexpr (std::is_same_v<T, ExpectProcessCommand>) {
                const bool running = m_programs.anyRunning();
                if (running == command.running)
                    return std::nullopt;
                return failed(line, running ? "the program is running" : "the program is not running");
            } else if constexpr (std::is_same_v<T, ExpectRegCommand>) {
                if (const auto why = checkValue(command))
                    return failed(line, *why);
            } else if constexpr (std::is_same_v<T, ExpectOrientationCommand>) {
                const int degrees = degreesOf(VelorinOrientation());
                if (degrees != command.degrees)
                    return locationOf(line) + "expect orientation " + std::to_string(command.degrees) +
                           " failed: the orientation is " + std::to_string(degrees);
            } else if constexpr (std::is_same_v<T, ExpectBacklightCommand>) {
                BOOL on = FALSE;
                int level = 0;
                VelorinBacklight(&on, &level);
                const bool holds = (on != FALSE) == command.on && (!command.level || *command.level == level);
                if (!holds)
                    return failed(line, std::string("the backlight is ") +
                                            (on ? "on at level " + std::to_string(level) : std::string("off")));
            } else if constexpr (std::is_same_v<T, ExpectPixelCommand>) {
                DWORD rgb = 0;
                std::string why;
                if (!screenPixel(command.x, command.y, rgb, why))
                    return failed(line, why);
                if (rgb != command.rgb)
                    return failed(line, "the pixel is " + hexColour(rgb));
            }
            return std::nullopt;
        },
        line.command);
}

}  // namespace velorin::wine
