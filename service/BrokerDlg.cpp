#include "service/BrokerDlg.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "dialogs/DialogService.h"

namespace mp {
namespace {

// The field with its caption as the accessible name.
template <typename Field>
Field* Named(Field* field, const QString& caption) {
    field->setAccessibleName(caption);
    return field;
}

}  // namespace

CBrokerDlg::CBrokerDlg(const MqttOptions& o, const QString& prefix, IDialogService& dialogs,
                       QWidget* parent)
    : QDialog(parent), Dialogs_(dialogs) {
    setWindowTitle(tr("连接到服务器"));
    auto* form = new QFormLayout;
    Host_ = Named(new QLineEdit(o.Host, this), tr("服务器"));
    Port_ = Named(new QSpinBox(this), tr("端口"));
    Port_->setRange(1, 65535);
    Port_->setValue(o.Port);
    Prefix_ = Named(new QLineEdit(prefix, this), tr("主题前缀"));
    User_ = Named(new QLineEdit(o.User, this), tr("用户名"));
    Password_ = Named(new QLineEdit(o.Password, this), tr("密码"));
    Password_->setEchoMode(QLineEdit::Password);
    CaFile_ = Named(new QLineEdit(o.CaFile, this), tr("CA证书 (TLS)"));
    auto* browse = new QPushButton(tr("浏览..."), this);
    browse->setAccessibleName(tr("选择CA证书"));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path =
            Dialogs_.OpenFileName(this, tr("CA证书"), tr("证书 (*.pem *.crt);;所有文件 (*)"));
        if (!path.isEmpty()) {
            CaFile_->setText(path);
        }
    });
    auto* ca = new QHBoxLayout;
    ca->addWidget(CaFile_);
    ca->addWidget(browse);
    form->addRow(Host_->accessibleName(), Host_);
    form->addRow(Port_->accessibleName(), Port_);
    form->addRow(Prefix_->accessibleName(), Prefix_);
    form->addRow(User_->accessibleName(), User_);
    form->addRow(Password_->accessibleName(), Password_);
    form->addRow(CaFile_->accessibleName(), ca);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBrokerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBrokerDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

MqttOptions CBrokerDlg::Options() const {
    MqttOptions o;
    o.Host = Host_->text().trimmed();
    o.Port = Port_->value();
    o.User = User_->text().trimmed();
    o.Password = Password_->text();
    o.CaFile = CaFile_->text().trimmed();
    return o;
}

QString CBrokerDlg::Prefix() const {
    return Prefix_->text().trimmed();
}

QStringList CBrokerDlg::Faults() const {
    QStringList faults;
    const MqttOptions o = Options();
    if (o.Host.isEmpty() || o.Host.contains(QLatin1Char(' '))) {
        faults << tr("服务器：请填写主机名或IP地址");
    }
    const QString prefix = Prefix();
    if (prefix.isEmpty() || prefix.contains(QLatin1Char('+')) ||
        prefix.contains(QLatin1Char('#')) || prefix.startsWith(QLatin1Char('/'))) {
        faults << tr("主题前缀：不能为空，不能含 + 或 #，不能以 / 开头");
    }
    if (!o.Password.isEmpty() && o.User.isEmpty()) {
        faults << tr("密码：没有用户名时不能给密码");
    }
    if (!o.CaFile.isEmpty() && !QFileInfo(o.CaFile).isReadable()) {
        faults << tr("CA证书 (TLS)：文件 %1 无法读取").arg(o.CaFile);
    }
    return faults;
}

void CBrokerDlg::accept() {
    const QStringList faults = Faults();
    if (!faults.isEmpty()) {
        Dialogs_.Inform(this, faults.join(QLatin1Char('\n')));
        return;
    }
    QDialog::accept();
}

}  // namespace mp
