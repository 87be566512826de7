#include "starts/StartsController.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

#include "dialogs/DialogService.h"
#include "starts/StartsWindow.h"
#include "trend/CsvRecorder.h"

namespace mp {

CStartsController::CStartsController(StartsHost host, IDialogService& dialogs, QObject* parent)
    : QObject(parent), Host_(std::move(host)), Dialogs_(dialogs) {}

CStartsController::~CStartsController() {
    delete Window_.data();
}

void CStartsController::InstallMenu(QMenu* menu) {
    StartsAction_ = menu->addAction(QString());
    StartsAction_->setObjectName(QStringLiteral("actionStartRecords"));
    connect(StartsAction_, &QAction::triggered, this, &CStartsController::ShowStartsWindow);
    ExportMenu_ = menu->addMenu(QString());
    ExportMenu_->setObjectName(QStringLiteral("comtradeExportMenu"));
    ExportAscii_ = ExportMenu_->addAction(QString());
    ExportAscii_->setObjectName(QStringLiteral("actionExportComtradeAscii"));
    connect(ExportAscii_, &QAction::triggered, this,
            [this] { ExportTrend(ComtradeFormat::Ascii); });
    ExportBinary_ = ExportMenu_->addAction(QString());
    ExportBinary_->setObjectName(QStringLiteral("actionExportComtradeBinary"));
    connect(ExportBinary_, &QAction::triggered, this,
            [this] { ExportTrend(ComtradeFormat::Binary); });
    ExportMenu_->addSeparator();
    ConvertAscii_ = ExportMenu_->addAction(QString());
    ConvertAscii_->setObjectName(QStringLiteral("actionConvertRecordingAscii"));
    connect(ConvertAscii_, &QAction::triggered, this,
            [this] { ConvertRecording(ComtradeFormat::Ascii); });
    ConvertBinary_ = ExportMenu_->addAction(QString());
    ConvertBinary_->setObjectName(QStringLiteral("actionConvertRecordingBinary"));
    connect(ConvertBinary_, &QAction::triggered, this,
            [this] { ConvertRecording(ComtradeFormat::Binary); });
    if (Host_.Window != nullptr) {
        Host_.Window->installEventFilter(this);
    }
    RetranslateTexts();
}

void CStartsController::RetranslateTexts() {
    StartsAction_->setText(tr("起动记录..."));
    ExportMenu_->setTitle(tr("导出 COMTRADE"));
    ExportAscii_->setText(tr("曲线, ASCII..."));
    ExportBinary_->setText(tr("曲线, 二进制..."));
    ConvertAscii_->setText(tr("CSV 记录文件, ASCII..."));
    ConvertBinary_->setText(tr("CSV 记录文件, 二进制..."));
}

bool CStartsController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Host_.Window && event->type() == QEvent::LanguageChange && StartsAction_) {
        RetranslateTexts();
    }
    return QObject::eventFilter(watched, event);
}

CStartHistory& CStartsController::History() {
    const QString folder = Host_.Place().Folder;
    if (History_.Folder() != folder) {
        History_ = CStartHistory(folder);
        History_.Load();
    }
    return History_;
}

QString CStartsController::KeepStart(const CStartCapture& capture) {
    StartRecord record;
    record.Relay = Host_.Place().Device;
    record.Settings = capture.Settings();
    record.CtRatio = Host_.CtRatio ? Host_.CtRatio() : 1.0;
    record.Samples = capture.Samples();
    record.Before = capture.Before();
    CStartHistory& history = History();
    QString error;
    if (!history.Add(std::move(record), &error)) {
        return tr("\n起动记录未能保存到 %1 (%2); 以前的起动记录不受影响。")
            .arg(QDir::toNativeSeparators(history.Folder()), error);
    }
    if (Window_) {
        Window_->Reload();
    }
    return tr("\n已存入起动记录 (共 %1 次)。").arg(history.Records().size());
}

void CStartsController::ShowStartsWindow() {
    CStartHistory& history = History();
    history.Load();
    if (Window_) {
        Window_->Reload();
    }
    if (!Window_) {
        Window_ = new CStartsWindow(history, Dialogs_);
        Window_->setAttribute(Qt::WA_DeleteOnClose);
        connect(Window_, &CStartsWindow::ExportRequested, this, &CStartsController::ExportStart);
    }
    if (!history.Problems().isEmpty()) {
        Dialogs_.Inform(Window_, tr("以下文件不是可读的起动记录, 未列出: %1")
                                     .arg(history.Problems().join(QStringLiteral(", "))));
    }
    Window_->show();
    Window_->raise();
    Window_->activateWindow();
}

ComtradeHeader CStartsController::Header(int64_t triggerMs) const {
    const StartsPlace place = Host_.Place();
    ComtradeHeader header;
    header.Station = place.Station.toStdString();
    header.Device = place.Device.toStdString();
    header.CtRatio = Host_.CtRatio ? Host_.CtRatio() : 1.0;
    header.TriggerMs = triggerMs;
    header.UtcOffsetMinutes =
        QDateTime::fromMSecsSinceEpoch(triggerMs >= 0 ? triggerMs : 0).offsetFromUtc() / 60;
    return header;
}

void CStartsController::ExportTrend(ComtradeFormat format) {
    const std::vector<TrendSample> samples = Host_.TrendSamples();
    if (samples.empty()) {
        Dialogs_.Inform(Host_.Window, tr("曲线中还没有数据。"));
        return;
    }
    Export(samples, samples.front().TimeMs,
           tr("曲线-%1").arg(QDateTime::fromMSecsSinceEpoch(samples.front().TimeMs)
                                 .toString(QStringLiteral("yyyyMMdd-HHmmss"))),
           format);
}

void CStartsController::ConvertRecording(ComtradeFormat format) {
    const QString path =
        Dialogs_.OpenFileName(Host_.Window, tr("选择记录文件"), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    QString error;
    const std::optional<std::vector<TrendSample>> samples = CCsvRecorder::ReadAll(path, &error);
    if (!samples || samples->empty()) {
        Dialogs_.Inform(Host_.Window, tr("%1 无法转换 (%2)。")
                                          .arg(QDir::toNativeSeparators(path),
                                               samples ? tr("文件中没有采样") : error));
        return;
    }
    Export(*samples, samples->front().TimeMs, QFileInfo(path).completeBaseName(), format);
}

void CStartsController::ExportStart(const QString& id, ComtradeFormat format) {
    const StartRecord* record = History().Find(id);
    if (record == nullptr) {
        return;
    }
    Export(record->Samples, record->StartAt(),
           tr("起动-%1").arg(QDateTime::fromMSecsSinceEpoch(record->StartAt())
                                 .toString(QStringLiteral("yyyyMMdd-HHmmss"))),
           format);
}

void CStartsController::Export(const std::vector<TrendSample>& samples, int64_t triggerMs,
                               const QString& name, ComtradeFormat format) {
    QWidget* parent =
        Window_ && Window_->isVisible() ? static_cast<QWidget*>(Window_.data()) : Host_.Window;
    const QString path =
        Dialogs_.SaveFileName(parent, tr("导出 COMTRADE"), name + QStringLiteral(".cfg"),
                              tr("COMTRADE 配置文件 (*.cfg)"), QStringLiteral("cfg"));
    if (path.isEmpty()) {
        return;
    }
    ComtradeHeader header = Header(triggerMs);
    header.UtcOffsetMinutes =
        QDateTime::fromMSecsSinceEpoch(samples.front().TimeMs).offsetFromUtc() / 60;
    QString error;
    if (!SaveComtrade(path, MakeComtrade(samples, header, format), &error)) {
        Dialogs_.Inform(
            parent,
            tr("COMTRADE 文件未能写入 %1 (%2)。").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    Dialogs_.Inform(parent, tr("已导出 %1 个采样到 %2 和 .dat 文件。")
                                .arg(samples.size())
                                .arg(QDir::toNativeSeparators(path)));
}

bool CStartsController::SaveComtrade(const QString& cfgPath, const ComtradeFiles& files,
                                     QString* error) {
    const QFileInfo cfg(cfgPath);
    const QString datPath =
        cfg.absoluteDir().filePath(cfg.completeBaseName() + QStringLiteral(".dat"));
    // The data first: a .cfg is only ever put beside the .dat it describes.
    return WriteWhole(datPath, QByteArray::fromStdString(files.Dat), error) &&
           WriteWhole(cfgPath, QByteArray::fromStdString(files.Cfg), error);
}

}  // namespace mp
