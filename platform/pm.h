/* The power manager's calls and records, as programs include them. */
#ifndef VELORIN_PM_H
#define VELORIN_PM_H

#include "windows.h"
#include "power/pm.h"

#endif
