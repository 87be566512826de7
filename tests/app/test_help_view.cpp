// The usage notes: their lines as the program words them, and closing by keyboard.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

#include "app/HelpDlg.h"

using mp::CHelpDlg;

class CHelpViewTest : public QObject {
    Q_OBJECT

private slots:
    void linesInOrder() {
        CHelpDlg notes;
        QCOMPARE(notes.windowTitle(), QStringLiteral("软件使用说明-Quellar"));
        const QStringList expected = {
            QStringLiteral("※ 在软件运行之前，请正确设定通信参数！"),
            QStringLiteral("※ \"读实时数据\"-->读马达保护控制器相关实时候数据"),
            QStringLiteral("☆ 电流变比、额定电流、启动时间、三相电流"),
            QStringLiteral("☆ 控制量输入（红色为合、绿色为分）、状态量输出"),
            QStringLiteral("☆ 电流定值与动作时限"),
            QStringLiteral(
                "※ \"写数据参数值\"-->写马达保护控制器相关数据，★写数据前须先执行“定时停止”"),
            QStringLiteral("☆ 电流变比、额定电流、启动时间、三相电流"),
            QStringLiteral("☆ 状态量输出"),
            QStringLiteral("☆ 电流定值与动作时限"),
            QStringLiteral("※ \"恢复保护默认值\"-->把相关数据恢复成出厂值"),
            QStringLiteral("※ \"通讯参数设置\"-->子机地址与波特率修改！"),
            QStringLiteral("★ 注：修改该选项请保证当前通信参数正确"),
        };
        for (int line = 1; line <= 12; ++line) {
            auto* label = notes.findChild<QLabel*>(QStringLiteral("noteLine%1").arg(line));
            QVERIFY2(label, qPrintable(QString::number(line)));
            QCOMPARE(label->text(), expected[line - 1]);
        }
        auto* read = notes.findChild<QGroupBox*>(QStringLiteral("readGroup"));
        auto* write = notes.findChild<QGroupBox*>(QStringLiteral("writeGroup"));
        QVERIFY(read && write);
        QCOMPARE(read->title(), QStringLiteral("读数据量"));
        QCOMPARE(write->title(), QStringLiteral("写数据量"));
        QVERIFY(read->isAncestorOf(notes.findChild<QLabel*>(QStringLiteral("noteLine4"))));
        QVERIFY(write->isAncestorOf(notes.findChild<QLabel*>(QStringLiteral("noteLine8"))));
        QVERIFY(notes.findChildren<QAbstractButton*>().isEmpty());
    }

    void keysClose_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("escape") << int(Qt::Key_Escape);
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("enter") << int(Qt::Key_Enter);
    }
    void keysClose() {
        QFETCH(int, key);
        CHelpDlg notes;
        notes.show();
        QTest::keyClick(&notes, Qt::Key(key));
        QVERIFY(!notes.isVisible());
    }
};

QTEST_MAIN(CHelpViewTest)
#include "test_help_view.moc"
