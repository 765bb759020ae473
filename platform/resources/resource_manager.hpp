// The device's side of resources: each program's resource module (the .res bytes it was
// launched with, parsed on first use) and the icons handed out by LoadIconW. Owned by
// platform::Device (`device.resources()`). Members named ...Locked run under the kernel lock,
// for the calling process, and set the calling thread's last error when they fail:
//   ERROR_INVALID_HANDLE             the module is not loaded in the process
//   ERROR_RESOURCE_DATA_NOT_FOUND    the module has no resources
//   ERROR_RESOURCE_TYPE_NOT_FOUND    it has none of that type
//   ERROR_RESOURCE_NAME_NOT_FOUND    it has none of that name
//   ERROR_BAD_EXE_FORMAT             its resource module does not parse
//   ERROR_INVALID_DATA               the resource does not parse
#pragma once

#include "resources/dialog_template.hpp"
#include "resources/icon_group.hpp"
#include "resources/resource_module.hpp"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace velorin::kernel {
class Kernel;
}

namespace velorin::resources {

// The image size and colour depth LoadIconW looks for: SM_CXICON, and the display's depth.
inline constexpr int kIconSize = 32;
inline constexpr int kDisplayBits = 24;

// An icon that LoadIconW handed out. Icons are shared: loading the same one again gives the
// same handle, and it lives as long as the device.
struct Icon {
    HMODULE module = nullptr;
    ResourceKey group;
    IconDirEntry image;  // the image chosen from the group
};

struct FoundResource {
    HMODULE module = nullptr;
    std::size_t index = 0;               // in the module's entries
    std::span<const std::uint8_t> data;  // valid for the device's life
};

class ResourceManager {
public:
    explicit ResourceManager(kernel::Kernel& kernel);
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // The calling process's own image (GetModuleHandleW(NULL)); null for the controller.
    HMODULE instanceLocked() const;
    // The parsed resources of `module` (null: the process's image).
    const ResourceModule* moduleLocked(HMODULE module);
    std::optional<FoundResource> findLocked(HMODULE module, const ResourceKey& type, const ResourceKey& name);

    // The dialog template `name` (MAKEINTRESOURCEW(id) or text) of `instance` (null: the
    // process's image), for DialogBoxParamW and CreateDialogParamW.
    std::optional<DialogTemplate> dialogTemplateLocked(HINSTANCE instance, LPCWSTR name);
    // LoadIconW's work: the group `name`, its image for kIconSize and kDisplayBits.
    HICON loadIconLocked(HINSTANCE instance, LPCWSTR name);
    const Icon* iconLocked(HICON icon) const;
    // LoadStringW's work: the string `id` of `instance`, kept for the device's life so that its
    // text can be handed out read-only; null when there is none.
    const std::wstring* stringLocked(HINSTANCE instance, UINT id);

    // HRSRC values of FindResourceW: deterministic, since call lines print them.
    static std::uintptr_t resourceHandle(HMODULE module, std::size_t index);
    std::optional<FoundResource> fromResourceHandleLocked(std::uintptr_t handle);

private:
    kernel::Kernel& m_kernel;
    std::map<HMODULE, std::unique_ptr<ResourceModule>> m_modules;  // parsed on first use
    std::vector<Icon> m_icons;
    std::map<std::pair<HMODULE, UINT>, std::wstring> m_strings;  // as loaded, in wide text
};

}  // namespace velorin::resources
