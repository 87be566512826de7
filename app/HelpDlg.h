#pragma once
// CHelpDlg: the usage notes, a static text window without buttons.

#include <QDialog>
#include <memory>

namespace Ui {
class CHelpDlg;
}

namespace mp {

class CHelpDlg : public QDialog {
    Q_OBJECT

public:
    explicit CHelpDlg(QWidget* parent = nullptr);
    ~CHelpDlg() override;

protected:
    // Enter closes the notes as Escape does; there is no button to take it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::CHelpDlg> Ui_;
};

}  // namespace mp
