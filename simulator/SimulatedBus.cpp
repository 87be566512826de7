#include "simulator/SimulatedBus.h"

#include <algorithm>

#include "device/RegisterMap.h"
#include "modbus/Port.h"

namespace mp {
namespace {

// The device's turnaround between the end of a request and the start of its reply.
constexpr auto kTurnaround = std::chrono::milliseconds(5);

}  // namespace

void SetOwnLiveValues(CSimulatedDevice& device, uint8_t address) {
    const uint16_t voltages[] = {3800, 3805, 3798};
    const uint16_t currents[] = {302, 298, 300};
    for (uint16_t k = 0; k < 3; ++k) {
        device.SetRegister(static_cast<uint16_t>(kPhaseVoltageRegister + k),
                           static_cast<uint16_t>(voltages[k] + 10 * address));
        device.SetRegister(static_cast<uint16_t>(kPhaseCurrentRegister + k),
                           static_cast<uint16_t>(currents[k] + 20 * address));
    }
}

std::chrono::microseconds CSimulatedBus::WireTime(size_t bytes, int baud, int parity) {
    const long long bitsPerChar = parity == kParityNone ? 10 : 11;
    const long long rate = baud > 0 ? baud : 9600;
    return std::chrono::microseconds(static_cast<long long>(bytes) * bitsPerChar * 1000000 / rate);
}

void CSimulatedBus::SetDeviceFaults(const CSimulatedDevice& device, const SimFaults& faults) {
    for (auto& entry : DeviceFaults_) {
        if (entry.first == &device) {
            entry.second = faults;
            return;
        }
    }
    DeviceFaults_.emplace_back(&device, faults);
}

const SimFaults& CSimulatedBus::FaultsOf(const CSimulatedDevice* device) const {
    for (const auto& entry : DeviceFaults_) {
        if (entry.first == device) {
            return entry.second;
        }
    }
    return Faults_;
}

void CSimulatedBus::Clear() {
    Out_.clear();
    QueueStarts_.clear();
    Busy_ = false;
}

void CSimulatedBus::Take(const std::vector<uint8_t>& bytes, Time now, int baud, int parity) {
    if (bytes.empty()) {
        return;
    }
    if (Trace_) {
        Trace_(true, bytes);
    }
    // The request is handed over at once; on a real line its last byte arrives one wire time
    // after the first.
    const Time arrival = now + WireTime(bytes.size(), baud, parity);
    // A queuing device with no room left loses what came.
    const bool queuing = Faults_.QueueDelayMs > 0 && !Faults_.Silent;
    while (!QueueStarts_.empty() && QueueStarts_.front() <= arrival) {
        QueueStarts_.pop_front();
    }
    if (queuing && QueueStarts_.size() >= SimFaults::kQueueCapacity) {
        return;
    }
    // At the wrong rate a device hears only garbage.
    std::vector<std::pair<std::vector<uint8_t>, const SimFaults*>> replies;
    for (CSimulatedDevice* device : Devices_) {
        if (baud == device->BaudRate()) {
            const SimFaults& faults = FaultsOf(device);
            for (std::vector<uint8_t>& reply : device->Feed(bytes)) {
                if (!faults.Silent) {
                    replies.emplace_back(std::move(reply), &faults);
                }
            }
        }
    }
    for (auto& [reply, faults] : replies) {
        Time start = arrival + kTurnaround + std::chrono::milliseconds(faults->ReplyDelayMs);
        if (queuing) {
            // Taken up once the reply before it has left, then worked on for the whole delay.
            const Time takenUp = Busy_ ? std::max(arrival, BusyUntil_) : arrival;
            if (takenUp > arrival) {
                QueueStarts_.push_back(takenUp);
            }
            start = takenUp + std::chrono::milliseconds(Faults_.QueueDelayMs);
        }
        if (!Out_.empty()) {
            start = std::max(start, Out_.back().Due);
        }
        Queue(std::move(reply), *faults, start, baud, parity);
        if (queuing && !Out_.empty()) {
            BusyUntil_ = Out_.back().Due;
            Busy_ = true;
        }
    }
}

void CSimulatedBus::Queue(std::vector<uint8_t> reply, const SimFaults& faults, Time start, int baud,
                          int parity) {
    if (faults.CorruptCrc && !reply.empty()) {
        reply.back() ^= 0xFF;
    }
    reply.insert(reply.begin(), faults.StrayBytes.begin(), faults.StrayBytes.end());
    if (reply.empty()) {
        return;
    }
    if (Trace_) {
        Trace_(false, reply);
    }
    // Byte k leaves once it has crossed the line; pieces after the first wait their pauses.
    const size_t pieces =
        static_cast<size_t>(std::clamp(faults.SplitPieces, 1, static_cast<int>(reply.size())));
    size_t piece = 0;
    for (size_t k = 0; k < reply.size(); ++k) {
        while (k >= reply.size() * (piece + 1) / pieces) {
            ++piece;
        }
        const Time due = start + WireTime(k + 1, baud, parity) +
                         std::chrono::milliseconds(faults.PieceGapMs) * static_cast<int>(piece);
        Out_.push_back({due, reply[k]});
    }
}

std::vector<uint8_t> CSimulatedBus::Due(Time now) const {
    std::vector<uint8_t> due;
    for (const OutByte& out : Out_) {
        if (out.Due > now) {
            break;
        }
        due.push_back(out.Byte);
    }
    return due;
}

void CSimulatedBus::Drop(size_t bytes) {
    Out_.erase(Out_.begin(), Out_.begin() + static_cast<long>(std::min(bytes, Out_.size())));
}

}  // namespace mp
