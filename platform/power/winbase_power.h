/* The battery status of the device: the power part of the system's winbase.h. */
#ifndef VELORIN_POWER_WINBASE_POWER_H
#define VELORIN_POWER_WINBASE_POWER_H

#include "kernel/windef.h"

/* Line status. */
#define AC_LINE_OFFLINE ((BYTE)0x00)
#define AC_LINE_ONLINE ((BYTE)0x01)
#define AC_LINE_BACKUP_POWER ((BYTE)0x02)
#define AC_LINE_UNKNOWN ((BYTE)0xFF)

/* Battery flags; a value may combine CHARGING with one level. */
#define BATTERY_FLAG_HIGH ((BYTE)0x01)
#define BATTERY_FLAG_LOW ((BYTE)0x02)
#define BATTERY_FLAG_CRITICAL ((BYTE)0x04)
#define BATTERY_FLAG_CHARGING ((BYTE)0x08)
#define BATTERY_FLAG_NO_BATTERY ((BYTE)0x80)
#define BATTERY_FLAG_UNKNOWN ((BYTE)0xFF)

#define BATTERY_PERCENTAGE_UNKNOWN ((BYTE)0xFF)
#define BATTERY_LIFE_UNKNOWN 0xFFFFFFFFU

#include "power/power_status_record.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Fills the first dwLen bytes of the record (at most its whole size) from the battery driver
   and returns how many; 0 for a NULL record or a dwLen of 0 (ERROR_INVALID_PARAMETER). The
   device always answers fresh, so fUpdate plays no part. Exported by "coredll.dll". */
DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 pSystemPowerStatusEx2, DWORD dwLen, BOOL fUpdate);

#ifdef __cplusplus
}
#endif

#endif
