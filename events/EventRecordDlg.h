#pragma once
// The alarm event window: the summary line and the texts of events 1 to 8, read-only.

#include <QDialog>
#include <memory>

#include "events/EventRecordTexts.h"

namespace Ui {
class CEventRecordDlg;
}

class QLineEdit;

namespace mp {

class CEventRecordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEventRecordDlg(const EventRecordTexts& texts, QWidget* parent = nullptr);
    ~CEventRecordDlg() override;

private:
    std::unique_ptr<Ui::CEventRecordDlg> Ui_;
};

}  // namespace mp
