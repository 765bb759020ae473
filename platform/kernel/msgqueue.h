// Point-to-point message queues of the device's kernel.
#pragma once

#include "kernel/windef.h"

inline constexpr DWORD MSGQUEUE_NOPRECOMMIT = 0x00000001;
inline constexpr DWORD MSGQUEUE_ALLOW_BROKEN = 0x00000002;
inline constexpr DWORD MSGQUEUE_MSGALERT = 0x00000001;

struct MSGQUEUEOPTIONS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    BOOL bReadAccess;
};
using LPMSGQUEUEOPTIONS = MSGQUEUEOPTIONS*;
static_assert(sizeof(MSGQUEUEOPTIONS) == 20);

struct MSGQUEUEINFO {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    DWORD dwCurrentMessages;
    DWORD dwMaxQueueMessages;
    WORD wNumReaders;
    WORD wNumWriters;
};
using LPMSGQUEUEINFO = MSGQUEUEINFO*;

HANDLE CreateMsgQueue(LPCWSTR lpszName, LPMSGQUEUEOPTIONS lpOptions);
HANDLE OpenMsgQueue(HANDLE hSrcProc, HANDLE hMsgQ, LPMSGQUEUEOPTIONS lpOptions);
BOOL ReadMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbBufferSize, LPDWORD lpNumberOfBytesRead, DWORD dwTimeout,
                  DWORD* pdwFlags);
BOOL WriteMsgQueue(HANDLE hMsgQ, LPVOID lpBuffer, DWORD cbDataSize, DWORD dwTimeout, DWORD dwFlags);
BOOL GetMsgQueueInfo(HANDLE hMsgQ, LPMSGQUEUEINFO lpInfo);
BOOL CloseMsgQueue(HANDLE hMsgQ);
