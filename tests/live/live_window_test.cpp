// velorin-sim --window on a virtual X server: a short scenario plugs the charger, a screenshot
// of the real window shows the battery and the gauge beside it, and a TERM signal (as closing
// the window does) ends the run cleanly with the registry saved. Skipped where Xvfb is not
// installed.
#include "gdi/png_file.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace velorin::sim {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Generous: this only bounds a test that would otherwise hang; nothing is measured against it.
constexpr auto kPatience = std::chrono::seconds(90);

bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

// A child process; killed and reaped if the test leaves it running.
class Child {
public:
    // Descriptors without close-on-exec are inherited.
    Child(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {})
    {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> env(extraEnv);
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawnp(&m_pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
    }
    ~Child()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    pid_t pid() const { return m_pid; }
    // The exit status once it has ended, waiting at most until `deadline`.
    std::optional<int> waitUntil(Clock::time_point deadline)
    {
        while (m_pid > 0) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (Clock::now() > deadline)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::nullopt;
    }

private:
    pid_t m_pid = -1;
};

// The battery: a block of bright green columns. The gauge: red segments to its right.
struct Found {
    bool battery = false;
    bool gauge = false;
};

Found look(const gdi::Surface& shot)
{
    const auto green = [](gdi::Rgb p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return g > 140 && r < 130 && b < 130;
    };
    const auto red = [](gdi::Rgb p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return r > 170 && g < 100 && b < 100;
    };
    int batteryColumns = 0;
    int batteryRight = -1;
    for (int x = 0; x < shot.width(); ++x) {
        int count = 0;
        for (int y = 0; y < shot.height(); ++y)
            count += green(shot.pixel(x, y));
        if (count >= 150) {
            ++batteryColumns;
            batteryRight = x;
        }
    }
    Found found;
    found.battery = batteryColumns >= 100;
    int gaugeRed = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = batteryRight + 1; x < shot.width() && batteryRight >= 0; ++x)
            gaugeRed += red(shot.pixel(x, y));
    found.gauge = gaugeRed >= 100;
    return found;
}

TEST(LiveWindow, ShowsTheChargingScreenInARealWindowAndEndsCleanlyWhenClosed)
{
    if (!onPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(onPath("import")) << "ImageMagick's import takes the screenshot (tools/packages.txt)";
    const fs::path dir = fs::path(::testing::TempDir()) / "velorin-live-window";
    fs::remove_all(dir);
    fs::create_directories(dir);

    // Xvfb picks a free display and writes its number to the pipe once it takes clients.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    fcntl(ready[0], F_SETFD, FD_CLOEXEC);
    Child xvfb({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    close(ready[1]);
    ASSERT_GT(xvfb.pid(), 0);
    std::string number;
    for (char c; read(ready[0], &c, 1) == 1 && c != '\n';)
        number += c;
    close(ready[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    const std::string display = "DISPLAY=:" + number;

    std::ofstream(dir / "plug.scn") << "0 plug\n";
    const fs::path registry = dir / "device.reg";
    Child sim({VELORIN_SIM, "--window", "--scenario", (dir / "plug.scn").string(), "--until", "600s", "--registry",
               registry.string()},
              {display, "SDL_VIDEODRIVER=x11"});
    ASSERT_GT(sim.pid(), 0);

    // Screenshots until the charging screen is up: in wall time it takes about three seconds.
    const auto deadline = Clock::now() + kPatience;
    const fs::path shotFile = dir / "shot.png";
    Found found;
    while (!(found.battery && found.gauge) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_FALSE(sim.waitUntil(Clock::now())) << "velorin-sim ended early";
        fs::remove(shotFile);
        Child shot({"import", "-display", ":" + number, "-window", "root", "png:" + shotFile.string()});
        if (shot.waitUntil(deadline) != 0 || !fs::exists(shotFile))
            continue;
        found = look(gdi::readPng(shotFile));
    }
    EXPECT_TRUE(found.battery) << "no battery in " << shotFile;
    EXPECT_TRUE(found.gauge) << "no gauge beside the battery in " << shotFile;

    // A TERM ends the run as its end would, saving the registry, and the status says so.
    kill(sim.pid(), SIGTERM);
    EXPECT_EQ(sim.waitUntil(Clock::now() + kPatience), 128 + SIGTERM);
    std::ifstream saved(registry, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
    EXPECT_NE(text.find("AcBacklightLevel"), std::string::npos) << "the registry was not saved";
    kill(xvfb.pid(), SIGTERM);
}

}  // namespace
}  // namespace velorin::sim
