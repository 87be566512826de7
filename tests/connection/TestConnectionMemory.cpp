// The remembered connection: what is kept, what falls back to the start-up defaults, and how
// the start-up dialog shows it with the system's ports listed first.

#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "connection/CommSetupDlg.h"
#include "connection/ConnectionMemory.h"
#include "support/Widgets.h"

using namespace mp;
using namespace mp::test;

namespace {

// Settings in a file of their own, never the user's.
struct CTempSettings {
    QTemporaryDir Dir;
    QSettings Settings{Dir.filePath("motor-protector.ini"), QSettings::IniFormat};
};

const std::vector<SystemPortInfo> kPorts = {
    {"/dev/ttyUSB0", "ttyUSB0", "USB-RS485 adapter"},
    {"/dev/ttyS0", "ttyS0", ""},
};

QList<int> Numbers(const ConnectionSettings& c) {
    return {c.PortNumber, c.BaudRate, c.ParityCode, int(c.SlaveAddress)};
}

}  // namespace

class TestConnectionMemory : public QObject {
    Q_OBJECT

private slots:
    void firstRunGivesDefaults() {
        CTempSettings temp;
        const ConnectionSettings c = CConnectionMemory(temp.Settings).Load({});
        QCOMPARE(c.PortText, QStringLiteral("COM1"));
        QCOMPARE(Numbers(c), (QList<int>{1, 9600, 0, 1}));
    }

    // A connection saved is the one loaded, as long as its port is still there.
    void roundTrip_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("listed");  // the system still reports the port
        QTest::addColumn<QString>("loadedPort");
        QTest::addColumn<int>("portNumber");
        QTest::newRow("COM7") << "COM7" << false << "COM7" << 7;
        QTest::newRow("listed device") << "/dev/ttyUSB0" << true << "/dev/ttyUSB0" << 0;
        QTest::newRow("unlisted, file exists") << "/dev/null" << false << "/dev/null" << 0;
        QTest::newRow("unplugged adapter") << "/dev/ttyGone-mp" << false << "COM1" << 1;
        QTest::newRow("built-in device") << kSimulatedPortText << false << kSimulatedPortText << 0;
    }
    void roundTrip() {
        QFETCH(QString, port);
        QFETCH(bool, listed);
        QFETCH(QString, loadedPort);
        QFETCH(int, portNumber);
        CTempSettings temp;
        ConnectionSettings saved;
        saved.PortText = port;
        saved.PortNumber = 0;
        saved.BaudRate = 19200;
        saved.ParityCode = 2;
        saved.SlaveAddress = 17;
        CConnectionMemory(temp.Settings).Save(saved);
        QSettings reread(temp.Settings.fileName(), QSettings::IniFormat);
        const std::vector<QString> ports =
            listed ? std::vector<QString>{port} : std::vector<QString>{};
        const ConnectionSettings c = CConnectionMemory(reread).Load(ports);
        QCOMPARE(c.PortText, loadedPort);
        // The line settings and the address stay when only the port is gone.
        QCOMPARE(Numbers(c), (QList<int>{portNumber, 19200, 2, 17}));
    }

    // A stored value that was edited by hand or written by another version never reaches the
    // dialog: each falls back to its own default.
    void storedGarbage_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("port COM33") << "port"
                                    << "COM33";
        QTest::newRow("port lower case") << "port"
                                         << "com3";
        QTest::newRow("port relative") << "port"
                                       << "ttyUSB0";
        QTest::newRow("baud 9601") << "baud"
                                   << "9601";
        QTest::newRow("baud text") << "baud"
                                   << "fast";
        QTest::newRow("parity 3") << "parity"
                                  << "3";
        QTest::newRow("parity -1") << "parity"
                                   << "-1";
        QTest::newRow("address 0") << "address"
                                   << "0";
        QTest::newRow("address 248") << "address"
                                     << "248";
        QTest::newRow("address 257") << "address"
                                     << "257";
    }
    void storedGarbage() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        CTempSettings temp;
        temp.Settings.setValue("connection/" + key, value);
        const ConnectionSettings c = CConnectionMemory(temp.Settings).Load({});
        QCOMPARE(c.PortText, QStringLiteral("COM1"));
        QCOMPARE(Numbers(c), (QList<int>{1, 9600, 0, 1}));
    }

    // The system's ports come first with their description, then COM1 to COM32 and the
    // built-in device; nothing remembered still means COM1.
    void portList() {
        CCommSetupDlg setup({}, kPorts);
        auto* combo = Child<QComboBox>(setup, "portCombo");
        QStringList items;
        for (int k = 0; k < combo->count(); ++k) {
            items << combo->itemText(k);
        }
#ifndef Q_OS_WIN
        QCOMPARE(items.mid(0, 3), (QStringList{"ttyUSB0 — USB-RS485 adapter", "ttyS0", "COM1"}));
        QCOMPARE(items.size(), 2 + 32 + 1);
#endif
        QCOMPARE(items.last(), kSimulatedPortText);
        QCOMPARE(combo->currentText(), QStringLiteral("COM1"));
    }

    // The dialog opens with the remembered values, and OK on them gives them back.
    void dialogShowsRemembered_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("shown");
        QTest::newRow("listed port") << "/dev/ttyUSB0"
                                     << "ttyUSB0 — USB-RS485 adapter";
        QTest::newRow("COM5") << "COM5"
                              << "COM5";
        QTest::newRow("typed path") << "/dev/pts/7"
                                    << "/dev/pts/7";
        QTest::newRow("built-in device") << kSimulatedPortText << kSimulatedPortText;
    }
    void dialogShowsRemembered() {
        QFETCH(QString, port);
        QFETCH(QString, shown);
        ConnectionSettings remembered;
        remembered.PortText = port;
        remembered.PortNumber = port == "COM5" ? 5 : 0;
        remembered.BaudRate = 2400;
        remembered.ParityCode = 1;
        remembered.SlaveAddress = 33;
        CCommSetupDlg setup({}, kPorts);
        setup.Fill(remembered);
        setup.show();
        QCOMPARE(Child<QComboBox>(setup, "portCombo")->currentText(), shown);
        QCOMPARE(Child<QComboBox>(setup, "baudCombo")->currentText(), QStringLiteral("2400"));
        QCOMPARE(Child<QComboBox>(setup, "parityCombo")->currentText(), QStringLiteral("奇校验"));
        QCOMPARE(Child<QLineEdit>(setup, "addressEdit")->text(), QStringLiteral("33"));
        setup.accept();
        QCOMPARE(setup.result(), int(QDialog::Accepted));
        QCOMPARE(setup.Result().PortText, port);
        QCOMPARE(Numbers(setup.Result()), Numbers(remembered));
    }
};

QTEST_MAIN(TestConnectionMemory)
#include "TestConnectionMemory.moc"
