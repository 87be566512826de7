#include "app/MotorProtectorDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QStatusBar>
#include <type_traits>

#include "app/IndicatorLamp.h"
#include "app/StaleMarks.h"
#include "dialogs/DialogService.h"
#include "language/Text.h"
#include "language/WholeNumber.h"
#include "relay/Relay.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsWrite.h"
#include "ui_MotorProtectorDlg.h"

namespace mp {

namespace {

static_assert(std::is_same_v<int, int32_t>, "integer fields are bound as 32-bit ints");

// Items shown in the window's language; each keeps its device text as item data, which is
// what the settings hold and the device is written with.
template <std::size_t N>
void AddItems(QComboBox* combo, const std::array<const char*, N>& items) {
    for (const char* text : items) {
        combo->addItem(QString::fromStdString(Tr(text)), QString::fromUtf8(text));
    }
}

// The items' texts again after a change of language. Text the operator typed over an item
// stays as typed.
void RetranslateItems(QComboBox* combo) {
    const int current = combo->currentIndex();
    const bool showsItem =
        current >= 0 && (!combo->isEditable() || combo->currentText() == combo->itemText(current));
    for (int k = 0; k < combo->count(); ++k) {
        const QByteArray source = combo->itemData(k).toString().toUtf8();
        combo->setItemText(k, QString::fromStdString(Tr(source.constData())));
    }
    if (showsItem && combo->isEditable()) {
        combo->setEditText(combo->itemText(current));
    }
}

std::vector<std::string> ListOf(const std::array<const char*, 3>& items) {
    return {items.begin(), items.end()};
}

}  // namespace

CMotorProtectorDlg::CMotorProtectorDlg(CRelay& relay, IDialogService& dialogs, QWidget* parent)
    : QMainWindow(parent),
      Ui_(std::make_unique<Ui::CMotorProtectorDlg>()),
      Relay_(relay),
      Dialogs_(dialogs),
      Fields_(relay.Values()) {
    Ui_->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    ProtectionChecks_ = {Ui_->shortCircuitCheck, Ui_->lockedRotorCheck, Ui_->definiteTimeCheck,
                         Ui_->unbalanceCheck,    Ui_->inverseTimeCheck, Ui_->startTimeoutCheck,
                         Ui_->phaseLossCheck,    Ui_->overVoltageCheck, Ui_->underVoltageCheck};
    InputLamps_ = {Ui_->diLamp1, Ui_->diLamp2, Ui_->diLamp3, Ui_->diLamp4,
                   Ui_->diLamp5, Ui_->diLamp6, Ui_->diLamp7, Ui_->diLamp8};
    OutputLamps_ = {Ui_->outputALamp, Ui_->outputBLamp, Ui_->resetLamp};

    FillLists();
    BindFields();
    ConnectCommands();
    ConnectSteps();
    ConnectProtections();
    CreateStatusPane();
    // The current calibration's menu item needs the maintenance password like its button.
    Ui_->actionCalibrateCurrent->setEnabled(false);
    // The window opens idle with every control of the lock set enabled and the start-mode
    // display enabled too, as built; the first stop disables the display.
    ShowFields();
    MarkSettingsHeld();

    setFixedSize(sizeHint());
}

CMotorProtectorDlg::~CMotorProtectorDlg() = default;

void CMotorProtectorDlg::FillLists() {
    const std::array<QComboBox*, 3> combos = {Ui_->pwmPhaseCombo, Ui_->startModeCombo,
                                              Ui_->curveCombo};
    AddItems(Ui_->pwmPhaseCombo, PhaseList);
    AddItems(Ui_->startModeCombo, StartModeNames);
    for (const char* curve : CurveList) {
        Ui_->curveCombo->addItem(QString::fromUtf8(curve));  // numbers, the same in any language
    }
    for (QComboBox* combo : combos) {
        // Typed text stays as typed: "1" must not complete to "10" in the curve list.
        combo->setCompleter(nullptr);
        combo->setCurrentIndex(-1);
    }
}

void CMotorProtectorDlg::BindFields() {
    ProtectionSettings& settings = Fields_.Settings;
    LiveValues& live = Fields_.Live;
    CalibrationGrid& grid = Fields_.Grid;
    CFieldBinding& bind = Binding_;
    const std::array<QLineEdit*, 4> x1 = {Ui_->calibX1Edit0, Ui_->calibX1Edit1, Ui_->calibX1Edit2,
                                          Ui_->calibX1Edit3};
    const std::array<QLineEdit*, 4> y1 = {Ui_->calibY1Edit0, Ui_->calibY1Edit1, Ui_->calibY1Edit2,
                                          Ui_->calibY1Edit3};
    const std::array<QLineEdit*, 4> x2 = {Ui_->calibX2Edit0, Ui_->calibX2Edit1, Ui_->calibX2Edit2,
                                          Ui_->calibX2Edit3};
    const std::array<QLineEdit*, 4> y2 = {Ui_->calibY2Edit0, Ui_->calibY2Edit1, Ui_->calibY2Edit2,
                                          Ui_->calibY2Edit3};
    const std::array<QLineEdit*, 4> a = {Ui_->calibAEdit0, Ui_->calibAEdit1, Ui_->calibAEdit2,
                                         Ui_->calibAEdit3};
    const std::array<QLineEdit*, 4> b = {Ui_->calibBEdit0, Ui_->calibBEdit1, Ui_->calibBEdit2,
                                         Ui_->calibBEdit3};
    auto point = [&grid](int row, int column) { return &grid.Points[row][column]; };

    // Exchange order: a refused integer field stops the taking at its place in this order,
    // so the order decides which fields a refusal leaves untaken.
    bind.AddText(Ui_->lockedRotorMultipleEdit, &settings.LockedRotorMultiple);
    bind.AddText(Ui_->unbalancePercentEdit, &settings.UnbalancePercent);
    bind.AddText(Ui_->definiteTimeMultipleEdit, &settings.DefiniteTimeMultiple);
    bind.AddText(Ui_->unbalanceTimeEdit, &settings.UnbalanceTime);
    bind.AddText(Ui_->definiteTimeTimeEdit, &settings.DefiniteTimeTime);
    bind.AddText(Ui_->lockedRotorTimeEdit, &settings.LockedRotorTime);
    bind.AddText(Ui_->ctRatioEdit, &settings.CtRatio);
    bind.AddText(Ui_->ratedCurrentEdit, &settings.RatedCurrent);
    bind.AddText(Ui_->startTimeEdit, &settings.StartTime);
    bind.AddText(Ui_->currentBEdit, &live.Currents[1]);
    bind.AddText(Ui_->currentCEdit, &live.Currents[2]);
    bind.AddText(Ui_->currentAEdit, &live.Currents[0]);
    bind.AddComboText(Ui_->startModeCombo, &Fields_.StartModeSelection);
    bind.AddListText(Ui_->startModeDisplay, &settings.StartModeText, ListOf(StartModeNames));
    bind.AddInteger(x1[kRowA], point(kRowA, kX1));
    bind.AddInteger(x2[kRowA], point(kRowA, kX2));
    bind.AddInteger(y1[kRowA], point(kRowA, kY1));
    bind.AddInteger(y2[kRowA], point(kRowA, kY2));
    bind.AddComboText(Ui_->curveCombo, &settings.CurveSelection);
    bind.AddText(a[kRowA], &grid.A[kRowA]);
    bind.AddText(b[kRowA], &grid.B[kRowA]);
    bind.AddInteger(x1[kRowB], point(kRowB, kX1));
    bind.AddInteger(y1[kRowB], point(kRowB, kY1));
    bind.AddInteger(x2[kRowB], point(kRowB, kX2));
    bind.AddInteger(y2[kRowB], point(kRowB, kY2));
    bind.AddInteger(x1[kRowC], point(kRowC, kX1));
    bind.AddInteger(x2[kRowC], point(kRowC, kX2));
    bind.AddInteger(y1[kRowC], point(kRowC, kY1));
    bind.AddInteger(y2[kRowC], point(kRowC, kY2));
    bind.AddText(a[kRowB], &grid.A[kRowB]);
    bind.AddText(a[kRowC], &grid.A[kRowC]);
    bind.AddText(b[kRowB], &grid.B[kRowB]);
    bind.AddText(b[kRowC], &grid.B[kRowC]);
    bind.AddInteger(x1[kRowPwm], point(kRowPwm, kX1));
    bind.AddInteger(x2[kRowPwm], point(kRowPwm, kX2));
    bind.AddInteger(y1[kRowPwm], point(kRowPwm, kY1));
    bind.AddInteger(y2[kRowPwm], point(kRowPwm, kY2));
    bind.AddText(b[kRowPwm], &grid.B[kRowPwm]);
    bind.AddText(a[kRowPwm], &grid.A[kRowPwm]);
    bind.AddText(Ui_->phaseLossTimeEdit, &settings.PhaseLossTime);
    bind.AddComboText(Ui_->pwmPhaseCombo, &settings.PwmPhase);
    bind.AddInteger(Ui_->breakingCurrentEdit, &settings.BreakingCurrent);
    bind.AddText(Ui_->voltageCEdit, &live.Voltages[2]);
    bind.AddText(Ui_->voltageBEdit, &live.Voltages[1]);
    bind.AddText(Ui_->voltageAEdit, &live.Voltages[0]);
    bind.AddInteger(Ui_->overVoltagePercentEdit, &settings.OverVoltagePercent);
    bind.AddInteger(Ui_->overVoltageTimeEdit, &settings.OverVoltageTime);
    bind.AddInteger(Ui_->underVoltageTimeEdit, &settings.UnderVoltageTime);
    bind.AddInteger(Ui_->underVoltagePercentEdit, &settings.UnderVoltagePercent);
    bind.AddText(Ui_->ratedVoltageEdit, &settings.RatedVoltage);
    bind.AddReading(Ui_->acquisitionTimeEdit, &live.AcquisitionTime);
    bind.AddReading(Ui_->currentAddressEdit, &live.CurrentAddress);
}

void CMotorProtectorDlg::ConnectCommands() {
    const std::pair<QAbstractButton*, MainCommand> buttons[] = {
        {Ui_->readRealtimeButton, MainCommand::ReadRealtimeData},
        {Ui_->writeSettingsButton, MainCommand::WriteSettings},
        {Ui_->stopRunButton, MainCommand::StopRun},
        {Ui_->restoreDefaultsButton, MainCommand::RestoreDefaults},
        {Ui_->commSettingsButton, MainCommand::ChangeCommParams},
        {Ui_->usageNotesButton, MainCommand::ShowUsageNotes},
        {Ui_->eventRecordsButton, MainCommand::ReadEventRecords},
        {Ui_->maintenancePasswordButton, MainCommand::MaintenanceUnlock},
        {Ui_->setStartModeButton, MainCommand::SetStartMode},
        {Ui_->closeAButton, MainCommand::CloseOutputA},
        {Ui_->closeBButton, MainCommand::CloseOutputB},
        {Ui_->resetButton, MainCommand::ResetOutputs},
        {Ui_->resetCurrentCoefButton, MainCommand::ResetCurrentCoefficients},
        {Ui_->readCoefButton, MainCommand::ReadCoefficients},
        {Ui_->calibrateCurrentButton, MainCommand::CalibrateCurrent},
        {Ui_->pwmOutputButton, MainCommand::SendPwmOutput},
        {Ui_->calibrateVoltageButton, MainCommand::CalibrateVoltage},
        {Ui_->resetVoltageCoefButton, MainCommand::ResetVoltageCoefficients},
    };
    for (const auto& [button, command] : buttons) {
        const MainCommand which = command;
        CommandButtons_[which] = button;
        connect(button, &QAbstractButton::clicked, this,
                [this, which] { emit CommandRequested(which); });
    }

    const std::pair<QAction*, MainCommand> actions[] = {
        {Ui_->actionReadRealtimeData, MainCommand::ReadRealtimeData},
        {Ui_->actionWriteSettings, MainCommand::WriteSettings},
        {Ui_->actionStopRun, MainCommand::StopRun},
        {Ui_->actionRestoreDefaults, MainCommand::RestoreDefaults},
        {Ui_->actionChangeCommParams, MainCommand::ChangeCommParams},
        {Ui_->actionCalibrateCurrent, MainCommand::CalibrateCurrent},
        {Ui_->actionSetStartMode, MainCommand::SetStartMode},
        {Ui_->actionCloseOutputA, MainCommand::CloseOutputA},
        {Ui_->actionOpenOutputA, MainCommand::OpenOutputA},
        {Ui_->actionCloseOutputB, MainCommand::CloseOutputB},
        {Ui_->actionOpenOutputB, MainCommand::OpenOutputB},
        {Ui_->actionResetOutputs, MainCommand::ResetOutputs},
        {Ui_->actionShowUsageNotes, MainCommand::ShowUsageNotes},
        {Ui_->actionReconnect, MainCommand::Reconnect},
    };
    for (const auto& [action, command] : actions) {
        const MainCommand which = command;
        CommandActions_[which] = action;
        connect(action, &QAction::triggered, this, [this, which] { emit CommandRequested(which); });
    }
}

void CMotorProtectorDlg::ConnectSteps() {
    const std::tuple<QAbstractButton*, QAbstractButton*, StepField> steps[] = {
        {Ui_->lockedRotorMultipleUpButton, Ui_->lockedRotorMultipleDownButton,
         StepField::LockedRotorMultiple},
        {Ui_->lockedRotorTimeUpButton, Ui_->lockedRotorTimeDownButton, StepField::LockedRotorTime},
        {Ui_->definiteTimeMultipleUpButton, Ui_->definiteTimeMultipleDownButton,
         StepField::DefiniteTimeMultiple},
        {Ui_->definiteTimeTimeUpButton, Ui_->definiteTimeTimeDownButton,
         StepField::DefiniteTimeTime},
        {Ui_->unbalancePercentUpButton, Ui_->unbalancePercentDownButton,
         StepField::UnbalancePercent},
        {Ui_->unbalanceTimeUpButton, Ui_->unbalanceTimeDownButton, StepField::UnbalanceTime},
    };
    for (const auto& [up, down, field] : steps) {
        const StepField which = field;
        StepButtons_.push_back(up);
        StepButtons_.push_back(down);
        connect(up, &QAbstractButton::clicked, this,
                [this, which] { emit StepRequested(which, true); });
        connect(down, &QAbstractButton::clicked, this,
                [this, which] { emit StepRequested(which, false); });
    }
}

void CMotorProtectorDlg::ConnectProtections() {
    for (int protection = 0; protection < kProtectionCount; ++protection) {
        // `clicked` only: a box set from the device or the factory values runs nothing.
        connect(ProtectionChecks_[protection], &QCheckBox::clicked, this,
                [this, protection](bool checked) {
                    Fields_.Settings.Enabled[protection] = checked;
                    emit ProtectionClicked(protection, checked);
                });
    }
}

void CMotorProtectorDlg::CreateStatusPane() {
    StatusPane_ = new QLabel(Banner(), this);
    StatusPane_->setObjectName(QStringLiteral("statusPaneLabel"));
    StatusPane_->setTextFormat(Qt::PlainText);
    // No accessible name of its own: assistive technology reads the status text itself.
    StatusPane_->setStyleSheet(QStringLiteral("color: rgb(0, 0, 0);"));
    Ui_->statusBar->addWidget(StatusPane_, 1);
    BusyIndicator_ = new QProgressBar(this);
    BusyIndicator_->setObjectName(QStringLiteral("busyIndicator"));
    BusyIndicator_->setRange(0, 0);  // no measure of progress: it only moves
    BusyIndicator_->setTextVisible(false);
    BusyIndicator_->setMaximumSize(90, 12);
    BusyIndicator_->hide();
    Ui_->statusBar->addPermanentWidget(BusyIndicator_);
    ShownBanner_ = Banner();
    RetranslateTexts();
    Ui_->statusBar->setStyleSheet(QStringLiteral("QStatusBar { background: rgb(180, 220, 0); }"));

    LineLabel_ = new QLabel(this);
    LineLabel_->setObjectName(QStringLiteral("lineLabel"));
    LineLabel_->setTextFormat(Qt::PlainText);
    LineLabel_->setStyleSheet(QStringLiteral("color: rgb(0, 0, 0);"));
    Ui_->statusBar->addPermanentWidget(LineLabel_);

    LinkText_ = new QLabel(this);
    LinkText_->setObjectName(QStringLiteral("linkStatusLabel"));
    LinkText_->setTextFormat(Qt::PlainText);
    LinkText_->setStyleSheet(QStringLiteral("color: rgb(0, 0, 0);"));
    LinkLamp_ = new CLinkLamp(this);
    Ui_->statusBar->addPermanentWidget(LinkText_);
    Ui_->statusBar->addPermanentWidget(LinkLamp_);
}

void CMotorProtectorDlg::SetLinkStatus(LinkState state, const QString& text) {
    LinkLamp_->SetState(state, text);
    if (LinkText_->text() != text) {
        LinkText_->setText(text);
    }
}

QString CMotorProtectorDlg::LinkStatusText() const {
    return LinkText_->text();
}

void CMotorProtectorDlg::SetLineText(std::function<QString()> say) {
    SayLine_ = std::move(say);
    LineLabel_->setText(SayLine_ ? SayLine_() : QString());
}

QString CMotorProtectorDlg::LineText() const {
    return LineLabel_->text();
}

void CMotorProtectorDlg::MarkSettingsHeld() {
    HeldSettings_ = Fields_.Settings;
}

void CMotorProtectorDlg::MarkSettingsHeld(const ProtectionSettings& held) {
    HeldSettings_ = held;
}

bool CMotorProtectorDlg::SettingsEdited() const {
    using S = ProtectionSettings;
    // The settings a write sends; the start-mode display is the device's and is not edited.
    static const std::string S::*const kTexts[] = {
        &S::CtRatio,
        &S::RatedCurrent,
        &S::RatedVoltage,
        &S::StartTime,
        &S::LockedRotorMultiple,
        &S::LockedRotorTime,
        &S::DefiniteTimeMultiple,
        &S::DefiniteTimeTime,
        &S::UnbalancePercent,
        &S::UnbalanceTime,
        &S::CurveSelection,
        &S::PhaseLossTime,
        &S::PwmPhase,
    };
    static const int S::*const kNumbers[] = {&S::BreakingCurrent, &S::OverVoltagePercent,
                                             &S::OverVoltageTime, &S::UnderVoltagePercent,
                                             &S::UnderVoltageTime};
    const S& now = Fields_.Settings;
    for (const auto field : kTexts) {
        const QString shown = Binding_.ControlTextOf(&(now.*field)).trimmed();
        if (shown != QString::fromStdString(HeldSettings_.*field).trimmed()) {
            return true;
        }
    }
    for (const auto field : kNumbers) {
        const auto shown = ParseWholeNumber(Binding_.ControlTextOf(&(now.*field)));
        if (!shown || *shown != HeldSettings_.*field) {
            return true;
        }
    }
    return now.Enabled != HeldSettings_.Enabled;
}

void CMotorProtectorDlg::ShowConnectionSummary(const std::string& summary) {
    Fields_.ConnectionSummary = summary;
    ShowFields();
}

void CMotorProtectorDlg::SetReconnectEnabled(bool enabled) {
    ReconnectAction()->setEnabled(enabled);
}

QAction* CMotorProtectorDlg::ReconnectAction() const {
    return Ui_->actionReconnect;
}

bool CMotorProtectorDlg::PhaseLossTimeTyped() const {
    return Ui_->phaseLossTimeEdit->isModified();
}

void CMotorProtectorDlg::ShowFields(ShowMode mode) {
    Binding_.Show(mode == ShowMode::ReplaceTyped);
    ShowProtectionChecks();
    ShowIndicators();
    ShowFreshness();
}

void CMotorProtectorDlg::ShowProtectionChecks() {
    for (int protection = 0; protection < kProtectionCount; ++protection) {
        ProtectionChecks_[protection]->setChecked(Fields_.Settings.Enabled[protection]);
    }
}

void CMotorProtectorDlg::ShowFreshness() {
    const CLiveFreshness& freshness = Fields_.Live.Freshness;
    const Staleness& currents = freshness.Of(LiveGroup::Currents);
    const Staleness& voltages = freshness.Of(LiveGroup::Voltages);
    for (QLineEdit* edit : {Ui_->currentAEdit, Ui_->currentBEdit, Ui_->currentCEdit}) {
        ShowStaleness(edit, currents);
    }
    for (QLineEdit* edit : {Ui_->voltageAEdit, Ui_->voltageBEdit, Ui_->voltageCEdit}) {
        ShowStaleness(edit, voltages);
    }
    for (CIndicatorLamp* lamp : InputLamps_) {
        ShowStaleness(lamp, freshness.Of(LiveGroup::Inputs));
    }
    for (CIndicatorLamp* lamp : OutputLamps_) {
        ShowStaleness(lamp, freshness.Of(LiveGroup::Outputs));
    }
}

void CMotorProtectorDlg::ShowIndicators() {
    for (std::size_t i = 0; i < InputLamps_.size(); ++i) {
        InputLamps_[i]->SetState(Fields_.Live.Inputs[i]);
    }
    for (std::size_t i = 0; i < OutputLamps_.size(); ++i) {
        OutputLamps_[i]->SetState(Fields_.Live.Outputs[i]);
    }
}

bool CMotorProtectorDlg::TakeFields() {
    QWidget* refused = Binding_.Take();
    if (refused == nullptr) {
        return true;
    }
    // Named by its caption, so that the operator knows which of the fields to correct; an
    // empty field is said to be empty.
    const QString caption = refused->accessibleName();
    const auto* refusedEdit = qobject_cast<const QLineEdit*>(refused);
    if (refusedEdit != nullptr && refusedEdit->text().trimmed().isEmpty() && !caption.isEmpty()) {
        Dialogs_.Inform(this, QString::fromStdString(Tr(kSettingEmptyMessage)).arg(caption));
    } else {
        const QString notWhole = tr("请输入一个整数。");
        Dialogs_.Inform(this, caption.isEmpty() ? notWhole : tr("%1：%2").arg(caption, notWhole));
    }
    refused->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(refused)) {
        edit->selectAll();
    }
    return false;
}

void CMotorProtectorDlg::SetStatus(std::function<QString()> say) {
    SetStatusText(say());
    SayStatus_ = std::move(say);
}

void CMotorProtectorDlg::SetStatusText(const QString& text) {
    SayStatus_ = nullptr;
    StatusPane_->setText(text);
    StatusPane_->repaint();
}

QString CMotorProtectorDlg::StatusText() const {
    return StatusPane_->text();
}

void CMotorProtectorDlg::SetPollingLock(bool polling) {
    Ui_->startModeCombo->setEnabled(!polling);
    Ui_->startModeDisplay->setEnabled(polling);
}

void CMotorProtectorDlg::SetCommandEnabled(MainCommand command, bool button, bool menuItem) {
    if (const auto it = CommandButtons_.find(command); it != CommandButtons_.end()) {
        it->second->setEnabled(button);
    }
    if (const auto it = CommandActions_.find(command); it != CommandActions_.end()) {
        it->second->setEnabled(menuItem);
    }
}

void CMotorProtectorDlg::SetSettingsEditingEnabled(bool enabled) {
    for (QAbstractButton* arrow : StepButtons_) {
        arrow->setEnabled(enabled);
    }
    for (QCheckBox* box : ProtectionChecks_) {
        box->setEnabled(enabled);
    }
}

void CMotorProtectorDlg::SetBusy(bool busy) {
    BusyIndicator_->setVisible(busy);
}

bool CMotorProtectorDlg::Busy() const {
    return !BusyIndicator_->isHidden();
}

int CMotorProtectorDlg::StartModeIndex() const {
    return Ui_->startModeCombo->findText(Ui_->startModeCombo->currentText(),
                                         Qt::MatchExactly | Qt::MatchCaseSensitive);
}

QString CMotorProtectorDlg::Banner() {
    return tr("<------Zantor 公司网址：www.quellar.example------>");
}

void CMotorProtectorDlg::RetranslateTexts() {
    BusyIndicator_->setAccessibleName(tr("正在与设备通讯"));
}

void CMotorProtectorDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        const bool bannerShown = StatusPane_->text() == ShownBanner_;
        Ui_->retranslateUi(this);
        RetranslateTexts();
        RetranslateItems(Ui_->pwmPhaseCombo);
        RetranslateItems(Ui_->startModeCombo);
        ShownBanner_ = Banner();
        if (bannerShown) {
            StatusPane_->setText(ShownBanner_);
        } else if (SayStatus_) {
            StatusPane_->setText(SayStatus_());
        }
        if (SayLine_) {
            LineLabel_->setText(SayLine_());
        }
        // Words that depend on the values: the start-mode display, the lamps' descriptions.
        Binding_.ShowListTexts();
        ShowIndicators();
        ShowFreshness();
        // The captions of the other language may need another width: the window takes the
        // size its rows now need, and keeps it fixed.
        centralWidget()->layout()->activate();
        setFixedSize(sizeHint());
        emit LanguageChanged();
    }
    QMainWindow::changeEvent(event);
}

void CMotorProtectorDlg::closeEvent(QCloseEvent* event) {
    // Settings changed in the fields (typed, stepped, ticked, factory values) since they were
    // last read, loaded from a file or written would be lost with the window: the operator is
    // asked first, and "否" keeps the window open.
    if (!ClosingSent_ && SettingsEdited() &&
        !Dialogs_.AskYesNo(
            this, tr("设定值已修改，但尚未写入设备。关闭窗口将丢弃这些修改，确定要关闭吗?"))) {
        event->ignore();
        return;
    }
    if (!ClosingSent_) {
        ClosingSent_ = true;
        emit Closing();
    }
    event->accept();
    // No window outlives this one: the trend, the monitor and every other non-modal window
    // close with it, so the program ends with its main window.
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != this && other->isVisible()) {
            other->close();
        }
    }
}

void CMotorProtectorDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape leave the window open: an operator confirming a typed value with
    // Enter would otherwise lose the window and its unsaved values.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QMainWindow::keyPressEvent(event);
    }
}

}  // namespace mp
