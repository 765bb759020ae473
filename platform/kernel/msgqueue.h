/* Point-to-point message queues of the device's kernel. */
#ifndef VELORIN_KERNEL_MSGQUEUE_H
#define VELORIN_KERNEL_MSGQUEUE_H

#include "kernel/windef.h"

#include "kernel/msgqueue_records.h"

#ifdef __cplusplus
extern "C" {
#endif

HANDLE CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions);
HANDLE OpenMsgQueue(HANDLE hSrcProc, HANDLE hMsgQ, LPMSGQUEUEOPTIONS lpOptions);
BOOL ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize, LPDWORD lpNumberOfBytesRead, DWORD dwTimeout,
                  DWORD *pdwFlags);
BOOL WriteMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbDataSize, DWORD dwTimeout, DWORD dwFlags);
BOOL GetMsgQueueInfo(HANDLE hMsgQ, LPMSGQUEUEINFO lpInfo);
BOOL CloseMsgQueue(HANDLE hMsgQ);

#ifdef __cplusplus
}
#endif

#endif
