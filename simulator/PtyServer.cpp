#include "simulator/PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace mp {
namespace {

// The device's turnaround between the end of a request and the start of its reply.
constexpr auto kTurnaround = std::chrono::milliseconds(5);

struct SpeedEntry {
    speed_t Code;
    int Rate;
};

constexpr SpeedEntry kSpeeds[] = {
    {B300, 300},     {B600, 600},     {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},   {B9600, 9600},     {B19200, 19200},
    {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
};

speed_t SpeedCode(int rate) {
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.Rate == rate) {
            return entry.Code;
        }
    }
    return B9600;
}

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

CPtyServer::CPtyServer(CSimulatedDevice& device) : Device_(device) {}

CPtyServer::~CPtyServer() {
    Close();
}

bool CPtyServer::Open() {
    Close();
    Master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (Master_ < 0) {
        LastError_ = SystemError("posix_openpt");
        return false;
    }
    if (grantpt(Master_) != 0 || unlockpt(Master_) != 0) {
        LastError_ = SystemError("grantpt/unlockpt");
        Close();
        return false;
    }
    const char* name = ptsname(Master_);
    if (name == nullptr) {
        LastError_ = SystemError("ptsname");
        Close();
        return false;
    }
    DevicePath_ = name;
    Slave_ = ::open(DevicePath_.c_str(), O_RDWR | O_NOCTTY);
    if (Slave_ < 0) {
        LastError_ = SystemError(DevicePath_.c_str());
        Close();
        return false;
    }
    // Until the tool configures the line: raw bytes at the device's own rate, no echo.
    termios line{};
    if (tcgetattr(Slave_, &line) == 0) {
        cfmakeraw(&line);
        line.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&line, SpeedCode(Device_.BaudRate()));
        cfsetospeed(&line, SpeedCode(Device_.BaudRate()));
        tcsetattr(Slave_, TCSANOW, &line);
    }
    const int flags = fcntl(Master_, F_GETFL);
    fcntl(Master_, F_SETFL, flags | O_NONBLOCK);
    LastError_.clear();
    return true;
}

void CPtyServer::Close() {
    if (Slave_ >= 0) {
        ::close(Slave_);
        Slave_ = -1;
    }
    if (Master_ >= 0) {
        ::close(Master_);
        Master_ = -1;
    }
    Out_.clear();
    QueueStarts_.clear();
    Busy_ = false;
}

int CPtyServer::LineBaudRate() const {
    termios line{};
    if (Slave_ < 0 || tcgetattr(Slave_, &line) != 0) {
        return 0;
    }
    const speed_t code = cfgetospeed(&line);
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.Code == code) {
            return entry.Rate;
        }
    }
    return 0;
}

int CPtyServer::LineParity() const {
    termios line{};
    if (Slave_ < 0 || tcgetattr(Slave_, &line) != 0 || (line.c_cflag & PARENB) == 0) {
        return kParityNone;
    }
    return (line.c_cflag & PARODD) != 0 ? kParityOdd : kParityEven;
}

std::chrono::microseconds CPtyServer::WireTime(size_t bytes, int baud, int parity) const {
    const long long bitsPerChar = parity == kParityNone ? 10 : 11;
    const long long rate = baud > 0 ? baud : 9600;
    return std::chrono::microseconds(static_cast<long long>(bytes) * bitsPerChar * 1000000 / rate);
}

void CPtyServer::Run(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        Serve(50);
    }
}

void CPtyServer::Serve(int timeoutMs) {
    if (Master_ < 0) {
        return;
    }
    int wait = std::max(timeoutMs, 0);
    if (!Out_.empty()) {
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(
            Out_.front().Due - std::chrono::steady_clock::now());
        wait = std::clamp(static_cast<int>(untilDue.count()), 0, wait);
    }
    pollfd fd{Master_, POLLIN, 0};
    if (poll(&fd, 1, wait) > 0 && (fd.revents & POLLIN) != 0) {
        TakeInput();
    }
    WriteDue();
}

void CPtyServer::TakeInput() {
    std::vector<uint8_t> bytes;
    uint8_t chunk[512];
    for (;;) {
        const ssize_t n = ::read(Master_, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (bytes.empty()) {
        return;
    }
    const Time now = std::chrono::steady_clock::now();
    if (Trace_) {
        Trace_(true, bytes);
    }
    const int baud = LineBaudRate();
    const int parity = LineParity();
    // The pseudo-terminal hands the request over at once; on a real line its last byte
    // arrives one wire time after the first.
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
    std::vector<std::vector<uint8_t>> replies;
    std::vector<CSimulatedDevice*> devices{&Device_};
    devices.insert(devices.end(), Others_.begin(), Others_.end());
    for (CSimulatedDevice* device : devices) {
        if (baud == device->BaudRate()) {
            for (std::vector<uint8_t>& reply : device->Feed(bytes)) {
                replies.push_back(std::move(reply));
            }
        }
    }
    if (Faults_.Silent) {
        return;
    }
    Time start = arrival + kTurnaround + std::chrono::milliseconds(Faults_.ReplyDelayMs);
    for (std::vector<uint8_t>& reply : replies) {
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
        Queue(std::move(reply), start, baud, parity);
        if (queuing && !Out_.empty()) {
            BusyUntil_ = Out_.back().Due;
            Busy_ = true;
        }
    }
}

void CPtyServer::Queue(std::vector<uint8_t> reply, Time start, int baud, int parity) {
    if (Faults_.CorruptCrc && !reply.empty()) {
        reply.back() ^= 0xFF;
    }
    reply.insert(reply.begin(), Faults_.StrayBytes.begin(), Faults_.StrayBytes.end());
    if (reply.empty()) {
        return;
    }
    if (Trace_) {
        Trace_(false, reply);
    }
    // Byte k leaves once it has crossed the line; pieces after the first wait their pauses.
    const size_t pieces =
        static_cast<size_t>(std::clamp(Faults_.SplitPieces, 1, static_cast<int>(reply.size())));
    size_t piece = 0;
    for (size_t k = 0; k < reply.size(); ++k) {
        while (k >= reply.size() * (piece + 1) / pieces) {
            ++piece;
        }
        const Time due = start + WireTime(k + 1, baud, parity) +
                         std::chrono::milliseconds(Faults_.PieceGapMs) * static_cast<int>(piece);
        Out_.push_back({due, reply[k]});
    }
}

void CPtyServer::WriteDue() {
    const Time now = std::chrono::steady_clock::now();
    std::vector<uint8_t> due;
    for (const OutByte& out : Out_) {
        if (out.Due > now) {
            break;
        }
        due.push_back(out.Byte);
    }
    if (due.empty()) {
        return;
    }
    const ssize_t written = ::write(Master_, due.data(), due.size());
    if (written > 0) {
        Out_.erase(Out_.begin(), Out_.begin() + written);
    }
}

}  // namespace mp
