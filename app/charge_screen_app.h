// The application object: refuses a second instance, checks the enabling value and runs the
// charging screen modally.
#pragma once

#include "framework/win_app.h"

class CChargeScreenApp : public CWinApp {
public:
    CChargeScreenApp() = default;
    ~CChargeScreenApp() override = default;

    const AFX_MSGMAP* GetMessageMap() const override;
    // Always FALSE: the process ends when the charging screen's run does.
    BOOL InitInstance() override;
};

// The process entry of the utility.
int VelorinMain();
