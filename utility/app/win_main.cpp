// The program's entry on Windows and on Windows CE, whose WinMain takes the command line as wide
// text. On the device the simulator starts the program through VelorinMain itself, as several
// programs share its address space there.
#include "app/charge_screen_app.h"

#ifdef _WIN32_WCE
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#endif
{
    return VelorinMain();
}
