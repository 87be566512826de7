#include "diagnostics/BusScan.h"

#include <algorithm>

#include "device/LineCodes.h"

namespace mp {

const std::vector<int>& CBusScan::AllBaudRates() {
    static const std::vector<int> rates(kBaudRates.begin(), kBaudRates.end());
    return rates;
}

const std::vector<int>& CBusScan::AllParities() {
    static const std::vector<int> parities = [] {
        std::vector<int> codes;
        for (int code = 0; code < kParityCount; ++code) {
            codes.push_back(code);
        }
        return codes;
    }();
    return parities;
}

uint32_t CBusScan::WaitMs(int baudRate, int parity, uint32_t marginMs) {
    const uint64_t bits = parity == kParityNone ? 10 : 11;
    const uint64_t bytes =
        8 + CModbusTransaction::ExpectedLength(kReadHoldingRegisters, kCommParamCount);
    const uint64_t baud = static_cast<uint64_t>(std::max(baudRate, 1));
    return static_cast<uint32_t>((bytes * bits * 1000 + baud - 1) / baud) + marginMs;
}

int CBusScan::Steps(const ScanPlan& plan) {
    const int addresses = std::max(0, plan.LastAddress - plan.FirstAddress + 1);
    return addresses * static_cast<int>(plan.BaudRates.size() * plan.Parities.size());
}

uint64_t CBusScan::PlanMs(const ScanPlan& plan) {
    const int addresses = std::max(0, plan.LastAddress - plan.FirstAddress + 1);
    uint64_t total = 0;
    for (int baud : plan.BaudRates) {
        for (int parity : plan.Parities) {
            total += static_cast<uint64_t>(addresses) * WaitMs(baud, parity, plan.MarginMs);
        }
    }
    return total;
}

ScanEnd CBusScan::Run(CModbusTransaction& link, const ScanPlan& plan, const std::atomic<bool>& stop,
                      const FoundFn& found, const ProgressFn& progress) {
    const uint8_t address = link.SlaveAddress();
    const int total = Steps(plan);
    int done = 0;
    ScanEnd end = ScanEnd::Completed;
    for (int baud : plan.BaudRates) {
        for (int parity : plan.Parities) {
            PortSettings line = plan.Line;
            line.BaudRate = baud;
            line.Parity = parity;
            if (!link.ReconfigureLine(line)) {
                end = ScanEnd::PortFailed;
                break;
            }
            const uint32_t wait = WaitMs(baud, parity, plan.MarginMs);
            for (int a = std::max(plan.FirstAddress, 1); a <= std::min(plan.LastAddress, 247);
                 ++a) {
                if (stop.load()) {
                    end = ScanEnd::Stopped;
                    break;
                }
                link.SetSlaveAddress(static_cast<uint8_t>(a));
                const int16_t p = link.ReadSequence(kReadHoldingRegisters, kDeviceAddressRegister,
                                                    kCommParamCount, wait);
                if (p >= 0) {
                    found({a, baud, parity, link.Register(p, 0), link.Register(p, 1)});
                }
                progress(++done, total);
            }
            if (end != ScanEnd::Completed) {
                break;
            }
        }
        if (end != ScanEnd::Completed) {
            break;
        }
    }
    link.ReconfigureLine(plan.Line);
    link.SetSlaveAddress(address);
    return end;
}

}  // namespace mp
