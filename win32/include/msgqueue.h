/* Windows CE's point-to-point message queues, on desktop Win32 from the CE layer
   (coredll.dll). A queue's handle is a real waitable handle: a reader's is signalled while a
   message waits, a writer's while there is room. */
#ifndef VELORIN_WIN32_MSGQUEUE_H
#define VELORIN_WIN32_MSGQUEUE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The records and flags, the device's own declarations. */
#include "../../platform/kernel/msgqueue_records.h"

/* Queues live in the process that made them; a name is shared within that process only. */
CE_LAYER_API HANDLE WINAPI CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions);
CE_LAYER_API HANDLE WINAPI OpenMsgQueue(HANDLE hSrcProc, HANDLE hMsgQ, LPMSGQUEUEOPTIONS lpOptions);
CE_LAYER_API BOOL WINAPI ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize, LPDWORD lpNumberOfBytesRead,
                                      DWORD dwTimeout, DWORD* pdwFlags);
CE_LAYER_API BOOL WINAPI WriteMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbDataSize, DWORD dwTimeout,
                                       DWORD dwFlags);
CE_LAYER_API BOOL WINAPI GetMsgQueueInfo(HANDLE hMsgQ, LPMSGQUEUEINFO lpInfo);
CE_LAYER_API BOOL WINAPI CloseMsgQueue(HANDLE hMsgQ);

#ifdef __cplusplus
}
#endif

#endif
