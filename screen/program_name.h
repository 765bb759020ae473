// The program's name: the title of its window (by which a second start finds the first), the
// name of its enabling value and the caption of its dialogs.
#pragma once

#include <windows.h>

inline constexpr WCHAR kProgramName[] = L"Velorin";
