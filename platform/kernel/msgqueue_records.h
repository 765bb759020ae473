/* The point-to-point message queues' records and flags, written once for the device's msgqueue.h
   and the CE layer's: the includer declares WORD, DWORD and BOOL first. */
#ifndef VELORIN_KERNEL_MSGQUEUE_RECORDS_H
#define VELORIN_KERNEL_MSGQUEUE_RECORDS_H

#define MSGQUEUE_NOPRECOMMIT 0x00000001U
#define MSGQUEUE_ALLOW_BROKEN 0x00000002U
#define MSGQUEUE_MSGALERT 0x00000001U

typedef struct MSGQUEUEOPTIONS_OS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    BOOL bReadAccess;
} MSGQUEUEOPTIONS, *LPMSGQUEUEOPTIONS, *PMSGQUEUEOPTIONS;

typedef struct MSGQUEUEINFO {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    DWORD dwCurrentMessages;
    DWORD dwMaxQueueMessages;
    WORD wNumReaders;
    WORD wNumWriters;
} MSGQUEUEINFO, *LPMSGQUEUEINFO, *PMSGQUEUEINFO;

#endif
