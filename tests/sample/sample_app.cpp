// The sample's body: the producer and relay threads, the dialog's handlers, and the app whose exit
// code is the last sum shown.
#include "tests/sample/sample_app.h"

#include "tests/sample/sample_resource.h"

#include <msgqueue.h>

#include <string>

extern const std::uint8_t velorin_sample_resources[];
extern const std::size_t velorin_sample_resources_size;

namespace velorin::sample {

namespace {

CSampleApp theApp;
CProcessLocal<int> g_lastSum;

constexpr WCHAR kDoneEventName[] = L"Sample/ProducerDone";

struct RelayArgs {
    HWND dialog;
    HANDLE stop;
};

DWORD WINAPI producer(LPVOID param)
{
    HANDLE writer = static_cast<HANDLE>(param);
    for (DWORD n = 1; n <= kSampleMessages; ++n) {
        Sleep(kSampleIntervalMs);
        WriteMsgQueue(writer, &n, sizeof n, INFINITE, 0);
    }
    HANDLE done = OpenEventW(EVENT_ALL_ACCESS, FALSE, kDoneEventName);
    SetEvent(done);
    CloseHandle(done);
    CloseMsgQueue(writer);
    return 0;
}

// Passes each number from the queue on to the dialog, until the producer is done or the
// dialog says stop.
DWORD WINAPI relay(LPVOID param)
{
    const RelayArgs args = *static_cast<RelayArgs*>(param);
    delete static_cast<RelayArgs*>(param);
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof options;
    options.cbMaxMessage = sizeof(DWORD);
    options.bReadAccess = TRUE;
    HANDLE reader = CreateMsgQueue(nullptr, &options);
    options.bReadAccess = FALSE;
    HANDLE writer = OpenMsgQueue(nullptr, reader, &options);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, kDoneEventName);
    HANDLE thread = reader && writer && done ? CreateThread(nullptr, 0, producer, writer, 0, nullptr) : nullptr;
    if (thread) {
        const HANDLE waitSet[] = {reader, done, args.stop};
        while (WaitForMultipleObjects(3, waitSet, FALSE, INFINITE) == WAIT_OBJECT_0) {
            DWORD n = 0;
            DWORD read = 0;
            DWORD flags = 0;
            if (ReadMsgQueue(reader, &n, sizeof n, &read, 0, &flags))
                PostMessageW(args.dialog, WM_SAMPLE_NUMBER, n, 0);
        }
        CloseHandle(thread);
    }
    CloseHandle(done);
    CloseMsgQueue(reader);
    return 0;
}

}  // namespace

CSampleDlg::CSampleDlg() : CDialog(IDD_SAMPLE) {}

BEGIN_MESSAGE_MAP(CSampleDlg, CDialog)
    ON_MESSAGE(WM_SAMPLE_NUMBER, OnNumber)
    ON_BN_CLICKED(IDC_ADD, OnBnClickedAdd)
    ON_BN_CLICKED(IDC_DONE, OnBnClickedDone)
END_MESSAGE_MAP()

BOOL CSampleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, relay, new RelayArgs{m_hWnd, m_stopEvent}, 0, nullptr);
    if (thread)
        CloseHandle(thread);
    return TRUE;
}

void CSampleDlg::OnCancel()
{
    SetEvent(m_stopEvent);
    CDialog::OnCancel();
}

LRESULT CSampleDlg::OnNumber(WPARAM wParam, LPARAM)
{
    m_sum += static_cast<int>(wParam);
    ShowSum();
    return 0;
}

void CSampleDlg::OnBnClickedAdd()
{
    ++m_sum;
    ShowSum();
}

void CSampleDlg::OnBnClickedDone()
{
    OnCancel();
}

void CSampleDlg::ShowSum()
{
    SetWindowTextW(GetDlgItem(m_hWnd, IDC_SUM), (L"Sum: " + std::to_wstring(m_sum)).c_str());
}

BOOL CSampleApp::InitInstance()
{
    CSampleDlg dialog;
    MainWnd() = &dialog;
    dialog.DoModal();
    MainWnd() = nullptr;
    g_lastSum.Get() = dialog.m_sum;
    return FALSE;
}

int CSampleApp::ExitInstance()
{
    return g_lastSum.Get();
}

int sampleMain()
{
    return AfxWinMain(theApp);
}

std::span<const std::uint8_t> sampleResources()
{
    return {velorin_sample_resources, velorin_sample_resources_size};
}

}  // namespace velorin::sample
