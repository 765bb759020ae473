// POSIX's body; the Windows player's, with the same steps through Win32, is win32/player/atomic_file.cpp.
#include "registry/atomic_file.hpp"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velorin::registry {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now; false (with errno) when the close reports an error.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Removes the temporary file unless it has been renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : m_path(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!m_kept)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    void keep() { m_kept = true; }

private:
    std::filesystem::path m_path;
    bool m_kept = false;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A link is followed: the file it names is replaced and the link stays, as a plain write through
// it would have it. Renaming over the link itself would cut it off from its file.
std::filesystem::path linkedFile(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::is_symlink(file, ec))
        return file;
    const std::filesystem::path target = std::filesystem::weakly_canonical(file, ec);
    return ec ? file : target;
}

}  // namespace

void replaceFileAtomically(const std::filesystem::path& given, std::string_view bytes, const SaveStepCheck& failStep)
{
    const std::filesystem::path file = linkedFile(given);
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    const std::filesystem::path temporary = file.string() + ".tmp";
    const auto refused = [&](std::string_view step) { return failStep && failStep(step); };
    const auto fail = [&](const std::string& step, const std::string& why) {
        throw FileSaveError(file.string() + ": cannot save (" + step + "): " + why);
    };
    const auto failErrno = [&](const std::string& step) { fail(step, std::strerror(errno)); };
    constexpr const char* kInjected = "refused by the fault plan";

    if (refused("create"))
        fail("create", kInjected);
    Descriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.get() < 0)
        failErrno("create " + temporary.string());
    TemporaryFile cleanup(temporary);
    struct stat old {};
    if (::stat(file.c_str(), &old) == 0)
        ::fchmod(out.get(), old.st_mode & 07777);

    if (refused("write")) {
        writeAll(out.get(), bytes.substr(0, bytes.size() / 2));
        fail("write", kInjected);
    }
    if (!writeAll(out.get(), bytes))
        failErrno("write");

    if (refused("flush"))
        fail("flush", kInjected);
    if (::fsync(out.get()) != 0 || !out.close())
        failErrno("flush");

    if (refused("rename"))
        fail("rename", kInjected);
    if (::rename(temporary.c_str(), file.c_str()) != 0)
        failErrno("rename");
    cleanup.keep();

    const std::string afterRename = "; the new file is in place but may not survive a power loss";
    if (refused("syncdir"))
        fail("syncdir", kInjected + afterRename);
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0 || ::fsync(dir.get()) != 0)
        fail("syncdir", std::strerror(errno) + afterRename);
}

}  // namespace velorin::registry
