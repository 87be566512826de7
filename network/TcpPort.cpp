#include "network/TcpPort.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <chrono>

#include "language/Text.h"

namespace mp {
namespace {

// How long a write may take to reach the system before the rest is left to the next wait.
constexpr int kWriteHandOffMs = 100;
// Rounds of pulling per call: enough to empty the system's buffer, bounded against a gateway
// that never stops talking.
constexpr int kPullRounds = 64;
// Received bytes kept at most, as a driver's buffer would; older ones are dropped.
constexpr size_t kInputCapacity = 4096;

std::string GatewayLabel(const LineEndpoint& endpoint) {
    return endpoint.Host + ":" + std::to_string(endpoint.TcpPort);
}

std::string ConnectReason(QAbstractSocket::SocketError error, const std::string& detail) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "连接被拒绝"));
        case QAbstractSocket::SocketTimeoutError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "连接超时"));
        case QAbstractSocket::HostNotFoundError:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "找不到主机"));
        default:
            return detail;
    }
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace

CTcpPort::CTcpPort(const LineEndpoint& endpoint) : Endpoint_(endpoint) {
    Settings_ = endpoint.Serial;
}

CTcpPort::~CTcpPort() {
    ClosePort();
}

bool CTcpPort::OpenPort(const PortSettings& settings) {
    ClosePort();
    Settings_ = settings;
    Socket_ = std::make_unique<QTcpSocket>();
    // In attempts, so that a close of the program is not held up for the whole timeout by a
    // gateway that does not answer; a timed-out attempt starts the connection anew.
    const auto start = std::chrono::steady_clock::now();
    const int timeoutMs = std::max(Endpoint_.ConnectTimeoutMs, 1);
    bool connected = false;
    for (;;) {
        Socket_->connectToHost(QString::fromStdString(Endpoint_.Host), Endpoint_.TcpPort);
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count();
        const int left = std::max(timeoutMs - static_cast<int>(spent), 1);
        connected = Socket_->waitForConnected(std::min(left, kAttemptMs));
        if (connected || Socket_->error() != QAbstractSocket::SocketTimeoutError ||
            left <= kAttemptMs || WaitsEnded_.load()) {
            break;
        }
        Socket_->abort();
    }
    if (!connected) {
        const std::string reason =
            ConnectReason(Socket_->error(), Socket_->errorString().toStdString());
        SetLastError(FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "无法连接网关 %1：%2")),
                            {GatewayLabel(Endpoint_), reason}));
        Socket_->abort();
        Socket_.reset();
        return false;
    }
    // Requests are small and each waits for its reply: send them at once.
    Socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    Open_ = true;
    SetLastError({});
    Decoder_.Reset();
    Input_.clear();
    DiscardInput();
    return IsPortOpen();
}

void CTcpPort::ClosePort() {
    Open_ = false;
    Input_.clear();
    Decoder_.Reset();
    if (Socket_) {
        Socket_->abort();
        Socket_.reset();
    }
}

bool CTcpPort::IsPortOpen() const {
    return Open_;
}

bool CTcpPort::Reconfigure(const PortSettings& settings) {
    if (!IsPortOpen()) {
        SetLastError(FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "网关 %1 未连接")),
                            {GatewayLabel(Endpoint_)}));
        return false;
    }
    Settings_.BaudRate = settings.BaudRate;
    Settings_.Parity = settings.Parity;
    return true;
}

void CTcpPort::SetLastError(const std::string& message) {
    std::lock_guard<std::mutex> guard(ErrorMutex_);
    LastError_ = message;
}

std::string CTcpPort::LastError() const {
    std::lock_guard<std::mutex> guard(ErrorMutex_);
    return LastError_;
}

bool CTcpPort::CheckFailure() {
    if (!Open_ || !Socket_) {
        return false;
    }
    if (Socket_->state() == QAbstractSocket::ConnectedState) {
        // A wait that ran out leaves its error behind; the connection goes on.
        return false;
    }
    const std::string reason = Socket_->error() == QAbstractSocket::RemoteHostClosedError
                                   ? Tr(QT_TRANSLATE_NOOP("MotorProtector", "网关关闭了连接"))
                                   : Socket_->errorString().toStdString();
    const std::string message =
        FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "与网关 %1 的连接中断：%2")),
               {GatewayLabel(Endpoint_), reason});
    ClosePort();
    SetLastError(message);
    if (Lost_) {
        Lost_(message);
    }
    return true;
}

void CTcpPort::TakeIn(const QByteArray& data) {
    if (data.isEmpty()) {
        return;
    }
    if (Endpoint_.TcpFraming == LineEndpoint::Framing::Mbap) {
        for (std::vector<uint8_t>& frame :
             Decoder_.Feed(std::vector<uint8_t>(data.begin(), data.end()))) {
            Input_.insert(Input_.end(), frame.begin(), frame.end());
        }
    } else {
        Input_.insert(Input_.end(), data.begin(), data.end());
    }
    if (Input_.size() > kInputCapacity) {
        Input_.erase(Input_.begin(), Input_.end() - static_cast<long>(kInputCapacity));
    }
}

void CTcpPort::PullInput() {
    if (!IsPortOpen()) {
        return;
    }
    for (int round = 0; round < kPullRounds && Socket_->waitForReadyRead(0); ++round) {
    }
    TakeIn(Socket_->readAll());
    CheckFailure();
}

void CTcpPort::DiscardInput() {
    PullInput();
    Input_.clear();
}

void CTcpPort::WriteBytes(const std::vector<uint8_t>& bytes) {
    if (!IsPortOpen() || bytes.empty()) {
        return;
    }
    QByteArray data;
    if (Endpoint_.TcpFraming == LineEndpoint::Framing::Mbap) {
        // A new transaction id for every request: a reply to an earlier one is dropped.
        const uint16_t transaction = ++Transaction_;
        const std::vector<uint8_t> adu = MbapFromRtu(bytes, transaction);
        Decoder_.Expect(transaction);
        // A frame accepted before this request cannot be its reply.
        Input_.clear();
        if (adu.empty()) {
            return;  // not a whole RTU frame: nothing a gateway could take
        }
        data = QByteArray(reinterpret_cast<const char*>(adu.data()),
                          static_cast<qsizetype>(adu.size()));
    } else {
        data = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    }
    Socket_->write(data);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteHandOffMs);
    while (Socket_->bytesToWrite() > 0 && Socket_->waitForBytesWritten(RemainingMs(deadline))) {
    }
    CheckFailure();
}

int16_t CTcpPort::WaitingCount() {
    PullInput();
    return static_cast<int16_t>(std::min<size_t>(Input_.size(), 32767));
}

std::vector<uint8_t> CTcpPort::ReadAllWaiting() {
    PullInput();
    std::vector<uint8_t> bytes;
    bytes.swap(Input_);
    return bytes;
}

bool CTcpPort::Receive(int ms) {
    if (!IsPortOpen()) {
        return false;
    }
    const bool arrived = Socket_->waitForReadyRead(std::max(ms, 0));
    if (arrived) {
        TakeIn(Socket_->readAll());
    }
    // Only a wait that ran its time (or brought bytes) counts as receiving.
    return !CheckFailure() && IsPortOpen();
}

}  // namespace mp
