#include "trend/TrendController.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <cmath>
#include <cstdlib>

#include "files/FileDialogs.h"

namespace mp {
namespace {

std::optional<double> Positive(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

CTrendController::CTrendController(TrendHost host, IFileDialogs& dialogs, QObject* parent)
    : QObject(parent), Host_(std::move(host)), Dialogs_(dialogs) {
    if (!Host_.Now) {
        Host_.Now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    }
}

CTrendController::~CTrendController() {
    Recorder_.Stop();
    delete TrendWindow_.data();
}

void CTrendController::InstallMenu() {
    auto* menu = new QMenu(QStringLiteral("曲线"), Host_.Window);
    menu->setObjectName(QStringLiteral("trendMenu"));
    QAction* trend = menu->addAction(QStringLiteral("实时曲线"));
    trend->setObjectName(QStringLiteral("actionTrendWindow"));
    trend->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(trend, &QAction::triggered, this, &CTrendController::ShowTrendWindow);
    menu->addSeparator();
    StartAction_ = menu->addAction(QStringLiteral("开始记录..."));
    StartAction_->setObjectName(QStringLiteral("actionStartRecording"));
    connect(StartAction_, &QAction::triggered, this, &CTrendController::StartRecording);
    StopAction_ = menu->addAction(QStringLiteral("停止记录"));
    StopAction_->setObjectName(QStringLiteral("actionStopRecording"));
    connect(StopAction_, &QAction::triggered, this, &CTrendController::StopRecording);
    menu->addSeparator();
    FastAction_ = menu->addAction(QStringLiteral("快速刷新"));
    FastAction_->setObjectName(QStringLiteral("actionFastRefresh"));
    FastAction_->setCheckable(true);
    FastAction_->setChecked(false);
    connect(FastAction_, &QAction::toggled, this, &CTrendController::SetFastRefresh);
    Host_.Window->menuBar()->addMenu(menu);

    RecordingLabel_ = new QLabel(Host_.Window);
    RecordingLabel_->setObjectName(QStringLiteral("recordingLabel"));
    Host_.Window->statusBar()->addPermanentWidget(RecordingLabel_);
    UpdateRecordingControls();
}

void CTrendController::OnPollTick(const PollTickResult& answered) {
    const qint64 now = Host_.Now();
    const TrendSample sample = MakeTrendSample(now, *Host_.Live, answered);
    Store_.Add(sample);
    if (Recorder_.Recording()) {
        if (!Recorder_.Append(sample)) {
            UpdateRecordingControls();
            Inform(QStringLiteral("记录已停止: 写入 %1 失败 (%2)。读取照常进行。")
                       .arg(QDir::toNativeSeparators(Recorder_.Path()), Recorder_.Error()));
        }
        UpdateRecordingControls();
    }
    if (TrendWindow_) {
        TrendWindow_->Refresh(now, Overlays());
    }
}

TrendOverlays CTrendController::Overlays() const {
    TrendOverlays overlays;
    overlays.RatedCurrent = Positive(Host_.Settings->RatedCurrent);
    overlays.LockedRotorMultiple = Positive(Host_.Settings->LockedRotorMultiple);
    overlays.StartTime = Positive(Host_.Settings->StartTime);
    if (overlays.RatedCurrent) {
        overlays.StartAt = Store_.LastStart(*overlays.RatedCurrent * kStartThreshold);
    }
    return overlays;
}

void CTrendController::ShowTrendWindow() {
    if (!TrendWindow_) {
        TrendWindow_ = new CTrendWindow(Store_, Dialogs_);
        TrendWindow_->setAttribute(Qt::WA_DeleteOnClose);
        TrendWindow_->Refresh(Host_.Now(), Overlays());
    }
    TrendWindow_->show();
    TrendWindow_->raise();
    TrendWindow_->activateWindow();
}

void CTrendController::StartRecording() {
    if (Recorder_.Recording()) {
        return;
    }
    const QString suggested = QStringLiteral("记录-%1.csv")
                                  .arg(QDateTime::fromMSecsSinceEpoch(Host_.Now())
                                           .toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path =
        Dialogs_.SaveFileName(Host_.Window, QStringLiteral("开始记录"), suggested,
                              QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    if (!Recorder_.Start(path)) {
        Inform(QStringLiteral("无法记录到 %1 (%2)。")
                   .arg(QDir::toNativeSeparators(path), Recorder_.Error()));
    }
    UpdateRecordingControls();
}

void CTrendController::StopRecording() {
    Recorder_.Stop();
    UpdateRecordingControls();
}

void CTrendController::SetFastRefresh(bool on) {
    if (FastAction_ && FastAction_->isChecked() != on) {
        FastAction_->setChecked(on);  // comes back here through the toggle
        return;
    }
    if (Host_.SetFastRefresh) {
        Host_.SetFastRefresh(on);
    }
}

QString CTrendController::RecordingText() const {
    if (!Recorder_.Recording()) {
        return QString();
    }
    return QStringLiteral("记录中: %1 (%2)")
        .arg(QFileInfo(Recorder_.Path()).fileName(),
             QLocale::c().formattedDataSize(Recorder_.Size(), 1,
                                            QLocale::DataSizeTraditionalFormat));
}

void CTrendController::UpdateRecordingControls() {
    if (StartAction_) {
        StartAction_->setEnabled(!Recorder_.Recording());
        StopAction_->setEnabled(Recorder_.Recording());
    }
    if (RecordingLabel_) {
        RecordingLabel_->setText(RecordingText());
        RecordingLabel_->setVisible(Recorder_.Recording());
    }
}

void CTrendController::Inform(const QString& text) {
    Dialogs_.Inform(Host_.Window, text);
}

}  // namespace mp
