#include "batch/RelayJobs.h"

#include "line/DeviceLine.h"
#include "line/IoWorker.h"

namespace mp {

void PostToRelay(CDeviceLine& line, uint8_t address, std::function<void(CDeviceContext&)> job) {
    line.Worker().Post([address, job = std::move(job)](CDeviceContext& ctx) {
        CModbusTransaction& link = ctx.Link;
        const uint8_t previous = link.SlaveAddress();
        link.SetSlaveAddress(address);
        job(ctx);
        link.SetSlaveAddress(previous);
    });
}

}  // namespace mp
