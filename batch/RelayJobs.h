#pragma once
// Work on one relay of a running plant: a job on the worker of the relay's line, with the
// relay's slave address and the fixed waits, run between two visits of the line's scheduler;
// the line's own address is put back after it. Jobs of one line run one after the other, and
// the lines side by side.

#include <cstdint>
#include <functional>

#include "modbus/DeviceContext.h"

namespace mp {

class CDeviceLine;

void PostToRelay(CDeviceLine& line, uint8_t address, std::function<void(CDeviceContext&)> job);

}  // namespace mp
