// The files a run reads and writes: each writable before the run starts, and no two the same.
#include "sim/cli/output_paths.hpp"

#include <sys/stat.h>

#include <filesystem>

namespace velorin::sim {

namespace {

namespace fs = std::filesystem;

// How many symlinks are followed to the file a name ends at, as the kernel's own limit.
constexpr int kSymlinkLimit = 40;

// A file that exists is known by its device and inode, which hard links and symlinks share;
// one that does not yet exist by the name it will have once the symlinks to it are followed.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    fs::path path;

    bool operator==(const FileIdentity& other) const
    {
        if (exists != other.exists)
            return false;
        return exists ? device == other.device && inode == other.inode : path == other.path;
    }
};

FileIdentity identify(const std::string& name)
{
    struct stat status {};
    if (::stat(name.c_str(), &status) == 0)
        return {true, status.st_dev, status.st_ino, {}};
    std::error_code error;
    fs::path path = fs::absolute(name, error);
    // A symlink to a file not yet made names that file.
    for (int hops = 0; hops < kSymlinkLimit && fs::is_symlink(fs::symlink_status(path, error)); ++hops) {
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    const fs::path canonical = fs::weakly_canonical(path, error);
    return {false, 0, 0, error ? path.lexically_normal() : canonical};
}

}  // namespace

std::optional<std::string> checkWritable(const std::string& file, const std::string& what)
{
    std::error_code error;
    if (fs::is_directory(file, error))
        return file + ": cannot write the " + what + " there: it is a directory";
    // A device or a pipe is never replaced: the file is written whole beside it and renamed, or
    // removed when its writing fails, and either would take the device node away.
    if (fs::exists(file, error) && !fs::is_regular_file(file, error))
        return file + ": cannot write the " + what + " there: it is not a regular file";
    const fs::path parent = fs::path(file).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, error))
        return file + ": cannot write the " + what + " there: there is no directory " + parent.string();
    return std::nullopt;
}

std::optional<std::string> checkRegistryFile(const std::string& file)
{
    std::error_code error;
    if (fs::is_directory(file, error))
        return file + ": is a directory, not a .reg file";
    if (auto problem = checkWritable(file, "registry"))
        return problem;
    return std::nullopt;
}

std::optional<std::string> findPathClash(const std::vector<NamedPath>& paths)
{
    std::vector<FileIdentity> identities;
    for (const auto& named : paths)
        identities.push_back(identify(named.path));
    for (std::size_t second = 1; second < paths.size(); ++second) {
        for (std::size_t first = 0; first < second; ++first) {
            const NamedPath& a = paths[first];
            const NamedPath& b = paths[second];
            if ((a.written || b.written) && identities[first] == identities[second])
                return a.option + " " + a.path + " and " + b.option + " " + b.path +
                       " are the same file, which the run would write over: give each its own";
        }
    }
    return std::nullopt;
}

}  // namespace velorin::sim
