// Checks of the CE layer (coredll.dll) on desktop Win32, run under Wine: the calls the utility
// takes from it behave as the device's do. This process is the first to load the layer, so it
// also hosts the power manager, and after VelorinBeginScenario it drives the battery and writes
// the trace itself. Prints one line per failed check and a summary; exit 0 when all held.
#include <windows.h>
#include <msgqueue.h>
#include <pm.h>
#include <velorin_device.h>

#include "check.hpp"

#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace velorin::ce_test;

namespace {

using Bytes = std::vector<BYTE>;

constexpr DWORD kMessageSize = sizeof(POWER_BROADCAST) + sizeof(POWER_BROADCAST_POWER_INFO);
constexpr wchar_t kBacklightKey[] = L"ControlPanel\\BackLight";
constexpr wchar_t kRotationKey[] = L"System\\GDI\\Rotation";

// The lines the trace must hold, in this order, as the checks made them happen.
std::vector<std::string> g_expectedTrace;
void expectTrace(std::string line)
{
    g_expectedTrace.push_back(std::move(line));
}

// ---- message queues ------------------------------------------------------------------------

struct Queue {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
};

MSGQUEUEOPTIONS queueOptions(BOOL read, DWORD maxMessages = 0, DWORD cbMaxMessage = 64, DWORD flags = 0)
{
    return MSGQUEUEOPTIONS{sizeof(MSGQUEUEOPTIONS), flags, maxMessages, cbMaxMessage, read};
}

Queue makeQueue(DWORD maxMessages = 0, DWORD cbMaxMessage = 64, DWORD flags = 0)
{
    MSGQUEUEOPTIONS readOptions = queueOptions(TRUE, maxMessages, cbMaxMessage, flags);
    MSGQUEUEOPTIONS writeOptions = queueOptions(FALSE);
    Queue q;
    q.read = CreateMsgQueue(nullptr, &readOptions);
    q.write = OpenMsgQueue(GetCurrentProcess(), q.read, &writeOptions);
    return q;
}

void closeQueue(const Queue& q)
{
    CloseMsgQueue(q.read);
    CloseMsgQueue(q.write);
}

BOOL writeText(HANDLE q, std::string text, DWORD timeout = 0, DWORD flags = 0)
{
    return WriteMsgQueue(q, text.data(), static_cast<DWORD>(text.size()), timeout, flags);
}

// The next message as text, or "error N" and what was read of it.
std::string readText(HANDLE q, DWORD bufferSize = 64, DWORD timeout = 0, DWORD* flags = nullptr)
{
    std::vector<char> buffer(bufferSize);
    DWORD read = 0;
    const BOOL ok = ReadMsgQueue(q, buffer.data(), bufferSize, &read, timeout, flags);
    const DWORD error = GetLastError();
    const std::string text(buffer.data(), read);
    if (ok)
        return text;
    return "error " + std::to_string(error) + (text.empty() ? "" : " " + text);
}

std::string signalState(HANDLE h)
{
    return WaitForSingleObject(h, 0) == WAIT_OBJECT_0 ? "signalled" : "unsignalled";
}

std::string queueInfo(HANDLE q)
{
    MSGQUEUEINFO info{};
    info.dwSize = sizeof info;
    if (!GetMsgQueueInfo(q, &info))
        return outcome(FALSE);
    std::ostringstream text;
    text << "max " << info.dwMaxMessages << " cb " << info.cbMaxMessage << " now " << info.dwCurrentMessages << " high "
         << info.dwMaxQueueMessages << " readers " << info.wNumReaders << " writers " << info.wNumWriters;
    return text.str();
}

void checkQueueCreation()
{
    area("queue creation");
    MSGQUEUEOPTIONS shortRecord = queueOptions(TRUE);
    shortRecord.dwSize -= 4;
    MSGQUEUEOPTIONS noSize = queueOptions(TRUE, 0, 0);
    std::string refused = outcome(CreateMsgQueue(nullptr, &shortRecord) != nullptr);
    refused += " / " + outcome(CreateMsgQueue(nullptr, &noSize) != nullptr);
    refused += " / " + outcome(CreateMsgQueue(nullptr, nullptr) != nullptr);
    checkEq("dwSize short, cbMaxMessage 0, no options", refused, "error 87 / error 87 / error 87");

    // A name is shared within the process: the second create opens the first's queue.
    MSGQUEUEOPTIONS readOptions = queueOptions(TRUE, 4, 32);
    MSGQUEUEOPTIONS writeOptions = queueOptions(FALSE, 1, 8);
    const HANDLE reader = CreateMsgQueue(L"Velorin/CeLayerChecks", &readOptions);
    const DWORD created = GetLastError();
    const HANDLE writer = CreateMsgQueue(L"Velorin/CeLayerChecks", &writeOptions);
    const DWORD opened = GetLastError();
    writeText(writer, "through the name");
    checkEq("create, create again by name, a message across",
            std::to_string(created) + " " + std::to_string(opened) + " " + readText(reader), "0 183 through the name");
    checkEq("the named queue keeps its first options", queueInfo(writer),
            "max 4 cb 32 now 0 high 1 readers 1 writers 1");
    CloseMsgQueue(reader);
    CloseMsgQueue(writer);
    const HANDLE again = CreateMsgQueue(L"Velorin/CeLayerChecks", &writeOptions);
    const DWORD createdAgain = GetLastError();
    checkEq("the name once every end is closed makes a new queue",
            std::to_string(createdAgain) + " " + queueInfo(again), "0 max 1 cb 8 now 0 high 0 readers 0 writers 1");
    CloseMsgQueue(again);
}

void checkQueueDelivery()
{
    area("queue delivery");
    const Queue q = makeQueue(0, 8);
    std::string states = signalState(q.read);
    writeText(q.write, "one");
    states += " " + signalState(q.read);
    states += " " + signalState(q.read);  // a wait takes nothing
    checkEq("read end empty, after a write, after a wait", states, "unsignalled signalled signalled");
    // Order, flags, a message too long and a short buffer: the conformance suite's kernel.queue_ lines.
    closeQueue(q);
}

void checkQueueLimits()
{
    area("queue limits");
    const Queue q = makeQueue(2);
    writeText(q.write, "a");
    writeText(q.write, "b");
    const std::string writerEnd = signalState(q.write);
    checkEq("full: the writer end, a write at once", writerEnd + " " + outcome(writeText(q.write, "c")),
            "unsignalled error 1460");

    ULONGLONG start = GetTickCount64();
    const std::string timed = outcome(writeText(q.write, "c", 200));
    ULONGLONG took = GetTickCount64() - start;
    checkEq("full: a write that waits 200 ms", timed, "error 1460");
    checkTrue("full: the write waited its time-out", took >= 190 && took < 2000, std::to_string(took) + " ms");

    // Room made by a reader lets a blocked writer through.
    std::thread drainer([&] {
        Sleep(100);
        readText(q.read);
    });
    start = GetTickCount64();
    const std::string blocked = outcome(writeText(q.write, "c", 5000));
    took = GetTickCount64() - start;
    drainer.join();
    checkEq("full: a blocked write once a reader makes room", blocked, "ok");
    checkTrue("full: the blocked write ended with the read", took < 1000, std::to_string(took) + " ms");

    MSGQUEUEOPTIONS writeOptions = queueOptions(FALSE);
    const HANDLE second = OpenMsgQueue(GetCurrentProcess(), q.read, &writeOptions);
    checkEq("info through either end", queueInfo(q.read) + " / " + queueInfo(second),
            "max 2 cb 64 now 2 high 2 readers 1 writers 2 / max 2 cb 64 now 2 high 2 readers 1 writers 2");
    MSGQUEUEINFO wrongSize{};
    checkEq("info with dwSize 0", outcome(GetMsgQueueInfo(q.read, &wrongSize)), "error 87");
    CloseMsgQueue(second);
    closeQueue(q);
}

void checkBrokenQueues()
{
    area("queues with no reader or writer");
    const Queue strict = makeQueue();
    const Queue lenient = makeQueue(0, 64, MSGQUEUE_ALLOW_BROKEN);
    writeText(strict.write, "last");
    CloseMsgQueue(strict.write);
    CloseMsgQueue(lenient.write);
    const std::string first = readText(strict.read);
    checkEq("no writers: what is queued, then", first + " / " + readText(strict.read), "last / error 233");
    checkEq("no writers, MSGQUEUE_ALLOW_BROKEN: a read times out", readText(lenient.read), "error 1460");

    // A reader blocked when the last writer goes is woken.
    const Queue q = makeQueue();
    std::string woken;
    ULONGLONG closed = 0;
    ULONGLONG returned = 0;
    std::thread reader([&] {
        woken = readText(q.read, 64, 5000);
        returned = GetTickCount64();
    });
    Sleep(100);
    closed = GetTickCount64();
    CloseMsgQueue(q.write);
    reader.join();
    checkEq("a blocked read when the last writer closes", woken, "error 233");
    checkTrue("the blocked read ended soon after the close", returned - closed < 1000,
              std::to_string(returned - closed) + " ms");

    // A write with no reader, broken or allowed: the conformance suite's kernel.queue_write_without_readers.
    for (HANDLE h : {strict.read, lenient.read, q.read})
        CloseMsgQueue(h);
}

void checkQueueHandles()
{
    area("queue handles");
    const Queue q = makeQueue();
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    MSGQUEUEOPTIONS options = queueOptions(FALSE);
    std::string kinds = readText(q.write);
    kinds += " / " + outcome(writeText(q.read, "x"));
    kinds += " / " + readText(event);
    kinds += " / " + outcome(writeText(event, "x"));
    kinds += " / " + outcome(OpenMsgQueue(GetCurrentProcess(), event, &options) != nullptr);
    checkEq("read a writer, write a reader, an event as either, open an event", kinds,
            "error 6 / error 6 / error 6 / error 6 / error 6");

    std::string closes = outcome(CloseMsgQueue(event));
    closeQueue(q);
    closes += " / " + outcome(CloseMsgQueue(q.read));
    closes += " / " + std::string(WaitForSingleObject(event, 0) == WAIT_FAILED ? "event closed" : "event kept");
    checkEq("close an event, close an end twice", closes, "error 6 / error 6 / event kept");

    // The power monitor's wait: a message or the stop event, whichever comes.
    const Queue watched = makeQueue();
    const HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        Sleep(100);
        writeText(watched.write, "x");
        Sleep(100);
        SetEvent(stop);
    });
    const HANDLE waits[] = {watched.read, stop};
    std::string woken = std::to_string(WaitForMultipleObjects(2, waits, FALSE, 5000));
    readText(watched.read);
    woken += " " + std::to_string(WaitForMultipleObjects(2, waits, FALSE, 5000));
    other.join();
    checkEq("WaitForMultipleObjects over a queue and an event", woken, "0 1");
    closeQueue(watched);
    CloseHandle(stop);
    CloseHandle(event);
}

// ---- power notifications and the battery ---------------------------------------------------

std::optional<Bytes> readMessage(HANDLE q)
{
    Bytes bytes(256);
    DWORD read = 0;
    DWORD flags = 0;
    if (!ReadMsgQueue(q, bytes.data(), static_cast<DWORD>(bytes.size()), &read, 0, &flags))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

// "ac=N percent=N" of a power message read through the records, or what came instead.
std::string infoOf(const std::optional<Bytes>& message)
{
    if (!message)
        return "none (" + std::to_string(GetLastError()) + ")";
    if (message->size() != kMessageSize)
        return std::to_string(message->size()) + " bytes";
    const auto* broadcast = reinterpret_cast<const POWER_BROADCAST*>(message->data());
    const auto* info = reinterpret_cast<const POWER_BROADCAST_POWER_INFO*>(broadcast->SystemPowerState);
    return "ac=" + std::to_string(info->bACLineStatus) + " percent=" + std::to_string(info->bBatteryLifePercent);
}

std::string hex(const Bytes& bytes)
{
    std::string text;
    char two[4];
    for (BYTE b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        text += two;
    }
    return text;
}

// A PBT_POWERINFOCHANGE message as the device lays it out.
Bytes powerMessage(BYTE line, BYTE flag, BYTE percent)
{
    Bytes bytes;
    const auto word = [&](DWORD value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<BYTE>(value >> shift));
    };
    for (DWORD value : {DWORD{PBT_POWERINFOCHANGE}, DWORD{0}, DWORD{28}, DWORD{3}})  // type, flags, length, levels
        word(value);
    for (int lifetime = 0; lifetime < 4; ++lifetime)
        word(BATTERY_LIFE_UNKNOWN);
    // The backup battery, which the device does not have; then padding.
    bytes.insert(bytes.end(), {line, flag, percent, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0});
    return bytes;
}

// A queue of which this process holds the read end alone: the power manager is its only writer.
HANDLE readOnlyQueue(DWORD cbMaxMessage = 64)
{
    MSGQUEUEOPTIONS options = queueOptions(TRUE, 0, cbMaxMessage);
    return CreateMsgQueue(nullptr, &options);
}

std::string refusal(HANDLE queue, DWORD types)
{
    return outcome(RequestPowerNotifications(queue, types) != nullptr);
}

WORD writersOf(HANDLE q)
{
    MSGQUEUEINFO info{};
    info.dwSize = sizeof info;
    GetMsgQueueInfo(q, &info);
    return info.wNumWriters;
}

void checkPowerNotifications()
{
    area("power notifications");
    const HANDLE q = readOnlyQueue();
    const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const std::string onEvent = refusal(event, PBT_POWERINFOCHANGE);
    checkEq("subscribe an event, subscribe to no types", onEvent + " / " + refusal(q, 0), "error 6 / error 87");
    CloseHandle(event);

    // A new subscriber hears the present reading at once, and only that.
    const HANDLE subscription = RequestPowerNotifications(q, PBT_POWERINFOCHANGE);
    const std::optional<Bytes> first = readMessage(q);
    checkEq("the first message, byte for byte", hex(first.value_or(Bytes{})),
            hex(powerMessage(AC_LINE_OFFLINE, 0, 50)));
    checkEq("after the first message, and the power manager as a writer",
            readText(q) + " / writers " + std::to_string(writersOf(q)), "error 1460 / writers 1");

    // Each report is in the queue when the call returns, a report without a change too.
    const HANDLE other = readOnlyQueue();
    const HANDLE transitions = readOnlyQueue();
    const HANDLE tooSmall = readOnlyQueue(kMessageSize - 4);
    const HANDLE otherSubscription = RequestPowerNotifications(other, POWER_NOTIFY_ALL);
    RequestPowerNotifications(transitions, PBT_TRANSITION | PBT_RESUME);
    RequestPowerNotifications(tooSmall, PBT_POWERINFOCHANGE);
    readMessage(other);
    std::string heard;
    std::string heardByOther;
    const std::pair<int, int> reports[] = {{AC_LINE_ONLINE, -1}, {-1, -1}, {-1, 80}};
    for (const auto& [line, percent] : reports) {
        VelorinReportPower(line, percent);
        heard += infoOf(readMessage(q)) + ", ";
        heardByOther += infoOf(readMessage(other)) + ", ";
    }
    expectTrace("power.info ac=1 percent=50");
    expectTrace("power.info ac=1 percent=50");
    expectTrace("power.info ac=1 percent=80");
    checkEq("three reports, one with no change", heard + readText(q),
            "ac=1 percent=50, ac=1 percent=50, ac=1 percent=80, error 1460");
    checkEq("a second subscriber hears the same", heardByOther, "ac=1 percent=50, ac=1 percent=50, ac=1 percent=80, ");
    const std::string transitionsHeard = readText(transitions);
    checkEq("subscribed without PBT_POWERINFOCHANGE, or to a queue too small",
            transitionsHeard + " / " + readText(tooSmall), "error 1460 / error 1460");

    // The end of a subscription: no more messages, and the queue loses its writer.
    const std::string stopped = outcome(StopPowerNotifications(subscription));
    const std::string again = outcome(StopPowerNotifications(subscription));
    VelorinReportPower(-1, -1);
    expectTrace("power.info ac=1 percent=80");
    checkEq("stop, stop again, a report after", stopped + " / " + again + " / " + readText(q),
            "ok / error 6 / error 233");
    StopPowerNotifications(otherSubscription);
    for (HANDLE queue : {q, other, transitions, tooSmall})
        CloseMsgQueue(queue);
}

using StatusFunction = DWORD(WINAPI*)(PSYSTEM_POWER_STATUS_EX2, DWORD, BOOL);

void checkPowerStatus()
{
    area("GetSystemPowerStatusEx2");
    SYSTEM_POWER_STATUS_EX2 direct;
    std::memset(&direct, 0xAB, sizeof direct);
    const DWORD length = GetSystemPowerStatusEx2(&direct, sizeof direct, TRUE);
    checkEq("the record's length, line, flag, percent",
            std::to_string(length) + " " + std::to_string(direct.ACLineStatus) + " " +
                std::to_string(direct.BatteryFlag) + " " + std::to_string(direct.BatteryLifePercent),
            "56 1 9 80");
    checkEq("what the driver does not measure",
            std::to_string(direct.BatteryLifeTime == BATTERY_LIFE_UNKNOWN) + " " +
                std::to_string(direct.BackupBatteryLifePercent) + " " + std::to_string(direct.BatteryChemistry) + " " +
                std::to_string(direct.BatteryVoltage),
            "1 255 255 0");

    // Programs find it by name in "coredll.dll" at run time.
    const HMODULE core = LoadLibraryW(L"coredll.dll");
    // Through void (*)(), the type that stands for any function.
    const auto status = reinterpret_cast<StatusFunction>(
        reinterpret_cast<void (*)()>(GetProcAddressW(core, L"GetSystemPowerStatusEx2")));
    SYSTEM_POWER_STATUS_EX2 found;
    std::memset(&found, 0x5A, sizeof found);
    const DWORD foundLength = status ? status(&found, sizeof found, FALSE) : 0;
    checkEq("looked up in coredll.dll: the same record",
            foundLength == sizeof found && !std::memcmp(&found, &direct, sizeof found), true);

    SYSTEM_POWER_STATUS_EX2 shortRecord;
    std::memset(&shortRecord, 0xAB, sizeof shortRecord);
    const DWORD shortLength = GetSystemPowerStatusEx2(&shortRecord, 3, TRUE);
    const auto* bytes = reinterpret_cast<const BYTE*>(&shortRecord);
    const DWORD none = GetSystemPowerStatusEx2(&shortRecord, 0, TRUE);
    const DWORD noneError = GetLastError();
    checkEq("dwLen 3 fills three bytes; dwLen 0 is refused",
            std::to_string(shortLength) + " " + std::to_string(bytes[2]) + " " + std::to_string(bytes[3]) + " / " +
                std::to_string(none) + " error " + std::to_string(noneError),
            "3 80 171 / 0 error 87");
    FreeLibrary(core);
}

// ---- the backlight and the system power state ----------------------------------------------

void setDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void deleteValue(HKEY root, const wchar_t* path, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, name);
    RegCloseKey(key);
}

std::string dwordAt(HKEY root, const wchar_t* path, const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return "absent";
    return std::to_string(value);
}

std::string backlight()
{
    BOOL on = FALSE;
    int level = -1;
    VelorinBacklight(&on, &level);
    return "on=" + std::to_string(on) + " level=" + std::to_string(level);
}

DWORD request(const wchar_t* device, CEDEVICE_POWER_STATE state, DWORD flags = POWER_NAME)
{
    return DevicePowerNotify(const_cast<wchar_t*>(device), state, flags);
}

// A request of BKL1: that goes through, and what the user then sees.
std::string requestSeen(const wchar_t* device, CEDEVICE_POWER_STATE state)
{
    const DWORD result = request(device, state);
    return result == ERROR_SUCCESS ? backlight() : "result " + std::to_string(result);
}

void checkBacklight()
{
    area("DevicePowerNotify BKL1:");
    const std::string before = backlight();
    std::string refused;
    const std::pair<const wchar_t*, CEDEVICE_POWER_STATE> requests[] = {
        {L"BKL2:", D4}, {L"BKL1", D4}, {L"BKL1:", PwrDeviceMaximum}, {L"BKL1:", PwrDeviceUnspecified}, {nullptr, D4}};
    for (const auto& [device, state] : requests) {
        const DWORD result = request(device, state);
        const DWORD error = GetLastError();
        refused += std::to_string(result) + "/" + std::to_string(error) + " ";
    }
    const DWORD unnamed = request(L"BKL1:", D4, 0);
    refused += std::to_string(unnamed);
    checkEq("other names, no such state, no device, no POWER_NAME: refused, nothing seen", refused + " " + backlight(),
            "2/2 2/2 87/87 87/87 87/87 87 " + before);

    // D0 reads the level of the present line, at each request only.
    setDword(HKEY_CURRENT_USER, kBacklightKey, L"AcBacklightLevel", 8);
    setDword(HKEY_CURRENT_USER, kBacklightKey, L"BatteryBacklightLevel", 5);
    VelorinReportPower(AC_LINE_OFFLINE, -1);
    std::string levels = requestSeen(L"bkl1:", D0) + ", ";
    VelorinReportPower(AC_LINE_ONLINE, -1);
    levels += backlight() + ", ";
    levels += requestSeen(L"BKL1:", D0);
    checkEq("D0 on battery, then on AC before and after a request", levels, "on=1 level=5, on=1 level=5, on=1 level=8");
    expectTrace("power.info ac=0 percent=80");
    expectTrace("device.power BKL1: D0");
    expectTrace("backlight on=1 level=5");
    expectTrace("power.info ac=1 percent=80");
    expectTrace("device.power BKL1: D0");
    expectTrace("backlight on=1 level=8");

    // Clamped to 0..10 as a signed number; a missing value keeps the level.
    std::string clamped;
    for (DWORD value : {11u, 0xFFFFFFFFu, 6u}) {
        setDword(HKEY_CURRENT_USER, kBacklightKey, L"AcBacklightLevel", value);
        clamped += requestSeen(L"BKL1:", D0) + ", ";
    }
    deleteValue(HKEY_CURRENT_USER, kBacklightKey, L"AcBacklightLevel");
    clamped += requestSeen(L"BKL1:", D0);
    checkEq("levels 11, 0xFFFFFFFF, 6, then none", clamped, "on=1 level=10, on=1 level=0, on=1 level=6, on=1 level=6");

    std::string states = requestSeen(L"BKL1:", D4) + ", ";
    states += requestSeen(L"BKL1:", D1) + ", ";
    states += requestSeen(L"BKL1:", D0);
    checkEq("D4, D1, D0", states, "on=0 level=0, on=1 level=1, on=1 level=6");
    expectTrace("device.power BKL1: D4");
    expectTrace("backlight on=0 level=0");
}

// What the user sees once the power manager's watcher has had up to a second to act.
std::string backlightSoon(const std::string& expected)
{
    for (int tries = 0; tries < 100 && backlight() != expected; ++tries)
        Sleep(10);
    return backlight();
}

void checkSystemPowerState()
{
    area("SetSystemPowerState");
    setDword(HKEY_CURRENT_USER, kBacklightKey, L"UseDim", 1);
    std::string seen;
    for (const auto& [name, flags] : {std::pair<const wchar_t*, DWORD>{L"useridle", 0},
                                      {nullptr, POWER_STATE_SUSPEND},
                                      {nullptr, POWER_STATE_ON}}) {
        const DWORD result = SetSystemPowerState(name, flags, POWER_FORCE);
        seen += std::to_string(result) + " " + backlight() + ", ";
    }
    checkEq("UserIdle with UseDim 1, Suspend, On", seen, "0 on=1 level=1, 0 on=0 level=0, 0 on=1 level=6, ");
    expectTrace("system.power useridle force");
    expectTrace("pm.state UserIdle");
    expectTrace("system.power suspend force");
    expectTrace("pm.state Suspend");
    expectTrace("system.power on force");
    expectTrace("pm.state On");

    const DWORD noState = SetSystemPowerState(nullptr, 0, POWER_FORCE);
    const DWORD noStateError = GetLastError();
    const DWORD unknownName = SetSystemPowerState(L"Hibernate", POWER_STATE_ON, 0);
    checkEq("no state, an unknown name",
            std::to_string(noState) + "/" + std::to_string(noStateError) + " " + std::to_string(unknownName),
            "87/87 87");

    // The power manager hosted here answers its named activity event: the device wakes.
    SetSystemPowerState(nullptr, POWER_STATE_SUSPEND, 0);
    const HANDLE activity = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"PowerManager/ActivityTimer/SystemActivity");
    SetEvent(activity);
    checkEq("the activity event in Suspend", backlightSoon("on=1 level=6"), "on=1 level=6");
    CloseHandle(activity);
    expectTrace("system.power suspend");
    expectTrace("event.signal \"PowerManager/ActivityTimer/SystemActivity\"");
    expectTrace("pm.state On");
}

// ---- the display ---------------------------------------------------------------------------

std::vector<std::string> g_heard;

std::string screenSize()
{
    return std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" + std::to_string(GetSystemMetrics(SM_CYSCREEN));
}

LRESULT CALLBACK listeningProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTINGCHANGE) {
        char wp[24];
        std::snprintf(wp, sizeof wp, "0x%04llX", static_cast<unsigned long long>(wParam));
        g_heard.push_back(std::string("WM_SETTINGCHANGE ") + wp + " " + std::to_string(lParam) + " " + screenSize());
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::string heard()
{
    std::string text;
    for (const std::string& line : g_heard)
        text += line + "; ";
    g_heard.clear();
    return text;
}

DEVMODEW orientationRecord(DWORD code, DWORD fields = DM_DISPLAYORIENTATION)
{
    DEVMODEW mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmFields = fields;
    mode.dmDisplayOrientation = code;
    return mode;
}

LONG turn(DWORD code, DWORD flags = CDS_RESET)
{
    DEVMODEW mode = orientationRecord(code);
    return ChangeDisplaySettingsEx(nullptr, &mode, nullptr, flags, nullptr);
}

// What a turn leaves: its result, the device's code, the registry's angle, the desktop, and
// what the window heard.
std::string turned(DWORD code)
{
    const LONG result = turn(code);
    return std::to_string(result) + " code " + std::to_string(VelorinOrientation()) + " angle " +
           dwordAt(HKEY_LOCAL_MACHINE, kRotationKey, L"Angle") + " " + screenSize() + " heard " + heard();
}

void checkDisplay()
{
    area("ChangeDisplaySettingsEx");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = listeningProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VelorinCeLayerChecks";
    RegisterClassW(&windowClass);
    // Hidden, as the utility's window is at times: it hears of the turn all the same.
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        windowClass.hInstance, nullptr);
    const std::string upright = screenSize();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const std::string sideways = std::to_string(height) + "x" + std::to_string(width);
    const std::string angleBefore = dwordAt(HKEY_LOCAL_MACHINE, kRotationKey, L"Angle");

    std::string refused;
    DEVMODEW desktopSized = orientationRecord(DMDO_90);
    desktopSized.dmSize = sizeof(struct _devicemodeW);
    refused += std::to_string(ChangeDisplaySettingsEx(nullptr, &desktopSized, nullptr, CDS_RESET, nullptr)) + " ";
    refused += std::to_string(ChangeDisplaySettingsEx(nullptr, nullptr, nullptr, CDS_RESET, nullptr)) + " ";
    refused += std::to_string(turn(DMDO_90, CDS_RESET | CDS_FULLSCREEN)) + " ";
    for (DWORD code : {3u, 8u, 90u})
        refused += std::to_string(turn(code)) + " ";
    DEVMODEW nothingAsked = orientationRecord(DMDO_90, 0);
    refused += std::to_string(ChangeDisplaySettingsEx(nullptr, &nothingAsked, nullptr, CDS_RESET, nullptr));
    checkEq("desktop-sized record, none, unknown flag, codes 3 8 90, no orientation field", refused,
            "-5 -5 -4 -2 -2 -2 -2");
    checkEq("refused: code, angle, desktop, heard",
            std::to_string(VelorinOrientation()) + " " + dwordAt(HKEY_LOCAL_MACHINE, kRotationKey, L"Angle") + " " +
                screenSize() + " " + heard(),
            "0 " + angleBefore + " " + upright + " ");
    for (const char* line :
         {"display.orientation 1 result=-5", "display.orientation 1 result=-4", "display.orientation 3 result=-2",
          "display.orientation 8 result=-2", "display.orientation 90 result=-2"})
        expectTrace(line);

    DEVMODEW query = orientationRecord(DMDO_0, DM_DISPLAYQUERYORIENTATION);
    const LONG queried = ChangeDisplaySettingsEx(nullptr, &query, nullptr, CDS_TEST, nullptr);
    checkEq("DM_DISPLAYQUERYORIENTATION", std::to_string(queried) + " " + std::to_string(query.dmDisplayOrientation),
            "0 7");

    const std::string setting = "WM_SETTINGCHANGE 0x3002 0 ";
    checkEq("turned to 90", turned(DMDO_90), "0 code 1 angle 90 " + sideways + " heard " + setting + sideways + "; ");
    DEVMODEW test = orientationRecord(DMDO_0);
    const LONG tested = ChangeDisplaySettingsEx(nullptr, &test, nullptr, CDS_TEST, nullptr);
    checkEq("CDS_TEST reports the code and turns nothing",
            std::to_string(tested) + " " + std::to_string(test.dmDisplayOrientation) + " " +
                std::to_string(VelorinOrientation()) + " " + heard(),
            "0 1 1 ");
    checkEq("turned to 270", turned(DMDO_270),
            "0 code 4 angle 270 " + sideways + " heard " + setting + sideways + "; ");
    checkEq("turned to 180", turned(DMDO_180), "0 code 2 angle 180 " + upright + " heard " + setting + upright + "; ");
    checkEq("turned to 0", turned(DMDO_0), "0 code 0 angle 0 " + upright + " heard " + setting + upright + "; ");
    for (const char* code : {"1", "4", "2", "0"})
        expectTrace(std::string("display.orientation ") + code + " result=0");
    DestroyWindow(window);
}

// ---- drawing and the kernel's CE names -----------------------------------------------------

std::string pixelsOf(HDC dc, int count)
{
    std::string text;
    for (int x = 0; x < count; ++x) {
        const COLORREF c = GetPixel(dc, x, 0);
        char rgb[16];
        std::snprintf(rgb, sizeof rgb, "#%02x%02x%02x ", GetRValue(c), GetGValue(c), GetBValue(c));
        text += rgb;
    }
    return text;
}

// A 32-bit bitmap of `count` pixels in a row, selected into a memory DC.
struct Strip {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    explicit Strip(int count)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = count;
        info.bmiHeader.biHeight = 1;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
    }
    Strip(const Strip&) = delete;
    Strip& operator=(const Strip&) = delete;
    ~Strip()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

void checkTransparentImage()
{
    area("TransparentImage");
    const COLORREF key = RGB(255, 0, 255);
    Strip source(4);
    const COLORREF pattern[] = {RGB(255, 0, 0), key, RGB(0, 128, 0), key};
    for (int x = 0; x < 4; ++x)
        SetPixel(source.dc, x, 0, pattern[x]);
    const std::string expected = "#ff0000 #ffffff #008000 #ffffff ";

    Strip fromDc(4);
    PatBlt(fromDc.dc, 0, 0, 4, 1, WHITENESS);
    const BOOL copied = TransparentImage(fromDc.dc, 0, 0, 4, 1, source.dc, 0, 0, 4, 1, key);
    checkEq("from a device context", std::to_string(copied) + " " + pixelsOf(fromDc.dc, 4), "1 " + expected);

    // A bitmap is the source only while no device context holds it.
    SelectObject(source.dc, source.previous);
    Strip fromBitmap(4);
    PatBlt(fromBitmap.dc, 0, 0, 4, 1, WHITENESS);
    const BOOL copiedBitmap = TransparentImage(fromBitmap.dc, 0, 0, 4, 1, source.bitmap, 0, 0, 4, 1, key);
    checkEq("from a bitmap", std::to_string(copiedBitmap) + " " + pixelsOf(fromBitmap.dc, 4), "1 " + expected);
    SelectObject(source.dc, source.bitmap);
}

struct Wait {
    HANDLE event;
    DWORD woken = WAIT_FAILED;
};

DWORD WINAPI waitForEvent(LPVOID arg)
{
    auto* wait = static_cast<Wait*>(arg);
    wait->woken = WaitForSingleObject(wait->event, 10000);
    return 0;
}

void checkEventModify()
{
    area("EventModify");
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::string states;
    for (DWORD op : {EVENT_SET, EVENT_RESET}) {
        const BOOL done = EventModify(event, op);
        states += std::to_string(done) + " " + signalState(event) + ", ";
    }
    const std::string unknownOp = outcome(EventModify(event, 4));
    checkEq("SET, RESET, an unknown op", states + unknownOp, "1 signalled, 1 unsignalled, error 87");

    // A pulse releases a waiter and leaves the event unsignalled. The waiter may not have
    // reached its wait at the first pulse, so pulses go on until it is released.
    Wait wait{event};
    const HANDLE waiter = CreateThread(nullptr, 0, waitForEvent, &wait, 0, nullptr);
    BOOL pulsed = TRUE;
    for (int tries = 0; tries < 250 && WaitForSingleObject(waiter, 20) == WAIT_TIMEOUT; ++tries)
        pulsed = pulsed && EventModify(event, EVENT_PULSE);
    WaitForSingleObject(waiter, 10000);
    CloseHandle(waiter);
    checkEq("PULSE: the waiter released, the event unsignalled",
            std::to_string(pulsed) + " " + std::to_string(wait.woken) + " " + signalState(event), "1 0 unsignalled");
    CloseHandle(event);
}

// The ordinal that a module exports a name by, from its export directory.
WORD ordinalOf(HMODULE module, const char* name)
{
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(base + names[i]), name) == 0)
            return static_cast<WORD>(exports->Base + ordinals[i]);
    }
    return 0;
}

void checkGetProcAddressW()
{
    area("GetProcAddressW");
    const HMODULE core = GetModuleHandleW(L"coredll.dll");
    const auto expected = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&GetSystemPowerStatusEx2));
    const FARPROC byName = GetProcAddressW(core, L"GetSystemPowerStatusEx2");
    const WORD ordinal = ordinalOf(core, "GetSystemPowerStatusEx2");
    const FARPROC byOrdinal = GetProcAddressW(core, MAKEINTRESOURCEW(ordinal));
    checkEq("by name, and by its ordinal",
            std::to_string(byName == expected) + " " + std::to_string(ordinal != 0) + " " +
                std::to_string(byOrdinal == expected),
            "1 1 1");
    const std::string missing = outcome(GetProcAddressW(core, L"GetSystemPowerStatusEx3") != nullptr);
    checkEq("a missing name, a name beyond ASCII",
            missing + " / " + outcome(GetProcAddressW(core, L"GetSystemPowerStatusEx\u00B2") != nullptr),
            "error 127 / error 127");
}

// ---- the trace -----------------------------------------------------------------------------

std::wstring traceFileName()
{
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"velorin-ce-layer-" + std::to_wstring(GetCurrentProcessId()) + L".trace";
}

// The trace as velorin-sim writes it: "<ms> <event> <args>", in time order, holding every
// line that the checks made happen in the order they happened (other lines may come between).
void checkTrace(const std::wstring& file)
{
    area("trace");
    std::ifstream in(file.c_str());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::string malformed;
    long long last = -1;
    for (const std::string& line : lines) {
        const size_t space = line.find(' ');
        const bool timed = space != std::string::npos && space > 0 && line.find_first_not_of("0123456789") == space &&
                           space + 1 < line.size() && line[space + 1] != ' ';
        const long long ms = timed ? std::stoll(line.substr(0, space)) : -1;
        if (!timed || ms < last) {
            malformed = line;
            break;
        }
        last = ms;
    }
    checkEq("every line timed, in time order (the first that is not)", malformed, "");

    size_t next = 0;
    for (const std::string& line : lines) {
        if (next < g_expectedTrace.size() && line.substr(line.find(' ') + 1) == g_expectedTrace[next])
            ++next;
    }
    checkEq("the lines of the checks, in order (the first missing)",
            next < g_expectedTrace.size() ? g_expectedTrace[next] : std::string(), "");
    if (!malformed.empty() || next < g_expectedTrace.size()) {
        std::printf("the trace:\n");
        for (const std::string& line : lines)
            std::printf("  %s\n", line.c_str());
    }
}

}  // namespace

int main()
{
    checkQueueCreation();
    checkQueueDelivery();
    checkQueueLimits();
    checkBrokenQueues();
    checkQueueHandles();
    checkTransparentImage();
    checkEventModify();
    checkGetProcAddressW();

    // The power watcher's first look at the machine's charger is over once a subscription
    // exists; from the scenario's start on, the battery is the checks' alone.
    const Queue q = makeQueue();
    StopPowerNotifications(RequestPowerNotifications(q.read, PBT_POWERINFOCHANGE));
    closeQueue(q);
    const std::wstring trace = traceFileName();
    DeleteFileW(trace.c_str());
    if (!VelorinBeginScenario(trace.c_str(), AC_LINE_OFFLINE, 50)) {
        std::printf("ce_layer_tests: VelorinBeginScenario failed (%lu)\n", GetLastError());
        return 1;
    }
    checkPowerNotifications();
    checkPowerStatus();
    checkBacklight();
    checkSystemPowerState();
    checkDisplay();
    checkTrace(trace);

    std::printf("ce_layer_tests: %d checks, %d failed\n", g_tally.checks, g_tally.failed);
    DeleteFileW(trace.c_str());
    return g_tally.failed == 0 ? 0 : 1;
}
