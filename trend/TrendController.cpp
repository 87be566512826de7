#include "trend/TrendController.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <cmath>
#include <cstdlib>

#include "dialogs/DialogService.h"

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

CTrendController::CTrendController(TrendHost host, IDialogService& dialogs, QObject* parent)
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
    Menu_ = new QMenu(Host_.Window);
    Menu_->setObjectName(QStringLiteral("trendMenu"));
    TrendAction_ = Menu_->addAction(QString());
    TrendAction_->setObjectName(QStringLiteral("actionTrendWindow"));
    TrendAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(TrendAction_, &QAction::triggered, this, &CTrendController::ShowTrendWindow);
    Menu_->addSeparator();
    StartAction_ = Menu_->addAction(QString());
    StartAction_->setObjectName(QStringLiteral("actionStartRecording"));
    connect(StartAction_, &QAction::triggered, this, &CTrendController::StartRecording);
    StopAction_ = Menu_->addAction(QString());
    StopAction_->setObjectName(QStringLiteral("actionStopRecording"));
    connect(StopAction_, &QAction::triggered, this, &CTrendController::StopRecording);
    Menu_->addSeparator();
    FastAction_ = Menu_->addAction(QString());
    FastAction_->setObjectName(QStringLiteral("actionFastRefresh"));
    FastAction_->setCheckable(true);
    FastAction_->setChecked(false);
    connect(FastAction_, &QAction::toggled, this, &CTrendController::SetFastRefresh);
    Menu_->addSeparator();
    CaptureAction_ = Menu_->addAction(QString());
    CaptureAction_->setObjectName(QStringLiteral("actionStartCapture"));
    connect(CaptureAction_, &QAction::triggered, this, &CTrendController::ArmStartCapture);
    Host_.Window->menuBar()->addMenu(Menu_);

    RecordingLabel_ = new QLabel(Host_.Window);
    RecordingLabel_->setObjectName(QStringLiteral("recordingLabel"));
    Host_.Window->statusBar()->addPermanentWidget(RecordingLabel_);
    // The main window passes a language switch on to its children; the menu follows it.
    Host_.Window->installEventFilter(this);
    RetranslateTexts();
}

void CTrendController::RetranslateTexts() {
    Menu_->setTitle(tr("曲线"));
    TrendAction_->setText(tr("实时曲线"));
    StartAction_->setText(tr("开始记录..."));
    StopAction_->setText(tr("停止记录"));
    FastAction_->setText(tr("快速刷新"));
    CaptureAction_->setText(tr("起动录波"));
    const CStartCapture::State capture = Capture_.CurrentState();
    if (capture == CStartCapture::State::Armed || capture == CStartCapture::State::Capturing) {
        ShowCaptureArmed();
    }
    UpdateRecordingControls();
}

bool CTrendController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Host_.Window && event->type() == QEvent::LanguageChange && Menu_ != nullptr) {
        RetranslateTexts();
    }
    return QObject::eventFilter(watched, event);
}

void CTrendController::ShowCaptureArmed() {
    Host_.Window->statusBar()->showMessage(
        tr("起动录波已准备: 等待任一相电流超过 %1 A")
            .arg(Capture_.Settings().RatedCurrent * CStartCapture::kDefaultThreshold, 0, 'f', 2));
}

void CTrendController::OnPollTick(const PollTickResult& answered) {
    const qint64 now = Host_.Now();
    const TrendSample sample = MakeTrendSample(now, *Host_.Live, answered);
    Store_.Add(sample);
    if (Recorder_.Recording()) {
        if (!Recorder_.Append(sample)) {
            UpdateRecordingControls();
            Inform(tr("记录已停止: 写入 %1 失败 (%2)。读取照常进行。")
                       .arg(QDir::toNativeSeparators(Recorder_.Path()), Recorder_.Error()));
        }
        UpdateRecordingControls();
    }
    if (TrendWindow_) {
        TrendWindow_->Refresh(now, Overlays());
    }
    if (Capture_.Feed(sample)) {
        FinishCapture();
    }
}

void CTrendController::ArmStartCapture() {
    const TrendOverlays overlays = Overlays();
    if (!overlays.RatedCurrent) {
        Inform(tr("起动录波需要额定电流: 请先填写或读出额定电流。"));
        return;
    }
    StartSettings settings;
    settings.RatedCurrent = *overlays.RatedCurrent;
    settings.LockedRotorMultiple = overlays.LockedRotorMultiple.value_or(0);
    settings.LockedRotorTime = Positive(Host_.Settings->LockedRotorTime).value_or(0);
    settings.StartTime = overlays.StartTime.value_or(0);
    Capture_.Arm(settings);
    FastBeforeCapture_ = FastAction_ ? FastAction_->isChecked() : false;
    SetFastRefresh(true);
    if (CaptureAction_) {
        CaptureAction_->setEnabled(false);
    }
    ShowCaptureArmed();
}

void CTrendController::FinishCapture() {
    SetFastRefresh(FastBeforeCapture_);
    if (CaptureAction_) {
        CaptureAction_->setEnabled(true);
    }
    Host_.Window->statusBar()->clearMessage();
    const StartJudgement judgement = CStartCapture::Judge(Capture_.Samples(), Capture_.Settings());
    // Kept before anything is asked, so a cancelled CSV save loses nothing.
    const QString kept = Host_.KeepStart ? Host_.KeepStart(Capture_) : QString();

    ShowTrendWindow();
    TrendWindow_->SetPaused(false);
    TrendWindow_->SetRange(CTrendWindow::LastMinute);
    TrendWindow_->Refresh(Host_.Now(), Overlays());
    TrendWindow_->SetPaused(true);

    const QString suggested = tr("起动录波-%1.csv")
                                  .arg(QDateTime::fromMSecsSinceEpoch(judgement.StartAt)
                                           .toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = Dialogs_.SaveFileName(Host_.Window, tr("保存起动录波"), suggested,
                                               tr("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    QString saved;
    if (!path.isEmpty()) {
        QString error;
        const bool ok = CCsvRecorder::SaveAll(path, Capture_.Samples(), &error);
        saved = ok ? tr("\n录波已保存到 %1。").arg(QDir::toNativeSeparators(path))
                   : tr("\n录波未能保存到 %1 (%2)。").arg(QDir::toNativeSeparators(path), error);
    }
    Inform(JudgementText(judgement, Capture_.Settings()) + saved + kept);
}

QString CTrendController::JudgementText(const StartJudgement& j, const StartSettings& settings) {
    QString text =
        tr("起动于 %1, 峰值电流 %2 A (额定电流的 %3 倍)。")
            .arg(QDateTime::fromMSecsSinceEpoch(j.StartAt).toString(QStringLiteral("HH:mm:ss.zzz")))
            .arg(j.PeakCurrent, 0, 'f', 2)
            .arg(j.PeakCurrent / settings.RatedCurrent, 0, 'f', 1);
    text += j.SettledAfter ? tr("\n电流降到 1.2 倍额定电流以下用时 %1 s。")
                                 .arg(static_cast<double>(*j.SettledAfter) / 1000.0, 0, 'f', 1)
                           : tr("\n录波期间电流没有降到 1.2 倍额定电流以下。");
    if (settings.StartTime > 0) {
        text +=
            j.StartTimeoutTrips
                ? tr("\n按所示定值, 启动超时保护会动作 (启动时间 %1 s)。").arg(settings.StartTime)
                : tr("\n按所示定值, 启动超时保护不会动作 (启动时间 %1 s)。")
                      .arg(settings.StartTime);
    }
    if (settings.LockedRotorMultiple > 0) {
        const double held = j.LockedRotorFor ? static_cast<double>(*j.LockedRotorFor) / 1000.0 : 0;
        text +=
            j.LockedRotorTrips
                ? tr("\n按所示定值, 堵转保护会动作 (%1 倍额定电流持续 %2 s, 超过动作时间 %3 s)。")
                      .arg(settings.LockedRotorMultiple)
                      .arg(held, 0, 'f', 1)
                      .arg(settings.LockedRotorTime)
                : tr("\n按所示定值, 堵转保护不会动作 (%1 倍额定电流, 动作时间 %2 s)。")
                      .arg(settings.LockedRotorMultiple)
                      .arg(settings.LockedRotorTime);
    }
    return text;
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
    const QString suggested = tr("记录-%1.csv")
                                  .arg(QDateTime::fromMSecsSinceEpoch(Host_.Now())
                                           .toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = Dialogs_.SaveFileName(Host_.Window, tr("开始记录"), suggested,
                                               tr("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    if (!Recorder_.Start(path)) {
        Inform(tr("无法记录到 %1 (%2)。").arg(QDir::toNativeSeparators(path), Recorder_.Error()));
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
    return tr("记录中：%1（%2）")
        .arg(QFileInfo(Recorder_.Path()).fileName(), SizeText(Recorder_.Size()));
}

QString CTrendController::SizeText(qint64 bytes) {
    // Formed here rather than by QLocale, whose units stay English in the Chinese window.
    constexpr qint64 kKiB = 1024;
    if (bytes < kKiB) {
        return tr("%1 字节").arg(bytes);
    }
    if (bytes < kKiB * kKiB) {
        return tr("%1 KB").arg(static_cast<double>(bytes) / kKiB, 0, 'f', 1);
    }
    return tr("%1 MB").arg(static_cast<double>(bytes) / (kKiB * kKiB), 0, 'f', 1);
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
