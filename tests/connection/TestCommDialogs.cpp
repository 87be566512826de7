// The two communication dialogs: the start-up setup (port, baud rate, parity, address) and
// the change of the device's address and baud rate. What they show, refuse and return.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "connection/CommParamChangeDlg.h"
#include "connection/CommSetupDlg.h"
#include "support/Widgets.h"

using namespace mp;
using namespace mp::test;

namespace {

// A dialog, shown, whose messages to the operator are kept instead.
template <class Dlg>
struct CShownDialog {
    CShownDialog() : Window([this](const QString& text) { Messages << text; }) { Window.show(); }
    QString Text(const char* control) const {
        auto* combo = Window.template findChild<QComboBox*>(QString::fromLatin1(control));
        return combo ? combo->currentText() : Child<QLineEdit>(Window, control)->text();
    }
    void Enter(const char* control, const QString& text) {
        Retype(Child<QWidget>(Window, control), text);
    }
    void Click(const char* button) {
        QTest::mouseClick(Child<QPushButton>(Window, button), Qt::LeftButton);
    }
    QStringList Messages;
    Dlg Window;
};

using CSetup = CShownDialog<CCommSetupDlg>;

// The change dialog as it opens for a device at address 5 and 9600 baud.
struct CChange : CShownDialog<CCommParamChangeDlg> {
    CChange() {
        CommParamValues values;
        values.Address = 5;
        values.BaudText = "9600";
        values.PortText = "/dev/ttyUSB0";
        values.ParityText = "偶校验";
        Window.SetValues(values);
    }
};

}  // namespace

class TestCommDialogs : public QObject {
    Q_OBJECT

private slots:
    void setupDefaults() {
        CSetup setup;
        QCOMPARE(setup.Text("addressEdit"), QStringLiteral("1"));
        QCOMPARE(setup.Text("portCombo"), QStringLiteral("COM1"));
        QCOMPARE(setup.Text("baudCombo"), QStringLiteral("9600"));
        QCOMPARE(setup.Text("parityCombo"), QStringLiteral("无校验"));
        QVERIFY(!(setup.Window.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(AccessibilityProblems(setup.Window), QStringList());
        setup.Click("okButton");
        QCOMPARE(setup.Window.result(), int(QDialog::Accepted));
        const ConnectionSettings result = setup.Window.Result();
        QCOMPARE(result.PortText, QStringLiteral("COM1"));
        QCOMPARE(result.PortNumber, 1);
        QCOMPARE(result.BaudRate, 9600);
        QCOMPARE(result.ParityCode, 0);
        QCOMPARE(int(result.SlaveAddress), 1);
        QVERIFY(setup.Messages.isEmpty());
    }

    // Opened again while the tool runs: it shows the line in use, and a text matching no list
    // item keeps that line's value.
    void setupShowsTheLineInUse() {
        CSetup setup;
        ConnectionSettings current;
        current.PortText = QStringLiteral("/dev/ttyUSB1");
        current.PortNumber = 0;
        current.BaudRate = 19200;
        current.ParityCode = 2;
        current.SlaveAddress = 12;
        setup.Window.ShowCurrent(current);
        QCOMPARE(setup.Text("addressEdit"), QStringLiteral("12"));
        QCOMPARE(setup.Text("portCombo"), QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(setup.Text("baudCombo"), QStringLiteral("19200"));
        QCOMPARE(setup.Text("parityCombo"), QStringLiteral("偶校验"));
        QCOMPARE(Child<QPushButton>(setup.Window, "exitButton")->text(),
                 QStringLiteral("取    消"));
        setup.Enter("baudCombo", QStringLiteral("38400"));
        setup.Click("okButton");
        const ConnectionSettings result = setup.Window.Result();
        QCOMPARE(result.PortText, QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(result.BaudRate, 19200);
        QCOMPARE(result.ParityCode, 2);
        QCOMPARE(int(result.SlaveAddress), 12);
    }

    void setupAddress_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("address");  // 0: refused
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("248") << "248" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("247") << "247" << 247;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("digits only") << "1x2-3 " << 123;
    }
    void setupAddress() {
        QFETCH(QString, typed);
        QFETCH(int, address);
        CSetup setup;
        auto* edit = Child<QLineEdit>(setup.Window, "addressEdit");
        edit->clear();
        QTest::keyClicks(edit, typed);
        setup.Click("okButton");
        if (address != 0) {
            QCOMPARE(setup.Window.result(), int(QDialog::Accepted));
            QCOMPARE(int(setup.Window.Result().SlaveAddress), address);
            QVERIFY(setup.Messages.isEmpty());
        } else {
            QVERIFY(setup.Window.isVisible());
            QCOMPARE(setup.Messages, QStringList{"请输入一个在 1 和 247 之间的整数。"});
            QCOMPARE(setup.Window.focusWidget(), edit);
            QCOMPARE(edit->text(), typed);  // kept for correcting
            QCOMPARE(int(setup.Window.Result().SlaveAddress), 1);
        }
    }

    // A text that is none of its list keeps the earlier choice, here the default.
    void setupChoices_data() {
        QTest::addColumn<QStringList>("typed");  // port, baud rate, parity
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QList<int>>("numbers");  // port number, baud rate, parity code
        const QString sim = kSimulatedPortText;
        QTest::newRow("COM3 19200 odd")
            << QStringList{"COM3", "19200", "奇校验"} << "COM3" << QList<int>{3, 19200, 1};
        QTest::newRow("COM32 1200 even")
            << QStringList{"COM32", "1200", "偶校验"} << "COM32" << QList<int>{32, 1200, 2};
        QTest::newRow("lower case, unlisted rate, English parity")
            << QStringList{"com3", "9601", "odd"} << "COM1" << QList<int>{1, 9600, 0};
        QTest::newRow("COM33, rate with a blank")
            << QStringList{"COM33", "4800 ", ""} << "COM1" << QList<int>{1, 9600, 0};
        QTest::newRow("device path") << QStringList{"/dev/ttyUSB0", "2400", "无校验"}
                                     << "/dev/ttyUSB0" << QList<int>{0, 2400, 0};
        QTest::newRow("simulated device")
            << QStringList{sim, "9600", "无校验"} << sim << QList<int>{0, 9600, 0};
    }
    void setupChoices() {
        QFETCH(QStringList, typed);
        QFETCH(QString, portText);
        QFETCH(QList<int>, numbers);
        CSetup setup;
        setup.Enter("portCombo", typed[0]);
        setup.Enter("baudCombo", typed[1]);
        setup.Enter("parityCombo", typed[2]);
        setup.Click("okButton");
        QCOMPARE(setup.Window.result(), int(QDialog::Accepted));
        const ConnectionSettings result = setup.Window.Result();
        QCOMPARE(result.PortText, portText);
        QCOMPARE((QList<int>{result.PortNumber, result.BaudRate, result.ParityCode}), numbers);
    }

    void changeShowsValues() {
        CChange change;
        QCOMPARE(change.Text("addressEdit"), QStringLiteral("5"));
        QCOMPARE(change.Text("baudCombo"), QStringLiteral("9600"));
        QCOMPARE(change.Text("portCombo"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(change.Text("parityCombo"), QStringLiteral("偶校验"));
        QVERIFY(!Child<QComboBox>(change.Window, "portCombo")->isEnabled());
        QVERIFY(!Child<QComboBox>(change.Window, "parityCombo")->isEnabled());
        QCOMPARE(AccessibilityProblems(change.Window), QStringList());

        // A device that did not answer: address 0 and no baud text.
        change.Window.SetValues(CommParamValues{});
        QCOMPARE(change.Text("addressEdit"), QStringLiteral("0"));
        QCOMPARE(change.Text("baudCombo"), QString());
    }

    void changeAddressAndRate_data() {
        QTest::addColumn<QStringList>("typed");  // address, baud rate
        QTest::addColumn<QString>("message");    // empty: accepted
        QTest::addColumn<QList<int>>("values");  // address and rate returned
        const QString notInteger = "请输入一个整数。";
        const QString range = "请输入1~247的整数";
        const QString rate = "请选择波特率1200、2400、4800、9600或19200";
        const QList<int> none;
        QTest::newRow("1") << QStringList{"1", "1200"} << "" << QList<int>{1, 1200};
        QTest::newRow("247") << QStringList{"247", "19200"} << "" << QList<int>{247, 19200};
        QTest::newRow("blanks") << QStringList{" 12 ", " 4800 "} << "" << QList<int>{12, 4800};
        QTest::newRow("plus sign") << QStringList{"+7", "2400"} << "" << QList<int>{7, 2400};
        QTest::newRow("0") << QStringList{"0", "9600"} << range << none;
        QTest::newRow("248") << QStringList{"248", "9600"} << range << none;
        QTest::newRow("negative") << QStringList{"-3", "9600"} << range << none;
        QTest::newRow("abc") << QStringList{"abc", "9600"} << notInteger << none;
        QTest::newRow("empty") << QStringList{"", "9600"} << notInteger << none;
        QTest::newRow("fraction") << QStringList{"12.5", "9600"} << notInteger << none;
        QTest::newRow("too long") << QStringList{"99999999999", "9600"} << notInteger << none;
        QTest::newRow("9601") << QStringList{"12", "9601"} << rate << none;
        QTest::newRow("no rate") << QStringList{"12", ""} << rate << none;
        QTest::newRow("rate with text") << QStringList{"12", "9600bps"} << rate << none;
        QTest::newRow("address first") << QStringList{"300", "1"} << range << none;
    }
    void changeAddressAndRate() {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QFETCH(QList<int>, values);
        CChange change;
        change.Enter("addressEdit", typed[0]);
        change.Enter("baudCombo", typed[1]);
        change.Click("okButton");
        if (message.isEmpty()) {
            QVERIFY(change.Messages.isEmpty());
            QCOMPARE(change.Window.result(), int(QDialog::Accepted));
            const CommParamValues returned = change.Window.Values();
            QCOMPARE((QList<int>{returned.Address, returned.NewBaudRate}), values);
            return;
        }
        QCOMPARE(change.Messages, QStringList{message});
        QVERIFY(change.Window.isVisible());
        // Nothing the operator typed is lost, and corrected the same window accepts.
        QCOMPARE((QStringList{change.Text("addressEdit"), change.Text("baudCombo")}), typed);
        change.Enter("addressEdit", "12");
        change.Enter("baudCombo", "19200");
        change.Click("okButton");
        QCOMPARE(change.Window.result(), int(QDialog::Accepted));
        QCOMPARE(change.Messages.size(), 1);
    }

    void cancel_data() {
        QTest::addColumn<bool>("setup");
        QTest::addColumn<QString>("how");  // a button, "Escape" or "close box"
        QTest::newRow("setup, exit button") << true << "exitButton";
        QTest::newRow("setup, Escape") << true << "Escape";
        QTest::newRow("change, 取消") << false << "cancelButton";
        QTest::newRow("change, close box") << false << "close box";
    }
    void cancel() {
        QFETCH(bool, setup);
        QFETCH(QString, how);
        CSetup setupDialog;
        CChange change;
        QDialog& dialog = setup ? static_cast<QDialog&>(setupDialog.Window) : change.Window;
        Child<QLineEdit>(dialog, "addressEdit")->setText("0");
        if (how == "Escape") {
            QTest::keyClick(Child<QLineEdit>(dialog, "addressEdit"), Qt::Key_Escape);
        } else if (how == "close box") {
            dialog.close();
        } else {
            QTest::mouseClick(Child<QPushButton>(dialog, how), Qt::LeftButton);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(setupDialog.Messages.isEmpty() && change.Messages.isEmpty());
    }
};

QTEST_MAIN(TestCommDialogs)
#include "TestCommDialogs.moc"
