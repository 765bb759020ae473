// The program's name: the title of its window (by which a second start finds the first), the
// name of its enabling value and the caption of its dialogs.
#ifndef VELORIN_SCREEN_PROGRAM_NAME_H
#define VELORIN_SCREEN_PROGRAM_NAME_H

#include <windows.h>

const WCHAR kProgramName[] = L"Velorin";

#endif
