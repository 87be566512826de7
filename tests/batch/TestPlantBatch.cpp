// Work on a whole plant: the effective settings of a feeder (its file, or a template with its
// rated data and overrides, refused with feeder, key and reason), the backup of 30 relays on
// one line with silent ones and a stop, and the compare of relays with their effective
// settings, with the exact cells that differ. The line is the plant rig's: a simulated line,
// its worker run step by step on the virtual clock.

#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "batch/BackupDlg.h"
#include "batch/CompareDlg.h"
#include "batch/EffectiveSettings.h"
#include "batch/PlantBackup.h"
#include "batch/PlantCompare.h"
#include "files/DeviceSettingsRead.h"
#include "files/SettingsComparison.h"
#include "files/SettingsFile.h"
#include "files/SettingsTable.h"
#include "plant/PlantRig.h"
#include "settings/SettingsLists.h"
#include "support/ScriptedDialogs.h"

using namespace mp;
using namespace mp::test;

namespace {

const QDateTime kStart = QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC);

QString Tag(int address) {
    return QStringLiteral("M-1%1").arg(address, 2, 10, QLatin1Char('0'));
}

// A plant of `relays` feeders M-101.. at addresses 1.. on the serial line L1 at 19200.
Plant LinePlant(int relays) {
    Plant plant;
    plant.Name = QStringLiteral("MCC1");
    PlantLine line;
    line.Id = QStringLiteral("L1");
    line.Port = QStringLiteral("/dev/ttyUSB0");
    line.BaudRate = 19200;
    plant.Lines << line;
    for (int a = 1; a <= relays; ++a) {
        Feeder feeder;
        feeder.Tag = Tag(a);
        feeder.Line = line.Id;
        feeder.Address = a;
        plant.Feeders << feeder;
    }
    return plant;
}

// Reads on the rig's worker; `beforeRead` runs as each read is handed over.
RelayRead RigRead(CPlantLineRig& rig, std::function<void(const RelayTarget&)> beforeRead = {}) {
    return [&rig, beforeRead](const RelayTarget& target,
                              std::function<void(std::optional<SettingsValues>)> done) {
        if (beforeRead) {
            beforeRead(target);
        }
        rig.Worker->Post([address = target.Address, done](CDeviceContext& ctx) {
            ctx.Link.SetSlaveAddress(address);
            std::optional<SettingsValues> values = FetchDeviceSettings(ctx);
            ctx.Post([done, values] { done(values); });
        });
    };
}

void RunLine(CPlantLineRig& rig) {
    while (rig.Worker->RunOnce()) {
    }
}

std::function<QDateTime()> VirtualNow(CPlantLineRig& rig) {
    return [&rig] { return kStart.addMSecs(static_cast<qint64>(rig.Clock.Elapsed())); };
}

bool SaveFile(const QString& path, const SettingsValues& values) {
    CSettingsFile file;
    file.Values = values;
    QString reason;
    return file.Save(path, &reason);
}

const SettingRow& Row(const char* key) {
    for (const SettingRow& row : SettingRows()) {
        if (qstrcmp(row.Key, key) == 0) {
            return row;
        }
    }
    qFatal("no setting %s", key);
}

}  // namespace

class TestPlantBatch : public QObject {
    Q_OBJECT

private slots:
    void effectiveSettings_data() {
        QTest::addColumn<QString>("settingsFile");
        QTest::addColumn<QString>("templateFile");
        QTest::addColumn<QString>("overrides");
        QTest::addColumn<double>("ratedCurrent");  // 0: none
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("faultParts");  // all in one fault; empty: none
        QTest::addColumn<QStringList>("values");      // key=text of the effective values

        QTest::newRow("own settings file")
            << "own.json"
            << ""
            << "{}" << 0.0 << "own.json" << QStringList() << QStringList{"ctRatio=150"};
        QTest::newRow("template, rated current and an override")
            << ""
            << "pump.json"
            << R"({"settings":{"ctRatio":"40"}})" << 45.0 << "模板 pump.json，覆盖 2 项"
            << QStringList() << QStringList{"ratedCurrent=45", "ctRatio=40"};
        QTest::newRow("override out of range")
            << ""
            << "pump.json"
            << R"({"settings":{"ctRatio":"5000"}})" << 0.0 << "模板 pump.json，覆盖 1 项"
            << QStringList{"M-1", "CT", "ctRatio", "1-999"} << QStringList();
        QTest::newRow("unknown key")
            << ""
            << "pump.json"
            << R"({"settings":{"ctRatioo":"40"}})" << 0.0 << "模板 pump.json，覆盖 1 项"
            << QStringList{"M-1", "overrides.settings.ctRatioo", "没有这个定值"} << QStringList();
        QTest::newRow("template file missing")
            << ""
            << "gone.json"
            << "{}" << 0.0 << "模板 gone.json" << QStringList{"M-1", "模板", "gone.json", "："}
            << QStringList();
        QTest::newRow("no source") << ""
                                   << ""
                                   << "{}" << 0.0 << "" << QStringList() << QStringList();
    }
    void effectiveSettings() {
        QFETCH(QString, settingsFile);
        QFETCH(QString, templateFile);
        QFETCH(QString, overrides);
        QFETCH(double, ratedCurrent);
        QFETCH(QString, source);
        QFETCH(QStringList, faultParts);
        QFETCH(QStringList, values);

        QTemporaryDir dir;
        SettingsValues factory = FactoryValues();
        factory.StartMode = StartModeNames[0];
        SettingsValues own = factory;
        SetSettingText(own, Row("ctRatio"), "150");
        QVERIFY(SaveFile(dir.filePath("own.json"), own));
        QVERIFY(SaveFile(dir.filePath("pump.json"), factory));

        Feeder feeder;
        feeder.Tag = QStringLiteral("M-1");
        feeder.SettingsFile = settingsFile;
        feeder.Template = templateFile;
        feeder.Overrides = QJsonDocument::fromJson(overrides.toUtf8()).object();
        if (ratedCurrent > 0) {
            feeder.RatedCurrent = ratedCurrent;
        }
        const EffectiveSettings effective = EffectiveSettingsOf(feeder, QDir(dir.path()));

        QCOMPARE(effective.Source, source);
        if (faultParts.isEmpty()) {
            QVERIFY2(effective.Faults.isEmpty(), qPrintable(effective.Faults.join('\n')));
            QCOMPARE(effective.Values.has_value(), !source.isEmpty());
        } else {
            // Refused: nothing to send, and the fault names the feeder, the key and why.
            QVERIFY(!effective.Values);
            QCOMPARE(effective.Faults.size(), 1);
            for (const QString& part : faultParts) {
                QVERIFY2(effective.Faults[0].contains(part), qPrintable(effective.Faults[0]));
            }
        }
        for (const QString& check : values) {
            const QStringList kv = check.split('=');
            QCOMPARE(QString::fromStdString(
                         SettingText(*effective.Values, Row(kv[0].toLatin1().constData()))),
                     kv[1]);
        }
    }

    // One relay at a time per line, the lines side by side; Stop lets the relays being read
    // finish and starts no other.
    void linesSideBySideOneRelayEach() {
        Plant plant = LinePlant(3);
        PlantLine second = plant.Lines[0];
        second.Id = QStringLiteral("L2");
        plant.Lines << second;
        for (int a = 1; a <= 2; ++a) {
            Feeder feeder;
            feeder.Tag = QStringLiteral("P-%1").arg(a);
            feeder.Line = second.Id;
            feeder.Address = a;
            plant.Feeders << feeder;
        }
        std::vector<std::pair<QString, std::function<void(std::optional<SettingsValues>)>>> reading;
        CPlantReadRun run(TargetsOf(plant, {}), [&](const RelayTarget& target, auto done) {
            reading.emplace_back(target.Tag, std::move(done));
        });
        bool finished = false;
        QStringList reached;
        run.Start([&](int index, auto) { reached << run.Targets()[index].Tag; },
                  [&] { finished = true; });
        QCOMPARE(reading.size(), size_t(2));
        QCOMPARE(reading[0].first, QStringLiteral("M-101"));
        QCOMPARE(reading[1].first, QStringLiteral("P-1"));
        reading[0].second(std::nullopt);
        QCOMPARE(reading.size(), size_t(3));
        QCOMPARE(reading[2].first, QStringLiteral("M-102"));
        run.Stop();
        QVERIFY(!finished);  // P-1 and M-102 are still being read
        reading[1].second(std::nullopt);
        reading[2].second(SettingsValues{});
        QVERIFY(finished);
        QCOMPARE(reading.size(), size_t(3));
        QCOMPARE(reached, (QStringList{"M-101", "P-1", "M-102"}));
        QCOMPARE(run.Done(), 3);
    }

    void backup_data() {
        QTest::addColumn<QList<int>>("silent");
        QTest::addColumn<int>("stopAtRead");       // Stop as the n-th read starts (0: never)
        QTest::addColumn<QStringList>("blocked");  // a folder in the way of the file
        QTest::addColumn<int>("saved");
        QTest::addColumn<QStringList>("notAnswering");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<int>("notRead");

        QTest::newRow("30 relays, 2 silent") << QList<int>{7, 12} << 0 << QStringList() << 28
                                             << QStringList{"M-107", "M-112"} << QStringList() << 0;
        QTest::newRow("stop while the 11th is read") << QList<int>{3} << 11 << QStringList() << 10
                                                     << QStringList{"M-103"} << QStringList() << 19;
        QTest::newRow("a file that cannot be written")
            << QList<int>() << 0 << QStringList{"M-105.json"} << 29 << QStringList()
            << QStringList{"M-105"} << 0;
    }
    void backup() {
        QFETCH(QList<int>, silent);
        QFETCH(int, stopAtRead);
        QFETCH(QStringList, blocked);
        QFETCH(int, saved);
        QFETCH(QStringList, notAnswering);
        QFETCH(QStringList, refused);
        QFETCH(int, notRead);

        CPlantLineRig rig(30, 19200);
        for (const int a : silent) {
            rig.Faulty.Plan[static_cast<uint8_t>(a)].Silent = true;
        }
        QTemporaryDir dir;
        const QString folder = dir.filePath("backup");
        for (const QString& name : blocked) {
            QVERIFY(QDir().mkpath(QDir(folder).filePath(name)));
        }
        int reads = 0;
        CPlantBackup* running = nullptr;
        CPlantBackup backup(LinePlant(30), {}, folder,
                            RigRead(rig,
                                    [&](const RelayTarget&) {
                                        if (++reads == stopAtRead) {
                                            running->Stop();
                                        }
                                    }),
                            VirtualNow(rig));
        running = &backup;
        QList<int> progress;
        bool finished = false;
        backup.Start([&](int done, int total) { progress << done << total; },
                     [&] { finished = true; });
        RunLine(rig);
        QVERIFY(finished);

        QCOMPARE(backup.Count(BackupOutcome::Saved), saved);
        QCOMPARE(backup.Count(BackupOutcome::NotRead), notRead);
        QCOMPARE(progress.mid(0, 2), (QList<int>{1, 30}));
        QStringList silentTags;
        QStringList refusedTags;
        for (const BackupRow& row : backup.Rows()) {
            const int a = row.Address;
            const QString path = QDir(folder).filePath(row.Tag + ".json");
            if (row.Outcome == BackupOutcome::NotAnswering) {
                silentTags << row.Tag;
                QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
            } else if (row.Outcome == BackupOutcome::Refused) {
                refusedTags << row.Tag;
                QVERIFY(!row.Reason.isEmpty());
                QVERIFY2(backup.Summary().contains(row.Tag + "：" + row.Reason),
                         qPrintable(backup.Summary()));
            } else if (row.Outcome == BackupOutcome::NotRead) {
                QVERIFY(!QFileInfo::exists(path));
            } else {
                QCOMPARE(row.Outcome, BackupOutcome::Saved);
                QString reason;
                const std::optional<CSettingsFile> file = CSettingsFile::Load(path, &reason);
                QVERIFY2(file, qPrintable(reason));
                // The relay's own values, with where and when they were read.
                QCOMPARE(file->Values.Protection.CtRatio, std::to_string(10 + a));
                QCOMPARE(file->Source.Port, QStringLiteral("/dev/ttyUSB0"));
                QCOMPARE(file->Source.Address, a);
                QCOMPARE(file->Source.BaudRate, 19200);
                QVERIFY(file->SavedAt > kStart);
                QVERIFY(file->SavedAt <= kStart.addMSecs(rig.Clock.Elapsed()));
                for (const QString& part :
                     {row.Tag, QStringLiteral("MCC1"), QStringLiteral("L1")}) {
                    QVERIFY2(file->Note.contains(part), qPrintable(file->Note));
                }
            }
        }
        QCOMPARE(silentTags, notAnswering);
        QCOMPARE(refusedTags, refused);
        for (const QString& tag : notAnswering) {
            QVERIFY2(backup.Summary().contains(tag), qPrintable(backup.Summary()));
        }
        // Saved files are the only files in the folder, besides what was in the way.
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), saved);
    }

    // The backup window driven headless: folder, Start, the rows and the summary.
    void backupWindowShowsEachFeeder() {
        CPlantLineRig rig(4, 19200);
        rig.Faulty.Plan[2].Silent = true;
        QTemporaryDir dir;
        CScriptedDialogs dialogs;
        CBackupDlg window(LinePlant(4), RigRead(rig), dialogs, nullptr, VirtualNow(rig));
        window.FolderEdit()->setText(dir.path());
        window.ChooseFeeders({0, 1, 2});
        window.StartButton()->click();
        QVERIFY(window.StopButton()->isEnabled());
        RunLine(rig);
        QVERIFY(!window.StopButton()->isEnabled());
        QCOMPARE(window.Table()->rowCount(), 3);
        QCOMPARE(window.Table()->item(0, 4)->text(), QStringLiteral("M-101.json"));
        QCOMPARE(window.Table()->item(1, 3)->text(), QStringLiteral("无应答"));
        QCOMPARE(window.Progress()->value(), 3);
        QVERIFY2(window.Summary()->text().startsWith("已备份 2 台，无应答 1 台，拒绝 0 台"),
                 qPrintable(window.Summary()->text()));
        QVERIFY(!QFileInfo::exists(dir.filePath("M-104.json")));
        // Again into the same folder: the files are replaced only when the operator says so.
        dialogs.YesNoAnswer = false;
        window.StartButton()->click();
        QCOMPARE(dialogs.Questions.size(), 1);
        QVERIFY(window.StartButton()->isEnabled());
    }

    void compare_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("cells");  // the differing columns' cells

        QTest::newRow("equal") << "M-101"
                               << "一致" << QStringList{"", ""};
        QTest::newRow("relay changed") << "M-102"
                                       << "不一致（1 项）" << QStringList{"99 → 12", ""};
        QTest::newRow("file changed") << "M-103"
                                      << "不一致（2 项）" << QStringList{"13 → 50", "box"};
        QTest::newRow("silent") << "M-104"
                                << "无应答" << QStringList{"", ""};
        QTest::newRow("no source") << "M-105"
                                   << "无定值来源" << QStringList{"", ""};
        QTest::newRow("refused override") << "M-106"
                                          << "fault" << QStringList{"", ""};
    }
    void compare() {
        QFETCH(QString, tag);
        QFETCH(QString, outcome);
        QFETCH(QStringList, cells);

        CPlantLineRig rig(6, 19200);
        QTemporaryDir dir;
        Plant plant = LinePlant(6);
        // The files of M-101..M-104 as the relays hold them now.
        CPlantBackup backup(plant, {0, 1, 2, 3}, dir.path(), RigRead(rig), VirtualNow(rig));
        backup.Start({}, {});
        RunLine(rig);
        QCOMPARE(backup.Count(BackupOutcome::Saved), 4);
        for (int i = 0; i < 4; ++i) {
            plant.Feeders[i].SettingsFile = Tag(i + 1) + ".json";
        }
        // M-102's relay changed since; M-103's file changed: the CT ratio and a check box.
        rig.Devices[1]->SetRegister(0x0153, 99);
        QString reason;
        std::optional<CSettingsFile> file =
            CSettingsFile::Load(dir.filePath("M-103.json"), &reason);
        QVERIFY2(file, qPrintable(reason));
        const bool held = file->Values.Protection.Enabled[1];
        file->Values.Protection.Enabled[1] = !held;
        SetSettingText(file->Values, Row("ctRatio"), "50");
        QVERIFY(file->Save(dir.filePath("M-103.json"), &reason));
        rig.Faulty.Plan[4].Silent = true;
        plant.Feeders[5].Template = QStringLiteral("M-101.json");
        plant.Feeders[5].Overrides =
            QJsonDocument::fromJson(R"({"settings":{"ctRatio":"5000"}})").object();

        CPlantCompare compare(plant, {}, QDir(dir.path()), RigRead(rig), VirtualNow(rig));
        bool finished = false;
        compare.Start({}, [&] { finished = true; });
        RunLine(rig);
        QVERIFY(finished);

        const QString boxCaption = QString::fromUtf8(ProtectionRows()[1].Caption);
        QCOMPARE(compare.Header(),
                 (QStringList{"馈线", "线路", "地址", "定值来源", "结果", "电流变比", boxCaption}));
        const int row = tag.right(1).toInt() - 1;
        const QStringList shown = compare.Cells(row);
        QCOMPARE(shown[0], tag);
        const CompareResult result = compare.Results().value(tag);
        if (outcome == "fault") {
            QCOMPARE(result.Outcome, CompareOutcome::Refused);
            QVERIFY2(shown[4].contains("M-106") && shown[4].contains("999"), qPrintable(shown[4]));
        } else {
            QCOMPARE(shown[4], outcome);
        }
        if (cells[1] == "box") {
            cells[1] = QStringLiteral("%1 → %2").arg(QString::fromUtf8(ProtectionStateText(held)),
                                                     QString::fromUtf8(ProtectionStateText(!held)));
        }
        QCOMPARE(shown.mid(5), cells);
        QVERIFY(result.At.isValid());
        // What the plant summary shows of it.
        QVERIFY(LastCompareText(compare.Results(), tag).startsWith(shown[4] + " (2026-03-02 08:"));

        const QByteArray csv = compare.Csv();
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        QVERIFY(csv.contains(("\r\n" + shown.mid(0, 3).join(',')).toUtf8()));
    }
    // The compare window driven headless: stopped while the 2nd relay is read, the rows it
    // reached kept over the earlier results, the others keeping theirs; the table exported.
    void compareWindowStoppedKeepsEarlierResults() {
        CPlantLineRig rig(4, 19200);
        QTemporaryDir dir;
        Plant plant = LinePlant(4);
        CPlantBackup backup(plant, {}, dir.path(), RigRead(rig), VirtualNow(rig));
        backup.Start({}, {});
        RunLine(rig);
        for (int i = 0; i < 4; ++i) {
            plant.Feeders[i].SettingsFile = Tag(i + 1) + ".json";
        }
        rig.Devices[0]->SetRegister(0x0153, 99);
        CScriptedDialogs dialogs;
        CCompareDlg* shown = nullptr;
        int reads = 0;
        CCompareDlg window(plant, QDir(dir.path()),
                           RigRead(rig,
                                   [&](const RelayTarget&) {
                                       if (++reads == 2) {
                                           shown->StopButton()->click();
                                       }
                                   }),
                           dialogs, nullptr, VirtualNow(rig));
        shown = &window;
        CompareResults last;
        last.insert("M-101", {kStart, CompareOutcome::NotAnswering, 0, {}, {}});
        last.insert("M-104", {kStart, CompareOutcome::Equal, 0, {}, {}});
        window.SetResultsHandler([&](const CompareResults& r) { KeepCompareResults(last, r); });
        window.StartButton()->click();
        RunLine(rig);
        QVERIFY(window.StartButton()->isEnabled());
        QCOMPARE(window.Table()->item(0, 5)->text(), QStringLiteral("99 → 11"));
        QCOMPARE(window.Table()->item(1, 4)->text(), QStringLiteral("一致"));
        QCOMPARE(window.Table()->item(2, 4)->text(), QStringLiteral("未比较（已停止）"));
        QCOMPARE(last.value("M-101").Outcome, CompareOutcome::Differs);
        QCOMPARE(last.value("M-102").Outcome, CompareOutcome::Equal);
        QVERIFY(!last.contains("M-103"));
        QCOMPARE(last.value("M-104").At, kStart);
        dialogs.SaveAnswer = dir.filePath("all.csv");
        window.ExportButton()->click();
        QFile csv(dialogs.SaveAnswer);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), window.Compare()->Csv());
    }
};

QTEST_MAIN(TestPlantBatch)
#include "TestPlantBatch.moc"
