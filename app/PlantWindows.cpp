#include "app/PlantWindows.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include "app/RelayWindow.h"
#include "audit/AuditLogDlg.h"
#include "batch/BatchWriteDlg.h"
#include "batch/PlantBatch.h"
#include "batch/PlantSummary.h"
#include "diagnostics/BusScan.h"
#include "line/DeviceLine.h"
#include "mqtt/MosquittoClient.h"
#include "plant/OverviewDlg.h"
#include "plant/PlantEditorDlg.h"
#include "plant/PlantFile.h"
#include "plant/PlantLines.h"
#include "plant/RecentPlants.h"
#include "service/BrokerDlg.h"
#include "service/RemotePlant.h"

namespace mp {
namespace {

QString Errors(const PlantFileErrors& errors) {
    QStringList lines;
    for (const PlantFileError& error : errors) {
        lines << error.Text();
    }
    return lines.join(QLatin1Char('\n'));
}

// What a relay window of the feeder says of its line.
QString LineName(const PlantLine& line) {
    switch (line.Kind) {
        case PlantLineKind::Tcp:
            return QStringLiteral("%1:%2").arg(line.Host).arg(line.TcpPort);
        case PlantLineKind::Simulated:
            return CPlantWindows::tr("模拟线路 %1").arg(line.Id);
        case PlantLineKind::Serial:
            break;
    }
    return line.Port;
}

}  // namespace

CPlantWindows::CPlantWindows(LineFactory factory, QObject* parent)
    : QObject(parent),
      Factory_(std::move(factory)),
      Store_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("motor-protector"),
             QStringLiteral("motor-protector")),
      Overview_(std::make_unique<COverviewDlg>(Dialogs_)) {
    COverviewDlg& overview = *Overview_;
    connect(overview.NewPlantAction(), &QAction::triggered, this, &CPlantWindows::NewPlant);
    connect(overview.OpenPlantAction(), &QAction::triggered, this, &CPlantWindows::ChoosePlant);
    connect(overview.SavePlantAction(), &QAction::triggered, this, &CPlantWindows::SavePlant);
    connect(overview.EditPlantAction(), &QAction::triggered, this, &CPlantWindows::EditPlant);
    connect(overview.WatchBrokerAction(), &QAction::triggered, this, &CPlantWindows::ChooseBroker);
    // Work on the whole plant: the backup and compare keep the last compare of each feeder
    // for the summary.
    Batch_ = std::make_unique<CPlantBatch>(Work(), overview.PlantMenu());
    AddBatchWriteAction(overview.PlantMenu(), Work());
    AddPlantSummaryAction(overview.PlantMenu(), Work(), [this](const QString& tag) {
        return LastCompareText(Batch_->LastCompares(), tag);
    });
    connect(&overview, &COverviewDlg::OpenFeeder, this, [this](int row) {
        if (Remote_) {
            Dialogs_.Inform(Overview_.get(),
                            tr("从服务器监视的厂站是只读的：写入和命令需要直接连接线路。"));
            return;
        }
        OpenFeeder(row);
    });
    connect(&overview, &COverviewDlg::Closing, this, &CPlantWindows::Close);
    // "厂站" > "审计日志...": the log of the plant open (its feeders' windows write to it).
    QAction* audit = overview.PlantMenu()->addAction(CAuditLogDlg::MenuText());
    audit->setObjectName(QStringLiteral("actionPlantAuditLog"));
    connect(audit, &QAction::triggered, this,
            [this] { CAuditLogDlg::Show(CAuditLog::PlantPath(Path_), Dialogs_, Overview_.get()); });
    overview.ShowPlant(QString(), nullptr, {}, {});
    FillRecent();
}

CPlantWindows::~CPlantWindows() {
    Close();
}

bool CPlantWindows::Open(const QString& path) {
    PlantFileResult loaded = LoadPlant(path);
    if (!loaded.Ok()) {
        Dialogs_.Inform(Overview_.get(), Errors(loaded.Errors));
        return false;
    }
    RecentPlants(&Store_).Add(path);
    Show(std::move(*loaded.Value), path);
    return true;
}

void CPlantWindows::Show(Plant plant, const QString& path) {
    Close();
    Plant_ = std::move(plant);
    Path_ = path;
    Lines_ = std::make_unique<CPlantLines>(Plant_, [this](const PlantLine& line) {
        return Factory_ ? Factory_(line)
                        : std::make_unique<CDeviceLine>(LineEndpointOf(line, Plant_));
    });
    connect(Lines_.get(), &CPlantLines::LineUp, this, &CPlantWindows::ShowLineConditions);
    connect(Lines_.get(), &CPlantLines::LineDown, this, &CPlantWindows::ShowLineConditions);
    QStringList lineNames;
    for (const PlantLine& line : Plant_.Lines) {
        lineNames << line.Id;
    }
    const QString title = Plant_.Name.isEmpty() ? QFileInfo(path).fileName() : Plant_.Name;
    Overview_->ShowPlant(title, &Lines_->States(), lineNames,
                         [] { return QDateTime::currentMSecsSinceEpoch(); });
    Lines_->Start();
    ShowLineConditions();
    FillRecent();
}

PlantWork CPlantWindows::Work() {
    PlantWork work;
    work.CurrentPlant = [this]() -> const Plant* { return Lines_ ? &Plant_ : nullptr; };
    work.PlantPath = [this] { return Path_; };
    work.Lines = [this] { return Lines_.get(); };
    work.Dialogs = &Dialogs_;
    work.Parent = Overview_.get();
    return work;
}

void CPlantWindows::ChooseBroker() {
    MqttOptions last;
    last.Host = Store_.value(QStringLiteral("broker/host"), QStringLiteral("127.0.0.1")).toString();
    last.Port = Store_.value(QStringLiteral("broker/port"), 1883).toInt();
    last.User = Store_.value(QStringLiteral("broker/user")).toString();
    last.CaFile = Store_.value(QStringLiteral("broker/ca")).toString();
    const QString prefix = Store_
                               .value(QStringLiteral("broker/prefix"),
                                      QString::fromLatin1(CPlantTopics::kDefaultPrefix))
                               .toString();
    CBrokerDlg dialog(last, prefix, Dialogs_, Overview_.get());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const MqttOptions chosen = dialog.Options();
    Store_.setValue(QStringLiteral("broker/host"), chosen.Host);
    Store_.setValue(QStringLiteral("broker/port"), chosen.Port);
    Store_.setValue(QStringLiteral("broker/user"), chosen.User);
    Store_.setValue(QStringLiteral("broker/ca"), chosen.CaFile);
    Store_.setValue(QStringLiteral("broker/prefix"), dialog.Prefix());
    Watch(chosen, dialog.Prefix());
}

void CPlantWindows::Watch(const MqttOptions& options, const QString& prefix,
                          std::unique_ptr<CMqttClient> client) {
    Close();
    RemoteClient_ = client ? std::move(client) : std::make_unique<CMosquittoClient>();
    Remote_ = std::make_unique<CRemotePlant>(*RemoteClient_, CPlantTopics(prefix),
                                             [] { return QDateTime::currentMSecsSinceEpoch(); });
    connect(Remote_.get(), &CRemotePlant::PlantArrived, this, &CPlantWindows::ShowRemotePlant);
    connect(Remote_.get(), &CRemotePlant::ConditionChanged, this,
            &CPlantWindows::ShowLineConditions);
    Overview_->setWindowTitle(tr("厂站总览 - 服务器 %1:%2").arg(options.Host).arg(options.Port));
    QString reason;
    if (!Remote_->Start(options, &reason)) {
        Dialogs_.Inform(
            Overview_.get(),
            tr("无法连接服务器 %1:%2：%3").arg(options.Host).arg(options.Port).arg(reason));
        Close();
        return;
    }
    ShowLineConditions();
}

void CPlantWindows::ShowRemotePlant() {
    const Plant& plant = Remote_->PlantModel();
    QStringList lineNames;
    for (const PlantLine& line : plant.Lines) {
        lineNames << line.Id;
    }
    Overview_->ShowPlant(tr("%1（服务器）").arg(plant.Name), Remote_->States(), lineNames,
                         [] { return QDateTime::currentMSecsSinceEpoch(); });
    Overview_->SetReadOnly(true);
    ShowLineConditions();
}

void CPlantWindows::ShowLineConditions() {
    if (Remote_) {
        Overview_->SetLineText(Remote_->ConditionText());
        return;
    }
    if (!Lines_) {
        Overview_->SetLineText(QString());
        return;
    }
    QStringList parts;
    for (int k = 0; k < Lines_->LineCount(); ++k) {
        const QString message = Lines_->LineMessage(k);
        parts << (message.isEmpty() ? tr("%1：正常").arg(Plant_.Lines[k].Id)
                                    : tr("%1：%2").arg(Plant_.Lines[k].Id, message));
    }
    Overview_->SetLineText(parts.join(QStringLiteral("；")));
}

CRelayWindow* CPlantWindows::OpenFeeder(int row) {
    if (!Lines_ || row < 0 || row >= Lines_->States().Count()) {
        return nullptr;
    }
    const FeederState& feeder = Lines_->States().At(row);
    auto open = Windows_.find(feeder.Tag);
    if (open != Windows_.end()) {
        open->second->Window().raise();
        open->second->Window().activateWindow();
        return open->second.get();
    }
    CDeviceLine* host = Lines_->Line(feeder.Line);
    if (host == nullptr) {
        return nullptr;
    }
    const PlantLine& line = Plant_.Lines[feeder.Line];
    ConnectionSettings connection;
    connection.PortText = LineName(line);
    connection.PortNumber = 0;
    connection.BaudRate = line.BaudRate;
    connection.ParityCode = line.Parity;
    connection.SlaveAddress = feeder.Address;
    auto window = std::make_unique<CRelayWindow>(
        connection, std::make_unique<CDeviceLine>(*host, feeder.Address, line.BaudRate));
    CRelayWindow* relay = window.get();
    const QString tag = feeder.Tag;
    relay->SetPlantFeeder(Path_, Plant_.Name, tag, line.Id);
    relay->Window().setWindowTitle(tr("%1 - %2").arg(tag, relay->Window().windowTitle()));
    relay->Window().setAttribute(Qt::WA_DeleteOnClose, false);
    connect(&relay->Window(), &CMotorProtectorDlg::Closing, this, [this, tag] {
        // After the close event has run: the window goes with its bundle.
        QMetaObject::invokeMethod(
            this,
            [this, tag] {
                Windows_.erase(tag);
                if (Lines_) {
                    Lines_->SetWindowOpen(tag, false);
                }
            },
            Qt::QueuedConnection);
    });
    Windows_[tag] = std::move(window);
    Lines_->SetWindowOpen(tag, true);
    relay->Controller().Start();
    relay->Window().show();
    return relay;
}

void CPlantWindows::Close() {
    // The batch windows and relay windows first: their reads run on the lines' workers.
    if (Batch_) {
        Batch_->Forget();
    }
    Windows_.clear();
    if (Remote_) {
        Overview_->ShowPlant(QString(), nullptr, {}, {});
        Remote_->Stop();
        Remote_.reset();
        RemoteClient_.reset();
    }
    if (Lines_) {
        Lines_->Shutdown();
        Overview_->ShowPlant(QString(), nullptr, {}, {});
        Lines_.reset();
    }
    ShowLineConditions();
}

void CPlantWindows::NewPlant() {
    Plant plant;
    CPlantEditorDlg editor(plant, Dialogs_, {}, Overview_.get());
    if (editor.exec() != QDialog::Accepted) {
        return;
    }
    const QString path = Dialogs_.SaveFileName(Overview_.get(), tr("保存厂站"), tr("厂站.json"),
                                               tr("厂站文件 (*.json)"), QStringLiteral("json"));
    if (path.isEmpty()) {
        return;
    }
    const PlantFileErrors errors = mp::SavePlant(path, editor.Result());
    if (!errors.isEmpty()) {
        Dialogs_.Inform(Overview_.get(), Errors(errors));
        return;
    }
    RecentPlants(&Store_).Add(path);
    Show(editor.Result(), path);
}

void CPlantWindows::ChoosePlant() {
    const QString path =
        Dialogs_.OpenFileName(Overview_.get(), tr("打开厂站"), tr("厂站文件 (*.json)"));
    if (!path.isEmpty()) {
        Open(path);
    }
}

void CPlantWindows::SavePlant() {
    if (!Lines_ || Path_.isEmpty()) {
        return;
    }
    const PlantFileErrors errors = mp::SavePlant(Path_, Plant_);
    if (!errors.isEmpty()) {
        Dialogs_.Inform(Overview_.get(), Errors(errors));
    }
}

void CPlantWindows::EditPlant() {
    if (!Lines_) {
        return;
    }
    CPlantEditorDlg editor(
        Plant_, Dialogs_,
        [this](const PlantLine& line, std::function<void(QVector<int>)> found) {
            ScanLine(line, std::move(found));
        },
        Overview_.get());
    if (editor.exec() != QDialog::Accepted) {
        return;
    }
    // The edited plant runs from now on; "保存厂站" writes it.
    Show(editor.Result(), Path_);
}

void CPlantWindows::ScanLine(const PlantLine& line, std::function<void(QVector<int>)> found) {
    CDeviceLine* host = Lines_ ? Lines_->Line(line.Id) : nullptr;
    if (host == nullptr) {
        Dialogs_.Inform(Overview_.get(), tr("线路 %1 尚未打开：请先确定并保存厂站。").arg(line.Id));
        found({});
        return;
    }
    ScanPlan plan;
    plan.BaudRates = {line.BaudRate};
    plan.Parities = {line.Parity};
    plan.Line = PortSettingsOf(LineEndpointOf(line, Plant_));
    auto addresses = std::make_shared<QVector<int>>();
    host->Worker().Post([plan, addresses, found](CDeviceContext& ctx) {
        static const std::atomic<bool> kNeverStopped{false};
        const std::atomic<bool>& stop = ctx.CloseFlag() ? *ctx.CloseFlag() : kNeverStopped;
        CBusScan::Run(
            ctx.Link, plan, stop,
            [addresses](const FoundDevice& device) { addresses->push_back(device.Address); }, {});
        ctx.Post([addresses, found] { found(*addresses); });
    });
}

void CPlantWindows::AddMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(tr("厂站"));
    auto showing = [this](QAction* action) {
        return [this, action] {
            Overview_->show();
            Overview_->raise();
            if (action != nullptr) {
                action->trigger();
            }
        };
    };
    connect(menu->addAction(tr("厂站总览...")), &QAction::triggered, this, showing(nullptr));
    connect(menu->addAction(tr("新建厂站...")), &QAction::triggered, this,
            showing(Overview_->NewPlantAction()));
    connect(menu->addAction(tr("打开厂站...")), &QAction::triggered, this,
            showing(Overview_->OpenPlantAction()));
}

void CPlantWindows::FillRecent() {
    QMenu* menu = Overview_->RecentMenu();
    menu->clear();
    const QStringList paths = RecentPlants(&Store_).Paths();
    for (const QString& path : paths) {
        connect(menu->addAction(path), &QAction::triggered, this, [this, path] { Open(path); });
    }
    menu->setEnabled(!paths.isEmpty());
}

}  // namespace mp
