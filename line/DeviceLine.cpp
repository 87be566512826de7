#include "line/DeviceLine.h"

#include <QThread>

#include "line/DeviceBackend.h"
#include "line/WindowQueue.h"
#include "serial/FrameLog.h"

namespace mp {

CDeviceLine::CDeviceLine(const ConnectionSettings& connection, QObject* parent)
    : QObject(parent),
      Backend_(CDeviceBackend::Create(connection)),
      Port_(Backend_->Port()),
      Clock_(Backend_->Clock()),
      WorkerClock_(Clock_),
      OwnLink_(Port_, WorkerClock_) {
    Build();
}

CDeviceLine::CDeviceLine(const LineEndpoint& endpoint, QObject* parent)
    : QObject(parent),
      Backend_(CDeviceBackend::Create(endpoint)),
      Port_(Backend_->Port()),
      Clock_(Backend_->Clock()),
      WorkerClock_(Clock_),
      OwnLink_(Port_, WorkerClock_) {
    OwnLink_.SetRepliesMatched(endpoint.Type == LineEndpoint::Kind::Tcp &&
                               endpoint.TcpFraming == LineEndpoint::Framing::Mbap);
    Build();
}

CDeviceLine::CDeviceLine(IPort& port, IClock& clock, QObject* parent)
    : QObject(parent),
      Port_(port),
      Clock_(clock),
      WorkerClock_(Clock_),
      OwnLink_(Port_, WorkerClock_) {
    Build();
}

CDeviceLine::CDeviceLine(CDeviceLine& host, uint8_t address, int baudRate, QObject* parent)
    : QObject(parent),
      Port_(host.Port_),
      Clock_(host.Clock_),
      WorkerClock_(Clock_),
      OwnLink_(Port_, WorkerClock_),
      Link_(&host.Link()),
      Host_(&host) {
    ShareAddress_.store(address);
    ShareBaud_.store(baudRate);
    Queue_ = std::make_unique<CWindowQueue>(this, [this] {
        if (ShowFields_) {
            ShowFields_();
        }
    });
    Worker_ = std::make_unique<CIoWorker>(*Link_, *Queue_);
    Worker_->JoinHost(
        host.Worker(),
        [this](CModbusTransaction& link) {
            link.SetSlaveAddress(ShareAddress_.load());
            link.SetFastReplyEnd(ShareFast_.load(), ShareBaud_.load());
        },
        [this](CModbusTransaction& link) {
            // What the share's operation left (a confirmed address change) stays its own.
            ShareAddress_.store(link.SlaveAddress());
            link.SetFastReplyEnd(false, ShareBaud_.load());
        });
    // The host's port is the host's to recover; the share says what the host says.
    connect(&host, &CDeviceLine::PortLost, this, [this](const QString& message) {
        if (!Recovering_ && !ShutDown_) {
            Recovering_ = true;
            emit PortLost(message);
        }
    });
    connect(&host, &CDeviceLine::PortBack, this, [this] {
        if (Recovering_ && !ShutDown_) {
            Recovering_ = false;
            emit PortBack();
        }
    });
}

CDeviceLine::~CDeviceLine() {
    Shutdown();
}

void CDeviceLine::Build() {
    InstallFrameLog(*Link_);
    Queue_ = std::make_unique<CWindowQueue>(this, [this] {
        if (ShowFields_) {
            ShowFields_();
        }
    });
    Worker_ = std::make_unique<CIoWorker>(*Link_, *Queue_);
}

void CDeviceLine::SetFastReplyEnd(bool on, int baudRate) {
    if (Host_ != nullptr) {
        ShareBaud_.store(baudRate);
        ShareFast_.store(on);
        return;
    }
    Link_->SetFastReplyEnd(on, baudRate);
}

void CDeviceLine::SetShowFields(std::function<void()> show) {
    ShowFields_ = std::move(show);
}

void CDeviceLine::Start() {
    if (Started_) {
        return;
    }
    Started_ = true;
    if (Host_ != nullptr) {
        return;  // runs on the host's thread; the host watches the port
    }
    Port_.SetLostHandler([this](const std::string& message) {
        const QString text = QString::fromStdString(message);
        Queue_->Post([this, text] {
            if (Recovering_ || ShutDown_) {
                return;
            }
            Recovering_ = true;
            emit PortLost(text);
        });
    });
    // A QThread, so that the serial port living on it may use Qt's notifiers.
    Worker_->Start([](std::function<void()> body) -> std::function<void()> {
        QThread* thread = QThread::create(std::move(body));
        thread->setObjectName(QStringLiteral("device I/O"));
        thread->start();
        return [thread] {
            thread->wait();
            delete thread;
        };
    });
}

void CDeviceLine::Shutdown() {
    if (ShutDown_ || !Worker_) {
        return;
    }
    BeginShutdown();
    ShutDown_ = true;
    Worker_->Shutdown({});
}

void CDeviceLine::BeginShutdown() {
    if (ShutDown_ || ShutdownBegun_ || !Worker_) {
        return;
    }
    ShutdownBegun_ = true;
    ++Recovery_;
    Worker_->StopPollTimer();
    if (Host_ != nullptr) {
        return;  // a share of a plant's line: Shutdown leaves its host at once
    }
    Worker_->BeginShutdown([](CDeviceContext& ctx) { ctx.Link.Port().ClosePort(); });
}

void CDeviceLine::Follow(const ConnectionSettings& connection) {
    if (Backend_) {
        Backend_->Follow(connection);
    }
}

bool CDeviceLine::Open(CDeviceContext& ctx, const PortSettings& line, uint8_t address) {
    ctx.Link.SetSlaveAddress(address);
    if (Host_ != nullptr) {
        return ctx.Link.Port().IsPortOpen();
    }
    const bool opened = ctx.Link.OpenLine(line);
    if (opened) {
        ctx.Link.Port().DiscardInput();
    }
    return opened;
}

bool CDeviceLine::Reconfigure(CDeviceContext& ctx, const PortSettings& line, uint8_t address) {
    IPort& port = ctx.Link.Port();
    if (Host_ != nullptr) {
        ctx.Link.SetSlaveAddress(address);
        return port.IsPortOpen() && line.BaudRate == ShareBaud_.load();
    }
    const bool opened =
        port.IsPortOpen() ? ctx.Link.ReconfigureLine(line) : ctx.Link.OpenLine(line);
    ctx.Link.SetSlaveAddress(address);
    return opened;
}

void CDeviceLine::Recover(const PortSettings& line) {
    Recovering_ = true;
    if (Host_ != nullptr) {
        return;  // the host tries its port again and says when it is back
    }
    ScheduleReopen(line);
}

void CDeviceLine::StopRecovery() {
    ++Recovery_;
    Recovering_ = false;
}

void CDeviceLine::ScheduleReopen(const PortSettings& line) {
    const unsigned recovery = Recovery_.load();
    Worker_->PostAfter(kReopenPeriodMs, [this, recovery, line](CDeviceContext& ctx) {
        if (recovery != Recovery_.load()) {
            return;  // another line was chosen since
        }
        const bool opened = ctx.Link.OpenLine(line);
        if (opened) {
            ctx.Link.Port().DiscardInput();
        }
        ctx.Post([this, recovery, opened, line] { OnReopened(recovery, opened, line); });
    });
}

void CDeviceLine::OnReopened(unsigned recovery, bool opened, const PortSettings& line) {
    if (!Recovering_ || recovery != Recovery_.load() || ShutDown_) {
        return;
    }
    if (!opened) {
        ScheduleReopen(line);
        return;
    }
    Recovering_ = false;
    emit PortBack();
}

}  // namespace mp
