// The plant file read whole (every fault with its key), written back with the unknown keys,
// saved atomically; the plant editor's refusals and its "扫描并加入...".

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "plant/PlantEditorDlg.h"
#include "plant/PlantFile.h"
#include "plant/RecentPlants.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedDialogs.h"

using namespace mp;

namespace {

const QByteArray kSerialLine =
    R"({"id": "L1", "type": "serial", "port": "/dev/ttyUSB0", "baud": 19200, "parity": "none"})";
const QByteArray kTcpLine =
    R"({"id": "G1", "type": "tcp", "host": "192.168.1.20", "port": 502, "framing": "rtu"})";
const QByteArray kFeeder = R"({"tag": "M-101", "line": "L1", "address": 3, "ratedCurrent": 45})";

// A plant file with these lines and feeders (JSON text of the arrays' entries).
QByteArray File(const QByteArray& lines, const QByteArray& feeders,
                const QByteArray& head = R"("format": "motor-protector-plant", "version": 1)") {
    return "{" + head + R"(, "name": "MCC-1", "lines": [)" + lines + R"(], "feeders": [)" +
           feeders + "]}";
}

QByteArray Lines() {
    return kSerialLine + ", " + kTcpLine;
}

QByteArray FeederAt(const QByteArray& tag, const QByteArray& line, const QByteArray& address) {
    return R"({"tag": ")" + tag + R"(", "line": ")" + line + R"(", "address": )" + address + "}";
}

QByteArray TcpLine(const QByteArray& host, const QByteArray& port) {
    return R"({"id": "G1", "type": "tcp", "host": )" + host + R"(, "port": )" + port + "}";
}

Plant TwoLinePlant() {
    const PlantFileResult read =
        ParsePlant(File(Lines(), kFeeder + ", " + FeederAt("M-102", "G1", "3")), "t.json");
    return read.Value.value_or(Plant());
}

QStringList Keys(const PlantFileErrors& errors) {
    QStringList keys;
    for (const PlantFileError& error : errors) {
        keys << error.Key;
    }
    return keys;
}

}  // namespace

class TestPlantFile : public QObject {
    Q_OBJECT
private slots:
    void BadFilesRefusedWhole_data();
    void BadFilesRefusedWhole();
    void RoundTripKeepsUnknownKeys();
    void ReadmeExampleLoads();
    void FailedSaveLeavesOldFile_data();
    void FailedSaveLeavesOldFile();
    void RecentPlantsKeptApart();
    void EditorRefusesNamingField_data();
    void EditorRefusesNamingField();
    void EditorScanAddsOnlyNewAddresses();
};

void TestPlantFile::BadFilesRefusedWhole_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("keys");  // every fault expected, in order
    QTest::addColumn<QString>("word");      // in the first fault's reason

    const QString none;
    QTest::newRow("not JSON, offset given")
        << QByteArray(R"({"format": )") << QStringList{none} << "第 11 个字节";
    QTest::newRow("not an object") << QByteArray("[1]") << QStringList{none} << "对象";
    QTest::newRow("another format")
        << File(Lines(), kFeeder, R"("format": "motor-protector-settings", "version": 1)")
        << QStringList{"format"} << "motor-protector-plant";
    QTest::newRow("no version") << File(Lines(), kFeeder, R"("format": "motor-protector-plant")")
                                << QStringList{"version"} << "version";
    QTest::newRow("newer version")
        << File(Lines(), kFeeder, R"("format": "motor-protector-plant", "version": 2)")
        << QStringList{"version"} << "新";
    QTest::newRow("version as text")
        << File(Lines(), kFeeder, R"("format": "motor-protector-plant", "version": "1")")
        << QStringList{"version"} << "整数";
    QTest::newRow("lines not an array")
        << QByteArray(R"({"format": "motor-protector-plant", "version": 1, "lines": {},
                         "feeders": []})")
        << QStringList{"lines"} << "数组";
    QTest::newRow("line not an object") << File("7", "") << QStringList{"lines[0]"} << "对象";
    QTest::newRow("line without id")
        << File(R"({"type": "simulated"})", "") << QStringList{"lines[0].id"} << "id";
    QTest::newRow("duplicate line id")
        << File(kSerialLine + R"(, {"id": "L1", "type": "simulated"})", "")
        << QStringList{"lines[1].id"} << "重复";
    QTest::newRow("unknown type") << File(R"({"id": "X", "type": "modem"})", "")
                                  << QStringList{"lines[0].type"} << "modem";
    QTest::newRow("unknown parity")
        << File(R"({"id": "L1", "type": "serial", "port": "COM1", "parity": "mark"})", "")
        << QStringList{"lines[0].parity"} << "未知";
    QTest::newRow("unknown framing")
        << File(R"({"id": "G", "type": "tcp", "host": "gw", "port": 502, "framing": "ascii"})", "")
        << QStringList{"lines[0].framing"} << "未知";
    QTest::newRow("rate the relay lacks")
        << File(R"({"id": "L1", "type": "serial", "port": "COM1", "baud": 115200})", "")
        << QStringList{"lines[0].baud"} << "115200";
    QTest::newRow("rate as text")
        << File(R"({"id": "L1", "type": "serial", "port": "COM1", "baud": "9600"})", "")
        << QStringList{"lines[0].baud"} << "整数";
    QTest::newRow("serial without port")
        << File(R"({"id": "L1", "type": "serial"})", "") << QStringList{"lines[0].port"} << "port";
    QTest::newRow("empty host") << File(TcpLine(R"("")", "502"), "") << QStringList{"lines[0].host"}
                                << "未填写";
    QTest::newRow("host with a space")
        << File(TcpLine(R"("gw 1")", "502"), "") << QStringList{"lines[0].host"} << "gw 1";
    QTest::newRow("host no IPv4 address")
        << File(TcpLine(R"("192.168.1.300")", "502"), "") << QStringList{"lines[0].host"} << "IP";
    QTest::newRow("port 0") << File(TcpLine(R"("gw.plant.local")", "0"), "")
                            << QStringList{"lines[0].port"} << "65535";
    QTest::newRow("port 65536") << File(TcpLine(R"("fe80::1")", "65536"), "")
                                << QStringList{"lines[0].port"} << "65535";
    QTest::newRow("feeder not an object")
        << File(Lines(), "[]") << QStringList{"feeders[0]"} << "对象";
    QTest::newRow("empty tag") << File(Lines(), FeederAt(" ", "L1", "3"))
                               << QStringList{"feeders[0].tag"} << "位号";
    QTest::newRow("duplicate tag") << File(Lines(), kFeeder + ", " + FeederAt("M-101", "G1", "4"))
                                   << QStringList{"feeders[1].tag"} << "M-101";
    QTest::newRow("address 0") << File(Lines(), FeederAt("M", "L1", "0"))
                               << QStringList{"feeders[0].address"} << "1–247";
    QTest::newRow("address 248") << File(Lines(), FeederAt("M", "L1", "248"))
                                 << QStringList{"feeders[0].address"} << "248";
    QTest::newRow("address 3.5") << File(Lines(), FeederAt("M", "L1", "3.5"))
                                 << QStringList{"feeders[0].address"} << "整数";
    QTest::newRow("an address twice on one line")
        << File(Lines(), kFeeder + ", " + FeederAt("M-102", "L1", "3"))
        << QStringList{"feeders[1].address"} << "M-101";
    QTest::newRow("line that does not exist")
        << File(Lines(), FeederAt("M", "L9", "3")) << QStringList{"feeders[0].line"} << "L9";
    QTest::newRow("feeder without line") << File(Lines(), R"({"tag": "M", "address": 3})")
                                         << QStringList{"feeders[0].line"} << "line";
    QTest::newRow("zero rated current")
        << File(Lines(), R"({"tag": "M", "line": "L1", "address": 3, "ratedCurrent": 0})")
        << QStringList{"feeders[0].ratedCurrent"} << "大于 0";
    QTest::newRow("negative CT ratio")
        << File(Lines(), R"({"tag": "M", "line": "L1", "address": 3, "ctRatio": -50})")
        << QStringList{"feeders[0].ctRatio"} << "-50";
    // Every fault of a file, each once: an unreadable address is not also a duplicate one.
    QTest::newRow("all faults at once")
        << File(kSerialLine + ", " + TcpLine(R"("a b")", "0"),
                FeederAt("M-1", "L1", "\"3\"") + ", " + FeederAt("M-1", "L1", "1") + ", " +
                    FeederAt("M-3", "L2", "300"))
        << QStringList{"feeders[0].address", "lines[1].host",   "lines[1].port",
                       "feeders[1].tag",     "feeders[2].line", "feeders[2].address"}
        << "整数";
}

void TestPlantFile::BadFilesRefusedWhole() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, keys);
    QFETCH(QString, word);
    const PlantFileResult read = ParsePlant(text, "mcc.json");
    QVERIFY(!read.Ok());
    QCOMPARE(Keys(read.Errors), keys);
    QVERIFY2(read.Errors.first().Reason.contains(word), qPrintable(read.Errors.first().Reason));
    QVERIFY(read.Errors.first().Text().startsWith("mcc.json"));
}

void TestPlantFile::RoundTripKeepsUnknownKeys() {
    const QByteArray text = R"({"format": "motor-protector-plant", "version": 1, "name": "MCC-1",
      "site": {"owner": "plant B", "rev": [1, 2]},
      "lines": [
        {"id": "L1", "type": "serial", "port": "/dev/ttyUSB0", "baud": 19200, "parity": "even",
         "cable": "RS-485 A"},
        {"id": "G1", "type": "tcp", "host": "192.168.1.20", "port": 5020, "framing": "mbap",
         "connectTimeoutMs": 1500},
        {"id": "SIM", "type": "simulated", "note": null}],
      "feeders": [
        {"tag": "M-101", "description": "冷却水泵 1", "line": "L1", "address": 3,
         "settingsFile": "M-101.json", "ratedCurrent": 45.5, "ctRatio": 50, "ratedVoltage": 380,
         "panel": {"row": 2}},
        {"tag": "M-102", "line": "G1", "address": 3, "template": "pump-45kW.json",
         "overrides": {"settings": {"startTime": "12"}, "protections": {"unbalance": false}}}]})";
    const PlantFileResult first = ParsePlant(text, "a.json");
    QVERIFY2(first.Ok(), first.Errors.isEmpty() ? "" : qPrintable(first.Errors.first().Text()));
    const Plant& plant = *first.Value;
    QCOMPARE(plant.Lines.size(), 3);
    QCOMPARE(plant.Lines[0].Parity, int(kParityEven));
    QCOMPARE(plant.Lines[1].Framing, TcpFraming::Mbap);
    QCOMPARE(plant.Lines[1].TcpPort, 5020);
    QCOMPARE(plant.Lines[2].Kind, PlantLineKind::Simulated);
    QCOMPARE(plant.Feeders[0].RatedCurrent, std::optional<double>(45.5));
    QVERIFY(!plant.Feeders[1].CtRatio.has_value());
    QCOMPARE(plant.Unknown.keys(), QStringList{"site"});
    QCOMPARE(plant.Lines[0].Unknown.keys(), QStringList{"cable"});
    QCOMPARE(plant.Feeders[0].Unknown.keys(), QStringList{"panel"});

    const QByteArray saved = PlantJson(plant);
    const PlantFileResult second = ParsePlant(saved, "b.json");
    QVERIFY(second.Ok());
    QCOMPARE(second.Value->Unknown, plant.Unknown);
    QCOMPARE(second.Value->Lines[0].Unknown, plant.Lines[0].Unknown);
    QVERIFY(second.Value->Lines[2].Unknown.contains("note"));
    QCOMPARE(second.Value->Feeders[0].Unknown, plant.Feeders[0].Unknown);
    QCOMPARE(second.Value->Feeders[0].Description, QString("冷却水泵 1"));
    QCOMPARE(second.Value->Feeders[1].Template, QString("pump-45kW.json"));
    QCOMPARE(second.Value->Feeders[1].Overrides["settings"]["startTime"].toString(), QString("12"));
    QVERIFY(second.Value->Feeders[1].Unknown.isEmpty());
    // Through the editor unchanged.
    test::CScriptedDialogs dialogs;
    CPlantEditorDlg editor(*second.Value, dialogs);
    editor.accept();
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    QCOMPARE(PlantJson(editor.Result()), saved);
    QCOMPARE(PlantJson(*second.Value), saved);  // stable
    // The documented order: what the file is first, then the lines, then the feeders.
    int last = -1;
    for (const char* key :
         {"\"format\"", "\"version\"", "\"name\"", "\"lines\"", "\"feeders\"", "\"site\""}) {
        QVERIFY2(saved.indexOf(key) > last, key);
        last = saved.indexOf(key);
    }
}

// The README's example is a plant file this tool takes, and writes back as it stands.
void TestPlantFile::ReadmeExampleLoads() {
    QFile readme(MP_SOURCE_DIR "/README.md");
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QByteArray text = readme.readAll();
    const qsizetype section = text.indexOf("\n## Plant file\n");
    const qsizetype begin = text.indexOf("```json\n", section) + 8;
    const QByteArray example = text.mid(begin, text.indexOf("```", begin) - begin);
    QVERIFY(section > 0 && example.size() > 100);
    const PlantFileResult read = ParsePlant(example, "README.md");
    QVERIFY2(read.Ok(), read.Errors.isEmpty() ? "" : qPrintable(read.Errors.first().Text()));
    QCOMPARE(read.Value->Lines.size(), 4);
    QCOMPARE(PlantJson(*read.Value), example);
}

void TestPlantFile::FailedSaveLeavesOldFile_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("read-only folder") << "readonly";
    QTest::newRow("disk full") << "full";
    QTest::newRow("invalid plant") << "invalid";
}

void TestPlantFile::FailedSaveLeavesOldFile() {
    QFETCH(QString, fault);
    QTemporaryDir dir;
    const QString path = dir.filePath("mcc.json");
    Plant plant = TwoLinePlant();
    QVERIFY(SavePlant(path, plant).isEmpty());
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();
    QVERIFY(LoadPlant(path).Ok());

    plant.Feeders.first().Description = QString(4000, 'x');  // past the size limit below
    std::optional<test::CFileSizeLimit> limit;
    PlantFileErrors errors;
    if (fault == "readonly") {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(dir.filePath("probe"));
        if (probe.open(QIODevice::WriteOnly)) {  // root writes anyway
            probe.remove();
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this account writes into read-only folders");
        }
        errors = SavePlant(path, plant);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else if (fault == "full") {
        limit.emplace(before.size() + 100);
        QVERIFY(limit->Active());
        errors = SavePlant(path, plant);
        limit.reset();
    } else {
        plant.Feeders.last().Address = 300;
        errors = SavePlant(path, plant);
    }
    QVERIFY(!errors.isEmpty());
    QCOMPARE(errors.first().File, path);
    // A write that failed has no key; a plant that fails the check is not written at all.
    QCOMPARE(errors.first().Key.isEmpty(), fault != "invalid");
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"mcc.json"});
}

void TestPlantFile::RecentPlantsKeptApart() {
    QTemporaryDir dir;
    const QString ini = dir.filePath("tool.conf");
    {
        QSettings store(ini, QSettings::IniFormat);
        CRecentFiles plants = RecentPlants(&store);
        plants.Add("/plants/a.json");
        plants.Add("/plants/b.json");
        CRecentFiles(&store).Add("/settings/m.json");
    }
    QSettings store(ini, QSettings::IniFormat);
    QCOMPARE(RecentPlants(&store).Paths(), (QStringList{"/plants/b.json", "/plants/a.json"}));
    QCOMPARE(CRecentFiles(&store).Paths(), QStringList{"/settings/m.json"});
}

void TestPlantFile::EditorRefusesNamingField_data() {
    QTest::addColumn<bool>("lineTable");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: accepted

    using D = CPlantEditorDlg;
    QTest::newRow("address outside") << false << 0 << int(D::FeederAddress) << "300"
                                     << "馈线 M-101 的地址 300 超出 1–247";
    QTest::newRow("address no number") << false << 0 << int(D::FeederAddress) << "3a"
                                       << "馈线 M-101 的地址 \"3a\" 不是整数";
    QTest::newRow("tag taken") << false << 1 << int(D::FeederTag) << "M-101"
                               << "馈线位号 M-101 重复";
    QTest::newRow("gateway port") << true << 1 << int(D::LineTcpPort) << "0"
                                  << "线路 G1 的端口 0 超出 1–65535";
    QTest::newRow("gateway host") << true << 1 << int(D::LineHost) << "gw_1"
                                  << "线路 G1 的主机地址 \"gw_1\" 不是主机名或 IP 地址";
    QTest::newRow("rated current") << false << 1 << int(D::FeederRatedCurrent) << "-1"
                                   << "馈线 M-102 的额定电流 -1 必须大于 0";
    QTest::newRow("valid edit") << false << 1 << int(D::FeederAddress) << "9" << QString();
}

void TestPlantFile::EditorRefusesNamingField() {
    QFETCH(bool, lineTable);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    test::CScriptedDialogs dialogs;
    Plant plant = TwoLinePlant();
    plant.Feeders[0].Unknown.insert("panel", 2);
    CPlantEditorDlg dialog(plant, dialogs);
    QCOMPARE(dialog.NameEdit().accessibleName(), QString("厂站名称"));
    QTableWidget& table = lineTable ? dialog.LinesTable() : dialog.FeedersTable();
    table.item(row, column)->setText(typed);

    dialog.accept();
    if (message.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Result().Feeders[1].Address, typed.toInt());
        QCOMPARE(dialog.Result().Feeders[0].Unknown, plant.Feeders[0].Unknown);
        QCOMPARE(PlantJson(dialog.Result()).size(), PlantJson(plant).size());
        return;
    }
    QCOMPARE(dialogs.Messages.size(), 1);
    QVERIFY2(dialogs.Messages.first().contains(message), qPrintable(dialogs.Messages.first()));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(table.item(row, column)->text(), typed);  // kept for correcting
    QCOMPARE(table.currentRow(), row);                 // and shown
    QCOMPARE(PlantJson(dialog.Result()), PlantJson(plant));
}

void TestPlantFile::EditorScanAddsOnlyNewAddresses() {
    test::CScriptedDialogs dialogs;
    Plant plant = TwoLinePlant();
    plant.Feeders[1].Tag = "L1-5";  // the tag a found device at 5 would take
    {
        CPlantEditorDlg without(plant, dialogs);
        without.LinesTable().setCurrentCell(0, 0);
        QVERIFY(!without.ScanButton().isEnabled());
    }
    QStringList scanned;
    std::function<void(QVector<int>)> answer;
    CPlantEditorDlg dialog(plant, dialogs, [&](const PlantLine& line, auto found) {
        scanned << line.Id + " " + line.Port;
        answer = found;
    });
    QVERIFY(!dialog.ScanButton().isEnabled());  // no line chosen
    dialog.LinesTable().setCurrentCell(0, 0);
    QVERIFY(dialog.ScanButton().isEnabled());
    QTest::mouseClick(&dialog.ScanButton(), Qt::LeftButton);
    QCOMPARE(scanned, QStringList{"L1 /dev/ttyUSB0"});
    QVERIFY(!dialog.ScanButton().isEnabled());  // one search at a time
    answer({7, 3, 5, 300, 7});                  // 3 is M-101's; 300 no address

    QTableWidget& feeders = dialog.FeedersTable();
    QCOMPARE(feeders.rowCount(), 4);
    QCOMPARE(feeders.item(2, CPlantEditorDlg::FeederTag)->text(), QString("L1-5-2"));
    QCOMPARE(feeders.item(2, CPlantEditorDlg::FeederAddress)->text(), QString("5"));
    QCOMPARE(feeders.item(3, CPlantEditorDlg::FeederTag)->text(), QString("L1-7"));
    QCOMPARE(CPlantEditorDlg::CellValue(feeders, 3, CPlantEditorDlg::FeederLine).toString(),
             QString("L1"));
    QVERIFY(feeders.item(3, CPlantEditorDlg::FeederDescription)->text().isEmpty());
    QVERIFY(dialog.ScanButton().isEnabled());
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Result().Feeders.size(), 4);

    // The line's drop-down cell opens a drop-down named by its caption.
    QTableWidget& lines = dialog.LinesTable();
    lines.editItem(lines.item(1, CPlantEditorDlg::LineFraming));
    auto* combo = lines.findChild<QComboBox*>();
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->accessibleName(), QString("帧格式"));
    QCOMPARE(combo->count(), 2);
}

QTEST_MAIN(TestPlantFile)
#include "TestPlantFile.moc"
