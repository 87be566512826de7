#include "app/CommSetupDlg.h"

#include <QRegularExpressionValidator>
#include <QSerialPortInfo>

#include "app/FieldBinding.h"
#include "ui_CommSetupDlg.h"

namespace mp {

namespace {

constexpr int kComPortCount = 32;
constexpr int kLowestAddress = 1;
constexpr int kHighestAddress = 247;

}  // namespace

CCommSetupDlg::CCommSetupDlg(std::function<void(const QString&)> inform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Ui_(std::make_unique<Ui::CCommSetupDlg>()),
      Inform_(std::move(inform)) {
    Ui_->setupUi(this);
    Ui_->addressEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));

    // "COM1" .. "COM32", then the ports this machine reports, then the built-in device.
    for (int number = 1; number <= kComPortCount; ++number) {
        Ui_->portCombo->addItem(QStringLiteral("COM%1").arg(number));
    }
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        const QString location = port.systemLocation();
        if (Ui_->portCombo->findText(location, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
            Ui_->portCombo->addItem(location);
        }
    }
    Ui_->portCombo->addItem(kSimulatedPortText);
    // No completion: "COM3" typed must stay "COM3", not become "COM30".
    Ui_->portCombo->setCompleter(nullptr);
    Ui_->baudCombo->setCompleter(nullptr);
    Ui_->parityCombo->setCompleter(nullptr);

    Ui_->addressEdit->setText(QString::number(Result_.SlaveAddress));
    Ui_->portCombo->setCurrentIndex(0);
    Ui_->portCombo->setEditText(QStringLiteral("COM1"));
    Ui_->baudCombo->setEditText(QStringLiteral("9600"));
    Ui_->baudCombo->setCurrentIndex(Ui_->baudCombo->findText(QStringLiteral("9600")));
    Ui_->parityCombo->setCurrentIndex(0);
    Ui_->addressEdit->setFocus();
    setFixedSize(sizeHint());
}

CCommSetupDlg::~CCommSetupDlg() = default;

void CCommSetupDlg::ShowCurrent(const ConnectionSettings& current) {
    Result_ = current;
    Ui_->addressEdit->setText(QString::number(current.SlaveAddress));
    const int port =
        Ui_->portCombo->findText(current.PortText, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (port >= 0) {
        Ui_->portCombo->setCurrentIndex(port);
    }
    Ui_->portCombo->setEditText(current.PortText);
    const QString baud = QString::number(current.BaudRate);
    Ui_->baudCombo->setCurrentIndex(Ui_->baudCombo->findText(baud));
    Ui_->baudCombo->setEditText(baud);
    if (current.ParityCode >= 0 && current.ParityCode < Ui_->parityCombo->count()) {
        Ui_->parityCombo->setCurrentIndex(current.ParityCode);
    }
    Ui_->exitButton->setText(QStringLiteral("取    消"));
}

void CCommSetupDlg::accept() {
    const auto address = CFieldBinding::ParseWholeNumber(Ui_->addressEdit->text());
    if (!address || *address < kLowestAddress || *address > kHighestAddress) {
        if (Inform_) {
            Inform_(QStringLiteral("请输入一个在 1 和 247 之间的整数。"));
        }
        Ui_->addressEdit->setFocus();
        Ui_->addressEdit->selectAll();
        return;
    }
    Result_.SlaveAddress = static_cast<uint8_t>(*address);
    TakePort(Ui_->portCombo->currentText());
    TakeBaudRate(Ui_->baudCombo->currentText());
    TakeParity(Ui_->parityCombo->currentText());
    QDialog::accept();
}

void CCommSetupDlg::TakePort(const QString& text) {
    const int index = Ui_->portCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0 && index < kComPortCount) {
        Result_.PortText = text;
        Result_.PortNumber = index + 1;
    } else if (index >= 0 || text.startsWith(QLatin1Char('/'))) {
        // A port this machine reports, the built-in device, or a device path typed by hand.
        Result_.PortText = text;
        Result_.PortNumber = 0;
    }
    // Anything else keeps the previous port.
}

void CCommSetupDlg::TakeBaudRate(const QString& text) {
    if (Ui_->baudCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
        Result_.BaudRate = text.toInt();
    }
}

void CCommSetupDlg::TakeParity(const QString& text) {
    const int index = Ui_->parityCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        Result_.ParityCode = index;
    }
}

}  // namespace mp
