// The maintenance password: the lock it opens, and the password window.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "maintenance/MaintenanceUnlock.h"
#include "maintenance/PasswordDlg.h"
#include "support/Widgets.h"

using namespace mp;
using mp::test::Child;

class TestMaintenanceUnlock : public QObject {
    Q_OBJECT
private slots:
    void Unlock_data();
    void Unlock();
    void EntryIsMaskedAndNamed();
    void Closes_data();
    void Closes();
};

void TestMaintenanceUnlock::Unlock_data() {
    QTest::addColumn<bool>("unlockedBefore");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("unlockedAfter");
    QTest::addColumn<QString>("message");
    const QString wrong = QStringLiteral("密码错误");
    QTest::newRow("right") << false << false << "QK4810" << true << "";
    QTest::newRow("trailing blank") << false << false << "QK4810 " << false << wrong;
    QTest::newRow("leading blank") << false << false << " QK4810" << false << wrong;
    QTest::newRow("lower case") << false << false << "qk4810" << false << wrong;
    QTest::newRow("cancelled") << false << true << "" << false << "";
    QTest::newRow("wrong once unlocked stays open") << true << false << "x" << true << wrong;
    QTest::newRow("cancelled once unlocked") << true << true << "" << true << "";
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
    QCOMPARE(shown.has_value(), !message.isEmpty());
    QCOMPARE(QString::fromStdString(shown.value_or("")), message);
}

void TestMaintenanceUnlock::EntryIsMaskedAndNamed() {
    CPasswordDlg dlg;
    dlg.show();
    auto* edit = Child<QLineEdit>(dlg, "passwordEdit");
    QTest::keyClicks(edit, "QK4810");
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    QVERIFY(!edit->displayText().contains(QStringLiteral("QK")));
    QCOMPARE(dlg.Password(), QStringLiteral("QK4810"));
    QCOMPARE(mp::test::AccessibilityProblems(dlg), QStringList());
}

void TestMaintenanceUnlock::Closes_data() {
    QTest::addColumn<QString>("button");  // empty: by the key
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter confirms") << "" << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Escape cancels") << "" << int(Qt::Key_Escape) << int(QDialog::Rejected);
    QTest::newRow("取消") << "cancelButton" << 0 << int(QDialog::Rejected);
}

void TestMaintenanceUnlock::Closes() {
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(int, result);
    CPasswordDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* edit = Child<QLineEdit>(dlg, "passwordEdit");
    QTest::keyClicks(edit, "qk4810 ");
    if (button.isEmpty()) {
        QTest::keyClick(edit, static_cast<Qt::Key>(key));
    } else {
        QTest::mouseClick(Child<QPushButton>(dlg, button), Qt::LeftButton);
    }
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), result);
    QCOMPARE(dlg.Password(), QStringLiteral("qk4810 "));  // as typed, for the comparison
}

QTEST_MAIN(TestMaintenanceUnlock)
#include "TestMaintenanceUnlock.moc"
