// Message crackers, as programs include them.
#pragma once

#include "windows.h"
#include "window/windowsx.h"
