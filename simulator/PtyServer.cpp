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

CPtyServer::CPtyServer(CSimulatedDevice& device) : Device_(device) {
    Bus_.AddDevice(device);
}

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
    Bus_.Clear();
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
    if (Bus_.Pending()) {
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(
            Bus_.NextDue() - std::chrono::steady_clock::now());
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
    Bus_.Take(bytes, std::chrono::steady_clock::now(), LineBaudRate(), LineParity());
}

void CPtyServer::WriteDue() {
    const std::vector<uint8_t> due = Bus_.Due(std::chrono::steady_clock::now());
    if (due.empty()) {
        return;
    }
    const ssize_t written = ::write(Master_, due.data(), due.size());
    if (written > 0) {
        Bus_.Drop(static_cast<size_t>(written));
    }
}

}  // namespace mp
