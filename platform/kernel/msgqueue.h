/* Point-to-point message queues of the device's kernel. */
#ifndef VELORIN_KERNEL_MSGQUEUE_H
#define VELORIN_KERNEL_MSGQUEUE_H

#include "kernel/windef.h"

#define MSGQUEUE_NOPRECOMMIT 0x00000001U
#define MSGQUEUE_ALLOW_BROKEN 0x00000002U
#define MSGQUEUE_MSGALERT 0x00000001U

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MSGQUEUEOPTIONS_OS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    BOOL bReadAccess;
} MSGQUEUEOPTIONS, *LPMSGQUEUEOPTIONS;

typedef struct MSGQUEUEINFO {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    DWORD dwCurrentMessages;
    DWORD dwMaxQueueMessages;
    WORD wNumReaders;
    WORD wNumWriters;
} MSGQUEUEINFO, *LPMSGQUEUEINFO;

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
