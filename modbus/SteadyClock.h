#pragma once
// The plain monotonic clock, for exchanges over a port that receives on its own.

#include "modbus/Clock.h"

namespace mp {

// Wall time from std::chrono::steady_clock; Sleep blocks the calling thread.
class CSteadyClock : public IClock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;
};

}  // namespace mp
