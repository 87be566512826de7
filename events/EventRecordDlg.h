#pragma once
// The alarm event window: the summary line and the texts of events 1 to 8, read-only, and
// "导出..." that saves them as a CSV file.

#include <QDialog>
#include <array>
#include <memory>

#include "events/EventRecordTexts.h"

namespace Ui {
class CEventRecordDlg;
}

class QEvent;
class QLineEdit;

namespace mp {

class IDialogService;

class CEventRecordDlg : public QDialog {
    Q_OBJECT
public:
    // `dialogs` asks where to save the export and says why a file was not saved.
    CEventRecordDlg(const EventRecordTexts& texts, IDialogService& dialogs,
                    QWidget* parent = nullptr);
    ~CEventRecordDlg() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void Export();
    // The texts in the current language: the window's own and the events'.
    void RetranslateTexts();
    std::array<QLineEdit*, 8> EventEdits() const;

    std::unique_ptr<Ui::CEventRecordDlg> Ui_;
    EventRecordTexts Texts_;
    IDialogService& Dialogs_;
};

}  // namespace mp
