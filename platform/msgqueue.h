// Point-to-point message queues, as programs include them.
#pragma once

#include "windows.h"
#include "kernel/msgqueue.h"
