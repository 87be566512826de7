// The address and baud rate window: what it shows, what it refuses and what it returns.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/CommParamChangeDlg.h"

using namespace mp;

namespace {

template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child) {
        qFatal("widget %s not found", name);
    }
    return child;
}

struct Window {
    Window() : dlg([this](const QString& text) { Messages << text; }) {
        CommParamValues values;
        values.Address = 5;
        values.BaudText = "9600";
        values.PortText = "/dev/ttyUSB0";
        values.ParityText = "偶校验";
        dlg.SetValues(values);
        dlg.show();
    }
    void Enter(const QString& address, const QString& baud) {
        auto* edit = Child<QLineEdit>(dlg, "addressEdit");
        edit->clear();
        QTest::keyClicks(edit, address);
        auto* combo = Child<QComboBox>(dlg, "baudCombo");
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), baud);
    }
    void Click(const char* button) {
        QTest::mouseClick(Child<QPushButton>(dlg, button), Qt::LeftButton);
    }
    QStringList Messages;
    CCommParamChangeDlg dlg;
};

}  // namespace

class TestCommParamDlg : public QObject {
    Q_OBJECT
private slots:
    void ShowsValues();
    void ControlsAreNamed_data();
    void ControlsAreNamed();
    void Refuses_data();
    void Refuses();
    void Accepts_data();
    void Accepts();
    void BaudFromList();
    void CancelAndCloseBox_data();
    void CancelAndCloseBox();
};

void TestCommParamDlg::ShowsValues() {
    Window w;
    QCOMPARE(w.dlg.windowTitle(), QStringLiteral("通信参数修改→"));
    QCOMPARE(Child<QLineEdit>(w.dlg, "addressEdit")->text(), QStringLiteral("5"));
    auto* baud = Child<QComboBox>(w.dlg, "baudCombo");
    QVERIFY(baud->isEditable());
    QCOMPARE(baud->currentText(), QStringLiteral("9600"));
    QStringList items;
    for (int k = 0; k < baud->count(); ++k) {
        items << baud->itemText(k);
    }
    QCOMPARE(items, (QStringList{"1200", "2400", "4800", "9600", "19200"}));
    auto* port = Child<QComboBox>(w.dlg, "portCombo");
    auto* parity = Child<QComboBox>(w.dlg, "parityCombo");
    QVERIFY(!port->isEnabled());
    QVERIFY(!parity->isEnabled());
    QCOMPARE(port->currentText(), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(parity->currentText(), QStringLiteral("偶校验"));
    QCOMPARE(Child<QPushButton>(w.dlg, "okButton")->text(), QStringLiteral("修改"));
    QCOMPARE(Child<QPushButton>(w.dlg, "cancelButton")->text(), QStringLiteral("取消"));

    // A device that did not answer: address 0 and no baud text.
    CommParamValues unanswered;
    unanswered.PortText = "COM1";
    unanswered.ParityText = "无校验";
    w.dlg.SetValues(unanswered);
    QCOMPARE(Child<QLineEdit>(w.dlg, "addressEdit")->text(), QStringLiteral("0"));
    QCOMPARE(baud->currentText(), QString());
}

void TestCommParamDlg::ControlsAreNamed_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    QTest::newRow("address") << "addressEdit"
                             << "子机号";
    QTest::newRow("baud") << "baudCombo"
                          << "波特率";
    QTest::newRow("port") << "portCombo"
                          << "串行口";
    QTest::newRow("parity") << "parityCombo"
                            << "校验位";
}

void TestCommParamDlg::ControlsAreNamed() {
    QFETCH(QString, control);
    QFETCH(QString, caption);
    Window w;
    auto* widget = w.dlg.findChild<QWidget*>(control);
    QVERIFY2(widget, qPrintable(control));
    QCOMPARE(widget->accessibleName(), caption);
    bool labelled = false;
    for (QLabel* label : w.dlg.findChildren<QLabel*>()) {
        labelled = labelled || (label->buddy() == widget && label->text() == caption);
    }
    QVERIFY(labelled);
}

void TestCommParamDlg::Refuses_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("message");
    const QString notInteger = QStringLiteral("请输入一个整数。");
    const QString range = QStringLiteral("请输入1~247的整数");
    const QString rate = QStringLiteral("请选择波特率1200、2400、4800、9600或19200");
    QTest::newRow("0") << "0"
                       << "9600" << range;
    QTest::newRow("248") << "248"
                         << "9600" << range;
    QTest::newRow("negative") << "-3"
                              << "9600" << range;
    QTest::newRow("abc") << "abc"
                         << "9600" << notInteger;
    QTest::newRow("empty") << ""
                           << "9600" << notInteger;
    QTest::newRow("trailing letters") << "12a"
                                      << "9600" << notInteger;
    QTest::newRow("fraction") << "12.5"
                              << "9600" << notInteger;
    QTest::newRow("too long for an int") << "99999999999"
                                         << "9600" << notInteger;
    QTest::newRow("9601") << "12"
                          << "9601" << rate;
    QTest::newRow("no rate") << "12"
                             << "" << rate;
    QTest::newRow("rate with text") << "12"
                                    << "9600bps" << rate;
    // The address is checked first.
    QTest::newRow("both wrong") << "300"
                                << "1" << range;
}

void TestCommParamDlg::Refuses() {
    QFETCH(QString, address);
    QFETCH(QString, baud);
    QFETCH(QString, message);
    Window w;
    w.Enter(address, baud);
    w.Click("okButton");
    QCOMPARE(w.Messages, QStringList{message});
    QVERIFY(w.dlg.isVisible());
    QCOMPARE(w.dlg.result(), int(QDialog::Rejected));
    // Nothing the operator typed is lost.
    QCOMPARE(Child<QLineEdit>(w.dlg, "addressEdit")->text(), address);
    QCOMPARE(Child<QComboBox>(w.dlg, "baudCombo")->currentText(), baud);

    // Corrected, the same window accepts.
    w.Enter("12", "19200");
    w.Click("okButton");
    QVERIFY(!w.dlg.isVisible());
    QCOMPARE(w.dlg.result(), int(QDialog::Accepted));
    QCOMPARE(w.Messages.size(), 1);
}

void TestCommParamDlg::Accepts_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<int>("expectedAddress");
    QTest::addColumn<int>("expectedRate");
    QTest::newRow("1") << "1"
                       << "1200" << 1 << 1200;
    QTest::newRow("247") << "247"
                         << "19200" << 247 << 19200;
    QTest::newRow("blanks around") << " 12 "
                                   << " 4800 " << 12 << 4800;
    QTest::newRow("plus sign") << "+7"
                               << "2400" << 7 << 2400;
}

void TestCommParamDlg::Accepts() {
    QFETCH(QString, address);
    QFETCH(QString, baud);
    QFETCH(int, expectedAddress);
    QFETCH(int, expectedRate);
    Window w;
    w.Enter(address, baud);
    w.Click("okButton");
    QVERIFY(w.Messages.isEmpty());
    QVERIFY(!w.dlg.isVisible());
    QCOMPARE(w.dlg.result(), int(QDialog::Accepted));
    const CommParamValues values = w.dlg.Values();
    QCOMPARE(values.Address, expectedAddress);
    QCOMPARE(values.NewBaudRate, expectedRate);
    QCOMPARE(values.PortText, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(values.ParityText, QStringLiteral("偶校验"));
}

void TestCommParamDlg::BaudFromList() {
    Window w;
    auto* combo = Child<QComboBox>(w.dlg, "baudCombo");
    combo->setCurrentIndex(combo->findText("2400"));
    w.Click("okButton");
    QCOMPARE(w.dlg.result(), int(QDialog::Accepted));
    QCOMPARE(w.dlg.Values().NewBaudRate, 2400);
    QCOMPARE(w.dlg.Values().Address, 5);
}

void TestCommParamDlg::CancelAndCloseBox_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("取消") << false;
    QTest::newRow("close box") << true;
}

void TestCommParamDlg::CancelAndCloseBox() {
    QFETCH(bool, closeBox);
    Window w;
    w.Enter("0", "");
    if (closeBox) {
        w.dlg.close();
    } else {
        w.Click("cancelButton");
    }
    QVERIFY(!w.dlg.isVisible());
    QCOMPARE(w.dlg.result(), int(QDialog::Rejected));
    QVERIFY(w.Messages.isEmpty());
}

QTEST_MAIN(TestCommParamDlg)
#include "test_comm_param_dlg.moc"
