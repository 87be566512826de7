#include "plant/PlantLines.h"

#include <QPointer>
#include <chrono>

#include "line/DeviceLine.h"

namespace mp {

LineEndpoint LineEndpointOf(const PlantLine& line, const Plant& plant) {
    LineEndpoint endpoint;
    endpoint.Serial.Name = line.Port.toStdString();
    endpoint.Serial.BaudRate = line.BaudRate;
    endpoint.Serial.Parity = line.Parity;
    switch (line.Kind) {
        case PlantLineKind::Serial:
            endpoint.Type = LineEndpoint::Kind::Serial;
            break;
        case PlantLineKind::Tcp:
            endpoint.Type = LineEndpoint::Kind::Tcp;
            endpoint.Host = line.Host.toStdString();
            endpoint.TcpPort = static_cast<uint16_t>(line.TcpPort);
            endpoint.TcpFraming = line.Framing == TcpFraming::Mbap ? LineEndpoint::Framing::Mbap
                                                                   : LineEndpoint::Framing::Rtu;
            endpoint.ConnectTimeoutMs = line.ConnectTimeoutMs;
            break;
        case PlantLineKind::Simulated:
            endpoint.Type = LineEndpoint::Kind::Simulated;
            for (const Feeder& feeder : plant.Feeders) {
                if (feeder.Line == line.Id && feeder.Address >= 1 && feeder.Address <= 247) {
                    endpoint.SimulatedAddresses.push_back(static_cast<uint8_t>(feeder.Address));
                }
            }
            break;
    }
    return endpoint;
}

PortSettings PortSettingsOf(const LineEndpoint& endpoint) {
    PortSettings settings = endpoint.Serial;
    if (endpoint.Type == LineEndpoint::Kind::Tcp) {
        settings.Name = endpoint.Host + ":" + std::to_string(endpoint.TcpPort);
    }
    return settings;
}

CPlantLines::CPlantLines(const Plant& plant, LineFactory factory, QObject* parent)
    : QObject(parent), Plant_(plant), Factory_(std::move(factory)), States_(plant) {}

CPlantLines::~CPlantLines() {
    Shutdown();
}

int64_t CPlantLines::Now() const {
    if (Wall_) {
        return Wall_();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void CPlantLines::SetWallClock(CLineScheduler::WallClock clock) {
    Wall_ = std::move(clock);
    for (LineRun& run : Lines_) {
        if (run.Scheduler) {
            run.Scheduler->SetWallClock(Wall_);
        }
    }
}

void CPlantLines::Start() {
    if (Started_ || ShutDown_) {
        return;
    }
    Started_ = true;
    Refresh_ = new QTimer(this);
    Refresh_->setInterval(1000);
    connect(Refresh_, &QTimer::timeout, this, [this] { States_.Refresh(Now()); });
    Refresh_->start();
    Lines_.resize(static_cast<size_t>(Plant_.Lines.size()));
    for (int index = 0; index < Plant_.Lines.size(); ++index) {
        LineRun& run = Lines_[static_cast<size_t>(index)];
        run.Config = Plant_.Lines[index];
        run.Settings = PortSettingsOf(LineEndpointOf(run.Config, Plant_));
        std::vector<CLineScheduler::Relay> relays;
        for (const Feeder& feeder : Plant_.Feeders) {
            if (feeder.Line == run.Config.Id && feeder.Address >= 1 && feeder.Address <= 247) {
                relays.push_back(
                    {static_cast<uint8_t>(feeder.Address), feeder.CtRatio, feeder.RatedCurrent});
            }
        }
        if (!relays.empty()) {
            run.FirstAddress = relays.front().Address;
        }
        run.Device = Factory_ ? Factory_(run.Config) : nullptr;
        if (!run.Device) {
            continue;
        }
        run.Scheduler = std::make_unique<CLineScheduler>(run.Device->Worker(), index,
                                                         run.Settings.BaudRate, relays);
        if (Wall_) {
            run.Scheduler->SetWallClock(Wall_);
        }
        run.Scheduler->SetSettingsRead(SettingsEveryMs_);
        run.Scheduler->SetSampleHandler(
            [this](const FeederSample& sample) { States_.Apply(sample); });
        run.Scheduler->SetRoundHandler(
            [this, index](uint64_t, uint32_t ms) { States_.SetRoundTime(index, ms); });
        connect(run.Device.get(), &CDeviceLine::PortLost, this,
                [this, index](const QString& message) { OnLost(index, message); });
        connect(run.Device.get(), &CDeviceLine::PortBack, this, [this, index] { OnBack(index); });
        run.Device->Start();
        OpenLine(index);
    }
}

void CPlantLines::OpenLine(int index) {
    LineRun& run = Lines_[static_cast<size_t>(index)];
    run.Condition = LineCondition::Opening;
    const PortSettings settings = run.Settings;
    const uint8_t address = run.FirstAddress;
    QPointer<CPlantLines> self(this);
    CDeviceLine* device = run.Device.get();  // its worker's jobs end before it goes
    device->Worker().Post([self, device, index, settings, address](CDeviceContext& ctx) {
        const bool opened = device->Open(ctx, settings, address);
        const QString reason =
            opened ? QString() : QString::fromStdString(ctx.Link.Port().LastError());
        ctx.Post([self, index, opened, reason] {
            if (self) {
                self->OnOpened(index, opened, reason);
            }
        });
    });
}

void CPlantLines::OnOpened(int index, bool opened, const QString& reason) {
    LineRun& run = Lines_[static_cast<size_t>(index)];
    if (ShutDown_) {
        return;
    }
    if (opened) {
        run.Condition = LineCondition::Polling;
        run.Message.clear();
        run.Scheduler->Start();
        emit LineUp(index);
        return;
    }
    // Said once; tried again every 2 s until it opens.
    OnLost(index, reason);
}

void CPlantLines::OnLost(int index, const QString& message) {
    LineRun& run = Lines_[static_cast<size_t>(index)];
    if (ShutDown_ || run.Condition == LineCondition::Failed) {
        return;
    }
    run.Condition = LineCondition::Failed;
    run.Message = message;
    run.Scheduler->Stop();
    States_.LineLost(index, message, Now());
    emit LineDown(index, message);
    run.Device->Recover(run.Settings);
}

void CPlantLines::OnBack(int index) {
    LineRun& run = Lines_[static_cast<size_t>(index)];
    if (ShutDown_) {
        return;
    }
    run.Condition = LineCondition::Polling;
    run.Message.clear();
    States_.LineBack(index, Now());
    run.Scheduler->Start();
    emit LineUp(index);
}

void CPlantLines::Shutdown() {
    if (ShutDown_) {
        return;
    }
    ShutDown_ = true;
    if (Refresh_) {
        Refresh_->stop();
    }
    // Every line is told first, so that their current exchanges end side by side; then each
    // is waited for.
    for (LineRun& run : Lines_) {
        if (run.Scheduler) {
            run.Scheduler->Stop();
        }
        if (run.Device) {
            run.Device->BeginShutdown();
        }
    }
    for (LineRun& run : Lines_) {
        if (run.Device) {
            run.Device->Shutdown();
        }
        run.Condition = LineCondition::Closed;
    }
}

CDeviceLine* CPlantLines::Line(int index) const {
    if (index < 0 || index >= LineCount()) {
        return nullptr;
    }
    return Lines_[static_cast<size_t>(index)].Device.get();
}

CDeviceLine* CPlantLines::Line(const QString& id) const {
    for (int index = 0; index < Plant_.Lines.size(); ++index) {
        if (Plant_.Lines[index].Id == id) {
            return Line(index);
        }
    }
    return nullptr;
}

CLineScheduler* CPlantLines::Scheduler(int index) const {
    if (index < 0 || index >= LineCount()) {
        return nullptr;
    }
    return Lines_[static_cast<size_t>(index)].Scheduler.get();
}

CPlantLines::LineCondition CPlantLines::Condition(int index) const {
    if (index < 0 || index >= LineCount()) {
        return LineCondition::Idle;
    }
    return Lines_[static_cast<size_t>(index)].Condition;
}

QString CPlantLines::LineMessage(int index) const {
    if (index < 0 || index >= LineCount()) {
        return {};
    }
    return Lines_[static_cast<size_t>(index)].Message;
}

void CPlantLines::SetWindowOpen(const QString& tag, bool open) {
    for (const Feeder& feeder : Plant_.Feeders) {
        if (feeder.Tag != tag) {
            continue;
        }
        for (int index = 0; index < LineCount(); ++index) {
            if (Plant_.Lines[index].Id == feeder.Line && Scheduler(index) != nullptr) {
                Scheduler(index)->SetWindowOpen(static_cast<uint8_t>(feeder.Address), open);
            }
        }
    }
}

}  // namespace mp
