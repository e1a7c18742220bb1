#pragma once
// Every wait of the link in one place. The defaults are the instrument's; tests
// shrink them instead of sleeping for real.

#include <cstdint>

// Between the key lock and the read-out of the stored records: the
// instrument needs the time to lock its keys. The window waits it on a timer.
constexpr std::uint32_t kKeyLockPauseMs = 200;

struct LinkTiming {
    std::uint32_t transferTimeoutMs = 2500;  // each bulk write and read, and the wake-up write
    std::uint32_t pollPauseMs = 200;         // between the polled real-time request and its read
    std::uint32_t retryPauseMs = 50;         // between failed reads of the retrying operations
    std::uint32_t wakeUpPauseMs = 50;        // between the wake-up bytes and the upper-open request
    std::uint32_t flushPauseMs = 50;         // after a successful flush of the IN pipe
    // At the end of a session: what is still queued (letting the instrument go)
    // gets this long before the transfers of a stalled instrument are given up.
    std::uint32_t closeGraceMs = 250;
    std::uint32_t watchPeriodMs = 500;       // between two looks at whether the connected instrument is still there

    static LinkTiming scaled(double factor);  // every wait times factor, at least 1 ms
};
