// The event window: the texts it is given, read-only, in the edit colours, and its buttons.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "events/EventRecordDlg.h"

using namespace mp;

namespace {

template <typename T>
T* Child(QWidget& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (!child) {
        qFatal("widget %s not found", qPrintable(name));
    }
    return child;
}

EventRecordTexts SampleTexts() {
    EventRecordTexts texts;
    texts.Summary = "有3条告警信息";
    texts.Events[0] = "短路故障(E05)";
    texts.Events[1] = "堵转故障(E06)";
    return texts;
}

}  // namespace

class TestEventRecordDlg : public QObject {
    Q_OBJECT
private slots:
    void ShowsTexts();
    void RowsAreCaptionedAndReadOnly_data();
    void RowsAreCaptionedAndReadOnly();
    void ButtonsClose_data();
    void ButtonsClose();
};

void TestEventRecordDlg::ShowsTexts() {
    CEventRecordDlg dlg(SampleTexts(), nullptr);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("告警事件记录"));
    QCOMPARE(Child<QLineEdit>(dlg, "summaryEdit")->text(), QStringLiteral("有3条告警信息"));
    QCOMPARE(Child<QLineEdit>(dlg, "eventEdit1")->text(), QStringLiteral("短路故障(E05)"));
    QCOMPARE(Child<QLineEdit>(dlg, "eventEdit2")->text(), QStringLiteral("堵转故障(E06)"));
    for (int k = 3; k <= 8; ++k) {
        QVERIFY(Child<QLineEdit>(dlg, QStringLiteral("eventEdit%1").arg(k))->text().isEmpty());
    }
}

void TestEventRecordDlg::RowsAreCaptionedAndReadOnly_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("caption");
    QTest::newRow("summary") << "summaryEdit"
                             << "告警条数";
    for (int k = 1; k <= 8; ++k) {
        QTest::addRow("event %d", k)
            << QStringLiteral("eventEdit%1").arg(k) << QStringLiteral("事件记录%1").arg(k);
    }
}

void TestEventRecordDlg::RowsAreCaptionedAndReadOnly() {
    QFETCH(QString, edit);
    QFETCH(QString, caption);
    // A desktop palette with other colours must not show through.
    QPalette desktop = QApplication::palette();
    desktop.setColor(QPalette::Text, Qt::red);
    desktop.setColor(QPalette::Base, Qt::blue);
    QApplication::setPalette(desktop);
    CEventRecordDlg dlg(SampleTexts(), nullptr);
    dlg.show();
    auto* field = Child<QLineEdit>(dlg, edit);
    QVERIFY(field->isReadOnly());
    QCOMPARE(field->accessibleName(), caption);
    bool labelled = false;
    for (QLabel* label : dlg.findChildren<QLabel*>()) {
        labelled = labelled || (label->buddy() == field && label->text() == caption);
    }
    QVERIFY2(labelled, "no label names the field");

    const QString before = field->text();
    QTest::keyClicks(field, "x");
    QCOMPARE(field->text(), before);

    // Black on RGB(180, 220, 0), as the style sheet paints it.
    const QImage image = field->grab().toImage();
    QCOMPARE(QColor(image.pixel(image.width() / 2, 2)), QColor(180, 220, 0));
    QCOMPARE(field->palette().color(QPalette::Text), QColor(Qt::black));
}

void TestEventRecordDlg::ButtonsClose_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::newRow("确定") << "okButton"
                          << "确定" << int(QDialog::Accepted);
    QTest::newRow("取消") << "cancelButton"
                          << "取消" << int(QDialog::Rejected);
}

void TestEventRecordDlg::ButtonsClose() {
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, result);
    CEventRecordDlg dlg(SampleTexts(), nullptr);
    dlg.show();
    auto* push = Child<QPushButton>(dlg, button);
    QCOMPARE(push->text(), text);
    QTest::mouseClick(push, Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), result);
}

QTEST_MAIN(TestEventRecordDlg)
#include "TestEventRecordDlg.moc"
