#include "serial/SerialPort.h"

#include <algorithm>
#include <chrono>

#include "serial/PortNames.h"

#ifdef Q_OS_UNIX
#include <termios.h>
#endif
#ifdef Q_OS_WIN
#define NOMINMAX
#include <windows.h>
#endif

namespace mp {
namespace {

// How long a write may take to reach the system before the rest is left to the next wait.
constexpr int kWriteHandOffMs = 100;
// How long a change of line settings waits for queued bytes to leave.
constexpr int kDrainMs = 2000;
// Rounds of pulling per call: enough to empty the system's buffer, bounded against a line
// that never stops talking.
constexpr int kPullRounds = 64;

bool ToQtParity(int code, QSerialPort::Parity* parity) {
    switch (code) {
        case kParityNone:
            *parity = QSerialPort::NoParity;
            return true;
        case kParityOdd:
            *parity = QSerialPort::OddParity;
            return true;
        case kParityEven:
            *parity = QSerialPort::EvenParity;
            return true;
        default:
            return false;
    }
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() {
    ClosePort();
}

bool CSerialPort::OpenPort(const PortSettings& settings) {
    ClosePort();
    Settings_ = settings;
    Port_ = std::make_unique<QSerialPort>();
    Port_->setPortName(QString::fromStdString(SystemPortName(settings.Name)));
    if (!Port_->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = Port_->error();
        const std::string detail = Port_->errorString().toStdString();
        if (error == QSerialPort::PermissionError) {
            // Qt reports a port held by another program the same way as a lack of
            // permission: the device file tells them apart.
            SetLastError(PortRefusalMessage(
                settings.Name, ProbeDeviceAccess(SystemPortName(settings.Name)), detail));
        } else {
            SetLastError(PortOpenFailureMessage(settings.Name, error, detail));
        }
        Port_.reset();
        return false;
    }
    if (!ApplySettings(settings)) {
        SetLastError(PortOpenFailureMessage(settings.Name, QSerialPort::UnsupportedOperationError,
                                            Port_->errorString().toStdString()));
        Port_->close();
        Port_.reset();
        return false;
    }
    Open_ = true;
    SetLastError({});
    DiscardInput();
    return IsPortOpen();
}

bool CSerialPort::ApplySettings(const PortSettings& settings) {
    QSerialPort::Parity parity = QSerialPort::NoParity;
    if (settings.BaudRate <= 0 || !ToQtParity(settings.Parity, &parity)) {
        return false;
    }
    return Port_->setBaudRate(settings.BaudRate) && Port_->setDataBits(QSerialPort::Data8) &&
           Port_->setParity(parity) && Port_->setStopBits(QSerialPort::OneStop) &&
           Port_->setFlowControl(QSerialPort::NoFlowControl);
}

void CSerialPort::ClosePort() {
    Open_ = false;
    if (Port_) {
        Port_->close();
        Port_.reset();
    }
}

bool CSerialPort::IsPortOpen() const {
    return Open_;
}

PortSettings CSerialPort::Settings() const {
    return Settings_;
}

void CSerialPort::SetLastError(const std::string& message) {
    std::lock_guard<std::mutex> guard(ErrorMutex_);
    LastError_ = message;
}

std::string CSerialPort::LastError() const {
    std::lock_guard<std::mutex> guard(ErrorMutex_);
    return LastError_;
}

bool CSerialPort::CheckFailure() {
    if (!Port_) {
        return false;
    }
    const QSerialPort::SerialPortError error = Port_->error();
    if (error == QSerialPort::NoError) {
        return false;
    }
    if (error != QSerialPort::ResourceError) {
        // A wait that ran out, or a read or write that failed once: the line goes on.
        Port_->clearError();
        return false;
    }
    const std::string message =
        PortFailureMessage(Settings_.Name, error, Port_->errorString().toStdString());
    ClosePort();
    SetLastError(message);
    if (Lost_) {
        Lost_(message);
    }
    return true;
}

void CSerialPort::PullInput() {
    if (!IsPortOpen()) {
        return;
    }
    for (int round = 0; round < kPullRounds && Port_->waitForReadyRead(0); ++round) {
    }
    CheckFailure();
}

void CSerialPort::DiscardInput() {
    PullInput();
    if (!IsPortOpen()) {
        return;
    }
    Port_->readAll();
    Port_->clear(QSerialPort::Input);
    CheckFailure();
}

void CSerialPort::WriteBytes(const std::vector<uint8_t>& bytes) {
    if (!IsPortOpen() || bytes.empty()) {
        return;
    }
    Port_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteHandOffMs);
    while (Port_->bytesToWrite() > 0 && Port_->waitForBytesWritten(RemainingMs(deadline))) {
    }
    CheckFailure();
}

int16_t CSerialPort::WaitingCount() {
    PullInput();
    if (!IsPortOpen()) {
        return 0;
    }
    return static_cast<int16_t>(std::min<qint64>(Port_->bytesAvailable(), 32767));
}

std::vector<uint8_t> CSerialPort::ReadAllWaiting() {
    PullInput();
    if (!IsPortOpen()) {
        return {};
    }
    const QByteArray data = Port_->readAll();
    return std::vector<uint8_t>(data.begin(), data.end());
}

bool CSerialPort::Receive(int ms) {
    if (!IsPortOpen()) {
        return false;
    }
    const bool arrived = Port_->waitForReadyRead(std::max(ms, 0));
    if (!Port_ || arrived) {
        return IsPortOpen();
    }
    // Only a wait that ran its time counts as receiving; any other failure returns at once.
    const bool waited = Port_->error() == QSerialPort::TimeoutError;
    CheckFailure();
    return waited && IsPortOpen();
}

void CSerialPort::WaitUntilSent() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDrainMs);
    while (Port_->bytesToWrite() > 0 && Port_->waitForBytesWritten(RemainingMs(deadline))) {
    }
#if defined(Q_OS_UNIX)
    tcdrain(static_cast<int>(Port_->handle()));
#elif defined(Q_OS_WIN)
    FlushFileBuffers(Port_->handle());
#endif
}

bool CSerialPort::Reconfigure(const PortSettings& settings) {
    if (!IsPortOpen()) {
        SetLastError(PortFailureMessage(settings.Name, QSerialPort::NotOpenError));
        return false;
    }
    WaitUntilSent();
    if (!ApplySettings(settings)) {
        SetLastError(PortFailureMessage(Settings_.Name, QSerialPort::UnsupportedOperationError,
                                        Port_->errorString().toStdString()));
        Port_->clearError();
        return false;
    }
    Settings_.BaudRate = settings.BaudRate;
    Settings_.Parity = settings.Parity;
    return true;
}

}  // namespace mp
