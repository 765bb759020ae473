#include "tests/sample/sample_program.hpp"

#include <windows.h>

namespace velorin::sample {

namespace {

constexpr WCHAR kDoneEventName[] = L"Sample/ProducerDone";

struct ProducerArgs {
    HANDLE writer;
};

DWORD WINAPI producer(LPVOID param)
{
    const auto* args = static_cast<const ProducerArgs*>(param);
    for (DWORD n = 1; n <= kSampleMessages; ++n) {
        Sleep(kSampleIntervalMs);
        WriteMsgQueue(args->writer, &n, sizeof n, INFINITE, 0);
    }
    HANDLE done = OpenEventW(EVENT_ALL_ACCESS, FALSE, kDoneEventName);
    SetEvent(done);
    CloseHandle(done);
    return 0;
}

}  // namespace

int sampleMain()
{
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof options;
    options.cbMaxMessage = sizeof(DWORD);
    options.bReadAccess = TRUE;
    HANDLE reader = CreateMsgQueue(nullptr, &options);
    options.bReadAccess = FALSE;
    HANDLE writer = OpenMsgQueue(nullptr, reader, &options);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, kDoneEventName);
    if (!reader || !writer || !done)
        return -1;

    ProducerArgs args{writer};
    HANDLE thread = CreateThread(nullptr, 0, producer, &args, 0, nullptr);
    if (!thread)
        return -1;

    int sum = 0;
    const HANDLE waitSet[] = {reader, done};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(2, waitSet, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0) {
            DWORD n = 0;
            DWORD read = 0;
            DWORD flags = 0;
            if (ReadMsgQueue(reader, &n, sizeof n, &read, 0, &flags))
                sum += static_cast<int>(n);
        } else {
            break;
        }
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(done);
    CloseMsgQueue(writer);
    CloseMsgQueue(reader);
    return sum;
}

}  // namespace velorin::sample
