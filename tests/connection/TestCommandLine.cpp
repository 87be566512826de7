// The command line: what each option puts into the start-up, what is refused (exit code 2,
// one line on stderr naming the option and the value), and --version and --help.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "connection/CommandLine.h"

using namespace mp;

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    // Accepted arguments and the connection they make of the start-up defaults.
    void accepted_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QList<int>>("numbers");  // port number, baud rate, parity, address
        QTest::addColumn<bool>("connect");
        const QString sim = kSimulatedPortText;
        QTest::newRow("nothing") << QStringList{} << "COM1" << QList<int>{1, 9600, 0, 1} << false;
        QTest::newRow("all four") << QStringList{"--port",   "COM3", "--baud",    "19200",
                                                 "--parity", "even", "--address", "247"}
                                  << "COM3" << QList<int>{3, 19200, 2, 247} << false;
        QTest::newRow("= form, device path, odd")
            << QStringList{"--port=/dev/ttyUSB0", "--baud=1200", "--parity=odd"} << "/dev/ttyUSB0"
            << QList<int>{0, 1200, 1, 1} << false;
        QTest::newRow("parity letter, any case")
            << QStringList{"--parity", "E"} << "COM1" << QList<int>{1, 9600, 2, 1} << false;
        QTest::newRow("parity as the dialog says it")
            << QStringList{"--parity", "奇校验"} << "COM1" << QList<int>{1, 9600, 1, 1} << false;
        QTest::newRow("COM32, address 1") << QStringList{"--port", "COM32", "--address", "1"}
                                          << "COM32" << QList<int>{32, 9600, 0, 1} << false;
        QTest::newRow("simulated, connect")
            << QStringList{"--simulated", "--connect", "--address", "9"} << sim
            << QList<int>{0, 9600, 0, 9} << true;
    }
    void accepted() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, port);
        QFETCH(QList<int>, numbers);
        QFETCH(bool, connect);
        const CommandLineResult result =
            CCommandLine::Parse(QStringList{"motor-protector"} + arguments);
        QVERIFY2(result.Proceed, qPrintable(result.Error));
        QCOMPARE(result.Error, QString());
        QCOMPARE(result.Output, QString());
        const ConnectionSettings c = result.Options.Over(ConnectionSettings());
        QCOMPARE(c.PortText, port);
        QCOMPARE((QList<int>{c.PortNumber, c.BaudRate, c.ParityCode, int(c.SlaveAddress)}),
                 numbers);
        QCOMPARE(result.Options.Connect, connect);
    }

    // Named options replace remembered values; the others stay.
    void overRemembered() {
        ConnectionSettings remembered;
        remembered.PortText = "/dev/ttyUSB1";
        remembered.PortNumber = 0;
        remembered.BaudRate = 4800;
        remembered.ParityCode = 2;
        remembered.SlaveAddress = 12;
        const auto result = CCommandLine::Parse({"motor-protector", "--baud", "2400"});
        const ConnectionSettings c = result.Options.Over(remembered);
        QCOMPARE(c.PortText, QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE((QList<int>{c.PortNumber, c.BaudRate, c.ParityCode, int(c.SlaveAddress)}),
                 (QList<int>{0, 2400, 2, 12}));
    }

    void refused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("named");  // what the error line must name
        QTest::newRow("address 0")
            << QStringList{"--address", "0"} << QStringList{"--address", "0"};
        QTest::newRow("address 248")
            << QStringList{"--address=248"} << QStringList{"--address", "248"};
        QTest::newRow("address not a number")
            << QStringList{"--address", "1x"} << QStringList{"--address", "1x"};
        QTest::newRow("address negative")
            << QStringList{"--address", "-5"} << QStringList{"--address", "-5"};
        QTest::newRow("address empty") << QStringList{"--address="} << QStringList{"--address"};
        QTest::newRow("baud unlisted")
            << QStringList{"--baud", "9601"} << QStringList{"--baud", "9601"};
        QTest::newRow("baud with a blank")
            << QStringList{"--baud", "9600 "} << QStringList{"--baud", "9600 "};
        QTest::newRow("parity mark")
            << QStringList{"--parity", "mark"} << QStringList{"--parity", "mark"};
        QTest::newRow("port lower case")
            << QStringList{"--port", "com3"} << QStringList{"--port", "com3"};
        QTest::newRow("port COM33")
            << QStringList{"--port", "COM33"} << QStringList{"--port", "COM33"};
        QTest::newRow("port COM03")
            << QStringList{"--port", "COM03"} << QStringList{"--port", "COM03"};
        QTest::newRow("port relative")
            << QStringList{"--port", "ttyUSB0"} << QStringList{"--port", "ttyUSB0"};
        QTest::newRow("port and simulated")
            << QStringList{"--port", "COM2", "--simulated"} << QStringList{"--simulated", "--port"};
        QTest::newRow("value missing") << QStringList{"--baud"} << QStringList{"baud"};
        QTest::newRow("unknown option") << QStringList{"--speed", "9600"} << QStringList{"speed"};
        QTest::newRow("stray argument") << QStringList{"COM3"} << QStringList{"COM3"};
        QTest::newRow("given twice")
            << QStringList{"--baud", "9600", "--baud", "19200"} << QStringList{"--baud"};
        QTest::newRow("plant with a port")
            << QStringList{"--plant", "mcc.json", "--port", "COM2"} << QStringList{"--plant"};
        QTest::newRow("plant twice")
            << QStringList{"--plant", "a.json", "--plant", "b.json"} << QStringList{"--plant"};
    }
    void refused() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, named);
        const CommandLineResult result =
            CCommandLine::Parse(QStringList{"/usr/bin/motor-protector"} + arguments);
        QVERIFY(!result.Proceed);
        QCOMPARE(result.ExitCode, 2);
        QCOMPARE(result.Output, QString());
        QVERIFY(result.Error.startsWith("motor-protector: "));
        QVERIFY(result.Error.endsWith('\n'));
        QCOMPARE(result.Error.count('\n'), 1);
        for (const QString& part : named) {
            QVERIFY2(result.Error.contains(part), qPrintable(result.Error + " / " + part));
        }
    }

    void versionAndHelp_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("--version") << "--version" << QStringList{"motor-protector " MP_VERSION};
        QTest::newRow("-v") << "-v" << QStringList{MP_VERSION};
        QTest::newRow("--help") << "--help"
                                << QStringList{"--port",      "--baud",    "--parity",  "--address",
                                               "--simulated", "--connect", "--version", "--plant"};
        QTest::newRow("help wins over a bad value") << "--help" << QStringList{"--port"};
    }
    void versionAndHelp() {
        QFETCH(QString, option);
        QFETCH(QStringList, parts);
        QStringList arguments{"motor-protector", option};
        if (QString(QTest::currentDataTag()).contains("bad value")) {
            arguments << "--baud"
                      << "7";
        }
        const CommandLineResult result = CCommandLine::Parse(arguments);
        QVERIFY(!result.Proceed);
        QCOMPARE(result.ExitCode, 0);
        QCOMPARE(result.Error, QString());
        for (const QString& part : parts) {
            QVERIFY2(result.Output.contains(part), qPrintable(result.Output));
        }
    }

    // The built program with no display and no platform named (over SSH, in a script): it
    // answers and ends without starting the window system.
    void withoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");  // part of stdout
        QTest::addColumn<QString>("error");   // part of stderr
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "--address" << QString();
        QTest::newRow("--version")
            << QStringList{"--version"} << 0 << "motor-protector " MP_VERSION << QString();
        QTest::newRow("bad value") << QStringList{"--baud", "7"} << 2 << QString() << "--baud";
        QTest::newRow("unknown option") << QStringList{"--speed"} << 2 << QString() << "speed";
    }
    void withoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, error);
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(MP_TOOL_BINARY), arguments);
        QVERIFY(tool.waitForFinished(20000));
        const QString out = QString::fromLocal8Bit(tool.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(tool.readAllStandardError());
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QVERIFY2(tool.exitCode() == exitCode, qPrintable(QString::number(tool.exitCode()) + err));
        QVERIFY2(out.contains(output), qPrintable(out));
        QVERIFY2(err.contains(error), qPrintable(err));
        if (exitCode == 2) {
            QCOMPARE(err.count('\n'), 1);
            QCOMPARE(out, QString());
        } else {
            QCOMPARE(err, QString());
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
