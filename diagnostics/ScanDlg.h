#pragma once
// "搜索设备": scans a range of slave addresses at one or every baud rate and parity, shows
// what answered as it comes, stops when asked, connects to a device found and exports the
// list. The scan runs on the I/O worker as one operation; this dialog only shows its results.
// Follows a language switch at once; the exported list is in the language the dialog shows.

#include <QDialog>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "diagnostics/BusScan.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace mp {

class CDeviceContext;
class IDialogService;

struct ScanHost {
    // True when nothing else runs on the line; otherwise the operator has been told why.
    std::function<bool()> MayStart;
    // Runs the job on the I/O worker as one operation.
    std::function<void(std::function<void(CDeviceContext&)>)> RunOnDevice;
    // The line the port is on now.
    std::function<PortSettings()> Line;
    // "连接": take this device's address, rate and parity; `done` is called on the window
    // thread with whether the tool is now connected to it.
    std::function<void(const FoundDevice&, std::function<void(bool connected)> done)> Connect;
};

class CScanDlg : public QDialog {
    Q_OBJECT
public:
    CScanDlg(ScanHost host, IDialogService& dialogs, QWidget* parent = nullptr);
    ~CScanDlg() override;

    ScanPlan Plan() const;
    const std::vector<FoundDevice>& Found() const { return Found_; }
    bool Running() const { return Running_; }
    // The link clock's time the last scan took (ms).
    uint32_t LastElapsedMs() const { return ElapsedMs_; }
    // The list as CSV (UTF-8): 地址, 波特率, 校验, 设备存储地址, 波特率代码, in the dialog's
    // language (a list for people; nothing reads it back).
    QString Csv() const;

    // The controls, for tests and pictures.
    QSpinBox& FirstAddress() { return *First_; }
    QSpinBox& LastAddress() { return *Last_; }
    QComboBox& BaudChoice() { return *Baud_; }
    QComboBox& ParityChoice() { return *Parity_; }
    QSpinBox& Margin() { return *Margin_; }
    QTableWidget& Table() { return *Table_; }
    QProgressBar& Progress() { return *Progress_; }
    QLabel& Status() { return *Status_; }

public slots:
    void StartScan();
    void StopScan();
    void ConnectSelected();
    void ExportCsv();

protected:
    void changeEvent(QEvent* event) override;

private:
    enum class ScanState {
        Idle,
        Running,
        Completed,
        Stopped,
        PortFailed,
        Connecting,
        Connected,
        ConnectFailed
    };

    // The texts set in code, in the dialog's language.
    void RetranslateTexts();
    // The status line of the scan's state.
    void ShowStatus();
    void AddFound(const FoundDevice& device);
    void SetProgress(int done, int total);
    void Finished(ScanEnd end, uint32_t elapsedMs);
    void ConnectEnded(bool connected);
    void UpdateEstimate();
    void UpdateButtons();

    ScanHost Host_;
    IDialogService& Dialogs_;
    std::shared_ptr<std::atomic<bool>> Stop_;
    std::vector<FoundDevice> Found_;
    bool Running_ = false;
    ScanState State_ = ScanState::Idle;
    uint32_t ElapsedMs_ = 0;
    FoundDevice Connecting_;  // the device "连接" was last given

    QSpinBox* First_;
    QSpinBox* Last_;
    QComboBox* Baud_;
    QComboBox* Parity_;
    QSpinBox* Margin_;
    QLabel* Estimate_;
    std::array<QLabel*, 6> Labels_{};  // the form's captions
    QProgressBar* Progress_;
    QTableWidget* Table_;
    QLabel* Status_;
    QPushButton* Start_;
    QPushButton* StopButton_;
    QPushButton* Connect_;
    QPushButton* Export_;
    QPushButton* Close_;
};

// "无校验", "奇校验", "偶校验", in the window's language (shown only; the parity itself is
// the code).
QString ParityText(int parity);

}  // namespace mp
