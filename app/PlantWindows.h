#pragma once
// The plant in the shell: the overview window, the plant open in it with its lines running,
// and the relay windows opened from it, each on its share of its feeder's line. Opening
// another plant (or closing the overview) closes the relay windows first, then the lines.

#include <QObject>
#include <QSettings>
#include <QString>
#include <functional>
#include <map>
#include <memory>

class QMenuBar;

#include "app/MainDialogs.h"
#include "batch/PlantWork.h"
#include "mqtt/MqttClient.h"
#include "plant/Plant.h"

namespace mp {

class COverviewDlg;
class CMqttClient;
class CRemotePlant;
class CDeviceLine;
class CPlantBatch;
class CPlantLines;
class CRelayWindow;

class CPlantWindows : public QObject {
    Q_OBJECT
public:
    // The lines are made from the plant's endpoints, or by `factory` (tests).
    using LineFactory = std::function<std::unique_ptr<CDeviceLine>(const PlantLine&)>;
    explicit CPlantWindows(LineFactory factory = {}, QObject* parent = nullptr);
    ~CPlantWindows() override;

    COverviewDlg& Overview() { return *Overview_; }
    // Loads the plant file and shows it; a file with faults is refused with all of them and
    // the plant open before stays as it is.
    bool Open(const QString& path);
    // Shows `plant` (read from `path`) with its lines running, in place of the plant before.
    void Show(Plant plant, const QString& path);
    // The plant open now (nothing: none).
    const Plant* Current() const { return Lines_ ? &Plant_ : nullptr; }
    CPlantLines* Lines() { return Lines_.get(); }
    // The relay window of a feeder, opened when it is not open yet.
    CRelayWindow* OpenFeeder(int row);
    int OpenRelayWindows() const { return static_cast<int>(Windows_.size()); }
    // Stops every relay window and every line (within about a second), or the watch.
    void Close();
    // Watches the plant a service publishes on a broker in the overview, read-only, in place
    // of the plant before. The client is the broker's (tests give their own).
    void Watch(const MqttOptions& options, const QString& prefix,
               std::unique_ptr<CMqttClient> client = {});
    CRemotePlant* Remote() { return Remote_.get(); }
    // What work on the whole plant takes of the plant running here (none while watching).
    PlantWork Work();
    // The backup and compare of the plant open, with the last compare of each feeder.
    CPlantBatch& Batch() { return *Batch_; }
    // The menu "厂站" of a relay's window: the overview, a new plant, a plant file.
    void AddMenu(QMenuBar* bar);

private:
    void NewPlant();
    void ChoosePlant();
    void SavePlant();
    void EditPlant();
    void FillRecent();
    void ScanLine(const PlantLine& line, std::function<void(QVector<int>)> found);
    void ShowLineConditions();
    void ChooseBroker();
    void ShowRemotePlant();

    LineFactory Factory_;
    CMainDialogs Dialogs_;
    QSettings Store_;
    std::unique_ptr<COverviewDlg> Overview_;
    std::unique_ptr<CPlantBatch> Batch_;
    Plant Plant_;
    QString Path_;
    std::unique_ptr<CPlantLines> Lines_;
    std::map<QString, std::unique_ptr<CRelayWindow>> Windows_;
    std::unique_ptr<CMqttClient> RemoteClient_;
    std::unique_ptr<CRemotePlant> Remote_;
};

}  // namespace mp
