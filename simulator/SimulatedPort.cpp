#include "simulator/SimulatedPort.h"

#include <algorithm>

#include "language/Text.h"

namespace mp {
namespace {

constexpr uint32_t kProcessingMs = 5;  // device's turnaround after a request

bool Due(uint32_t due, uint32_t now) {
    return static_cast<int32_t>(due - now) <= 0;
}

uint32_t Later(uint32_t a, uint32_t b) {
    return Due(a, b) ? b : a;
}

}  // namespace

CSimulatedPort::CSimulatedPort(CSimulatedDevice& device, IClock& clock)
    : Device_(device), Clock_(clock) {
    LastTick_ = Clock_.TickCount();
}

bool CSimulatedPort::OpenPort(const PortSettings& settings) {
    std::lock_guard<std::mutex> guard(Mutex_);
    ++OpenAttempts_;
    if (Unplugged_) {
        // Worded as the real serial port words it.
        LastError_ = FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "串口 %1 打开失败：%2")),
                            {settings.Name, Tr(QT_TRANSLATE_NOOP("MotorProtector", "端口不存在"))});
        return false;
    }
    if (!OpenFailure_.empty()) {
        LastError_ = OpenFailure_;
        return false;
    }
    Settings_ = settings;
    Open_ = true;
    ++OpenCount_;
    Input_.clear();
    InFlight_.clear();
    ForgetQueue();
    LastError_.clear();
    return true;
}

void CSimulatedPort::ClosePort() {
    std::lock_guard<std::mutex> guard(Mutex_);
    if (Open_) {
        ++CloseCount_;
    }
    Open_ = false;
    Input_.clear();
    InFlight_.clear();
    ForgetQueue();
}

bool CSimulatedPort::IsPortOpen() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Open_;
}

bool CSimulatedPort::Reconfigure(const PortSettings& settings) {
    std::lock_guard<std::mutex> guard(Mutex_);
    if (!Open_) {
        LastError_ = "port not open";
        return false;
    }
    Settings_ = settings;
    return true;
}

std::string CSimulatedPort::LastError() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return LastError_;
}

uint32_t CSimulatedPort::WireTimeMs(size_t bytes) const {
    const uint32_t bitsPerChar = Settings_.Parity == kParityNone ? 10 : 11;
    const uint32_t baud = Settings_.BaudRate > 0 ? static_cast<uint32_t>(Settings_.BaudRate) : 9600;
    return static_cast<uint32_t>((bytes * bitsPerChar * 1000 + baud - 1) / baud);
}

void CSimulatedPort::Deliver() {
    const uint32_t now = Clock_.TickCount();
    while (!InFlight_.empty() && Due(InFlight_.front().Due, now)) {
        Input_.insert(Input_.end(), InFlight_.front().Bytes.begin(), InFlight_.front().Bytes.end());
        InFlight_.pop_front();
    }
    KeepInputBounded();
}

bool CSimulatedPort::QueueHasRoom(uint32_t arrival) {
    while (!QueueStarts_.empty() && Due(QueueStarts_.front(), arrival)) {
        QueueStarts_.pop_front();
    }
    return QueueStarts_.size() < SimFaults::kQueueCapacity;
}

uint32_t CSimulatedPort::QueuedReplyStart(uint32_t arrival) {
    // The device takes the request up once it has finished the one before (its reply has
    // left), and works on it for the whole delay.
    const uint32_t takenUp = Busy_ ? Later(arrival, BusyUntil_) : arrival;
    if (!Due(takenUp, arrival)) {
        QueueStarts_.push_back(takenUp);
    }
    return takenUp + Faults_.QueueDelayMs;
}

void CSimulatedPort::ForgetQueue() {
    QueueStarts_.clear();
    Busy_ = false;
}

void CSimulatedPort::KeepInputBounded() {
    if (Input_.size() > kInputCapacity) {
        Input_.erase(Input_.begin(), Input_.end() - static_cast<std::ptrdiff_t>(kInputCapacity));
    }
}

bool CSimulatedPort::NoticeLoss() {
    std::string message;
    LostFn lost;
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        if (!Unplugged_ || !Open_) {
            return false;
        }
        Open_ = false;
        Input_.clear();
        InFlight_.clear();
        ForgetQueue();
        LastError_ =
            FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "串口 %1 出错：%2")),
                   {Settings_.Name, Tr(QT_TRANSLATE_NOOP("MotorProtector", "连接已断开"))});
        message = LastError_;
        lost = Lost_;
    }
    if (lost) {
        lost(message);
    }
    return true;
}

void CSimulatedPort::SetLostHandler(LostFn lost) {
    std::lock_guard<std::mutex> guard(Mutex_);
    Lost_ = std::move(lost);
}

void CSimulatedPort::SetUnplugged(bool unplugged) {
    std::lock_guard<std::mutex> guard(Mutex_);
    Unplugged_ = unplugged;
}

void CSimulatedPort::DiscardInput() {
    NoticeLoss();
    std::lock_guard<std::mutex> guard(Mutex_);
    Deliver();
    Input_.clear();
}

bool CSimulatedPort::Hears(const CSimulatedDevice& device) const {
    return device.BaudRate() == Settings_.BaudRate &&
           (device.Parity() == CSimulatedDevice::kAnyParity || device.Parity() == Settings_.Parity);
}

std::vector<CSimulatedDevice*> CSimulatedPort::Devices() const {
    std::vector<CSimulatedDevice*> all{&Device_};
    all.insert(all.end(), Others_.begin(), Others_.end());
    return all;
}

void CSimulatedPort::AddDevice(CSimulatedDevice& device) {
    std::lock_guard<std::mutex> guard(Mutex_);
    Others_.push_back(&device);
}

void CSimulatedPort::WriteBytes(const std::vector<uint8_t>& bytes) {
    NoticeLoss();
    std::lock_guard<std::mutex> guard(Mutex_);
    if (!Open_) {
        return;
    }
    const uint32_t now = Clock_.TickCount();
    TimeBase_ += static_cast<uint32_t>(now - LastTick_);
    LastTick_ = now;
    Sent_.push_back({TimeBase_, bytes});
    if (AnswersLeft_ == 0) {
        Faults_.Silent = true;
        AnswersLeft_ = -1;
    } else if (AnswersLeft_ > 0) {
        --AnswersLeft_;
    }
    while (Sent_.size() > SentCapacity_) {
        Sent_.pop_front();
    }

    // A queuing device that has no room left loses the request.
    const bool queuing = Faults_.QueueDelayMs > 0 && !Faults_.Silent;
    const uint32_t arrival = now + WireTimeMs(bytes.size());
    const bool lost = queuing && !QueueHasRoom(arrival);
    // A device at another baud rate or parity sees only garbage and keeps quiet.
    std::vector<std::vector<uint8_t>> replies;
    for (CSimulatedDevice* device : Devices()) {
        if (!Hears(*device) || lost) {
            device->Feed({});
            continue;
        }
        for (std::vector<uint8_t>& reply : device->Feed(bytes)) {
            replies.push_back(std::move(reply));
        }
    }
    if (replies.empty()) {
        return;
    }
    if (Faults_.Silent) {
        return;
    }
    // A reply starts after the request has crossed the line and the device has turned
    // round, and never before what is already on its way has arrived.
    uint32_t start =
        queuing ? QueuedReplyStart(arrival) : arrival + kProcessingMs + Faults_.ReplyDelayMs;
    if (!InFlight_.empty() && Due(start, InFlight_.back().Due)) {
        start = InFlight_.back().Due;
    }
    for (std::vector<uint8_t> reply : replies) {
        if (Faults_.CorruptCrc && !reply.empty()) {
            reply.back() ^= 0xFF;
        }
        reply.insert(reply.begin(), Faults_.StrayBytes.begin(), Faults_.StrayBytes.end());
        // Piece k arrives once its last byte has crossed the line, plus the pauses between
        // the pieces before it.
        const int pieces = std::clamp(Faults_.SplitPieces, 1, static_cast<int>(reply.size()));
        const uint32_t wire = WireTimeMs(reply.size());
        size_t from = 0;
        for (int k = 1; k <= pieces; ++k) {
            const size_t to = reply.size() * static_cast<size_t>(k) / static_cast<size_t>(pieces);
            const uint32_t offset =
                wire * static_cast<uint32_t>(k) / static_cast<uint32_t>(pieces) +
                Faults_.PieceGapMs * static_cast<uint32_t>(k - 1);
            InFlight_.push_back(
                {start + offset,
                 std::vector<uint8_t>(reply.begin() + static_cast<std::ptrdiff_t>(from),
                                      reply.begin() + static_cast<std::ptrdiff_t>(to))});
            from = to;
        }
        start = InFlight_.back().Due;
    }
    if (queuing) {
        BusyUntil_ = start;
        Busy_ = true;
    }
}

bool CSimulatedPort::WaitForInput(IClock& clock, uint32_t ms) {
    uint32_t sleep = ms;
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        if (!Open_) {
            return false;
        }
        Deliver();
        if (!Input_.empty()) {
            return true;
        }
        if (!InFlight_.empty()) {
            const uint32_t now = Clock_.TickCount();
            const uint32_t due = InFlight_.front().Due;
            sleep = Due(due, now) ? 0 : std::min(ms, due - now);
        }
    }
    if (sleep > 0) {
        clock.Sleep(sleep);
    }
    return true;
}

int16_t CSimulatedPort::WaitingCount() {
    NoticeLoss();
    std::lock_guard<std::mutex> guard(Mutex_);
    if (!Open_) {
        return 0;
    }
    Deliver();
    return static_cast<int16_t>(std::min<size_t>(Input_.size(), 32767));
}

std::vector<uint8_t> CSimulatedPort::ReadAllWaiting() {
    NoticeLoss();
    std::lock_guard<std::mutex> guard(Mutex_);
    if (!Open_) {
        return {};
    }
    Deliver();
    std::vector<uint8_t> bytes;
    bytes.swap(Input_);
    return bytes;
}

void CSimulatedPort::SetFaults(const SimFaults& faults) {
    std::lock_guard<std::mutex> guard(Mutex_);
    Faults_ = faults;
}

SimFaults CSimulatedPort::Faults() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Faults_;
}

void CSimulatedPort::SetOpenFailure(const std::string& reason) {
    std::lock_guard<std::mutex> guard(Mutex_);
    OpenFailure_ = reason;
}

void CSimulatedPort::SilenceAfter(int requests) {
    std::lock_guard<std::mutex> guard(Mutex_);
    AnswersLeft_ = requests;
}

void CSimulatedPort::InjectInput(const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::mutex> guard(Mutex_);
    Input_.insert(Input_.end(), bytes.begin(), bytes.end());
    KeepInputBounded();
}

PortSettings CSimulatedPort::Settings() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Settings_;
}

std::vector<CSimulatedPort::SentFrame> CSimulatedPort::Sent() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return std::vector<SentFrame>(Sent_.begin(), Sent_.end());
}

size_t CSimulatedPort::SentCapacity() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return SentCapacity_;
}

void CSimulatedPort::SetSentCapacity(size_t frames) {
    std::lock_guard<std::mutex> guard(Mutex_);
    SentCapacity_ = std::max<size_t>(frames, 1);
    while (Sent_.size() > SentCapacity_) {
        Sent_.pop_front();
    }
}

int CSimulatedPort::OpenAttempts() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return OpenAttempts_;
}

void CSimulatedPort::ClearSent() {
    std::lock_guard<std::mutex> guard(Mutex_);
    Sent_.clear();
}

int CSimulatedPort::OpenCount() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return OpenCount_;
}

int CSimulatedPort::CloseCount() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return CloseCount_;
}

}  // namespace mp
