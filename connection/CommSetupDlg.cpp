#include "connection/CommSetupDlg.h"

#include <QAbstractItemView>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "language/WholeNumber.h"
#include "ui_CommSetupDlg.h"

namespace mp {

namespace {

constexpr int kComPortCount = 32;
constexpr int kLowestAddress = 1;
constexpr int kHighestAddress = 247;

}  // namespace

CCommSetupDlg::CCommSetupDlg(std::function<void(const QString&)> inform, QWidget* parent)
    : CCommSetupDlg(std::move(inform), SystemPorts(), parent) {}

CCommSetupDlg::CCommSetupDlg(std::function<void(const QString&)> inform,
                             std::vector<SystemPortInfo> ports, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Ui_(std::make_unique<Ui::CCommSetupDlg>()),
      Inform_(std::move(inform)),
      Ports_(std::move(ports)) {
    Ui_->setupUi(this);
    Ui_->addressEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    FillPortList();
    // No completion: "COM3" typed must stay "COM3", not become "COM30".
    Ui_->portCombo->setCompleter(nullptr);
    Ui_->baudCombo->setCompleter(nullptr);
    Ui_->parityCombo->setCompleter(nullptr);

    Fill(Result_);
    Ui_->addressEdit->setFocus();
    setFixedSize(sizeHint());
}

void CCommSetupDlg::FillPortList() {
#ifdef Q_OS_WIN
    // "COM1" .. "COM32", then the other ports this machine reports.
    for (int number = 1; number <= kComPortCount; ++number) {
        Ui_->portCombo->addItem(QStringLiteral("COM%1").arg(number));
    }
    for (const SystemPortInfo& port : Ports_) {
        const QString location = QString::fromStdString(port.Location);
        if (Ui_->portCombo->findText(location, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
            Ui_->portCombo->addItem(location, location);
        }
    }
#else
    // The ports this machine reports with their description, then "COM1" .. "COM32".
    for (const SystemPortInfo& port : Ports_) {
        Ui_->portCombo->addItem(QString::fromStdString(PortChoiceText(port)),
                                QString::fromStdString(port.Location));
    }
    for (int number = 1; number <= kComPortCount; ++number) {
        Ui_->portCombo->addItem(QStringLiteral("COM%1").arg(number));
    }
#endif
    // Shown in the window's language; chosen, it stands for the built-in device by its data.
    Ui_->portCombo->addItem(tr("内置模拟设备"), kSimulatedPortText);
    // The open list shows the descriptions in full even where the field is narrower.
    QAbstractItemView* list = Ui_->portCombo->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) +
                          list->verticalScrollBar()->sizeHint().width());
}

void CCommSetupDlg::Fill(const ConnectionSettings& values) {
    Ui_->addressEdit->setText(QString::number(values.SlaveAddress));
    // A port the system reports is shown as its list entry, anything else as its text.
    int portIndex = -1;
    for (int k = 0; k < Ui_->portCombo->count(); ++k) {
        const QVariant location = Ui_->portCombo->itemData(k);
        if ((location.isValid() && location.toString() == values.PortText) ||
            (!location.isValid() && Ui_->portCombo->itemText(k) == values.PortText)) {
            portIndex = k;
            break;
        }
    }
    if (portIndex >= 0) {
        Ui_->portCombo->setCurrentIndex(portIndex);
    }
    Ui_->portCombo->setEditText(portIndex >= 0 ? Ui_->portCombo->itemText(portIndex)
                                               : values.PortText);
    const QString baud = QString::number(values.BaudRate);
    Ui_->baudCombo->setCurrentIndex(Ui_->baudCombo->findText(baud));
    Ui_->baudCombo->setEditText(baud);
    const int parity = values.ParityCode >= 0 && values.ParityCode < Ui_->parityCombo->count()
                           ? values.ParityCode
                           : 0;
    Ui_->parityCombo->setCurrentIndex(parity);
}

CCommSetupDlg::~CCommSetupDlg() = default;

void CCommSetupDlg::ShowCurrent(const ConnectionSettings& current) {
    Result_ = current;
    Fill(current);
    Ui_->exitButton->setText(tr("取    消"));
}

void CCommSetupDlg::accept() {
    const auto address = ParseWholeNumber(Ui_->addressEdit->text());
    if (!address || *address < kLowestAddress || *address > kHighestAddress) {
        if (Inform_) {
            Inform_(tr("请输入一个在 1 和 247 之间的整数。"));
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
    const QVariant location = index >= 0 ? Ui_->portCombo->itemData(index) : QVariant();
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]?)$"));
    const auto match = com.match(text);
    if (location.isValid()) {
        // A port this machine reports, by the name it is opened with.
        Result_.PortText = location.toString();
        Result_.PortNumber = 0;
    } else if (index >= 0 && match.hasMatch()) {
        Result_.PortText = text;
        Result_.PortNumber = match.captured(1).toInt();
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
