// The main window's size with the program's font and colours: it fits a 1366 x 768 screen
// with its title bar and a taskbar, and it cannot be made smaller than its rows need.

#include <QApplication>
#include <QLayout>
#include <QtTest>

#include "app/MotorProtectorApp.h"
#include "app/MotorProtectorDlg.h"
#include "support/ScriptedDialogs.h"

using namespace mp;
using namespace mp::test;

class TestWindowSize : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        CMotorProtectorApp::ApplyWindowColours(*qApp);
        CMotorProtectorApp::ApplyWindowFont(*qApp);
    }

    void fitsAndDoesNotShrink() {
        CScriptedDialogs dialogs;
        CMotorProtectorDlg window(dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        qInfo("window %dx%d", window.width(), window.height());
        QVERIFY(window.width() <= 940);
        QVERIFY(window.height() <= 680);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        // Everything the layout needs fits: no row is squeezed into the next.
        QVERIFY(window.size().expandedTo(window.minimumSizeHint()) == window.size());
        const QSize needed = window.centralWidget()->layout()->minimumSize();
        QVERIFY(window.centralWidget()->width() >= needed.width());
        QVERIFY(window.centralWidget()->height() >= needed.height());
    }
};

QTEST_MAIN(TestWindowSize)
#include "TestWindowSize.moc"
