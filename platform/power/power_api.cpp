// The power manager's and the battery driver's system calls.
#include "boot/device.hpp"
#include "kernel/api_call.hpp"
#include "kernel/winbase.h"
#include "power/core_exports.hpp"
#include "power/pm.h"
#include "power/winbase_power.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwctype>
#include <mutex>
#include <optional>
#include <string_view>

using namespace velorin;

// The records' layouts, which programs read by offset.
static_assert(sizeof(SYSTEM_POWER_STATUS_EX2) == 56);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, ACLineStatus) == 0);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryFlag) == 1);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryLifePercent) == 2);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryLifeTime) == 4);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryFullLifeTime) == 8);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryFlag) == 13);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryLifePercent) == 14);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryLifeTime) == 16);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryVoltage) == 24);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BackupBatteryVoltage) == 48);
static_assert(offsetof(SYSTEM_POWER_STATUS_EX2, BatteryChemistry) == 52);

// With the payload at byte 12, the line status is byte 32 of a message, and a whole message is
// 44 bytes.
static_assert(sizeof(POWER_BROADCAST) == 16);
static_assert(offsetof(POWER_BROADCAST, Message) == 0);
static_assert(offsetof(POWER_BROADCAST, Flags) == 4);
static_assert(offsetof(POWER_BROADCAST, Length) == 8);
static_assert(offsetof(POWER_BROADCAST, SystemPowerState) == 12);
static_assert(sizeof(POWER_BROADCAST_POWER_INFO) == 28);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, dwNumLevels) == 0);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, dwBatteryLifeTime) == 4);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, dwBackupBatteryFullLifeTime) == 16);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, bACLineStatus) == 20);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, bBatteryFlag) == 21);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, bBatteryLifePercent) == 22);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, bBackupBatteryFlag) == 23);
static_assert(offsetof(POWER_BROADCAST_POWER_INFO, bBackupBatteryLifePercent) == 24);
static_assert(offsetof(POWER_BROADCAST, SystemPowerState) + offsetof(POWER_BROADCAST_POWER_INFO, bACLineStatus) == 32);
static_assert(sizeof(POWER_BROADCAST) + sizeof(POWER_BROADCAST_POWER_INFO) == 44);

namespace {

// A device named by its text, as DevicePowerNotify's call line shows it.
struct DeviceArgument {
    PVOID device;
    DWORD flags;
};

bool sameNoCase(std::wstring_view a, std::wstring_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

std::optional<power::PowerState> stateNamed(std::wstring_view name)
{
    for (const auto state : {power::PowerState::On, power::PowerState::UserIdle, power::PowerState::Suspend}) {
        const std::string_view text = power::stateName(state);
        if (sameNoCase(name, std::wstring(text.begin(), text.end())))
            return state;
    }
    return std::nullopt;
}

std::optional<power::PowerState> stateOfFlags(DWORD flags)
{
    switch (POWER_STATE(flags)) {
    case POWER_STATE_ON:
        return power::PowerState::On;
    case POWER_STATE_USERIDLE:
        return power::PowerState::UserIdle;
    case POWER_STATE_SUSPEND:
        return power::PowerState::Suspend;
    default:
        return std::nullopt;
    }
}

}  // namespace

template <> struct velorin::kernel::TraceFormat<DeviceArgument> {
    static std::string format(const DeviceArgument& arg)
    {
        if (!(arg.flags & POWER_NAME) || !arg.device)
            return traceArg(arg.device);
        return traceArg(static_cast<const wchar_t*>(arg.device));
    }
};

HANDLE RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags)
{
    return kernel::platformCall(
        "RequestPowerNotifications", HANDLE{}, ERROR_NOT_ENOUGH_MEMORY,
        [&]() -> HANDLE {
            kernel::Kernel& k = kernel::Kernel::current();
            std::lock_guard lock(k.mutex());
            const auto object = k.handlesLocked().find(hMsgQ);
            if (!object || (object->kind() != kernel::ObjectKind::MsgQueueReader &&
                            object->kind() != kernel::ObjectKind::MsgQueueWriter)) {
                kernel::setLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            if (Flags == 0) {
                kernel::setLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            const auto queue = std::static_pointer_cast<kernel::MsgQueueEnd>(object)->core;
            auto subscription = k.device().battery().subscribeLocked(queue, Flags);
            return k.handlesLocked().add(std::move(subscription), k.scheduler().currentProcess());
        },
        hMsgQ, Flags);
}

BOOL StopPowerNotifications(HANDLE h)
{
    return kernel::platformCall(
        "StopPowerNotifications", FALSE, ERROR_INVALID_HANDLE,
        [&]() -> BOOL {
            kernel::Kernel& k = kernel::Kernel::current();
            std::lock_guard lock(k.mutex());
            const auto object = k.handlesLocked().find(h);
            if (!object || object->kind() != kernel::ObjectKind::Notification || !k.handlesLocked().close(h)) {
                kernel::setLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            return TRUE;
        },
        h);
}

DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 pSystemPowerStatusEx2, DWORD dwLen, BOOL fUpdate)
{
    return kernel::platformCall(
        "GetSystemPowerStatusEx2", DWORD{0}, ERROR_GEN_FAILURE,
        [&]() -> DWORD {
            if (!pSystemPowerStatusEx2 || dwLen == 0) {
                kernel::setLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            kernel::Kernel& k = kernel::Kernel::current();
            std::lock_guard lock(k.mutex());
            const SYSTEM_POWER_STATUS_EX2 status = k.device().battery().statusLocked();
            const DWORD length = std::min<DWORD>(dwLen, sizeof status);
            std::memcpy(pSystemPowerStatusEx2, &status, length);
            return length;
        },
        pSystemPowerStatusEx2, dwLen, fUpdate);
}

DWORD DevicePowerNotify(PVOID pvDevice, CEDEVICE_POWER_STATE DeviceState, DWORD Flags)
{
    return kernel::platformCall(
        "DevicePowerNotify", ERROR_GEN_FAILURE, ERROR_GEN_FAILURE,
        [&]() -> DWORD {
            if (!pvDevice || !(Flags & POWER_NAME) || DeviceState < D0 || DeviceState > D4) {
                kernel::setLastError(ERROR_INVALID_PARAMETER);
                return ERROR_INVALID_PARAMETER;
            }
            if (!sameNoCase(static_cast<const wchar_t*>(pvDevice), power::kBacklightDevice)) {
                kernel::setLastError(ERROR_FILE_NOT_FOUND);
                return ERROR_FILE_NOT_FOUND;
            }
            kernel::Kernel& k = kernel::Kernel::current();
            std::lock_guard lock(k.mutex());
            k.effectLocked("device.power", "BKL1: D" + std::to_string(static_cast<int>(DeviceState)));
            k.device().backlight().setPowerStateLocked(DeviceState);
            return ERROR_SUCCESS;
        },
        DeviceArgument{pvDevice, Flags}, DeviceState, Flags);
}

DWORD SetSystemPowerState(LPCWSTR psState, DWORD StateFlags, DWORD Options)
{
    return kernel::platformCall(
        "SetSystemPowerState", ERROR_GEN_FAILURE, ERROR_GEN_FAILURE,
        [&]() -> DWORD {
            const auto state = psState ? stateNamed(psState) : stateOfFlags(StateFlags);
            if (!state) {
                kernel::setLastError(ERROR_INVALID_PARAMETER);
                return ERROR_INVALID_PARAMETER;
            }
            kernel::Kernel& k = kernel::Kernel::current();
            std::lock_guard lock(k.mutex());
            k.device().powerManager().setSystemStateLocked(*state, (Options & POWER_FORCE) != 0);
            return ERROR_SUCCESS;
        },
        psState, StateFlags, Options);
}

namespace velorin::power {

void addCoreExportsLocked(kernel::ModuleTable& modules)
{
    const auto add = [&modules](const wchar_t* name, auto function) {
        // Through void (*)(), the type that stands for any function; the caller casts back.
        modules.addExport(L"coredll.dll", name, reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function)));
    };
    add(L"GetSystemPowerStatusEx2", &GetSystemPowerStatusEx2);
    add(L"RequestPowerNotifications", &RequestPowerNotifications);
    add(L"StopPowerNotifications", &StopPowerNotifications);
    add(L"DevicePowerNotify", &DevicePowerNotify);
    add(L"SetSystemPowerState", &SetSystemPowerState);
}

}  // namespace velorin::power
