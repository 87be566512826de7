#pragma once
// The "文件" menu of the main window and what its items do: settings files opened, saved
// and remembered, dropped onto the window, compared with the device, recorded after a write,
// and the commissioning report saved as PDF or printed. It reaches the window only through
// FilesHost, and the device only through the I/O worker.

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "files/CommissioningReport.h"
#include "files/RecentFiles.h"
#include "files/ReportRead.h"
#include "files/SettingsFile.h"
#include "modbus/DeviceContext.h"
#include "relay/DeviceWriteLog.h"

class QAction;
class QMainWindow;
class QMenu;
class QMimeData;
class QProgressDialog;
class QSettings;

namespace mp {

class IFileWindows;
struct LiveValues;

// What the file functions use of the main window and its handlers.
struct FilesHost {
    QMainWindow* Window = nullptr;              // menu bar, drops, parent of every dialog
    ProtectionSettings* Settings = nullptr;     // the window's settings fields
    std::string* StartModeSelection = nullptr;  // the start-mode drop-down's text
    const LiveValues* Live = nullptr;           // the live values the window shows
    std::function<bool()> TakeFields;           // false: refused, the operator was told
    std::function<void()> ShowFields;
    std::function<bool()> PortOpen;
    // Queues a device operation on the I/O worker.
    std::function<void(std::function<void(CDeviceContext&)>)> RunOnDevice;
    std::function<DeviceLine()> Line;   // port, device address and baud rate now
    std::function<int()> Parity;        // of the line now: 0 none, 1 odd, 2 even
    std::function<QString()> PortName;  // the port now, as the report names it
    std::function<bool()> Polling;      // the live values are being refreshed
    // True when the report's read may run now; otherwise the operator was told why.
    std::function<bool()> MayReadForReport;
    // Queues the report's read on the I/O worker as an operation of its own.
    std::function<void(std::function<void(CDeviceContext&)>)> RunReportRead;
    CommParamsRead ReadCommParams = nullptr;  // the device's own address and baud rate
};

class CFilesController : public QObject {
    Q_OBJECT
public:
    // Installs the "文件" menu first in the window's menu bar and accepts dropped files.
    // The recent files are kept in `store` (none: for this run only).
    CFilesController(FilesHost host, IFileWindows& dialogs, QSettings* store,
                     QObject* parent = nullptr);

    // "打开定值文件...": asks for a file, then opens it.
    void OpenSettingsFile();
    // Puts the file's values into the window's fields when the whole file can be used;
    // otherwise tells the operator why, naming the file, and changes nothing. Nothing is sent.
    bool OpenSettingsFile(const QString& path);
    // "保存定值文件...": saves what the window holds, when the write would accept it.
    void SaveSettingsFile();
    // "与设备比较...": reads the device's settings and shows them beside the window's.
    void CompareWithDevice();
    // "生成调试报告...": reads the device, then saves the report as PDF.
    void CreateReport();
    // "打印调试报告...": reads the device, then prints the report through the system's print
    // dialog.
    void PrintReport();

    // After a write of which every group was sent: when the values written are those of the
    // open settings file, offers to record in it when and where they were written.
    void OnSettingsWritten(const ProtectionSettings& written);
    // A write to the device has ended: kept, with when and on which port, for the report.
    void OnDeviceWritten(const DeviceWrite& write);

    // The report made from `reading`, taken on `line`, with what the window holds now.
    ReportInput Report(const DeviceReading& reading, const DeviceLine& line, int parity,
                       const QString& portName) const;
    // The report made last, if any.
    const std::optional<ReportInput>& LastReport() const { return LastReport_; }
    const CDeviceWriteLog& WriteLog() const { return WriteLog_; }
    // The window's menu "文件", for other capabilities' items.
    QMenu* Menu() const { return Menu_; }
    QStringList RecentFiles() const { return Recent_.Paths(); }
    // The settings file opened or saved last, if any.
    QString CurrentPath() const { return Current_ ? Current_->Path : QString(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct OpenFile {
        QString Path;
        CSettingsFile File;
    };

    void InstallMenu();
    // The menu's words in the window's language, again after a language switch.
    void RetranslateTexts();
    void ShowRecentFiles();
    static QString SettingsFilter();
    static QString PdfFilter();
    void ShowComparison(const std::optional<SettingsValues>& device);
    enum class ReportUse { Pdf, Print };
    // Reads the device for the report with progress and Cancel, then saves or prints it.
    void StartReport(ReportUse use);
    void FinishReport(ReportUse use, const ReportReadResult& result, const DeviceLine& line,
                      int parity, const QString& portName);
    SettingsValues WindowValues() const;
    void ApplyValues(const SettingsValues& values);
    bool WindowHoldsFile() const;
    void Inform(const QString& text);
    static QString DroppedFile(const QMimeData* mime);

    FilesHost Host_;
    IFileWindows& Dialogs_;
    CRecentFiles Recent_;
    QMenu* Menu_ = nullptr;
    QMenu* RecentMenu_ = nullptr;
    QAction* OpenAction_ = nullptr;
    QAction* SaveAction_ = nullptr;
    QAction* CompareAction_ = nullptr;
    QAction* ReportAction_ = nullptr;
    QAction* PrintAction_ = nullptr;
    std::optional<OpenFile> Current_;
    CDeviceWriteLog WriteLog_;
    std::optional<ReportInput> LastReport_;
    QPointer<QProgressDialog> ReportProgress_;
};

}  // namespace mp
