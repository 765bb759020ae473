// The power manager's calls and records, as programs include them.
#pragma once

#include "windows.h"
#include "power/pm.h"
