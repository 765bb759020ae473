// An image's name made into its path as CE finds it, and the installed images looked up by it.
#include "kernel/image_table.hpp"

#include <utility>

namespace velorin::kernel {

std::wstring imagePathOf(const std::wstring& name)
{
    const std::size_t folderEnd = name.find_last_of(L"\\/");
    const std::size_t fileStart = folderEnd == std::wstring::npos ? 0 : folderEnd + 1;
    std::wstring path = name;
    if (path.find(L'.', fileStart) == std::wstring::npos)
        path += L".exe";
    if (folderEnd == std::wstring::npos)
        return kWindowsFolder + path;
    // CE has no current folder: a relative folder starts at the root.
    if (path.front() != L'\\' && path.front() != L'/')
        path.insert(path.begin(), L'\\');
    return path;
}

void ImageTable::install(std::wstring path, ProcessEntry entry, std::span<const std::uint8_t> resources)
{
    InstalledImage image{path, std::move(entry), {resources.begin(), resources.end()}};
    m_images.insert_or_assign(std::move(path), std::move(image));
}

const InstalledImage* ImageTable::find(const std::wstring& name) const
{
    if (name.empty())
        return nullptr;
    std::wstring path = imagePathOf(name);
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    const auto it = m_images.find(path);
    return it == m_images.end() ? nullptr : &it->second;
}

}  // namespace velorin::kernel
