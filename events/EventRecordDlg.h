#pragma once
// The alarm event window: the summary line and the texts of events 1 to 8, read-only, and
// "导出..." that saves them as a CSV file.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "events/EventRecordTexts.h"

namespace Ui {
class CEventRecordDlg;
}

class QEvent;
class QLineEdit;

namespace mp {

class CEventRecordDlg : public QDialog {
    Q_OBJECT
public:
    // Asks where to save, from a suggested file name; empty when the operator cancels.
    using ChooseCsvPath = std::function<QString(QWidget* parent, const QString& suggested)>;
    // Tells the operator why the file was not saved.
    using Inform = std::function<void(const QString& text)>;

    // Without `choose` and `inform` the standard file dialog and message box are used.
    explicit CEventRecordDlg(const EventRecordTexts& texts, QWidget* parent = nullptr,
                             ChooseCsvPath choose = {}, Inform inform = {});
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
    ChooseCsvPath Choose_;
    Inform Inform_;
};

}  // namespace mp
