// The application object: refuses a second instance, checks the enabling value and runs the
// charging screen modally.
#ifndef VELORIN_APP_CHARGE_SCREEN_APP_H
#define VELORIN_APP_CHARGE_SCREEN_APP_H

#include "framework/win_app.h"

class CChargeScreenApp : public CWinApp {
public:
    CChargeScreenApp() {}
    virtual ~CChargeScreenApp() {}

    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Always FALSE: the process ends when the charging screen's run does.
    virtual BOOL InitInstance();
};

// The process entry of the utility.
int VelorinMain();

#endif
