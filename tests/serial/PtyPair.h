#pragma once
// A pseudo-terminal pair for the end-to-end serial tests: the tool opens the device path
// through Qt Serial Port; the test plays the device on the master side.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace mp::test {

class CPtyPair {
public:
    CPtyPair() {
        Master = posix_openpt(O_RDWR | O_NOCTTY);
        if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0) {
            return;
        }
        const char* name = ptsname(Master);
        Path = name != nullptr ? name : "";
        // Held open so the line's settings can be read and the line stays up.
        Slave = ::open(Path.c_str(), O_RDWR | O_NOCTTY);
        termios line{};
        if (Slave >= 0 && tcgetattr(Slave, &line) == 0) {
            cfmakeraw(&line);
            tcsetattr(Slave, TCSANOW, &line);
        }
    }
    ~CPtyPair() {
        CloseMaster();
        if (Slave >= 0) {
            ::close(Slave);
        }
    }
    CPtyPair(const CPtyPair&) = delete;
    CPtyPair& operator=(const CPtyPair&) = delete;

    bool Ready() const { return Master >= 0 && Slave >= 0; }

    void CloseMaster() {
        if (Master >= 0) {
            ::close(Master);
            Master = -1;
        }
    }

    // Reads until `count` bytes have come or `timeoutMs` has passed.
    std::vector<uint8_t> Read(size_t count, int timeoutMs) const {
        std::vector<uint8_t> bytes;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{Master, POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            uint8_t chunk[64];
            const ssize_t n = ::read(Master, chunk, std::min(sizeof chunk, count - bytes.size()));
            if (n <= 0) {
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

    void Write(const std::vector<uint8_t>& bytes) const {
        if (!bytes.empty()) {
            [[maybe_unused]] const ssize_t n = ::write(Master, bytes.data(), bytes.size());
        }
    }

    termios Line() const {
        termios line{};
        tcgetattr(Slave, &line);
        return line;
    }

    int Master = -1;
    int Slave = -1;
    std::string Path;
};

}  // namespace mp::test
