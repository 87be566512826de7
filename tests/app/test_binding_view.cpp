// The pieces the main window is built from: whole numbers as integer fields accept them,
// the drop-down show rule, and the indicator lamp's colours.

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "app/FieldBinding.h"
#include "app/IndicatorLamp.h"

using namespace mp;

class CBindingViewTest : public QObject {
    Q_OBJECT

private slots:
    void wholeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "380" << true << 380;
        QTest::newRow("blanks around") << " \t12  " << true << 12;
        QTest::newRow("plus sign") << "+7" << true << 7;
        QTest::newRow("lowest") << "-2147483648" << true << int(INT32_MIN);
        QTest::newRow("highest") << "2147483647" << true << int(INT32_MAX);
        QTest::newRow("one above highest") << "2147483648" << false << 0;
        QTest::newRow("one below lowest") << "-2147483649" << false << 0;
        QTest::newRow("many digits") << "000000000000000000001" << true << 1;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blanks only") << "   " << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("blank after sign") << "- 5" << false << 0;
        QTest::newRow("decimal") << "1.5" << false << 0;
        QTest::newRow("trailing letters") << "12abc" << false << 0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0;
        QTest::newRow("full-width digits") << QStringLiteral("１２") << false << 0;
    }
    void wholeNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(int, value);
        const auto number = CFieldBinding::ParseWholeNumber(text);
        QCOMPARE(number.has_value(), accepted);
        if (accepted) {
            QCOMPARE(*number, value);
        }
    }

    void refusedTextIsNotTakenAndLaterEntriesKeepTheirValues() {
        QLineEdit first, refused, later;
        int32_t firstValue = 0, refusedValue = 5, laterValue = 6;
        CFieldBinding binding;
        binding.AddInteger(&first, &firstValue);
        binding.AddInteger(&refused, &refusedValue);
        binding.AddInteger(&later, &laterValue);
        first.setText("11");
        refused.setText("x");
        later.setText("33");
        QCOMPARE(binding.Take(), static_cast<QWidget*>(&refused));
        QCOMPARE(firstValue, 11);
        QCOMPARE(refusedValue, 5);
        QCOMPARE(laterValue, 6);
    }

    void dropDownShowsItsItemOrTheText_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("index");
        QTest::newRow("listed") << QStringLiteral("B相电流") << 1;
        QTest::newRow("unlisted") << QStringLiteral("D相电流") << 0;
        QTest::newRow("empty") << QString() << 0;
    }
    void dropDownShowsItsItemOrTheText() {
        QFETCH(QString, value);
        QFETCH(int, index);
        QComboBox combo;
        combo.setEditable(true);
        combo.addItems({QStringLiteral("A相电流"), QStringLiteral("B相电流")});
        std::string field = value.toStdString();
        CFieldBinding binding;
        binding.AddComboText(&combo, &field);
        combo.setEditText(QStringLiteral("typed over"));
        binding.Show();
        QCOMPARE(combo.currentText(), value);
        QCOMPARE(combo.currentIndex(), index);
    }

    void lampColours_data() {
        QTest::addColumn<bool>("round");
        QTest::addColumn<Lamp>("state");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("square red") << false << Lamp::Red << QColor(255, 0, 0);
        QTest::newRow("square green") << false << Lamp::Green << QColor(0, 255, 0);
        QTest::newRow("round red") << true << Lamp::Red << QColor(255, 0, 0);
        QTest::newRow("round green") << true << Lamp::Green << QColor(0, 204, 51);
        QTest::newRow("unknown") << true << Lamp::Unknown << QColor(160, 160, 160);
    }
    void lampColours() {
        QFETCH(bool, round);
        QFETCH(Lamp, state);
        QFETCH(QColor, colour);
        CIndicatorLamp lamp;
        lamp.SetRound(round);
        lamp.SetState(state);
        QCOMPARE(lamp.Colour(), colour);
        // The centre of the painted lamp carries the colour (the round one has a highlight
        // toward its upper left, so look at its lower right part).
        const QImage picture = lamp.grab().toImage();
        const QPoint probe = round ? QPoint(13, 13) : QPoint(10, 10);
        const QColor painted = picture.pixelColor(probe);
        QVERIFY2(qAbs(painted.red() - colour.red()) < 40 &&
                     qAbs(painted.green() - colour.green()) < 40 &&
                     qAbs(painted.blue() - colour.blue()) < 40,
                 qPrintable(painted.name()));
    }
};

Q_DECLARE_METATYPE(mp::Lamp)

QTEST_MAIN(CBindingViewTest)
#include "test_binding_view.moc"
