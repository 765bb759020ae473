/* Point-to-point message queues, as programs include them. */
#ifndef VELORIN_MSGQUEUE_H
#define VELORIN_MSGQUEUE_H

#include "windows.h"
#include "kernel/msgqueue.h"

#endif
