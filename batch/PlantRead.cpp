#include "batch/PlantRead.h"

#include "batch/RelayJobs.h"
#include "files/DeviceSettingsRead.h"
#include "line/DeviceLine.h"
#include "plant/Plant.h"
#include "plant/PlantLines.h"

namespace mp {

std::vector<RelayTarget> TargetsOf(const Plant& plant, const QVector<int>& feeders) {
    std::vector<RelayTarget> targets;
    for (int i = 0; i < plant.Feeders.size(); ++i) {
        if (!feeders.isEmpty() && !feeders.contains(i)) {
            continue;
        }
        const Feeder& feeder = plant.Feeders[i];
        targets.push_back({i, feeder.Tag, feeder.Line, static_cast<uint8_t>(feeder.Address)});
    }
    return targets;
}

RelayRead ReadOnPlantLines(CPlantLines* lines) {
    return [lines](const RelayTarget& target,
                   std::function<void(std::optional<SettingsValues>)> done) {
        CDeviceLine* line = lines != nullptr ? lines->Line(target.Line) : nullptr;
        if (line == nullptr || line->IsShutDown()) {
            done(std::nullopt);
            return;
        }
        PostToRelay(*line, target.Address, [done = std::move(done)](CDeviceContext& ctx) {
            std::optional<SettingsValues> values = FetchDeviceSettings(ctx);
            ctx.Post([done, values = std::move(values)] { done(values); });
        });
    };
}

CPlantReadRun::CPlantReadRun(std::vector<RelayTarget> targets, RelayRead read)
    : Targets_(std::move(targets)), Read_(std::move(read)) {
    for (size_t i = 0; i < Targets_.size(); ++i) {
        Waiting_[Targets_[i].Line].push_back(static_cast<int>(i));
    }
}

CPlantReadRun::~CPlantReadRun() = default;

void CPlantReadRun::Start(Reached reached, std::function<void()> finished) {
    if (Started_) {
        return;
    }
    Started_ = true;
    Reached_ = std::move(reached);
    WhenFinished_ = std::move(finished);
    std::vector<QString> lines;
    for (const auto& [line, waiting] : Waiting_) {
        lines.push_back(line);
    }
    for (const QString& line : lines) {
        StartNext(line);
    }
    FinishIfIdle();
}

void CPlantReadRun::Stop() {
    Stopped_ = true;
    if (Started_) {
        FinishIfIdle();
    }
}

void CPlantReadRun::StartNext(const QString& line) {
    std::deque<int>& waiting = Waiting_[line];
    if (Stopped_ || waiting.empty()) {
        return;
    }
    const int index = waiting.front();
    waiting.pop_front();
    ++Reading_;
    std::weak_ptr<int> alive = Alive_;
    Read_(Targets_[static_cast<size_t>(index)],
          [this, alive, index](std::optional<SettingsValues> values) {
              if (alive.lock()) {
                  OnRead(index, values);
              }
          });
}

void CPlantReadRun::OnRead(int index, const std::optional<SettingsValues>& values) {
    --Reading_;
    ++Done_;
    if (Reached_) {
        Reached_(index, values);
    }
    StartNext(Targets_[static_cast<size_t>(index)].Line);
    FinishIfIdle();
}

void CPlantReadRun::FinishIfIdle() {
    if (Finished_ || Reading_ > 0) {
        return;
    }
    bool left = false;
    for (const auto& [line, waiting] : Waiting_) {
        left = left || !waiting.empty();
    }
    if (left && !Stopped_) {
        return;
    }
    Finished_ = true;
    if (WhenFinished_) {
        WhenFinished_();
    }
}

}  // namespace mp
