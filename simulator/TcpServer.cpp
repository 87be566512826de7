#include "simulator/TcpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "modbus/MbapCodec.h"
#include "modbus/Port.h"

namespace mp {
namespace {

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

uint16_t Word(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

void SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

}  // namespace

CTcpServer::CTcpServer(CSimulatedDevice& device, Framing framing, int baud)
    : Framing_(framing), Baud_(baud) {
    Bus_.AddDevice(device);
}

CTcpServer::~CTcpServer() {
    Close();
}

bool CTcpServer::Listen(uint16_t port) {
    Close();
    Listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (Listen_ < 0) {
        LastError_ = SystemError("socket");
        return false;
    }
    const int yes = 1;
    ::setsockopt(Listen_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // loopback only
    address.sin_port = htons(port);
    if (::bind(Listen_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(Listen_, 8) != 0) {
        LastError_ = SystemError("bind/listen on 127.0.0.1");
        Close();
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(Listen_, reinterpret_cast<sockaddr*>(&address), &length);
    Port_ = ntohs(address.sin_port);
    SetNonBlocking(Listen_);
    LastError_.clear();
    return true;
}

void CTcpServer::Close() {
    for (Client& client : Clients_) {
        ::close(client.Fd);
    }
    Clients_.clear();
    Waiting_.clear();
    Busy_ = false;
    Reply_.clear();
    Bus_.Clear();
    if (Listen_ >= 0) {
        ::close(Listen_);
        Listen_ = -1;
    }
}

void CTcpServer::Run(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        Serve(50);
    }
}

void CTcpServer::Serve(int timeoutMs) {
    if (Listen_ < 0) {
        return;
    }
    int wait = std::max(timeoutMs, 0);
    const auto now = std::chrono::steady_clock::now();
    if (Busy_) {
        const CSimulatedBus::Time next = Bus_.Pending() ? Bus_.NextDue() : FreeAt_;
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(next - now);
        wait = std::clamp(static_cast<int>(untilDue.count()), 0, wait);
    } else if (!Waiting_.empty()) {
        wait = 0;
    }
    std::vector<pollfd> fds{{Listen_, POLLIN, 0}};
    for (const Client& client : Clients_) {
        fds.push_back({client.Fd, POLLIN, 0});
    }
    if (::poll(fds.data(), fds.size(), wait) > 0) {
        std::vector<unsigned> gone;
        for (size_t k = 1; k < fds.size(); ++k) {
            if ((fds[k].revents & (POLLIN | POLLHUP | POLLERR)) != 0 &&
                !TakeInput(Clients_[k - 1])) {
                gone.push_back(Clients_[k - 1].Id);
            }
        }
        for (unsigned id : gone) {
            Drop(id);
        }
        if ((fds[0].revents & POLLIN) != 0) {
            Accept();
        }
    }
    const auto later = std::chrono::steady_clock::now();
    DeliverDue(later);
    StartNext(later);
}

void CTcpServer::Accept() {
    for (;;) {
        const int fd = ::accept(Listen_, nullptr, nullptr);
        if (fd < 0) {
            return;
        }
        SetNonBlocking(fd);
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        Clients_.push_back({fd, NextClient_++, {}});
    }
}

bool CTcpServer::TakeInput(Client& client) {
    uint8_t chunk[512];
    std::vector<uint8_t> bytes;
    for (;;) {
        const ssize_t n = ::recv(client.Fd, chunk, sizeof chunk, 0);
        if (n == 0) {
            return false;  // closed by the client
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                break;
            }
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (bytes.empty()) {
        return true;
    }
    if (Framing_ == Framing::Rtu) {
        // The serial side takes the bytes as they come; the devices find the frames.
        Waiting_.push_back({client.Id, 0, std::move(bytes)});
        return true;
    }
    client.In.insert(client.In.end(), bytes.begin(), bytes.end());
    while (client.In.size() >= 6) {
        const uint16_t length = Word(client.In, 4);
        if (Word(client.In, 2) != 0 || length < 2 || length > kMbapMaxLength) {
            return false;  // not Modbus TCP: the connection is closed
        }
        if (client.In.size() < 6u + length) {
            break;
        }
        const std::vector<uint8_t> adu(client.In.begin(), client.In.begin() + 6 + length);
        client.In.erase(client.In.begin(), client.In.begin() + 6 + length);
        Waiting_.push_back({client.Id, Word(adu, 0), RtuFromMbap(adu)});
    }
    return client.In.size() <= kClientBufferCapacity;
}

void CTcpServer::Drop(unsigned id) {
    for (auto it = Clients_.begin(); it != Clients_.end(); ++it) {
        if (it->Id == id) {
            ::close(it->Fd);
            Clients_.erase(it);
            break;
        }
    }
    Waiting_.erase(std::remove_if(Waiting_.begin(), Waiting_.end(),
                                  [id](const Request& r) { return r.Client == id; }),
                   Waiting_.end());
}

void CTcpServer::StartNext(CSimulatedBus::Time now) {
    if (Busy_ || Waiting_.empty()) {
        return;
    }
    Current_ = std::move(Waiting_.front());
    Waiting_.pop_front();
    Reply_.clear();
    Busy_ = true;
    // The line is free once the request has crossed it and the device's turnaround has passed,
    // unless a reply is on its way; then once that reply has left.
    FreeAt_ = now + CSimulatedBus::WireTime(Current_.Rtu.size(), Baud_, kParityNone) +
              std::chrono::milliseconds(5);
    Bus_.Take(Current_.Rtu, now, Baud_, kParityNone);
}

void CTcpServer::DeliverDue(CSimulatedBus::Time now) {
    if (!Busy_) {
        return;
    }
    const std::vector<uint8_t> due = Bus_.Due(now);
    Bus_.Drop(due.size());
    if (Framing_ == Framing::Rtu) {
        SendTo(Current_.Client, due);
    } else {
        Reply_.insert(Reply_.end(), due.begin(), due.end());
    }
    if (Bus_.Pending() || now < FreeAt_) {
        return;
    }
    Busy_ = false;
    if (Framing_ == Framing::Mbap && !Current_.Rtu.empty()) {
        // The reply is the frame of the request's address whose CRC holds, after any stray
        // bytes the line put ahead of it.
        for (size_t from = 0; from + 4 <= Reply_.size(); ++from) {
            if (Reply_[from] != Current_.Rtu[0]) {
                continue;
            }
            const std::vector<uint8_t> frame(Reply_.begin() + static_cast<long>(from),
                                             Reply_.end());
            const std::vector<uint8_t> adu = MbapFromRtu(frame, Current_.Transaction);
            if (!adu.empty()) {
                SendTo(Current_.Client, adu);
                break;
            }
        }
    }
    Reply_.clear();
}

void CTcpServer::SendTo(unsigned id, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) {
        return;
    }
    for (const Client& client : Clients_) {
        if (client.Id == id) {
            size_t sent = 0;
            while (sent < bytes.size()) {
                const ssize_t n =
                    ::send(client.Fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) {
                    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                        pollfd fd{client.Fd, POLLOUT, 0};
                        ::poll(&fd, 1, 100);
                        continue;
                    }
                    return;
                }
                sent += static_cast<size_t>(n);
            }
            return;
        }
    }
}

}  // namespace mp
