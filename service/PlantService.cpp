#include "service/PlantService.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <limits>

#include "line/DeviceLine.h"
#include "plant/PlantFile.h"

namespace mp {

CPlantService::CPlantService(ServiceOptions options, CMqttClient& client, Log log,
                             CPlantLines::LineFactory factory, QObject* parent)
    : QObject(parent),
      Options_(std::move(options)),
      Client_(client),
      Log_(std::move(log)),
      Factory_(std::move(factory)) {}

CPlantService::~CPlantService() {
    Stop(0);
}

bool CPlantService::Start() {
    const PlantFileResult loaded = LoadPlant(Options_.PlantFile);
    if (!loaded.Ok()) {
        for (const PlantFileError& error : loaded.Errors) {
            Log_(error.Text());
        }
        return false;
    }
    const Plant& plant = *loaded.Value;
    CPlantLines::LineFactory factory = Factory_;
    if (!factory) {
        factory = [plant](const PlantLine& line) {
            return std::make_unique<CDeviceLine>(LineEndpointOf(line, plant));
        };
    }
    Lines_ = std::make_unique<CPlantLines>(plant, factory);
    // 0: read at first contact and after silence only.
    Lines_->SetSettingsRead(Options_.SettingsEveryS > 0
                                ? static_cast<uint32_t>(Options_.SettingsEveryS) * 1000u
                                : std::numeric_limits<uint32_t>::max());
    CFeederStates& states = Lines_->States();
    Said_.fill(FeederLink::Unknown, states.Count());
    connect(&states, &CFeederStates::Changed, this, &CPlantService::SayFeeder);
    connect(Lines_.get(), &CPlantLines::LineUp, this, [this](int index) {
        Log_(tr("线路 %1 已连通").arg(Lines_->PlantModel().Lines[index].Id));
    });
    connect(Lines_.get(), &CPlantLines::LineDown, this, [this](int index, const QString& why) {
        Log_(tr("线路 %1 中断: %2").arg(Lines_->PlantModel().Lines[index].Id, why));
    });

    const CPlantTopics topics(Options_.Prefix);
    MqttOptions broker = Options_.Broker;
    broker.Will = CPlantPublisher::Will(topics);
    Publisher_ = std::make_unique<CPlantPublisher>(states, topics, Client_, Options_.Limits, [] {
        return QDateTime::currentMSecsSinceEpoch();
    });
    connect(Publisher_.get(), &CPlantPublisher::Said, this,
            [this](const QString& line) { Log_(line); });
    QString reason;
    if (!Client_.Start(broker, &reason)) {
        Log_(tr("无法连接MQTT服务器 %1:%2: %3").arg(broker.Host).arg(broker.Port).arg(reason));
        return false;
    }
    Log_(tr("厂站 %1: %2 条线路，%3 台仪表；发布到 %4:%5，主题前缀 %6")
             .arg(plant.Name.isEmpty() ? Options_.PlantFile : plant.Name)
             .arg(plant.Lines.size())
             .arg(states.Count())
             .arg(broker.Host)
             .arg(broker.Port)
             .arg(topics.Prefix()));
    Publisher_->Start(PlantJson(plant));
    Lines_->Start();
    return true;
}

void CPlantService::Stop(int waitMs) {
    if (Stopped_) {
        return;
    }
    Stopped_ = true;
    if (Lines_) {
        Lines_->Shutdown();
    }
    if (Publisher_) {
        QElapsedTimer waited;
        waited.start();
        while (!Publisher_->Finish() && Client_.IsConnected() && waited.elapsed() < waitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
    }
    Client_.Stop();
}

void CPlantService::SayFeeder(int row) {
    const FeederState& s = Lines_->States().At(row);
    // Stale comes and goes with the round time: only answering or not is said.
    const FeederLink link = s.Link == FeederLink::Stale ? FeederLink::Answering : s.Link;
    if (link == Said_[row] || link == FeederLink::Unknown) {
        return;
    }
    Said_[row] = link;
    switch (link) {
        case FeederLink::Answering:
            Log_(tr("馈线 %1 (地址 %2) 应答").arg(s.Tag).arg(s.Address));
            break;
        case FeederLink::NotAnswering:
            Log_(tr("馈线 %1 (地址 %2) 无应答").arg(s.Tag).arg(s.Address));
            break;
        default:
            break;  // the line's loss is said once for the line
    }
}

}  // namespace mp
