#pragma once
// A motor protection controller in software: the register map, coils and inputs the tool
// reads and writes, answering Modbus RTU requests as the real device does. Used by the tests,
// by the tool's built-in simulated device and by the pseudo-terminal simulator.

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "modbus/Clock.h"
#include "simulator/MotorStart.h"

namespace mp {

// Faults the transport applies to the device's replies.
struct SimFaults {
    bool Silent = false;              // answer nothing
    uint32_t ReplyDelayMs = 0;        // extra time before the reply starts
    std::vector<uint8_t> StrayBytes;  // bytes put on the line ahead of every reply
    bool CorruptCrc = false;          // flip the last CRC byte of every reply
    int SplitPieces = 1;              // deliver each reply in this many pieces
    uint32_t PieceGapMs = 0;          // pause between pieces, on top of their wire time
    // A busy device that queues its requests (0: off). It takes one request at a time, in the
    // order they came, and works QueueDelayMs on each before its reply starts: a request that
    // arrives while the device is still busy waits until the reply before it has left. At
    // most kQueueCapacity requests wait; one that arrives when the queue is full is lost.
    uint32_t QueueDelayMs = 0;
    static constexpr size_t kQueueCapacity = 16;
};

class CSimulatedDevice {
public:
    static constexpr uint16_t kRegisterCount = 0x0200;
    // The parity of a device that answers whatever parity the line uses.
    static constexpr int kAnyParity = -1;

    explicit CSimulatedDevice(uint32_t seed = 1);

    // Handles one complete request frame; returns the reply (empty: no reply). A change of
    // address or baud rate takes effect after the reply has been built.
    std::vector<uint8_t> Handle(const std::vector<uint8_t>& frame);

    // Takes bytes as they come off a line, finds complete request frames by their expected
    // length and CRC, and returns the replies of those it handled.
    std::vector<std::vector<uint8_t>> Feed(const std::vector<uint8_t>& bytes);

    uint16_t Register(uint16_t address) const;
    void SetRegister(uint16_t address, uint16_t value);
    uint8_t Address() const;
    void SetAddress(uint8_t address);
    int BaudCode() const;
    int BaudRate() const;  // 0 for a code outside 0 to 4
    void SetBaudCode(int code);
    // The line parity the device listens with (kAnyParity unless set).
    int Parity() const;
    void SetParity(int parity);
    uint8_t Coils() const;
    void SetCoils(uint8_t coils);
    uint8_t Inputs() const;
    void SetInputs(uint8_t inputs);
    // Voltage calibration: a × 10000 and b per phase, as the last voltage frame gave them.
    std::array<uint16_t, 3> VoltageA() const;
    std::array<uint8_t, 3> VoltageB() const;
    // Live currents and voltages move a little at every read unless frozen.
    void SetLiveMotion(bool moving);
    // A write of registers that covers `writeRegister` (as the request addresses it, e.g.
    // 0x5460) is answered as if it had been taken, but the device keeps its values: a device
    // that silently drops one group of a settings write. Nothing: every write is taken.
    void IgnoreWritesAt(std::optional<uint16_t> writeRegister);
    // Calibration and PWM frames (0x12) answered as if taken, but nothing kept.
    void IgnorePrivateCommands(bool ignore);
    // The newest request frames handled (also those for other addresses), at most
    // RequestLogCapacity() of them.
    // Plays a motor start `delayMs` after now on `clock`: until then the phase currents read 0,
    // then they follow `profile` around the running current the registers held at this call,
    // and the voltages sag with them.
    void PlayMotorStart(IClock& clock, uint32_t delayMs, const MotorStartProfile& profile = {});
    std::vector<std::vector<uint8_t>> Requests() const;
    size_t RequestLogCapacity() const;
    void SetRequestLogCapacity(size_t frames);

private:
    std::vector<uint8_t> Exception(uint8_t function, uint8_t code) const;
    std::vector<uint8_t> ReadRegisters(uint16_t start, uint16_t count);
    std::vector<uint8_t> WriteRegisters(const std::vector<uint8_t>& frame);
    std::vector<uint8_t> PrivateCommand(const std::vector<uint8_t>& frame);
    void MoveLiveValues();
    void PlayStartValues();

    mutable std::recursive_mutex Mutex_;
    std::array<uint16_t, kRegisterCount> Registers_{};
    std::array<uint16_t, 6> LiveBase_{};
    uint8_t Coils_ = 0;
    int Parity_ = kAnyParity;
    uint8_t Inputs_ = 0;
    std::array<uint16_t, 3> VoltageA_{10000, 10000, 10000};
    std::array<uint8_t, 3> VoltageB_{};
    bool LiveMotion_ = true;
    std::optional<uint16_t> IgnoredWrite_;
    bool IgnorePrivate_ = false;
    IClock* StartClock_ = nullptr;
    uint32_t StartAt_ = 0;
    MotorStartProfile StartProfile_;
    std::array<uint16_t, 6> RunningValues_{};  // currents, then voltages, before the start
    uint32_t Random_;
    std::vector<uint8_t> Pending_;  // bytes fed that hold no complete frame yet
    std::deque<std::vector<uint8_t>> Requests_;
    size_t RequestLogCapacity_ = 4096;
};

}  // namespace mp
