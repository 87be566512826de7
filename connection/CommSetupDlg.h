#pragma once
// CCommSetupDlg: the start-up dialog that asks for the serial port, baud rate, parity and
// device address before the main window opens.

#include <QDialog>
#include <functional>
#include <memory>

#include "line/ConnectionSettings.h"
#include "serial/PortNames.h"

namespace Ui {
class CCommSetupDlg;
}

namespace mp {

class CCommSetupDlg : public QDialog {
    Q_OBJECT

public:
    // `inform` shows a message to the operator (a message box in the program). The port list
    // holds the ports the system reports.
    explicit CCommSetupDlg(std::function<void(const QString&)> inform, QWidget* parent = nullptr);
    // The same with the given system ports (tests).
    CCommSetupDlg(std::function<void(const QString&)> inform, std::vector<SystemPortInfo> ports,
                  QWidget* parent = nullptr);
    ~CCommSetupDlg() override;

    // The choices of the last accepted OK; the defaults before it.
    ConnectionSettings Result() const { return Result_; }

    // Opened again while the tool runs: shows the connection in use, which a text matching
    // no list item leaves as it is, and offers "取    消" to keep it instead of "退    出".
    void ShowCurrent(const ConnectionSettings& current);

    // OK: refuses an address outside 1 to 247 and stays open; otherwise reads the port,
    // baud and parity texts and closes.
    void accept() override;

    // Shows `values` in the inputs, as the start-up fills them from the last connection and
    // the command line. The result keeps its values until OK.
    void Fill(const ConnectionSettings& values);

private:
    void TakePort(const QString& text);
    void TakeBaudRate(const QString& text);
    void TakeParity(const QString& text);

    void FillPortList();

    std::unique_ptr<Ui::CCommSetupDlg> Ui_;
    std::function<void(const QString&)> Inform_;
    std::vector<SystemPortInfo> Ports_;
    ConnectionSettings Result_;
};

}  // namespace mp
