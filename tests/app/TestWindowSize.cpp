// The program's look: the main window's size with its font and colours (it fits a 1366 x 768
// screen with its title bar and a taskbar, and cannot be made smaller than its rows need). Qt's
// own texts in the window's language are checked with the language choice.

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLayout>
#include <QtTest>

#include "app/MotorProtectorApp.h"
#include "app/MotorProtectorDlg.h"
#include "relay/Relay.h"
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

    // Whatever Chinese font is installed, its lines are no taller than 宋体's (a font with
    // roomy lines such as Noto Sans CJK is made smaller), down to 8 pt.
    void compactLines() {
        const QFont font = QApplication::font();
        const qreal line = QFontMetricsF(font).height();
        qInfo("%s %.2f pt, line %.1f px", qPrintable(font.family()), font.pointSizeF(), line);
        QVERIFY(font.pointSizeF() <= 10.0);
        QVERIFY(font.pointSizeF() >= 8.0);
        QFont tenPoint = font;
        tenPoint.setPointSize(10);
        QVERIFY(line <= 1.2 * QFontInfo(tenPoint).pixelSize() + 0.5 || font.pointSizeF() == 8.0);
    }

    void fitsAndDoesNotShrink() {
        CScriptedDialogs dialogs;
        CRelay relay;
        CMotorProtectorDlg window(relay, dialogs);
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
