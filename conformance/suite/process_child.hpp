// The child program of the process checks, and what it and its parent agree on.
#pragma once

#include <windows.h>

namespace conformance {

// Beside the suite's own image: on Windows the second program of the build, on the device an
// image installed in the same folder.
inline constexpr wchar_t kChildImage[] = L"conformance_child.exe";
inline constexpr wchar_t kChildWindowTitle[] = L"Conformance Child";
// Named events that the parent creates: the child sets the first once it is up, and ends when
// the second is set.
inline constexpr wchar_t kChildReadyEvent[] = L"ConformanceChildReady";
inline constexpr wchar_t kChildGoEvent[] = L"ConformanceChildGo";
inline constexpr DWORD kChildExitCode = 37;
// What the child ends with when its parent's events are missing.
inline constexpr DWORD kChildLost = 99;

}  // namespace conformance

// The child's entry: shows a window and takes the foreground, starts a thread that never ends,
// says it is ready, and returns kChildExitCode once told to go (its other thread still blocked).
int ConformanceChildMain();
