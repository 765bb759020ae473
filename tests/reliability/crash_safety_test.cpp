// Crash safety of the registry file: a process that saves the hive is killed (SIGKILL) at random
// moments, hundreds of times, and the file always loads, as the old hive or the new one.
#include "registry/atomic_file.hpp"
#include "registry/reg_file.hpp"
#include "tests/reliability/hive_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velorin::reliability {
namespace {

namespace fs = std::filesystem;

constexpr int kKills = 300;

std::string fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A saving child, its progress pipe read end and its pid.
struct Saver {
    pid_t pid = -1;
    int progress = -1;
};

Saver startSaver(const fs::path& file)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The child's descriptor 3 is the pipe's write end (the read end may itself be 3 here).
    if (fds[0] != 3)
        posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    const std::string path = file.string();
    char* argv[] = {const_cast<char*>(VELORIN_HIVE_SAVER), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, VELORIN_HIVE_SAVER, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        return {};
    }
    return {pid, fds[0]};
}

TEST(RegistryCrashSafety, AKilledSaveLeavesTheOldHiveOrTheNewOneNeverATornFile)
{
    const fs::path folder = fs::temp_directory_path() / ("velorin-crash-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / "device.reg";
    registry::replaceFileAtomically(file, oldHive());

    // Which moments are drawn is seeded; where in a save each lands is up to the host.
    std::mt19937 rng(20240612);
    int seenOld = 0;
    int seenNew = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const Saver saver = startSaver(file);
        ASSERT_GT(saver.pid, 0) << "cannot start " << VELORIN_HIVE_SAVER;
        // Let it finish a few saves first, so that most kills land in the middle of one.
        const int saves = std::uniform_int_distribution<int>(0, 3)(rng);
        for (int s = 0; s < saves; ++s) {
            char done = 0;
            if (::read(saver.progress, &done, 1) != 1)
                break;
        }
        const int spin = std::uniform_int_distribution<int>(0, 400000)(rng);
        volatile int sink = 0;
        for (int i = 0; i < spin; ++i)
            sink = i;
        static_cast<void>(sink);
        ::kill(saver.pid, SIGKILL);
        int status = 0;
        ::waitpid(saver.pid, &status, 0);
        ::close(saver.progress);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver ended by itself (status " << status << ")";

        const std::string bytes = fileBytes(file);
        const bool isOld = bytes == oldHive();
        const bool isNew = bytes == newHive();
        ASSERT_TRUE(isOld || isNew) << "after kill " << kill << " the file is neither hive (" << bytes.size()
                                    << " bytes)";
        // And it loads, as the device would load it at its next boot.
        const registry::RegFile loaded = registry::readRegFile(file);
        EXPECT_EQ(registry::formatRegFile(loaded.hive, loaded.encoding), bytes);
        seenOld += isOld ? 1 : 0;
        seenNew += isNew ? 1 : 0;
    }
    // Kills landed on both sides of a save's rename.
    std::cout << kKills << " kills: the old hive " << seenOld << " times, the new one " << seenNew << " times"
              << std::endl;
    EXPECT_GT(seenOld, 0);
    EXPECT_GT(seenNew, 0);
    std::error_code error;
    fs::remove_all(folder, error);
}

TEST(RegistryCrashSafety, ASaveThroughALinkReplacesTheLinkedFileAndKeepsTheLink)
{
    const fs::path folder = fs::temp_directory_path() / ("velorin-link-" + std::to_string(::getpid()));
    fs::create_directories(folder / "real");
    const fs::path target = folder / "real" / "device.reg";
    const fs::path link = folder / "device.reg";
    registry::replaceFileAtomically(target, oldHive());
    fs::create_symlink(target, link);
    registry::replaceFileAtomically(link, newHive());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fileBytes(target), newHive());
    std::error_code error;
    fs::remove_all(folder, error);
}

}  // namespace
}  // namespace velorin::reliability
