// The device's atomic replacement of a file (platform/registry/atomic_file.hpp) on Windows: the
// same steps and guarantees through the system's own calls, since the device's body is POSIX's.
#include "platform/registry/atomic_file.hpp"

#include <windows.h>

#include <algorithm>
#include <string>

namespace velorin::registry {

namespace {

std::string utf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The temporary file: closed when done with, and removed unless it has been renamed into place.
class TemporaryFile {
public:
    TemporaryFile(std::filesystem::path path, HANDLE handle) : m_path(std::move(path)), m_handle(handle) {}
    ~TemporaryFile()
    {
        close();
        if (!m_kept)
            DeleteFileW(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    HANDLE get() const { return m_handle; }
    // False when the close reports an error.
    bool close()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }
    void keep() { m_kept = true; }

private:
    std::filesystem::path m_path;
    HANDLE m_handle;
    bool m_kept = false;
};

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

void replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes, const SaveStepCheck& failStep)
{
    std::filesystem::path temporary = file;
    temporary += L".tmp";
    const auto refused = [&](std::string_view step) { return failStep && failStep(step); };
    const auto fail = [&](const std::string& step, const std::string& why) {
        throw FileSaveError(utf8(file) + ": cannot save (" + step + "): " + why);
    };
    const auto failLastError = [&](const std::string& step) { fail(step, "error " + std::to_string(GetLastError())); };
    constexpr const char* kInjected = "refused by the fault plan";

    if (refused("create"))
        fail("create", kInjected);
    const HANDLE handle =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        failLastError("create " + utf8(temporary));
    TemporaryFile out(temporary, handle);

    if (refused("write")) {
        writeAll(out.get(), bytes.substr(0, bytes.size() / 2));
        fail("write", kInjected);
    }
    if (!writeAll(out.get(), bytes))
        failLastError("write");

    if (refused("flush"))
        fail("flush", kInjected);
    if (!FlushFileBuffers(out.get()) || !out.close())
        failLastError("flush");

    // The move waits until it is on the disk, which is what flushing the folder does on POSIX.
    if (refused("rename"))
        fail("rename", kInjected);
    if (!MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failLastError("rename");
    out.keep();
}

}  // namespace velorin::registry
