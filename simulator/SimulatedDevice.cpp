#include "simulator/SimulatedDevice.h"

#include <algorithm>
#include <cmath>

#include "device/LineCodes.h"
#include "device/RegisterMap.h"
#include "modbus/ModbusCrc16.h"

namespace mp {
namespace {

void AppendCrc(std::vector<uint8_t>& frame) {
    const uint16_t crc = ModbusCrc16(frame.data(), static_cast<int16_t>(frame.size()));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
}

bool CrcValid(const uint8_t* frame, size_t length) {
    if (length < 4) {
        return false;
    }
    const uint16_t crc = ModbusCrc16(frame, static_cast<int16_t>(length - 2));
    return frame[length - 2] == (crc >> 8) && frame[length - 1] == (crc & 0xFF);
}

// Length of the request that starts at `frame`, 0 when it cannot be told yet.
size_t RequestLength(const uint8_t* frame, size_t available) {
    if (available < 2) {
        return 0;
    }
    switch (frame[1]) {
        case kWriteMultipleRegisters:
            return available < 7 ? 0 : 9u + frame[6];
        case kPrivateCommand:
            if (available < 3) {
                return 0;
            }
            return frame[2] == 0x5A ? 13 : 18;
        default:
            return 8;
    }
}

uint16_t Word(const std::vector<uint8_t>& frame, size_t at) {
    return static_cast<uint16_t>(frame[at] << 8 | frame[at + 1]);
}

}  // namespace

CSimulatedDevice::CSimulatedDevice(uint32_t seed) : Random_(seed ? seed : 1) {
    auto& r = Registers_;
    r[kPhaseVoltageRegister] = 3800;
    r[0x0104] = 3805;
    r[0x0105] = 3798;
    r[kPhaseCurrentRegister] = 302;
    r[0x0107] = 298;
    r[0x0108] = 300;
    r[kStatusRegister] = 0x0001;
    r[kEventCodeRegister] = 5 << 8 | 6;  // short circuit, locked rotor
    r[0x0121] = 16 << 8;                 // over-voltage
    r[kEventCountRegister] = 3 << 8;     // three stored events
    r[kCoefficientRegister] = 1000;      // PWM a
    r[0x0149] = 100;                     // PWM b
    r[0x014A] = r[0x014B] = r[0x014C] = 10000;
    r[kDeviceAddressRegister] = 1;
    r[kDeviceBaudRegister] = 3;              // 9600
    r[0x0153] = 50;                          // CT ratio
    r[0x0154] = 1;                           // PWM on phase B
    r[kStartModeReadRegister] = 5 << 8 | 0;  // phase-loss 0.5 s, direct start
    r[0x0157] = 380;                         // rated voltage
    r[0x0158] = 150;                         // rated current 15.0 A
    r[0x0159] = 20;                          // start time
    r[0x015A] = 0xF7 << 8 | 1;
    r[0x015B] = 6;             // curve "125"
    r[0x015C] = 40 << 8 | 5;   // locked rotor 4.0 x, 0.5 s
    r[0x015D] = 20 << 8 | 0;   // definite time 2.0 x, 0 s
    r[0x015E] = 30 << 8 | 50;  // unbalance 30 %, 5.0 s
    r[0x0160] = 120 << 8 | 5;  // over-voltage 120 %, 5 s
    r[0x0161] = 80 << 8 | 5;   // under-voltage 80 %, 5 s
    r[0x0162] = 9999;          // breaking current
    Inputs_ = 0x05;
    for (int k = 0; k < 6; ++k) {
        LiveBase_[k] = r[kPhaseVoltageRegister + k];
    }
}

std::vector<uint8_t> CSimulatedDevice::Exception(uint8_t function, uint8_t code) const {
    std::vector<uint8_t> reply{Address(), static_cast<uint8_t>(function | 0x80), code};
    AppendCrc(reply);
    return reply;
}

void CSimulatedDevice::MoveLiveValues() {
    if (!LiveMotion_) {
        return;
    }
    for (int k = 0; k < 6; ++k) {
        Random_ = Random_ * 1103515245u + 12345u;
        const int jitter = static_cast<int>((Random_ >> 16) % 7) - 3;  // -3 .. +3
        Registers_[kPhaseVoltageRegister + k] = static_cast<uint16_t>(LiveBase_[k] + jitter);
    }
}

void CSimulatedDevice::PlayMotorStart(IClock& clock, uint32_t delayMs,
                                      const MotorStartProfile& profile) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    StartClock_ = &clock;
    StartAt_ = clock.TickCount() + delayMs;
    StartProfile_ = profile;
    for (int k = 0; k < 3; ++k) {
        RunningValues_[k] = Registers_[kPhaseCurrentRegister + k];
        RunningValues_[3 + k] = Registers_[kPhaseVoltageRegister + k];
    }
}

void CSimulatedDevice::PlayStartValues() {
    if (StartClock_ == nullptr) {
        return;
    }
    // Signed difference of the wrapping tick count: negative before the start.
    const auto since = static_cast<int32_t>(StartClock_->TickCount() - StartAt_);
    const double current = MotorStartCurrent(StartProfile_, since);
    const double voltage = MotorStartVoltage(StartProfile_, since);
    for (int k = 0; k < 3; ++k) {
        Registers_[kPhaseCurrentRegister + k] =
            static_cast<uint16_t>(std::min(65535.0, std::round(RunningValues_[k] * current)));
        const uint16_t base =
            LiveMotion_ ? Registers_[kPhaseVoltageRegister + k] : RunningValues_[3 + k];
        Registers_[kPhaseVoltageRegister + k] = static_cast<uint16_t>(std::round(base * voltage));
    }
}

std::vector<uint8_t> CSimulatedDevice::ReadRegisters(uint16_t start, uint16_t count) {
    if (count < 1 || count > 125 || start + count > kRegisterCount) {
        return Exception(0x03, 0x02);
    }
    if (start <= kPhaseCurrentRegister + 2 && start + count > kPhaseVoltageRegister) {
        MoveLiveValues();
        PlayStartValues();
    }
    std::vector<uint8_t> reply{Address(), 0x03, static_cast<uint8_t>(2 * count)};
    for (uint16_t k = 0; k < count; ++k) {
        reply.push_back(static_cast<uint8_t>(Registers_[start + k] >> 8));
        reply.push_back(static_cast<uint8_t>(Registers_[start + k] & 0xFF));
    }
    AppendCrc(reply);
    return reply;
}

std::vector<uint8_t> CSimulatedDevice::WriteRegisters(const std::vector<uint8_t>& frame) {
    if (frame.size() < 11) {
        return Exception(kWriteMultipleRegisters, 0x03);
    }
    const uint16_t start = Word(frame, 2);
    const uint16_t count = Word(frame, 4);
    if (count < 1 || frame[6] != 2 * count || frame.size() != 9u + 2 * count ||
        start < kWriteOffset + 0x0100 || start + count > kWriteOffset + kRegisterCount) {
        return Exception(kWriteMultipleRegisters, 0x02);
    }
    // The device refuses an address outside 1 to 247 and a baud code it does not know,
    // rather than going deaf.
    for (uint16_t k = 0; k < count; ++k) {
        const uint16_t target = static_cast<uint16_t>(start - kWriteOffset + k);
        const uint16_t value = Word(frame, 7 + 2 * k);
        if ((target == kDeviceAddressRegister && (value < 1 || value > 247)) ||
            (target == kDeviceBaudRegister && BaudRateOfCode(value) == 0)) {
            return Exception(kWriteMultipleRegisters, 0x03);
        }
    }
    std::vector<uint8_t> reply(frame.begin(), frame.begin() + 6);
    AppendCrc(reply);
    if (IgnoredWrite_ && *IgnoredWrite_ >= start && *IgnoredWrite_ < start + count) {
        return reply;
    }
    for (uint16_t k = 0; k < count; ++k) {
        const uint16_t target = static_cast<uint16_t>(start - kWriteOffset + k);
        Registers_[target] = Word(frame, 7 + 2 * k);
        if (target >= kPhaseVoltageRegister && target <= kPhaseCurrentRegister + 2) {
            LiveBase_[target - kPhaseVoltageRegister] = Registers_[target];
        }
    }
    return reply;
}

std::vector<uint8_t> CSimulatedDevice::PrivateCommand(const std::vector<uint8_t>& frame) {
    if (frame.size() < 13) {
        return Exception(kPrivateCommand, 0x03);
    }
    const uint16_t word = Word(frame, 4);
    if (IgnorePrivate_) {
        std::vector<uint8_t> reply(frame.begin(), frame.begin() + 6);
        AppendCrc(reply);
        return reply;
    }
    if (frame.size() == 13 && frame[2] == 0x5A && frame[3] == 0xA5 && frame[6] == 0x0C) {
        Registers_[kCoefficientRegister] = Word(frame, 7);
        Registers_[kCoefficientRegister + 1] = Word(frame, 9);
    } else if (frame.size() == 18 && frame[2] == 0xA5 && frame[3] == 0x5A && frame[6] == 0x11 &&
               (word == kCurrentCalibrationWord || word == kVoltageCalibrationWord)) {
        std::array<uint16_t, 3> a{};
        std::array<uint8_t, 3> b{};
        for (int k = 0; k < 3; ++k) {
            a[k] = Word(frame, 7 + 3 * k);
            b[k] = frame[9 + 3 * k];
        }
        if (word == kCurrentCalibrationWord) {
            Registers_[0x014A] = a[0];
            Registers_[0x014B] = a[1];
            Registers_[0x014C] = a[2];
            Registers_[0x014D] = static_cast<uint16_t>(b[0] << 8 | b[1]);
            Registers_[0x014E] = static_cast<uint16_t>(b[2] << 8 | (Registers_[0x014E] & 0xFF));
        } else {
            VoltageA_ = a;
            VoltageB_ = b;
        }
    } else {
        return Exception(kPrivateCommand, 0x03);
    }
    std::vector<uint8_t> reply(frame.begin(), frame.begin() + 6);
    AppendCrc(reply);
    return reply;
}

std::vector<uint8_t> CSimulatedDevice::Handle(const std::vector<uint8_t>& frame) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    Requests_.push_back(frame);
    while (Requests_.size() > RequestLogCapacity_) {
        Requests_.pop_front();
    }
    if (!CrcValid(frame.data(), frame.size()) || frame[0] != Address()) {
        return {};
    }
    const uint8_t function = frame[1];
    switch (function) {
        case kReadCoils:
        case kReadDiscreteInputs: {
            if (frame.size() != 8) {
                return Exception(function, 0x03);
            }
            const uint16_t start = Word(frame, 2);
            const uint16_t count = Word(frame, 4);
            if (count < 1 || start + count > 8) {
                return Exception(function, 0x02);
            }
            // The device answers all its bits from the start address, whatever the quantity.
            const uint8_t bits = function == kReadCoils ? Coils_ : Inputs_;
            std::vector<uint8_t> reply{Address(), function, 1, static_cast<uint8_t>(bits >> start)};
            AppendCrc(reply);
            return reply;
        }
        case kReadHoldingRegisters:
            if (frame.size() != 8) {
                return Exception(function, 0x03);
            }
            return ReadRegisters(Word(frame, 2), Word(frame, 4));
        case kWriteSingleCoil: {
            if (frame.size() != 8) {
                return Exception(function, 0x03);
            }
            const uint16_t coil = Word(frame, 2);
            const uint16_t value = Word(frame, 4);
            if (value != 0xFF00 && value != 0x0000) {
                return Exception(function, 0x03);
            }
            if (coil > 2) {
                return Exception(function, 0x02);
            }
            if (coil == 2 && value == 0) {
                Coils_ = 0;  // the reset returns every output to rest
            } else if (value == 0xFF00) {
                Coils_ = static_cast<uint8_t>(Coils_ | 1u << coil);
            } else {
                Coils_ = static_cast<uint8_t>(Coils_ & ~(1u << coil));
            }
            std::vector<uint8_t> reply(frame.begin(), frame.begin() + 6);
            AppendCrc(reply);
            return reply;
        }
        case kWriteMultipleRegisters:
            return WriteRegisters(frame);
        case kPrivateCommand:
            return PrivateCommand(frame);
        default:
            return Exception(function, 0x01);
    }
}

std::vector<std::vector<uint8_t>> CSimulatedDevice::Feed(const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    Pending_.insert(Pending_.end(), bytes.begin(), bytes.end());
    std::vector<std::vector<uint8_t>> replies;
    size_t p = 0;
    while (p < Pending_.size()) {
        const size_t length = RequestLength(Pending_.data() + p, Pending_.size() - p);
        if (length != 0 && p + length <= Pending_.size() && CrcValid(Pending_.data() + p, length)) {
            std::vector<uint8_t> frame(Pending_.begin() + static_cast<std::ptrdiff_t>(p),
                                       Pending_.begin() + static_cast<std::ptrdiff_t>(p + length));
            Pending_.erase(Pending_.begin(),
                           Pending_.begin() + static_cast<std::ptrdiff_t>(p + length));
            p = 0;
            std::vector<uint8_t> reply = Handle(frame);
            if (!reply.empty()) {
                replies.push_back(std::move(reply));
            }
            continue;
        }
        ++p;
    }
    // Keep a bounded tail in which a frame may still be completing.
    constexpr size_t kKeep = 64;
    if (Pending_.size() > kKeep) {
        Pending_.erase(Pending_.begin(), Pending_.end() - static_cast<std::ptrdiff_t>(kKeep));
    }
    return replies;
}

int CSimulatedDevice::Parity() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return Parity_;
}

void CSimulatedDevice::SetParity(int parity) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    Parity_ = parity;
}

uint16_t CSimulatedDevice::Register(uint16_t address) const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return address < kRegisterCount ? Registers_[address] : 0;
}

void CSimulatedDevice::SetRegister(uint16_t address, uint16_t value) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    if (address < kRegisterCount) {
        Registers_[address] = value;
        if (address >= kPhaseVoltageRegister && address <= kPhaseCurrentRegister + 2) {
            LiveBase_[address - kPhaseVoltageRegister] = value;
        }
    }
}

uint8_t CSimulatedDevice::Address() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return static_cast<uint8_t>(Registers_[kDeviceAddressRegister] & 0xFF);
}

void CSimulatedDevice::SetAddress(uint8_t address) {
    SetRegister(kDeviceAddressRegister, address);
}

int CSimulatedDevice::BaudCode() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return Registers_[kDeviceBaudRegister] & 0xFF;
}

int CSimulatedDevice::BaudRate() const {
    return BaudRateOfCode(BaudCode());
}

void CSimulatedDevice::SetBaudCode(int code) {
    SetRegister(kDeviceBaudRegister, static_cast<uint16_t>(code));
}

uint8_t CSimulatedDevice::Coils() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return Coils_;
}

void CSimulatedDevice::SetCoils(uint8_t coils) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    Coils_ = coils;
}

uint8_t CSimulatedDevice::Inputs() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return Inputs_;
}

void CSimulatedDevice::SetInputs(uint8_t inputs) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    Inputs_ = inputs;
}

std::array<uint16_t, 3> CSimulatedDevice::VoltageA() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return VoltageA_;
}

std::array<uint8_t, 3> CSimulatedDevice::VoltageB() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return VoltageB_;
}

void CSimulatedDevice::SetLiveMotion(bool moving) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    LiveMotion_ = moving;
}

void CSimulatedDevice::IgnorePrivateCommands(bool ignore) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    IgnorePrivate_ = ignore;
}

void CSimulatedDevice::IgnoreWritesAt(std::optional<uint16_t> writeRegister) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    IgnoredWrite_ = writeRegister;
}

std::vector<std::vector<uint8_t>> CSimulatedDevice::Requests() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return std::vector<std::vector<uint8_t>>(Requests_.begin(), Requests_.end());
}

size_t CSimulatedDevice::RequestLogCapacity() const {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    return RequestLogCapacity_;
}

void CSimulatedDevice::SetRequestLogCapacity(size_t frames) {
    std::lock_guard<std::recursive_mutex> guard(Mutex_);
    RequestLogCapacity_ = std::max<size_t>(frames, 1);
    while (Requests_.size() > RequestLogCapacity_) {
        Requests_.pop_front();
    }
}

}  // namespace mp
