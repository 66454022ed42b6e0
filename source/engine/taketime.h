#pragma once

#include <chrono>
#include <cstdint>

// A millisecond stopwatch on the monotonic clock, so wall-clock changes never cut a read short
// or stretch it.
class CTakeTime {
public:
    CTakeTime();

    // Starts or restarts the count from now.
    void Start();
    // Milliseconds since the last start; saturates instead of wrapping.
    uint32_t Elapsed() const;
    // The same span to the clock's own resolution, for waits shorter than a few milliseconds.
    std::chrono::steady_clock::duration Span() const;

private:
    std::chrono::steady_clock::time_point started;
};
