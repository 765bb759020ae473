// The program's entry on Windows. On the device the simulator starts the program through
// VelorinMain itself, as several programs share its address space there.
#include "app/charge_screen_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return VelorinMain();
}
