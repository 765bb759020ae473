// The programs installed on the device, by the path of their image, which CreateProcessW starts.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kernel/module_table.hpp"

namespace velorin::kernel {

// A program's entry: runs as the main thread of a new process; its result is the exit code.
using ProcessEntry = std::function<int()>;

struct InstalledImage {
    std::wstring path;  // as installed, e.g. "\Windows\child.exe"
    ProcessEntry entry;
    std::vector<std::uint8_t> resources;  // its resource module (a .res file); empty for none
};

class ImageTable {
public:
    // Replaces an image installed at the same path.
    void install(std::wstring path, ProcessEntry entry, std::span<const std::uint8_t> resources);
    // The image that a name given to CreateProcessW stands for, as CE finds it: ".exe" when the
    // name has no extension, the \Windows folder when it has no folder; null for none.
    const InstalledImage* find(const std::wstring& name) const;

private:
    std::map<std::wstring, InstalledImage, NoCaseLess> m_images;
};

// Where CE looks for a program named without a folder, and where the device's programs live.
inline constexpr wchar_t kWindowsFolder[] = L"\\Windows\\";

// The full path on the device of an image named `name`.
std::wstring imagePathOf(const std::wstring& name);

}  // namespace velorin::kernel
