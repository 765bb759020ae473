// What starts a run of the charging screen's sequencer: WM_SEQ_ADVANCE with lParam
// SEQ_RUN_REQUEST, posted by the power monitor when the device moves between battery and AC, and
// by the screen for the user's choice on its prompt. The screen's steps post it with lParam
// SEQ_NEXT_STEP to ask for the next step.
#ifndef VELORIN_SERVICES_SEQUENCER_REQUESTS_H
#define VELORIN_SERVICES_SEQUENCER_REQUESTS_H

#include <windows.h>

const UINT WM_SEQ_ADVANCE = WM_APP + 1000;

const LPARAM SEQ_RUN_REQUEST = 1;
const LPARAM SEQ_NEXT_STEP = 0;

#endif
