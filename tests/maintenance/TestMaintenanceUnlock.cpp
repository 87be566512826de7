// The maintenance password: the comparison, the lock it opens and the password window.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "maintenance/MaintenanceUnlock.h"
#include "maintenance/PasswordDlg.h"

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

}  // namespace

class TestMaintenanceUnlock : public QObject {
    Q_OBJECT
private slots:
    void PasswordMatches_data();
    void PasswordMatches();
    void Unlock_data();
    void Unlock();
    void WindowLayout();
    void EntryIsMasked();
    void Keys_data();
    void Keys();
    void Buttons_data();
    void Buttons();
};

void TestMaintenanceUnlock::PasswordMatches_data() {
    QTest::addColumn<QString>("entered");
    QTest::addColumn<bool>("matches");
    QTest::newRow("exact") << "QK4810" << true;
    QTest::newRow("trailing blank") << "QK4810 " << false;
    QTest::newRow("leading blank") << " QK4810" << false;
    QTest::newRow("lower case") << "qk4810" << false;
    QTest::newRow("mixed case") << "Qk4810" << false;
    QTest::newRow("prefix") << "QK481" << false;
    QTest::newRow("longer") << "QK48100" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("full-width letters") << "ＱＫ4810" << false;
}

void TestMaintenanceUnlock::PasswordMatches() {
    QFETCH(QString, entered);
    QFETCH(bool, matches);
    QCOMPARE(mp::PasswordMatches(entered.toStdString()), matches);
}

void TestMaintenanceUnlock::Unlock_data() {
    QTest::addColumn<bool>("unlockedBefore");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("unlockedAfter");
    QTest::addColumn<QString>("message");
    const QString wrong = QStringLiteral("密码错误");
    QTest::newRow("locked, right") << false << false << "QK4810" << true << "";
    QTest::newRow("locked, wrong") << false << false << "QK4811" << false << wrong;
    QTest::newRow("locked, empty") << false << false << "" << false << wrong;
    QTest::newRow("locked, cancelled") << false << true << "" << false << "";
    QTest::newRow("unlocked, right again") << true << false << "QK4810" << true << "";
    QTest::newRow("unlocked, wrong stays open") << true << false << "x" << true << wrong;
    QTest::newRow("unlocked, cancelled") << true << true << "" << true << "";
}

void TestMaintenanceUnlock::Unlock() {
    QFETCH(bool, unlockedBefore);
    QFETCH(bool, cancelled);
    QFETCH(QString, entry);
    QFETCH(bool, unlockedAfter);
    QFETCH(QString, message);
    bool unlocked = unlockedBefore;
    const std::optional<std::string> answer =
        cancelled ? std::nullopt : std::optional<std::string>(entry.toStdString());
    const std::optional<std::string> shown = MaintenanceUnlock(answer, unlocked);
    QCOMPARE(unlocked, unlockedAfter);
    QCOMPARE(QString::fromStdString(shown.value_or("")), message);
    QCOMPARE(shown.has_value(), !message.isEmpty());
}

void TestMaintenanceUnlock::WindowLayout() {
    CPasswordDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("操作密码输入"));
    auto* edit = Child<QLineEdit>(dlg, "passwordEdit");
    auto* label = Child<QLabel>(dlg, "passwordLabel");
    QCOMPARE(label->text(), QStringLiteral("密码："));
    QCOMPARE(label->buddy(), edit);
    QCOMPARE(edit->accessibleName(), QStringLiteral("密码："));
    QCOMPARE(Child<QPushButton>(dlg, "okButton")->text(), QStringLiteral("确认"));
    QCOMPARE(Child<QPushButton>(dlg, "cancelButton")->text(), QStringLiteral("取消"));
    QVERIFY(Child<QLabel>(dlg, "iconLabel"));
    QVERIFY(dlg.Password().isEmpty());
}

void TestMaintenanceUnlock::EntryIsMasked() {
    CPasswordDlg dlg;
    dlg.show();
    auto* edit = Child<QLineEdit>(dlg, "passwordEdit");
    QTest::keyClicks(edit, "QK4810");
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    QVERIFY(edit->displayText() != edit->text());
    QVERIFY(!edit->displayText().contains(QStringLiteral("QK")));
    QCOMPARE(dlg.Password(), QStringLiteral("QK4810"));
}

void TestMaintenanceUnlock::Keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter confirms") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("keypad Enter confirms") << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestMaintenanceUnlock::Keys() {
    QFETCH(int, key);
    QFETCH(int, result);
    CPasswordDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* edit = Child<QLineEdit>(dlg, "passwordEdit");
    QTest::keyClicks(edit, "QK4810 ");
    QTest::keyClick(edit, static_cast<Qt::Key>(key));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), result);
    QCOMPARE(dlg.Password(), QStringLiteral("QK4810 "));  // kept untrimmed
}

void TestMaintenanceUnlock::Buttons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("确认") << "okButton" << int(QDialog::Accepted);
    QTest::newRow("取消") << "cancelButton" << int(QDialog::Rejected);
}

void TestMaintenanceUnlock::Buttons() {
    QFETCH(QString, button);
    QFETCH(int, result);
    CPasswordDlg dlg;
    dlg.show();
    QTest::keyClicks(Child<QLineEdit>(dlg, "passwordEdit"), "qk4810");
    QTest::mouseClick(Child<QPushButton>(dlg, button.toLatin1().constData()), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), result);
    QCOMPARE(dlg.Password(), QStringLiteral("qk4810"));
}

QTEST_MAIN(TestMaintenanceUnlock)
#include "TestMaintenanceUnlock.moc"
