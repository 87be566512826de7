#pragma once
// The maintenance password window: a masked entry with "确认" and "取消".

#include <QDialog>
#include <QString>
#include <memory>

class QEvent;

namespace Ui {
class CPasswordDlg;
}

namespace mp {

class CPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    ~CPasswordDlg() override;

    // The text as typed, untrimmed.
    QString Password() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::CPasswordDlg> Ui_;
};

}  // namespace mp
