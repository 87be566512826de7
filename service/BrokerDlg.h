#pragma once
// "连接到服务器...": where the overview watches a plant from: the broker's host and port, the
// service's topic prefix, a user and password, and a CA certificate for TLS. OK refuses with
// every fault, naming the field, and keeps what was typed.

#include <QDialog>

#include "mqtt/MqttClient.h"

class QLineEdit;
class QSpinBox;

namespace mp {

class IDialogService;

class CBrokerDlg : public QDialog {
    Q_OBJECT
public:
    CBrokerDlg(const MqttOptions& options, const QString& prefix, IDialogService& dialogs,
               QWidget* parent = nullptr);

    MqttOptions Options() const;
    QString Prefix() const;
    // The faults of the fields as they are, one line each; empty when none.
    QStringList Faults() const;

    void accept() override;

private:
    IDialogService& Dialogs_;
    QLineEdit* Host_ = nullptr;
    QSpinBox* Port_ = nullptr;
    QLineEdit* Prefix_ = nullptr;
    QLineEdit* User_ = nullptr;
    QLineEdit* Password_ = nullptr;
    QLineEdit* CaFile_ = nullptr;
};

}  // namespace mp
