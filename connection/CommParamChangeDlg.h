#pragma once
// The window in which the operator changes the device's slave address and baud rate.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "connection/CommParamValues.h"

namespace Ui {
class CCommParamChangeDlg;
}

namespace mp {

class CCommParamChangeDlg : public QDialog {
    Q_OBJECT
public:
    // `inform` shows a message box with an OK button over this window.
    CCommParamChangeDlg(std::function<void(const QString&)> inform, QWidget* parent = nullptr);
    ~CCommParamChangeDlg() override;

    // Shows the address, the baud text and the tool's own port and parity texts.
    void SetValues(const CommParamValues& values);
    // What the controls hold; NewBaudRate is set once the window has been accepted.
    CommParamValues Values() const;

    // "修改": refuses an address that is not a whole number or outside 1 to 247 and a baud
    // rate that is not one of the five, each with its message, and stays open; else accepts.
    void accept() override;

private:
    void Refuse(const QString& text, QWidget* field);

    std::unique_ptr<Ui::CCommParamChangeDlg> Ui_;
    std::function<void(const QString&)> Inform_;
    int NewBaudRate_ = 0;
};

}  // namespace mp
