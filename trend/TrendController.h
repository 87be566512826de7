#pragma once
// The "曲线" menu's functions: the trend window fed by every poll tick, the recording of every
// tick to a CSV file with its size in the status bar, and the fast refresh switch. It reaches
// the main window only through its host.

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "monitoring/LiveValues.h"
#include "monitoring/PollingCycle.h"
#include "settings/ProtectionSettings.h"
#include "trend/CsvRecorder.h"
#include "trend/SampleStore.h"
#include "trend/StartCapture.h"
#include "trend/TrendWindow.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;

namespace mp {

class IDialogService;

struct TrendHost {
    QMainWindow* Window = nullptr;
    const ProtectionSettings* Settings = nullptr;  // as the window holds them
    const LiveValues* Live = nullptr;              // as the last tick left them
    // Turns the fast refresh of the reads on or off.
    std::function<void(bool on)> SetFastRefresh;
    // Milliseconds since the epoch (tests give their own).
    std::function<qint64()> Now;
    // Keeps a finished start capture (the start records); the words added to the capture's
    // message. Nothing kept without it.
    std::function<QString(const CStartCapture&)> KeepStart;
};

class CTrendController : public QObject {
    Q_OBJECT
public:
    // The share of the rated current above which a rise of a phase current counts as a start.
    static constexpr double kStartThreshold = 0.10;

    CTrendController(TrendHost host, IDialogService& dialogs, QObject* parent = nullptr);
    ~CTrendController() override;

    // The "曲线" menu in the main window's menu bar.
    void InstallMenu();

    // On the window thread after a poll tick's final show.
    void OnPollTick(const mp::PollTickResult& answered);
    // Polling starts (again): the trend's lines do not join the ticks before it.
    void OnPollingStarted() { Store_.BreakLine(); }

    void ShowTrendWindow();
    void StartRecording();
    void StopRecording();
    void SetFastRefresh(bool on);
    // "起动录波": arms the start capture and polls at fast refresh until it is done.
    void ArmStartCapture();
    const CStartCapture& Capture() const { return Capture_; }
    // The operator's words for a judged start.
    static QString JudgementText(const StartJudgement& judgement, const StartSettings& settings);

    const CSampleStore& Store() const { return Store_; }
    // Keeps every finished start capture from now on (see TrendHost::KeepStart).
    void SetKeepStart(std::function<QString(const CStartCapture&)> keep) {
        Host_.KeepStart = std::move(keep);
    }
    // The "曲线" menu, for the functions other capabilities add to it (after InstallMenu).
    QMenu* Menu() const { return Menu_; }
    const CCsvRecorder& Recorder() const { return Recorder_; }
    CTrendWindow* TrendWindow() const { return TrendWindow_; }
    // The settings the current chart shows, from the window's settings and the samples.
    TrendOverlays Overlays() const;
    // "记录中：rec1.csv（753 字节）" while recording, "" otherwise; in the window's language.
    QString RecordingText() const;
    // "753 字节", "1.5 KB", "2.0 MB".
    static QString SizeText(qint64 bytes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The menu's words and the status texts in the window's language, again after a switch.
    void RetranslateTexts();
    void ShowCaptureArmed();
    void UpdateRecordingControls();
    void Inform(const QString& text);
    void FinishCapture();

    TrendHost Host_;
    IDialogService& Dialogs_;
    CSampleStore Store_;
    CCsvRecorder Recorder_;
    CStartCapture Capture_;
    bool FastBeforeCapture_ = false;
    QPointer<CTrendWindow> TrendWindow_;
    QMenu* Menu_ = nullptr;
    QAction* TrendAction_ = nullptr;
    QAction* StartAction_ = nullptr;
    QAction* StopAction_ = nullptr;
    QAction* FastAction_ = nullptr;
    QAction* CaptureAction_ = nullptr;
    QLabel* RecordingLabel_ = nullptr;
};

}  // namespace mp
