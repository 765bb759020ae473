// The coverage check reads the device's headers line by line, so every form they declare in must
// give its names, and nothing else (fields, comments, tags, the C++ guards) may pass for one.
#include "conformance/headers/coverage.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace velorin::conformance {
namespace {

using Names = std::vector<std::string>;

TEST(HeaderCoverage, ReadsEachFormOfDeclarationAndNothingElse)
{
    const std::vector<std::pair<std::string, Names>> cases = {
        {"#define WM_PAINT 0x000FU", {"WM_PAINT"}},
        {"#define RGB(r, g, b) ((COLORREF)(r))", {"RGB"}},
        {"typedef unsigned int DWORD;", {"DWORD"}},
        {"typedef const RECT *LPCRECT;", {"LPCRECT"}},
        {"typedef struct HWND__ *HWND;", {"HWND"}},
        {"typedef LRESULT (CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);", {"WNDPROC"}},
        {"typedef LONG_PTR (WINAPI *FARPROC)();", {"FARPROC"}},
        {"typedef struct tagRECT {", {}},
        {"} RECT, *LPRECT;", {"RECT", "LPRECT"}},
        {"typedef enum _STATE { StateOff = -1, StateOn = 0, StateMax } STATE, *PSTATE;",
         {"StateOff", "StateOn", "StateMax", "STATE", "PSTATE"}},
        {"HWND FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName);", {"FindWindowW"}},
        {"LPVOID LockResource(HGLOBAL hResData);", {"LockResource"}},
        {"void *Allocate(SIZE_T bytes);", {"Allocate"}},
        {"LONG WINAPI InterlockedTestExchange(LPLONG Target, LONG OldValue, LONG NewValue);",
         {"InterlockedTestExchange"}},
        {"DWORD GetTickCount(void);", {"GetTickCount"}},
        // Not declarations: fields, a union's end, comments, C++ linkage, a handle's tag.
        {"    LONG left;", {}},
        {"    };", {}},
        {"/* Handles are distinct pointer types (HANDLE x). */", {}},
        {"   of a comment that goes on: SIZE y;", {}},
        {"extern \"C\" {", {}},
        {"}", {}},
        {"struct HWND__ { int unused; };", {}},
    };
    for (const auto& [line, names] : cases)
        EXPECT_EQ(namesDeclaredOn(line), names) << line;
}

}  // namespace
}  // namespace velorin::conformance
