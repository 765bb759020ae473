// The resources that another area's calls read, such as a dialog box's template: the calling
// thread's device's. Only entry points see the assembled device.
#pragma once

#include "boot/device.hpp"
#include "resources/resource_manager.hpp"

#include <mutex>
#include <optional>

namespace velorin::resources {

// The dialog template of `instance` and `name` for the calling process, taking the kernel lock;
// nullopt with the last error set when there is none.
inline std::optional<DialogTemplate> findDialogTemplate(HINSTANCE instance, LPCWSTR name)
{
    kernel::Kernel& kernel = kernel::Kernel::current();
    std::lock_guard lock(kernel.mutex());
    return kernel.device().resources().dialogTemplateLocked(instance, name);
}

}  // namespace velorin::resources
