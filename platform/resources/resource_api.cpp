// Resources: module handles, bitmaps, icons, raw resources and the dialog base units.
#include "boot/device.hpp"
#include "gdi/dib.hpp"
#include "kernel/api_call.hpp"
#include "resources/dialog_units.hpp"
#include "resources/byte_reader.hpp"
#include "resources/resource_manager.hpp"
#include "resources/string_table.hpp"
#include "resources/winres.h"

#include <algorithm>
#include <mutex>

namespace {
// A resource's name or type as a call line shows it: the ordinal, or the quoted text.
struct ResourceName {
    LPCWSTR name;
};
}  // namespace

namespace velorin::kernel {
template <> inline constexpr bool kIsHandle<HRSRC> = true;
template <> struct TraceFormat<ResourceName> {
    static std::string format(const ResourceName& n)
    {
        return n.name ? resources::ResourceKey::of(n.name).describe() : std::string("NULL");
    }
};
}  // namespace velorin::kernel

using namespace velorin;
using namespace velorin::kernel;
using resources::ResourceKey;

namespace {
resources::ResourceManager& manager()
{
    return Kernel::current().device().resources();
}
}  // namespace

HMODULE GetModuleHandleW(LPCWSTR lpModuleName)
{
    return platformCall(
        "GetModuleHandleW", HMODULE{}, ERROR_MOD_NOT_FOUND,
        [&]() -> HMODULE {
            Kernel& k = Kernel::current();
            std::lock_guard lock(k.mutex());
            const ProcessId pid = k.scheduler().currentProcess();
            HMODULE module = lpModuleName ? k.modulesLocked().loadedByName(lpModuleName, pid) : k.instanceLocked(pid);
            if (!module)
                setLastError(ERROR_MOD_NOT_FOUND);
            return module;
        },
        lpModuleName);
}

HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName)
{
    return platformCall(
        "LoadBitmapW", HBITMAP{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HBITMAP {
            Kernel& k = Kernel::current();
            std::unique_lock lock(k.mutex());
            if (!hInstance) {
                setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);  // no predefined bitmaps
                return nullptr;
            }
            const ResourceKey name = ResourceKey::of(lpBitmapName);
            const auto found = manager().findLocked(hInstance, ResourceKey::of(resources::kRtBitmap), name);
            if (!found)
                return nullptr;
            // The bytes stay put for the device's life, so the decoding needs no lock.
            lock.unlock();
            gdi::Surface pixels;
            try {
                pixels = gdi::decodeDib(found->data, "bitmap " + name.describe());
            } catch (const resources::ResourceFormatError&) {
                setLastError(ERROR_INVALID_DATA);
                return nullptr;
            }
            lock.lock();
            return k.device().gdi().createBitmapLocked(std::move(pixels));
        },
        hInstance, ResourceName{lpBitmapName});
}

HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName)
{
    return platformCall(
        "LoadIconW", HICON{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HICON {
            std::lock_guard lock(Kernel::current().mutex());
            return manager().loadIconLocked(hInstance, lpIconName);
        },
        hInstance, ResourceName{lpIconName});
}

HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType)
{
    return platformCall(
        "FindResourceW", HRSRC{}, ERROR_RESOURCE_NAME_NOT_FOUND,
        [&]() -> HRSRC {
            std::lock_guard lock(Kernel::current().mutex());
            const auto found = manager().findLocked(hModule, ResourceKey::of(lpType), ResourceKey::of(lpName));
            if (!found)
                return nullptr;
            return reinterpret_cast<HRSRC>(resources::ResourceManager::resourceHandle(found->module, found->index));
        },
        hModule, ResourceName{lpName}, ResourceName{lpType});
}

int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax)
{
    return platformCall(
        "LoadStringW", 0, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> int {
            if (!lpBuffer || cchBufferMax < 0) {
                setLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            std::wstring text;
            {
                std::lock_guard lock(Kernel::current().mutex());
                const std::wstring* kept = manager().stringLocked(hInstance, LOWORD(uID));
                if (!kept)
                    return 0;
                // A size of zero asks for the string itself, read-only, in place of a copy.
                if (cchBufferMax == 0) {
                    *reinterpret_cast<LPCWSTR*>(lpBuffer) = kept->c_str();
                    return static_cast<int>(kept->size());
                }
                text = *kept;
            }
            // A buffer of one character has no room for text and is left alone, as on Windows.
            const int copied = std::min(static_cast<int>(text.size()), cchBufferMax - 1);
            if (copied == 0 && cchBufferMax == 1)
                return 0;
            std::copy_n(text.begin(), copied, lpBuffer);
            lpBuffer[copied] = L'\0';
            return copied;
        },
        hInstance, uID, lpBuffer, cchBufferMax);
}

namespace {
// What an HRSRC (or the HGLOBAL that LoadResource makes of it) stands for, under the lock.
std::optional<resources::FoundResource> resolve(const void* handle)
{
    std::lock_guard lock(Kernel::current().mutex());
    return manager().fromResourceHandleLocked(reinterpret_cast<std::uintptr_t>(handle));
}
}  // namespace

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo)
{
    return platformCall(
        "LoadResource", HGLOBAL{}, ERROR_INVALID_HANDLE,
        [&]() -> HGLOBAL { return resolve(hResInfo) ? reinterpret_cast<HGLOBAL>(hResInfo) : nullptr; }, hModule,
        hResInfo);
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo)
{
    return platformCall(
        "SizeofResource", DWORD{0}, ERROR_INVALID_HANDLE,
        [&]() -> DWORD {
            const auto found = resolve(hResInfo);
            return found ? static_cast<DWORD>(found->data.size()) : 0;
        },
        hModule, hResInfo);
}

LPVOID LockResource(HGLOBAL hResData)
{
    return platformCall(
        "LockResource", LPVOID{}, ERROR_INVALID_HANDLE,
        [&]() -> LPVOID {
            const auto found = resolve(hResData);
            // Resources are read-only; the pointer type is the system's.
            return found ? const_cast<std::uint8_t*>(found->data.data()) : nullptr;
        },
        hResData);
}

LONG GetDialogBaseUnits()
{
    return platformCall("GetDialogBaseUnits", LONG{0}, ERROR_NOT_ENOUGH_MEMORY, [&]() -> LONG {
        const SIZE base = resources::dialogBaseUnits();
        return static_cast<LONG>((static_cast<DWORD>(base.cy) << 16) | static_cast<WORD>(base.cx));
    });
}
