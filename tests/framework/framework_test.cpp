// The dialog framework on a device: message tables, modal runs, the application's entry, the
// scoped drawing objects, and state kept per process.
#include "framework/dialog.h"
#include "framework/gdi_objects.h"
#include "framework/win_app.h"
#include "tests/sample/sample_app.h"
#include "tests/sample/sample_resource.h"

#include "boot/device.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using velorin::platform::Device;

std::vector<std::string> g_calls;

class CBaseDlg : public CDialog {
public:
    CBaseDlg() : CDialog(IDD_SAMPLE) {}
    const AFX_MSGMAP* GetMessageMap() const override
    {
        using ThisClass = CBaseDlg;
        static const AFX_MSGMAP_ENTRY entries[] = {
            ON_MESSAGE(WM_APP + 7, OnPing)
            ON_BN_CLICKED(IDC_ADD, OnAdd)
            {0, 0, 0, nullptr}};
        static const AFX_MSGMAP map{CDialog::GetMessageMap(), entries};
        return &map;
    }
    LRESULT OnPing(WPARAM wParam, LPARAM) { return g_calls.push_back("base ping " + std::to_string(wParam)), 0; }
    void OnAdd() { g_calls.push_back("base add"); }
};

class CDerivedDlg : public CBaseDlg {
public:
    const AFX_MSGMAP* GetMessageMap() const override
    {
        using ThisClass = CDerivedDlg;
        static const AFX_MSGMAP_ENTRY entries[] = {
            ON_BN_CLICKED(IDC_ADD, OnAddHere)
            ON_WM_TIMER()
            {0, 0, 0, nullptr}};
        static const AFX_MSGMAP map{CBaseDlg::GetMessageMap(), entries};
        return &map;
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        g_calls.push_back(std::string("owner ") + (GetParent(m_hWnd) ? "some" : "none"));
        PostMessageW(m_hWnd, WM_APP + 7, 3, 0);
        SetTimer(m_hWnd, 9, 100, nullptr);
        return TRUE;
    }
    void OnOK() override
    {
        g_calls.push_back("ok");
        CDialog::OnOK();
    }
    void OnAddHere() { g_calls.push_back("derived add"); }
    void OnTimer(UINT_PTR id)
    {
        g_calls.push_back("timer " + std::to_string(id));
        KillTimer(m_hWnd, id);
        Default();
    }
};

class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        SetRegistryKey(L"Local AppWizard-Generated Applications");
        CDerivedDlg dialog;
        MainWnd() = &dialog;
        m_result = dialog.DoModal();
        g_calls.push_back("ended " + std::to_string(m_result));
        return FALSE;
    }
    int ExitInstance() override { return static_cast<int>(m_result) + 40; }
    INT_PTR m_result = 0;
};

TEST(Framework, TablesRouteToTheMostDerivedHandlerAndCommandsFallBackToOkAndCancel)
{
    g_calls.clear();
    Device device;
    const auto pid = device.launch(
        "framework",
        [] {
            CTestApp app;
            return app.InitInstance() ? app.Run() : app.ExitInstance();
        },
        velorin::sample::sampleResources());
    device.runUntil(50);
    const auto add = device.windows().buttonCentre(L"Add");
    ASSERT_TRUE(add);
    device.windows().tap(add->x, add->y);
    device.runUntil(150);
    device.windows().key(VK_RETURN);
    device.runUntil(300);
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"owner none", "base ping 3", "derived add", "timer 9", "ok", "ended 1"}));
    EXPECT_EQ(device.exitCode(pid), 41);
}

TEST(Framework, ADialogWithoutAParentIsOwnedByTheActiveWindowWhichWaitsDisabled)
{
    g_calls.clear();
    Device device;
    static BOOL s_outerEnabledDuringInner = TRUE;
    class CInnerDlg : public CDialog {
    public:
        CInnerDlg() : CDialog(IDD_SAMPLE) {}
        BOOL OnInitDialog() override
        {
            HWND owner = GetParent(m_hWnd);
            s_outerEnabledDuringInner = IsWindowEnabled(owner);
            g_calls.push_back(std::string("inner owner ") + (owner ? "outer" : "none"));
            EndDialog(IDCANCEL);
            return TRUE;
        }
    };
    class COuterDlg : public CDialog {
    public:
        COuterDlg() : CDialog(IDD_SAMPLE) {}
        BOOL OnInitDialog() override
        {
            PostMessageW(m_hWnd, WM_APP + 1, 0, 0);
            return TRUE;
        }
        const AFX_MSGMAP* GetMessageMap() const override
        {
            using ThisClass = COuterDlg;
            static const AFX_MSGMAP_ENTRY entries[] = {ON_MESSAGE(WM_APP + 1, OnOpen){0, 0, 0, nullptr}};
            static const AFX_MSGMAP map{CDialog::GetMessageMap(), entries};
            return &map;
        }
        LRESULT OnOpen(WPARAM, LPARAM)
        {
            CInnerDlg inner;
            g_calls.push_back("inner ended " + std::to_string(inner.DoModal()));
            g_calls.push_back(std::string("outer enabled ") + (IsWindowEnabled(m_hWnd) ? "yes" : "no"));
            OnCancel();
            return 0;
        }
    };
    device.launch(
        "nested",
        [] {
            COuterDlg outer;
            return static_cast<int>(outer.DoModal());
        },
        velorin::sample::sampleResources());
    device.runFor(100);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"inner owner outer", "inner ended 2", "outer enabled yes"}));
    EXPECT_FALSE(s_outerEnabledDuringInner);
}

TEST(Framework, DrawingWrappersGiveBackEveryObjectAndContext)
{
    Device device;
    static std::size_t s_objectsDuring = 0;
    static std::size_t s_dcsDuring = 0;
    class CPaintingDlg : public CDialog {
    public:
        CPaintingDlg() : CDialog(IDD_SAMPLE) {}
        BOOL OnInitDialog() override
        {
            {
                CClientDC dc(this);
                CDC memory;
                memory.CreateCompatibleDC(&dc);
                CBrush brush;
                brush.CreateSolidBrush(RGB(0, 0, 0));
                const HGDIOBJ old = dc.SelectObject(brush);
                Rectangle(dc, 0, 0, 10, 10);
                dc.SelectObject(old);
                auto& gdi = velorin::kernel::Kernel::current().device().gdi();
                s_objectsDuring = gdi.liveObjects();
                s_dcsDuring = gdi.liveDCs();
            }
            EndDialog(IDOK);
            return TRUE;
        }
    };
    device.launch(
        "painting",
        [] {
            CPaintingDlg dialog;
            return static_cast<int>(dialog.DoModal());
        },
        velorin::sample::sampleResources());
    device.runFor(100);
    EXPECT_GE(s_objectsDuring, 1u);
    EXPECT_EQ(s_dcsDuring, 2u);
    EXPECT_EQ(device.gdi().liveObjects(), 0u);
    EXPECT_EQ(device.gdi().liveDCs(), 0u);
}

TEST(Framework, ProcessLocalStateIsSeparateForEachProcess)
{
    Device device;
    static CProcessLocal<int> s_counter;
    static std::vector<int> s_seen;
    s_seen.clear();
    for (int i = 0; i < 2; ++i) {
        device.launch("counter", [] {
            for (int n = 0; n < 3; ++n) {
                ++s_counter.Get();
                Sleep(10);
            }
            s_seen.push_back(s_counter.Get());
            return 0;
        });
    }
    device.runFor(100);
    EXPECT_EQ(s_seen, (std::vector<int>{3, 3}));
}

TEST(Framework, RunTimeClassesKnowTheirBases)
{
    static const CRuntimeClass classCCustomDlg{"CCustomDlg", &CDialog::classCDialog};
    EXPECT_TRUE(classCCustomDlg.IsDerivedFrom(&CWnd::classCWnd));
    EXPECT_FALSE(CDialog::classCDialog.IsDerivedFrom(&classCCustomDlg));
}

}  // namespace
