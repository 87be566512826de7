// The start-up setup dialog: defaults, address range, port/baud/parity matching, cancel.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/CommSetupDlg.h"

using mp::CCommSetupDlg;
using mp::ConnectionSettings;

namespace {

template <class T>
T* Find(QWidget& root, const char* name) {
    T* child = root.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qWarning("widget %s is missing", name);
    }
    return child;
}

// Types the text key by key, also characters that have no key of their own.
void Retype(QComboBox* combo, const QString& text) {
    combo->lineEdit()->clear();
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, combo->lineEdit(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    }
}

}  // namespace

class CCommSetupDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Messages_.clear();
        Dlg_ = std::make_unique<CCommSetupDlg>([this](const QString& text) { Messages_ << text; });
        Dlg_->show();
        Address_ = Find<QLineEdit>(*Dlg_, "addressEdit");
        Port_ = Find<QComboBox>(*Dlg_, "portCombo");
        Baud_ = Find<QComboBox>(*Dlg_, "baudCombo");
        Parity_ = Find<QComboBox>(*Dlg_, "parityCombo");
        Ok_ = Find<QPushButton>(*Dlg_, "okButton");
        Exit_ = Find<QPushButton>(*Dlg_, "exitButton");
        QVERIFY(Address_ && Port_ && Baud_ && Parity_ && Ok_ && Exit_);
    }
    void cleanup() { Dlg_.reset(); }

    void defaultsGiveCom1At9600WithoutParityToAddress1() {
        QCOMPARE(Dlg_->windowTitle(), QStringLiteral("通讯设置"));
        QCOMPARE(Address_->text(), QStringLiteral("1"));
        QCOMPARE(Port_->currentText(), QStringLiteral("COM1"));
        QCOMPARE(Baud_->currentText(), QStringLiteral("9600"));
        QCOMPARE(Parity_->currentText(), QStringLiteral("无校验"));
        QTest::mouseClick(Ok_, Qt::LeftButton);
        QCOMPARE(Dlg_->result(), int(QDialog::Accepted));
        const ConnectionSettings result = Dlg_->Result();
        QCOMPARE(result.PortNumber, 1);
        QCOMPARE(result.PortText, QStringLiteral("COM1"));
        QCOMPARE(result.BaudRate, 9600);
        QCOMPARE(result.ParityCode, 0);
        QCOMPARE(int(result.SlaveAddress), 1);
        QVERIFY(Messages_.isEmpty());
    }

    void addressRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0") << "0" << false;
        QTest::newRow("248") << "248" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("247") << "247" << true;
        QTest::newRow("leading zeros") << "007" << true;
    }
    void addressRange() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        Address_->clear();
        QTest::keyClicks(Address_, typed);
        QTest::mouseClick(Ok_, Qt::LeftButton);
        if (accepted) {
            QCOMPARE(Dlg_->result(), int(QDialog::Accepted));
            QCOMPARE(int(Dlg_->Result().SlaveAddress), typed.toInt());
            QVERIFY(Messages_.isEmpty());
        } else {
            QVERIFY(Dlg_->isVisible());
            QCOMPARE(Messages_, QStringList{QStringLiteral("请输入一个在 1 和 247 之间的整数。")});
            QCOMPARE(Dlg_->focusWidget(), Address_);
            QCOMPARE(Address_->text(), typed);  // the entry is kept for correcting
            QCOMPARE(int(Dlg_->Result().SlaveAddress), 1);
        }
    }

    void addressTakesDigitsOnly() {
        Address_->clear();
        QTest::keyClicks(Address_, "1x2-3 ");
        QCOMPARE(Address_->text(), QStringLiteral("123"));
    }

    void portText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("portText");
        QTest::addColumn<int>("portNumber");
        QTest::newRow("COM3") << "COM3"
                              << "COM3" << 3;
        QTest::newRow("COM32") << "COM32"
                               << "COM32" << 32;
        QTest::newRow("lower case keeps COM1") << "com3"
                                               << "COM1" << 1;
        QTest::newRow("COM33 keeps COM1") << "COM33"
                                          << "COM1" << 1;
        QTest::newRow("blank before keeps COM1") << " COM3"
                                                 << "COM1" << 1;
        QTest::newRow("empty keeps COM1") << ""
                                          << "COM1" << 1;
        QTest::newRow("device path") << "/dev/ttyUSB0"
                                     << "/dev/ttyUSB0" << 0;
        QTest::newRow("simulated device")
            << QStringLiteral("内置模拟设备") << QStringLiteral("内置模拟设备") << 0;
    }
    void portText() {
        QFETCH(QString, typed);
        QFETCH(QString, portText);
        QFETCH(int, portNumber);
        Retype(Port_, typed);
        QTest::mouseClick(Ok_, Qt::LeftButton);
        QCOMPARE(Dlg_->result(), int(QDialog::Accepted));
        QCOMPARE(Dlg_->Result().PortText, portText);
        QCOMPARE(Dlg_->Result().PortNumber, portNumber);
    }

    void unmatchedPortKeepsTheEarlierChoice() {
        Retype(Port_, "COM5");
        QTest::mouseClick(Ok_, Qt::LeftButton);
        Dlg_->show();
        Retype(Port_, "serial five");
        QTest::mouseClick(Ok_, Qt::LeftButton);
        QCOMPARE(Dlg_->Result().PortText, QStringLiteral("COM5"));
        QCOMPARE(Dlg_->Result().PortNumber, 5);
    }

    void portListEndsWithTheSimulatedDevice() {
        QCOMPARE(Port_->itemText(0), QStringLiteral("COM1"));
        QCOMPARE(Port_->itemText(31), QStringLiteral("COM32"));
        QCOMPARE(Port_->itemText(Port_->count() - 1), mp::kSimulatedPortText);
    }

    void baudAndParity_data() {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<int>("baudRate");
        QTest::addColumn<int>("parityCode");
        QTest::newRow("19200 odd") << "19200" << QStringLiteral("奇校验") << 19200 << 1;
        QTest::newRow("1200 even") << "1200" << QStringLiteral("偶校验") << 1200 << 2;
        QTest::newRow("unlisted rate, parity in English") << "9601"
                                                          << "odd" << 9600 << 0;
        QTest::newRow("empty texts") << ""
                                     << "" << 9600 << 0;
        QTest::newRow("rate with blank") << "4800 " << QStringLiteral("无校验") << 9600 << 0;
    }
    void baudAndParity() {
        QFETCH(QString, baud);
        QFETCH(QString, parity);
        QFETCH(int, baudRate);
        QFETCH(int, parityCode);
        Retype(Baud_, baud);
        Retype(Parity_, parity);
        QTest::mouseClick(Ok_, Qt::LeftButton);
        QCOMPARE(Dlg_->Result().BaudRate, baudRate);
        QCOMPARE(Dlg_->Result().ParityCode, parityCode);
    }

    void exitAndEscapeReject_data() {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("exit button") << false;
        QTest::newRow("escape key") << true;
    }
    void exitAndEscapeReject() {
        QFETCH(bool, byEscape);
        if (byEscape) {
            QTest::keyClick(Address_, Qt::Key_Escape);
        } else {
            QTest::mouseClick(Exit_, Qt::LeftButton);
        }
        QVERIFY(!Dlg_->isVisible());
        QCOMPARE(Dlg_->result(), int(QDialog::Rejected));
    }

    void noCloseBox() {
        QVERIFY(!(Dlg_->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(Dlg_->windowFlags() & Qt::WindowSystemMenuHint));
    }

private:
    std::unique_ptr<CCommSetupDlg> Dlg_;
    QStringList Messages_;
    QLineEdit* Address_ = nullptr;
    QComboBox* Port_ = nullptr;
    QComboBox* Baud_ = nullptr;
    QComboBox* Parity_ = nullptr;
    QPushButton* Ok_ = nullptr;
    QPushButton* Exit_ = nullptr;
};

QTEST_MAIN(CCommSetupDlgTest)
#include "test_comm_setup_dlg.moc"
