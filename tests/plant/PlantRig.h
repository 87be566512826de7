#pragma once
// Test rig of a plant line: simulated relays at addresses 1..N on one simulated line (each
// holding values no other relay and no other read has), faults per relay, the line's I/O
// worker driven step by step on a virtual clock, and its scheduler.

#include <map>
#include <memory>
#include <vector>

#include "line/IoWorker.h"
#include "plant/LineScheduler.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"

namespace mp::test {

// Registers of relay `a`: the currents a*100+1..3, the voltages a*100+4..6, the status
// register's low byte a+100, inputs a, outputs a^0xA5; CT ratio 10+a, rated current a A.
inline uint16_t CurrentOf(uint8_t a, int phase) {
    return static_cast<uint16_t>(a * 100 + 1 + phase);
}
inline uint16_t VoltageOf(uint8_t a, int phase) {
    return static_cast<uint16_t>(a * 100 + 4 + phase);
}
inline uint8_t StatusOf(uint8_t a) {
    return static_cast<uint8_t>(a + 100);
}
inline uint8_t InputsOf(uint8_t a) {
    return a;
}
inline uint8_t OutputsOf(uint8_t a) {
    return static_cast<uint8_t>(a ^ 0xA5);
}

// The window thread as the worker reaches it: runs each closure at once, or keeps them while
// Hold is set until RunHeld.
class CHeldWindow : public IWindowQueue {
public:
    void Show(std::function<void()> change) override { Post(std::move(change)); }
    void Post(std::function<void()> fn) override {
        if (Hold) {
            Held.push_back(std::move(fn));
        } else if (fn) {
            fn();
        }
    }
    void RunHeld() {
        std::vector<std::function<void()>> run;
        run.swap(Held);
        for (auto& fn : run) {
            if (fn) {
                fn();
            }
        }
    }
    bool Hold = false;
    std::vector<std::function<void()>> Held;
};

// The simulated line with faults per relay: the fault plan of the addressed relay is in
// force for each request as it is written.
class CPerRelayPort : public IPort {
public:
    explicit CPerRelayPort(CSimulatedPort& line) : Line_(line) {}
    std::map<uint8_t, SimFaults> Plan;

    bool OpenPort(const PortSettings& settings) override { return Line_.OpenPort(settings); }
    void ClosePort() override { Line_.ClosePort(); }
    bool IsPortOpen() const override { return Line_.IsPortOpen(); }
    bool Reconfigure(const PortSettings& settings) override { return Line_.Reconfigure(settings); }
    std::string LastError() const override { return Line_.LastError(); }
    void DiscardInput() override { Line_.DiscardInput(); }
    void WriteBytes(const std::vector<uint8_t>& bytes) override {
        const auto planned = bytes.empty() ? Plan.end() : Plan.find(bytes[0]);
        Line_.SetFaults(planned == Plan.end() ? SimFaults{} : planned->second);
        Line_.WriteBytes(bytes);
    }
    int16_t WaitingCount() override { return Line_.WaitingCount(); }
    std::vector<uint8_t> ReadAllWaiting() override { return Line_.ReadAllWaiting(); }
    void SetLostHandler(LostFn lost) override { Line_.SetLostHandler(std::move(lost)); }

private:
    CSimulatedPort& Line_;
};

struct CPlantLineRig {
    CPlantLineRig(int relays, int baud) : Port(First(relays, baud), Clock), Faulty(Port) {
        for (size_t i = 1; i < Devices.size(); ++i) {
            Port.AddDevice(*Devices[i]);
        }
        Port.OpenPort({"sim", baud, kParityNone});
        Link = std::make_unique<CModbusTransaction>(Faulty, Clock);
        Worker = std::make_unique<CIoWorker>(*Link, Window);
        std::vector<CLineScheduler::Relay> list;
        for (int a = 1; a <= relays; ++a) {
            list.push_back({static_cast<uint8_t>(a), {}, {}});
        }
        Scheduler = std::make_unique<CLineScheduler>(*Worker, 0, baud, list);
        Scheduler->SetWallClock([this] { return static_cast<int64_t>(Clock.Elapsed()); });
        Scheduler->SetSampleHandler([this](const FeederSample& s) { Samples.push_back(s); });
        Scheduler->SetRoundHandler([this](uint64_t, uint32_t ms) { RoundMs.push_back(ms); });
    }

    CSimulatedDevice& First(int relays, int baud) {
        for (int a = 1; a <= relays; ++a) {
            auto device = std::make_unique<CSimulatedDevice>();
            const auto address = static_cast<uint8_t>(a);
            device->SetAddress(address);
            device->SetLiveMotion(false);
            device->SetBaudCode(baud == 9600 ? 3 : 4);
            for (int k = 0; k < 3; ++k) {
                device->SetRegister(static_cast<uint16_t>(0x0106 + k), CurrentOf(address, k));
                device->SetRegister(static_cast<uint16_t>(0x0103 + k), VoltageOf(address, k));
            }
            device->SetRegister(0x011B, StatusOf(address));
            device->SetInputs(InputsOf(address));
            device->SetCoils(OutputsOf(address));
            device->SetRegister(0x0153, static_cast<uint16_t>(10 + a));
            device->SetRegister(0x0158, static_cast<uint16_t>(10 * a));
            Devices.push_back(std::move(device));
        }
        return *Devices.front();
    }

    // Runs the worker until `rounds` rounds are complete in all (or nothing runs any more).
    void RunRounds(uint64_t rounds) {
        Scheduler->Start();
        while (Scheduler->Rounds() < rounds && Worker->RunOnce()) {
        }
    }

    std::map<uint8_t, int> VisitsPerRelay() const {
        std::map<uint8_t, int> visits;
        for (const FeederSample& s : Samples) {
            ++visits[s.Address];
        }
        return visits;
    }

    // Requests of block A (the CT ratio and rated current) sent to `address`.
    int RatedReads(uint8_t address) const {
        int reads = 0;
        for (const auto& sent : Port.Sent()) {
            const auto& f = sent.Bytes;
            reads +=
                f.size() == 8 && f[0] == address && f[1] == 0x03 && f[2] == 0x01 && f[3] == 0x50;
        }
        return reads;
    }

    CVirtualClock Clock{1000};
    std::vector<std::unique_ptr<CSimulatedDevice>> Devices;
    CSimulatedPort Port;
    CPerRelayPort Faulty;
    std::unique_ptr<CModbusTransaction> Link;
    CHeldWindow Window;
    std::unique_ptr<CIoWorker> Worker;
    std::unique_ptr<CLineScheduler> Scheduler;
    std::vector<FeederSample> Samples;
    std::vector<uint32_t> RoundMs;
};

}  // namespace mp::test
