#include "files/FilesController.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QUrl>

#include "files/DeviceSettingsRead.h"
#include "files/FileWindows.h"
#include "files/SettingsTable.h"
#include "language/Text.h"
#include "monitoring/LiveValues.h"

#ifndef MP_TOOL_VERSION
#define MP_TOOL_VERSION "0"
#endif

namespace mp {
namespace {

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

QString CFilesController::SettingsFilter() {
    return tr("定值文件 (*.json);;所有文件 (*)");
}

QString CFilesController::PdfFilter() {
    return tr("PDF 文件 (*.pdf)");
}

CFilesController::CFilesController(FilesHost host, IFileWindows& dialogs, QSettings* store,
                                   QObject* parent)
    : QObject(parent), Host_(std::move(host)), Dialogs_(dialogs), Recent_(store) {
    InstallMenu();
    Host_.Window->setAcceptDrops(true);
    Host_.Window->installEventFilter(this);
    // Edit fields take drops of their own: a dropped file must open, not become text.
    for (QWidget* child : Host_.Window->findChildren<QWidget*>()) {
        if (child->acceptDrops()) {
            child->installEventFilter(this);
        }
    }
}

void CFilesController::InstallMenu() {
    Menu_ = new QMenu(Host_.Window);
    Menu_->setObjectName(QStringLiteral("fileMenu"));
    auto add = [this](const char* name, const QKeySequence& keys,
                      void (CFilesController::*handler)()) {
        QAction* action = Menu_->addAction(QString());
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    OpenAction_ =
        add("actionOpenSettingsFile", QKeySequence::Open, &CFilesController::OpenSettingsFile);
    SaveAction_ =
        add("actionSaveSettingsFile", QKeySequence::Save, &CFilesController::SaveSettingsFile);
    RecentMenu_ = Menu_->addMenu(QString());
    RecentMenu_->setObjectName(QStringLiteral("recentFilesMenu"));
    Menu_->addSeparator();
    CompareAction_ = add("actionCompareWithDevice", QKeySequence(Qt::CTRL | Qt::Key_D),
                         &CFilesController::CompareWithDevice);
    Menu_->addSeparator();
    ReportAction_ = add("actionCreateReport", QKeySequence(Qt::CTRL | Qt::Key_R),
                        &CFilesController::CreateReport);
    PrintAction_ = add("actionPrintReport", QKeySequence::Print, &CFilesController::PrintReport);

    QMenuBar* bar = Host_.Window->menuBar();
    bar->insertMenu(bar->actions().value(0), Menu_);
    RetranslateTexts();
}

void CFilesController::RetranslateTexts() {
    Menu_->setTitle(tr("文件"));
    OpenAction_->setText(tr("打开定值文件..."));
    SaveAction_->setText(tr("保存定值文件..."));
    RecentMenu_->setTitle(tr("最近的定值文件"));
    CompareAction_->setText(tr("与设备比较..."));
    ReportAction_->setText(tr("生成调试报告..."));
    PrintAction_->setText(tr("打印调试报告..."));
    ShowRecentFiles();
}

void CFilesController::ShowRecentFiles() {
    RecentMenu_->clear();
    const QStringList paths = Recent_.Paths();
    if (paths.isEmpty()) {
        RecentMenu_->addAction(tr("（无）"))->setEnabled(false);
        return;
    }
    for (int k = 0; k < paths.size(); ++k) {
        const QString path = paths[k];
        QAction* action =
            RecentMenu_->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(Native(path)));
        action->setObjectName(QStringLiteral("recentFileAction%1").arg(k + 1));
        connect(action, &QAction::triggered, this, [this, path] { OpenSettingsFile(path); });
    }
}

void CFilesController::Inform(const QString& text) {
    Dialogs_.Inform(Host_.Window, text);
}

SettingsValues CFilesController::WindowValues() const {
    SettingsValues values;
    values.Protection = *Host_.Settings;
    values.StartMode = *Host_.StartModeSelection;
    return values;
}

void CFilesController::ApplyValues(const SettingsValues& values) {
    // The start-mode display keeps showing the device's start mode as last read.
    const std::string deviceStartMode = Host_.Settings->StartModeText;
    *Host_.Settings = values.Protection;
    Host_.Settings->StartModeText = deviceStartMode;
    *Host_.StartModeSelection = values.StartMode;
    Host_.ShowFields();
}

bool CFilesController::WindowHoldsFile() const {
    return Current_ && SameValues(WindowValues(), Current_->File.Values);
}

// ---- settings files -----------------------------------------------------------------------

void CFilesController::OpenSettingsFile() {
    const QString path = Dialogs_.OpenFileName(Host_.Window, tr("打开定值文件"), SettingsFilter());
    if (!path.isEmpty()) {
        OpenSettingsFile(path);
    }
}

bool CFilesController::OpenSettingsFile(const QString& path) {
    QString reason;
    // The whole file is read and checked before anything changes.
    const std::optional<CSettingsFile> file = CSettingsFile::Load(path, &reason);
    if (!file) {
        Inform(tr("定值文件“%1”无法使用：%2。\n窗口中的值没有改变。").arg(Native(path), reason));
        if (!QFileInfo::exists(path)) {
            Recent_.Remove(path);
            ShowRecentFiles();
        }
        return false;
    }
    // Text typed since the fields were last taken must not be lost to the show below.
    if (!Host_.TakeFields()) {
        return false;
    }
    ApplyValues(file->Values);
    Current_ = OpenFile{path, *file};
    Recent_.Add(path);
    ShowRecentFiles();
    return true;
}

void CFilesController::SaveSettingsFile() {
    if (!Host_.TakeFields()) {
        return;
    }
    const SettingsValues values = WindowValues();
    // A file the tool would refuse to open is no use to anyone.
    if (const auto refusal = RefuseValues(values)) {
        Inform(tr("窗口中的定值不能保存：%1。\n定值文件未保存。")
                   .arg(QString::fromStdString(*refusal)));
        return;
    }
    const DeviceLine line = Host_.Line();
    const QString suggested =
        Current_ ? Current_->Path
                 : QDir(Recent_.Paths().isEmpty() ? QDir::homePath()
                                                  : QFileInfo(Recent_.Paths().first()).path())
                       .filePath(tr("定值-地址%1.json").arg(line.Address));
    const QString path = Dialogs_.SaveFileName(Host_.Window, tr("保存定值文件"), suggested,
                                               SettingsFilter(), QStringLiteral("json"));
    if (path.isEmpty()) {
        return;
    }
    const std::optional<QString> note = Dialogs_.EditText(
        Host_.Window, tr("保存定值文件"), tr("备注（柜号、回路、电动机，可不填）："),
        Current_ ? Current_->File.Note : QString());
    if (!note) {
        return;
    }

    // Keys this tool does not know stay; the write records stay only with the values written.
    CSettingsFile file = Current_ ? Current_->File : CSettingsFile();
    if (!SameValues(file.Values, values)) {
        file.ClearWrites();
    }
    file.Values = values;
    file.Note = *note;
    file.ToolVersion = QStringLiteral(MP_TOOL_VERSION);
    file.SavedAt = QDateTime::currentDateTime();
    file.Source = line;
    QString reason;
    if (!file.Save(path, &reason)) {
        Inform(tr("定值文件“%1”未能保存：%2").arg(Native(path), reason));
        return;
    }
    Current_ = OpenFile{path, file};
    Recent_.Add(path);
    ShowRecentFiles();
}

void CFilesController::OnSettingsWritten(const ProtectionSettings& written) {
    if (!Current_) {
        return;
    }
    SettingsValues writtenValues{written, Current_->File.Values.StartMode};
    if (!SameValues(writtenValues, Current_->File.Values)) {
        return;
    }
    // The settings write leaves the device's start mode as it was: a file that chooses
    // another one was not written whole, and no record may say it was.
    if (written.StartModeText != Current_->File.Values.StartMode) {
        Inform(tr("定值已写入设备，但设备的起动方式仍为“%1”，与定值文件“%2”中的“%3”不同"
                  "（起动方式用“设置起动方式”单独设置），因此未记录这次写入。")
                   .arg(QString::fromStdString(mp::Tr(written.StartModeText.c_str())),
                        Native(Current_->Path),
                        QString::fromStdString(mp::Tr(Current_->File.Values.StartMode.c_str()))));
        return;
    }
    const QString path = Current_->Path;
    const WriteRecord record{QDateTime::currentDateTime(), Host_.Line()};
    if (!Dialogs_.AskYesNo(Host_.Window, tr("定值文件“%1”中的定值已写入设备。\n"
                                            "是否在该文件中记录这次写入（%2，%3）？")
                                             .arg(Native(path), TimeText(record.WrittenAt),
                                                  LineText(record.Line)))) {
        return;
    }
    // The record goes into the file as it is on disk now, and only if it still holds the
    // values written.
    QString reason;
    std::optional<CSettingsFile> onDisk = CSettingsFile::Load(path, &reason);
    if (onDisk && !SameValues(onDisk->Values, Current_->File.Values)) {
        reason = tr("文件中的定值已不是写入的定值");
        onDisk.reset();
    }
    if (!onDisk) {
        Inform(tr("写入记录未能保存到定值文件“%1”：%2").arg(Native(path), reason));
        return;
    }
    onDisk->AddWrite(record);
    if (!onDisk->Save(path, &reason)) {
        Inform(tr("写入记录未能保存到定值文件“%1”：%2").arg(Native(path), reason));
        return;
    }
    Current_->File = *onDisk;
}

// ---- comparison ---------------------------------------------------------------------------

void CFilesController::CompareWithDevice() {
    if (!Host_.TakeFields()) {
        return;
    }
    if (!Host_.PortOpen()) {
        Inform(tr("串口 %1 未打开，无法读取设备的定值。").arg(Host_.Line().Port));
        return;
    }
    QPointer<CFilesController> self(this);
    Host_.RunOnDevice([self](CDeviceContext& ctx) {
        ReadDeviceSettings(ctx, [self](std::optional<SettingsValues> device) {
            if (self) {
                self->ShowComparison(device);
            }
        });
    });
}

void CFilesController::ShowComparison(const std::optional<SettingsValues>& device) {
    if (!device) {
        Inform(tr("设备没有应答，未能读到设备的定值，没有进行比较。"));
        return;
    }
    const SettingsValues window = WindowValues();
    ComparisonView view;
    view.Rows = CompareSettings(*device, window);
    view.Line = Host_.Line();
    if (WindowHoldsFile()) {
        view.FileName = QFileInfo(Current_->Path).fileName();
    }
    if (Current_) {
        view.FilePath = Current_->Path;
        view.Writes = Current_->File.Writes();
    }
    view.CanTakeFile = Current_.has_value();

    const ComparisonChoice choice = Dialogs_.ShowComparison(Host_.Window, view);
    if (choice == ComparisonChoice::Close || !Host_.TakeFields()) {
        return;
    }
    if (choice == ComparisonChoice::TakeDevice) {
        ApplyValues(DeviceValuesForWindow(*device, WindowValues()));
        if (!device->StartMode.empty()) {
            Host_.Settings->StartModeText = device->StartMode;
            Host_.ShowFields();
        }
    } else if (choice == ComparisonChoice::TakeFile && Current_) {
        ApplyValues(Current_->File.Values);
    }
}

// ---- report -------------------------------------------------------------------------------

void CFilesController::OnDeviceWritten(const DeviceWrite& write) {
    WriteLog_.Add({QDateTime::currentDateTime(), Host_.Line().Port, write});
}

ReportInput CFilesController::Report(const DeviceReading& reading, const DeviceLine& line,
                                     int parity, const QString& portName) const {
    ReportInput input;
    input.CreatedAt = QDateTime::currentDateTime();
    input.ToolVersion = QStringLiteral(MP_TOOL_VERSION);
    input.Line = line;
    input.PortName = portName;
    input.Parity = parity;
    input.Device = reading;
    if (WindowHoldsFile()) {
        input.FileName = QFileInfo(Current_->Path).fileName();
        input.Note = Current_->File.Note;
        input.FileWrites = Current_->File.Writes();
        input.FileDifferences = 0;
        for (const ComparisonRow& row : CompareSettings(reading.Settings, Current_->File.Values)) {
            input.FileDifferences += row.Differs ? 1 : 0;
        }
    }
    for (const DeviceWriteEntry& entry : WriteLog_.Entries()) {
        if (entry.Concerns(line.Port, reading.Address)) {
            input.Writes << entry;
        } else {
            ++input.OtherWrites;
        }
    }
    return input;
}

void CFilesController::CreateReport() {
    StartReport(ReportUse::Pdf);
}

void CFilesController::PrintReport() {
    StartReport(ReportUse::Print);
}

void CFilesController::StartReport(ReportUse use) {
    // The fields as typed decide whether the window holds the settings file's values.
    if (!Host_.TakeFields() || !Host_.MayReadForReport()) {
        return;
    }
    const DeviceLine line = Host_.Line();
    if (!Host_.PortOpen()) {
        Inform(tr("串口 %1 未打开，无法读取设备，没有生成调试报告。").arg(line.Port));
        return;
    }
    const int parity = Host_.Parity();
    const QString portName = Host_.PortName();

    auto cancel = std::make_shared<std::atomic<bool>>(false);
    // Not modal: its updates must not run the event loop inside a posted result.
    auto* progress = new QProgressDialog(tr("正在读取设备（地址 %1）的定值、校准系数、事件记录、"
                                            "通信参数和实时数据...")
                                             .arg(line.Address),
                                         tr("取消"), 0, kReportReadSteps, Host_.Window);
    progress->setObjectName(QStringLiteral("reportProgress"));
    progress->setWindowTitle(use == ReportUse::Pdf ? tr("生成调试报告") : tr("打印调试报告"));
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setValue(0);
    connect(progress, &QProgressDialog::canceled, progress, [cancel] { cancel->store(true); });
    progress->show();
    ReportProgress_ = progress;

    QPointer<CFilesController> self(this);
    QPointer<QProgressDialog> shown(progress);
    const CommParamsRead readCommParams = Host_.ReadCommParams;
    Host_.RunReportRead(
        [self, shown, cancel, readCommParams, use, line, parity, portName](CDeviceContext& ctx) {
            ReadDeviceForReport(
                ctx, readCommParams, cancel,
                [shown](int stepsDone) {
                    if (shown) {
                        shown->setValue(stepsDone);
                    }
                },
                [self, shown, cancel, use, line, parity, portName](ReportReadResult result) {
                    // A cancel pressed after the last step still makes no report. (Closing the
                    // dialog below says "canceled" too: the flag is taken first.)
                    result.Cancelled = result.Cancelled || cancel->load();
                    if (shown) {
                        shown->disconnect();
                        shown->close();
                        shown->deleteLater();
                    }
                    if (self) {
                        self->FinishReport(use, result, line, parity, portName);
                    }
                });
        });
}

void CFilesController::FinishReport(ReportUse use, const ReportReadResult& result,
                                    const DeviceLine& line, int parity, const QString& portName) {
    if (result.Cancelled) {
        return;
    }
    if (!result.Reading) {
        QString what;
        switch (result.Unanswered) {
            case ReportReadStep::CommParams:
                what = tr("通信参数");
                break;
            case ReportReadStep::Settings:
                what = tr("定值");
                break;
            case ReportReadStep::Coefficients:
                what = tr("校准系数");
                break;
            case ReportReadStep::Events:
                what = tr("事件记录");
                break;
            case ReportReadStep::Live:
                what = tr("实时数据");
                break;
        }
        DeviceLine shown = line;
        shown.Port = portName;
        Inform(tr("设备（%1）没有应答，未能读取设备的%2。\n没有生成调试报告：报告只用生成时从"
                  "设备读到的值。")
                   .arg(LineText(shown), what));
        return;
    }
    const ReportInput input = Report(*result.Reading, line, parity, portName);
    LastReport_ = input;
    const QString html = CommissioningReportHtml(input);
    if (use == ReportUse::Print) {
        Dialogs_.PrintReport(Host_.Window, html);
        return;
    }
    const QString suggested =
        QDir(QDir::homePath())
            .filePath(tr("调试报告-地址%1-%2.pdf")
                          .arg(line.Address)
                          .arg(input.Device.ReadAt.toString(QStringLiteral("yyyyMMdd-HHmm"))));
    const QString path = Dialogs_.SaveFileName(Host_.Window, tr("生成调试报告"), suggested,
                                               PdfFilter(), QStringLiteral("pdf"));
    if (path.isEmpty()) {
        return;
    }
    QString reason;
    if (!SaveReportPdf(html, path, &reason)) {
        Inform(tr("调试报告未能保存到“%1”：%2").arg(Native(path), reason));
        return;
    }
    Inform(tr("调试报告已保存到“%1”。").arg(Native(path)));
}

// ---- drops --------------------------------------------------------------------------------

QString CFilesController::DroppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1 ||
        !mime->urls().first().isLocalFile()) {
        return QString();
    }
    return mime->urls().first().toLocalFile();
}

bool CFilesController::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::LanguageChange:
            // The window and each of its children pass the event on: the menu once, for the
            // window itself.
            if (watched == Host_.Window) {
                RetranslateTexts();
            }
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (DroppedFile(drag->mimeData()).isEmpty()) {
                break;
            }
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = DroppedFile(drop->mimeData());
            if (path.isEmpty()) {
                break;
            }
            drop->acceptProposedAction();
            // Opened once the drop is over, so that its messages do not hold the drag source.
            QMetaObject::invokeMethod(
                this, [this, path] { OpenSettingsFile(path); }, Qt::QueuedConnection);
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mp
