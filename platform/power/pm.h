// The power manager of the device: power notifications through message queues, device power
// states and the system power state, by the names and values of the system's own pm.h.
#pragma once

#include "kernel/windef.h"

#include <cstddef>

// Notification types, one bit each; RequestPowerNotifications takes any of them OR-ed together.
inline constexpr DWORD PBT_TRANSITION = 0x00000001;
inline constexpr DWORD PBT_RESUME = 0x00000002;
inline constexpr DWORD PBT_POWERSTATUSCHANGE = 0x00000004;
inline constexpr DWORD PBT_POWERINFOCHANGE = 0x00000008;
inline constexpr DWORD POWER_NOTIFY_ALL = 0xFFFFFFFF;

// One notification as it arrives in a queue: a variable-length record whose data start at
// SystemPowerState. A PBT_POWERINFOCHANGE message carries a POWER_BROADCAST_POWER_INFO there.
struct POWER_BROADCAST {
    DWORD Message;  // a PBT_ type
    DWORD Flags;
    DWORD Length;  // bytes of data from SystemPowerState on
    WCHAR SystemPowerState[1];
};
using PPOWER_BROADCAST = POWER_BROADCAST*;

struct POWER_BROADCAST_POWER_INFO {
    DWORD dwNumLevels;  // battery levels the flag fields tell apart
    DWORD dwBatteryLifeTime;
    DWORD dwBatteryFullLifeTime;
    DWORD dwBackupBatteryLifeTime;
    DWORD dwBackupBatteryFullLifeTime;
    BYTE bACLineStatus;
    BYTE bBatteryFlag;
    BYTE bBatteryLifePercent;
    BYTE bBackupBatteryFlag;
    BYTE bBackupBatteryLifePercent;
};
using PPOWER_BROADCAST_POWER_INFO = POWER_BROADCAST_POWER_INFO*;

// The device's layout, which programs read by offset: with the payload at byte 12, the line
// status is byte 32 of a message, and a whole message is 44 bytes.
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

// Device power states: D0 full power to D4 off.
enum CEDEVICE_POWER_STATE : int { PwrDeviceUnspecified = -1, D0 = 0, D1, D2, D3, D4, PwrDeviceMaximum };
using PCEDEVICE_POWER_STATE = CEDEVICE_POWER_STATE*;

// System power states (StateFlags) and the part of a flags word that names one.
inline constexpr DWORD POWER_STATE_ON = 0x00010000;
inline constexpr DWORD POWER_STATE_OFF = 0x00020000;
inline constexpr DWORD POWER_STATE_CRITICAL = 0x00040000;
inline constexpr DWORD POWER_STATE_BOOT = 0x00080000;
inline constexpr DWORD POWER_STATE_IDLE = 0x00100000;
inline constexpr DWORD POWER_STATE_SUSPEND = 0x00200000;
inline constexpr DWORD POWER_STATE_UNATTENDED = 0x00400000;
inline constexpr DWORD POWER_STATE_RESET = 0x00800000;
inline constexpr DWORD POWER_STATE_USERIDLE = 0x01000000;
inline constexpr DWORD POWER_STATE_PASSWORD = 0x10000000;
constexpr DWORD POWER_STATE(DWORD flags)
{
    return flags & 0xFFFF0000;
}

// Flags of DevicePowerNotify and options of SetSystemPowerState.
inline constexpr DWORD POWER_NAME = 0x00000001;
inline constexpr DWORD POWER_DUMPDW = 0x00000002;
inline constexpr DWORD POWER_FORCE = 0x00001000;

// Subscribes the queue (a handle of either end, made with CreateMsgQueue) to the notification
// types in Flags. With PBT_POWERINFOCHANGE, one message with the current power information is
// written at once, and one more at every report of the battery driver. A message that the queue
// cannot take (full, no reader left, longer than its cbMaxMessage) is dropped for that queue.
// Returns the subscription, which StopPowerNotifications (or the end of the process) ends; NULL
// for a handle that is not a queue (ERROR_INVALID_HANDLE) or no type (ERROR_INVALID_PARAMETER).
HANDLE RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags);
BOOL StopPowerNotifications(HANDLE h);

// Asks for a device's power state. With POWER_NAME pvDevice is its name; the device has one
// power-managed device, the backlight "BKL1:". ERROR_SUCCESS, or ERROR_FILE_NOT_FOUND for a
// device it does not have, ERROR_INVALID_PARAMETER for a state that is not D0 to D4 or a
// missing name.
DWORD DevicePowerNotify(PVOID pvDevice, CEDEVICE_POWER_STATE DeviceState, DWORD Flags);

// Moves the system to a power state, by name ("On", "UserIdle", "Suspend"; psState may be NULL)
// or by its POWER_STATE_ flag. On also counts as activity: the idle time-outs start again.
// ERROR_SUCCESS, or ERROR_INVALID_PARAMETER for a state the device does not have.
DWORD SetSystemPowerState(LPCWSTR psState, DWORD StateFlags, DWORD Options);
