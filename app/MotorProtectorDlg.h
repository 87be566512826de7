#pragma once
// CMotorProtectorDlg: the tool's one working window. It holds every bound value, shows and
// takes them, and turns the operator's buttons, menu items, up/down arrows and protection
// check boxes into requests for the handlers.

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/FieldBinding.h"
#include "app/MainCommand.h"
#include "app/MainFields.h"
#include "connection/ConnectionView.h"
#include "connection/LinkLamp.h"
#include "settings/StepField.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QLabel;
class QProgressBar;

namespace Ui {
class CMotorProtectorDlg;
}

namespace mp {

enum class ShowMode { KeepTyped, ReplaceTyped };

class CIndicatorLamp;
class CRelay;
class IDialogService;

// The window of one relay: it binds the relay's values and shows its connection.
class CMotorProtectorDlg : public QMainWindow, public IConnectionView {
    Q_OBJECT

public:
    CMotorProtectorDlg(CRelay& relay, IDialogService& dialogs, QWidget* parent = nullptr);
    ~CMotorProtectorDlg() override;

    CRelay& Relay() { return Relay_; }
    MainFields& Fields() { return Fields_; }

    // Every bound value, protection check box and indicator to the screen.
    // Every bound value into its control; with ReplaceTyped also over text the operator has
    // typed and not yet had taken (see CFieldBinding::Show).
    void ShowFields(ShowMode mode = ShowMode::KeepTyped);
    // The operator has typed into the phase-loss time since the program last put a value
    // there.
    bool PhaseLossTimeTyped() const;
    // Every bound value from the screen, in exchange order. At the first integer field that
    // holds no whole number: tells the operator, naming the field by its caption, focuses
    // that field and returns false; the fields before it are taken, the rest keep their
    // values.
    bool TakeFields();

    // The status bar's one pane, repainted at once.
    void SetStatusText(const QString& text);
    // The same with a text formed by `say` in the current language, formed again when the
    // language changes while it is shown.
    void SetStatus(std::function<QString()> say) override;
    QString StatusText() const;

    // The line in use (port, rate, parity, device address) in its own status-bar field, formed
    // by `say` in the current language and formed again when the language changes.
    void SetLineText(std::function<QString()> say) override;
    QString LineText() const;

    // The settings fields now hold what was last read from the device, loaded from a file or
    // written to the device (`held`, or the settings as the fields hold them).
    void MarkSettingsHeld();
    void MarkSettingsHeld(const ProtectionSettings& held);
    // The settings fields (text typed and not yet taken included) hold other values than
    // those last held: closing the window asks first.
    bool SettingsEdited() const;

    // The state of the line at the status bar's right end: a lamp and its words.
    void SetLinkStatus(LinkState state, const QString& text) override;
    QString LinkStatusText() const;
    CLinkLamp* LinkLamp() const { return LinkLamp_; }

    // The menu item "重新连接...".
    QAction* ReconnectAction() const;

    // The connection's side of the window.
    QWidget* DialogParent() override { return this; }
    void ShowConnectionSummary(const std::string& summary) override;
    void SetReconnectEnabled(bool enabled) override;

    // From the read command until the stop the start-mode drop-down is disabled and the
    // start-mode display enabled; the reverse after the stop.
    void SetPollingLock(bool polling);

    // Enables or disables the button and the menu item of one command (where it has them).
    void SetCommandEnabled(MainCommand command, bool button, bool menuItem);
    // The up/down arrows and the protection boxes, which change the settings at once.
    void SetSettingsEditingEnabled(bool enabled);
    // The status bar's busy indicator beside the status text.
    void SetBusy(bool busy);
    bool Busy() const;

    // The nine protection boxes as the settings hold them, nothing else.
    void ShowProtectionChecks();

    // Position of the start-mode drop-down's text in its list, -1 when it is none of them.
    int StartModeIndex() const;

signals:
    void CommandRequested(mp::MainCommand command);
    void StepRequested(mp::StepField field, bool up);
    // A click of the operator on one of the nine protection check boxes (an mp::Protection);
    // Fields().Settings.Enabled already holds the new state.
    void ProtectionClicked(int protection, bool checked);
    // Once, when the window is about to close.
    void Closing();
    // After the window's own texts have changed to a newly chosen language.
    void LanguageChanged();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The status pane's text before the first status.
    static QString Banner();
    // The texts set in code rather than in the form, in the current language.
    void RetranslateTexts();
    void FillLists();
    void BindFields();
    void ConnectCommands();
    void ConnectSteps();
    void ConnectProtections();
    void CreateStatusPane();
    void ShowIndicators();
    // Greys the live values a read without reply has left stale, and says why in tooltips.
    void ShowFreshness();

    std::unique_ptr<Ui::CMotorProtectorDlg> Ui_;
    CRelay& Relay_;
    IDialogService& Dialogs_;
    MainFields Fields_;
    CFieldBinding Binding_;
    std::array<QCheckBox*, kProtectionCount> ProtectionChecks_{};
    std::array<CIndicatorLamp*, 8> InputLamps_{};
    std::array<CIndicatorLamp*, 3> OutputLamps_{};
    std::map<MainCommand, QAbstractButton*> CommandButtons_;
    std::map<MainCommand, QAction*> CommandActions_;
    std::vector<QAbstractButton*> StepButtons_;
    QLabel* StatusPane_ = nullptr;
    QString ShownBanner_;
    std::function<QString()> SayStatus_;  // the shown status, formed anew after a switch
    QProgressBar* BusyIndicator_ = nullptr;
    QLabel* LinkText_ = nullptr;
    QLabel* LineLabel_ = nullptr;
    std::function<QString()> SayLine_;
    ProtectionSettings HeldSettings_;
    CLinkLamp* LinkLamp_ = nullptr;
    bool ClosingSent_ = false;
};

}  // namespace mp
