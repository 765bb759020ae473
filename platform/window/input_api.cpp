// Input that a program makes: SendInput.
#include "kernel/api_call.hpp"
#include "window/window_call.hpp"
#include "window/winuser.h"

using namespace velorin::kernel;
using velorin::window::windowManager;

UINT SendInput(UINT nInputs, LPINPUT pInputs, int cbSize)
{
    return platformCall(
        "SendInput", UINT{0}, ERROR_INVALID_PARAMETER,
        [&]() -> UINT {
            if (cbSize != static_cast<int>(sizeof(INPUT)) || (nInputs && !pInputs)) {
                setLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            std::lock_guard lock(Kernel::current().mutex());
            UINT taken = 0;
            for (UINT i = 0; i < nInputs; ++i)
                taken += windowManager().sendInputLocked(pInputs[i]);
            return taken;
        },
        nInputs, pInputs, cbSize);
}
