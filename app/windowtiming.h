#pragma once

#include "link/linktiming.h"

// Waits of the window itself. The defaults are the program's; tests shrink them.
struct WindowTiming {
    int pageSwitchPauseMs = 200;  // between the steps of a test-page switch while connected
    int sampleIntervalMs = 500;   // polling interval until the operator chooses another
    int keyLockPauseMs = int(kKeyLockPauseMs);  // after the key lock, before the stored records are asked for
    int countdownTickMs = 1000;   // one second of the pause between two automatic tests
    int importRefreshMs = 30;     // stored records arriving meanwhile enter the table together
};
