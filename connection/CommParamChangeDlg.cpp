#include "connection/CommParamChangeDlg.h"

#include <QLineEdit>
#include <QPixmap>
#include <QRegularExpression>
#include <optional>

#include "device/LineCodes.h"
#include "language/Text.h"
#include "ui_CommParamChangeDlg.h"

namespace mp {
namespace {

// A whole number as an integer field takes it: blanks around an optionally signed run of
// digits that fits in an int. Anything else is refused.
std::optional<int> WholeNumber(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!pattern.match(text).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

// Selects `text` in a display-only drop-down, adding it when the list lacks it.
void ShowInCombo(QComboBox* combo, const QString& text) {
    int index = combo->findText(text);
    if (index < 0) {
        combo->addItem(text);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

}  // namespace

CCommParamChangeDlg::CCommParamChangeDlg(std::function<void(const QString&)> inform,
                                         QWidget* parent)
    : QDialog(parent), Ui_(new Ui::CCommParamChangeDlg), Inform_(std::move(inform)) {
    Ui_->setupUi(this);
    // The same picture as the start-up communication dialog.
    const QPixmap picture(QStringLiteral(":/images/setup-picture.png"));
    if (!picture.isNull()) {
        Ui_->pictureLabel->setPixmap(picture);
    }
    for (const int rate : kBaudRates) {
        Ui_->baudCombo->addItem(QString::number(rate));
    }
    Ui_->baudCombo->setEditText(QString());
    for (int code = 0; code < kParityCount; ++code) {
        Ui_->parityCombo->addItem(QString::fromStdString(Tr(ParityTextOf(code))));
    }
    Ui_->addressEdit->setText(QStringLiteral("0"));
    Ui_->okButton->setDefault(true);
    connect(Ui_->okButton, &QPushButton::clicked, this, &CCommParamChangeDlg::accept);
    connect(Ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CCommParamChangeDlg::~CCommParamChangeDlg() = default;

void CCommParamChangeDlg::SetValues(const CommParamValues& values) {
    Ui_->addressEdit->setText(QString::number(values.Address));
    const int baud = Ui_->baudCombo->findText(values.BaudText);
    if (baud >= 0) {
        Ui_->baudCombo->setCurrentIndex(baud);
    }
    Ui_->baudCombo->setEditText(values.BaudText);
    ShowInCombo(Ui_->portCombo, values.PortText);
    ShowInCombo(Ui_->parityCombo, values.ParityText);
    NewBaudRate_ = values.NewBaudRate;
}

CommParamValues CCommParamChangeDlg::Values() const {
    CommParamValues values;
    values.Address = WholeNumber(Ui_->addressEdit->text()).value_or(0);
    values.BaudText = Ui_->baudCombo->currentText();
    values.PortText = Ui_->portCombo->currentText();
    values.ParityText = Ui_->parityCombo->currentText();
    values.NewBaudRate = NewBaudRate_;
    return values;
}

void CCommParamChangeDlg::Refuse(const QString& text, QWidget* field) {
    if (Inform_) {
        Inform_(text);
    }
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
    }
}

void CCommParamChangeDlg::accept() {
    const std::optional<int> address = WholeNumber(Ui_->addressEdit->text());
    if (!address) {
        Refuse(tr("请输入一个整数。"), Ui_->addressEdit);
        return;
    }
    if (*address > kHighestSlaveAddress || *address < kLowestSlaveAddress) {
        Refuse(tr("请输入1~247的整数"), Ui_->addressEdit);
        return;
    }
    const QString baudText = Ui_->baudCombo->currentText().trimmed();
    bool isNumber = false;
    const int rate = baudText.toInt(&isNumber);
    // Only the rates as the list shows them ("9600", not "09600" or "+9600").
    if (!isNumber || !IsBaudRate(rate) || QString::number(rate) != baudText) {
        Refuse(tr("请选择波特率1200、2400、4800、9600或19200"), Ui_->baudCombo);
        return;
    }
    NewBaudRate_ = rate;
    QDialog::accept();
}

}  // namespace mp
