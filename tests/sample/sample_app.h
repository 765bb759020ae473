// A small program for the device, written against the dialog framework as the utility is: a
// dialog showing a running sum. A worker thread sends 1 to 5 through a message queue, one every
// 500 ms; a relay thread passes each on to the dialog; the Add button adds 1; Done or Esc ends.
#pragma once

#include "framework/dialog.h"
#include "framework/win_app.h"

#include <cstdint>
#include <span>

namespace velorin::sample {

inline constexpr int kSampleMessages = 5;
inline constexpr unsigned kSampleIntervalMs = 500;
inline constexpr UINT WM_SAMPLE_NUMBER = WM_APP + 1;

class CSampleDlg : public CDialog {
public:
    CSampleDlg();
    const AFX_MSGMAP* GetMessageMap() const override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    LRESULT OnNumber(WPARAM wParam, LPARAM lParam);
    void OnBnClickedAdd();
    void OnBnClickedDone();

    int m_sum = 0;

private:
    void ShowSum();

    HANDLE m_stopEvent = nullptr;
};

class CSampleApp : public CWinApp {
public:
    BOOL InitInstance() override;
    // What the last run of the dialog added up to, for the process's exit code.
    int ExitInstance() override;
};

// The program's entry; the exit code is the final sum.
int sampleMain();
// The sample's compiled resources.
std::span<const std::uint8_t> sampleResources();

}  // namespace velorin::sample
