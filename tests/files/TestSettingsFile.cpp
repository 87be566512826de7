// Settings files through the window: saved and opened again, refused with the file named and
// the window untouched, random bytes and random documents, keys kept, recent files and drops.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenuBar>
#include <QMimeData>
#include <QRandomGenerator>
#include <QtTest>

#include "files/FilesRig.h"
#include "files/SettingsFile.h"
#include "settings/SettingsLists.h"

using namespace mp;
using namespace mp::test;

Q_DECLARE_METATYPE(mp::SettingsValues)

namespace {

QJsonObject Document(const SettingsValues& values) {
    CSettingsFile file;
    file.Values = values;
    return QJsonDocument::fromJson(file.ToJson()).object();
}

QByteArray Bytes(const QJsonObject& object) {
    return QJsonDocument(object).toJson();
}

// The document with one value of an object member replaced (an undefined value removes it).
QByteArray With(const QString& object, const QString& key, const QJsonValue& value) {
    QJsonObject root = Document(DistinctValues());
    QJsonObject inner = object.isEmpty() ? root : root.value(object).toObject();
    if (value.isUndefined()) {
        inner.remove(key);
    } else {
        inner.insert(key, value);
    }
    if (object.isEmpty()) {
        return Bytes(inner);
    }
    root.insert(object, inner);
    return Bytes(root);
}

QJsonValue RandomValue(QRandomGenerator& random) {
    static const QStringList texts = {"",    "0",           "1",          "-1",      "50",
                                      "0.1", "999.9",       "1e3",        "12.",     ".5",
                                      "abc", "125",         "13",         "B相电流", "直接起动",
                                      "  7", "99999999999", "2147483648", "1.2.3",   "+"};
    switch (random.bounded(6)) {
        case 0:
            return texts[random.bounded(static_cast<int>(texts.size()))];
        case 1:
            return random.bounded(-2000, 20000) / (random.bounded(2) ? 1.0 : 10.0);
        case 2:
            return random.bounded(2) == 1;
        case 3:
            return QJsonValue(QJsonValue::Null);
        case 4:
            return QJsonArray{1, "x"};
        default:
            return QJsonObject{{"x", 1}};
    }
}

// A document from a valid one with one to four random changes.
QByteArray RandomDocument(QRandomGenerator& random) {
    QJsonObject root = Document(DistinctValues());
    const int changes = 1 + random.bounded(4);
    for (int k = 0; k < changes; ++k) {
        const QString object =
            QStringList{"", "settings", "protections", "source"}[random.bounded(4)];
        QJsonObject inner = object.isEmpty() ? root : root.value(object).toObject();
        const QStringList keys = inner.keys();
        const QString key = keys.isEmpty() ? QStringLiteral("x")
                                           : keys[random.bounded(static_cast<int>(keys.size()))];
        if (random.bounded(5) == 0) {
            inner.remove(key);
        } else {
            inner.insert(key, RandomValue(random));
        }
        if (object.isEmpty()) {
            root = inner;
        } else {
            root.insert(object, inner);
        }
    }
    return Bytes(root);
}

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void SaveThenOpenGivesTheSameFields_data();
    void SaveThenOpenGivesTheSameFields();
    void BadFileIsRefusedAndChangesNothing_data();
    void BadFileIsRefusedAndChangesNothing();
    void RandomInputChangesNothingUnlessUsable();
    void SavingRefusesWhatTheWriteWouldRefuse();
    void UnknownKeysAreKept();
    void MenuRecentFilesAndDrops();
};

void TestSettingsFile::SaveThenOpenGivesTheSameFields_data() {
    QTest::addColumn<SettingsValues>("values");
    QTest::newRow("device") << DeviceStartValues();
    QTest::newRow("lowest") << ValuesOf(
        {"1", "0.1", "380", "0", "直接起动", "1.0", "0.1", "1.0", "1", "20", "0.1", "0", "0.5",
         "A相电流", "0", "105", "5", "80", "5"},
        {});
    QTest::newRow("highest") << ValuesOf(
        {"999", "999.9", "380", "255", "双向可逆起动", "10.0", "25.5", "6.0", "255", "100", "25.5",
         "1200", "0.5", "B相电流", "9999", "150", "5", "80", "5"},
        {true, true, true, true, true, true, true, true, true});
    // A device whose over-voltage protection is off with pick-up and time 0: the write takes
    // it, so the file must too (it was refused, and such a device could not be saved).
    {
        SettingsValues v = DistinctValues();
        v.Protection.Enabled[kOverVoltage] = false;
        v.Protection.OverVoltagePercent = 0;
        v.Protection.OverVoltageTime = 0;
        QTest::newRow("over-voltage off at 0") << v;
    }
    // Every curve, start mode and PWM phase, with the check boxes in changing patterns.
    for (size_t k = 0; k < CurveList.size(); ++k) {
        SettingsValues v = DistinctValues();
        v.Protection.CurveSelection = CurveList[k];
        v.StartMode = StartModeNames[k % StartModeNames.size()];
        v.Protection.PwmPhase = PhaseList[k % PhaseList.size()];
        for (size_t p = 0; p < v.Protection.Enabled.size(); ++p) {
            v.Protection.Enabled[p] = ((k * 7 + 3) >> (p % 4)) & 1;
        }
        QTest::newRow(qPrintable(QStringLiteral("curve %1").arg(CurveList[k]))) << v;
    }
}

void TestSettingsFile::SaveThenOpenGivesTheSameFields() {
    QFETCH(SettingsValues, values);
    CFilesRig rig;
    rig.Show(values);
    const QStringList shown = rig.Screen();
    QCOMPARE(shown, ScreenOf(values));
    rig.FileDialogs.SaveAnswer = rig.Path("a.json");
    rig.FileDialogs.TextAnswer = QStringLiteral("3号柜, \"进线\" 电动机 M1\n第二行");
    rig.Trigger("actionSaveSettingsFile");
    QVERIFY2(rig.FileDialogs.Messages.isEmpty(), qPrintable(rig.FileDialogs.Messages.join('\n')));

    rig.Show(ScreenOf(values) == ScreenOf(DistinctValues()) ? FactoryValues() : DistinctValues());
    rig.FileDialogs.OpenAnswer = rig.Path("a.json");
    rig.Trigger("actionOpenSettingsFile");
    QVERIFY2(rig.FileDialogs.Messages.isEmpty(), qPrintable(rig.FileDialogs.Messages.join('\n')));
    QCOMPARE(rig.Screen(), shown);
    QVERIFY(rig.Port.Sent().empty());  // opening sends nothing

    QString reason;
    const auto file = CSettingsFile::Load(rig.Path("a.json"), &reason);
    QVERIFY2(file, qPrintable(reason));
    QCOMPARE(file->Note, *rig.FileDialogs.TextAnswer);
    QCOMPARE(file->Source.Port, QStringLiteral("COM3"));
    QCOMPARE(file->Source.Address, 1);
    QCOMPARE(file->Source.BaudRate, 9600);
    QVERIFY(file->SavedAt.isValid());
    QCOMPARE(file->ToolVersion, QStringLiteral("1.0"));
}

void TestSettingsFile::BadFileIsRefusedAndChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");  // "missing" writes no file
    QTest::addColumn<QString>("reason");
    const QByteArray valid = Bytes(Document(DistinctValues()));
    QTest::newRow("missing") << QByteArray("missing") << "文件不存在";
    QTest::newRow("empty") << QByteArray() << "不是 JSON 文件";
    QTest::newRow("text") << QByteArray("ctRatio=50\n") << "不是 JSON 文件";
    QTest::newRow("cut short") << valid.left(valid.size() / 2) << "不是 JSON 文件";
    QTest::newRow("array") << QByteArray("[1, 2]") << "不是 JSON 对象";
    QTest::newRow("too large") << QByteArray(CSettingsFile::kLargestFile + 1, ' ') << "文件过大";
    QTest::newRow("other format") << With("", "format", "x") << "不是定值文件";
    QTest::newRow("newer version") << With("", "formatVersion", 2) << "格式版本 2";
    QTest::newRow("version as text") << With("", "formatVersion", "1") << "格式版本";
    QTest::newRow("no settings") << With("", "settings", QJsonValue::Undefined)
                                 << "缺少定值（settings）";
    QTest::newRow("setting missing") << With("settings", "ctRatio", QJsonValue::Undefined)
                                     << "缺少定值“电流变比”（settings.ctRatio）";
    QTest::newRow("number, not text")
        << With("settings", "ctRatio", 50) << "“电流变比”（settings.ctRatio）应为文本";
    QTest::newRow("not a number") << With("settings", "ratedCurrent", "1O.5")
                                  << "额定电流的值“1O.5”不是数字";
    QTest::newRow("empty setting") << With("settings", "ratedCurrent", "") << "额定电流未填写";
    QTest::newRow("integer with point")
        << With("settings", "breakingCurrent", "99.5") << "不是整数";
    QTest::newRow("integer beyond 32 bits")
        << With("settings", "overVoltageTime", "2147483648") << "不是整数";
    QTest::newRow("curve not listed")
        << With("settings", "curve", "130") << "曲线选择的值“130”不在曲线列表中";
    QTest::newRow("PWM not listed")
        << With("settings", "pwmPhase", "D相电流") << "不在PWM选择输出的列表中";
    QTest::newRow("start mode not listed")
        << With("settings", "startMode", "软起动") << "不在起动方式的列表中";
    // The write's own validation (its cases are the write's tests).
    QTest::newRow("CT ratio 0") << With("settings", "ctRatio", "0") << "CT超过范围";
    QTest::newRow("over-voltage 151")
        << With("settings", "overVoltagePercent", "151") << "请在过压动作值范围为105-150";
    // Between two steps of the device: it would hold 0.3 s (opened and saved without a word).
    QTest::newRow("phase-loss time 0.35") << With("settings", "phaseLossTime", "0.35")
                                          << "缺相时间的值“0.35”不是设备可存的值：步长为0.1";
    QTest::newRow("no protections")
        << With("", "protections", QJsonValue::Undefined) << "缺少保护投退";
    QTest::newRow("check box as text")
        << With("protections", "underVoltage", "true")
        << "保护投退“欠压保护”（protections.underVoltage）应为 true 或 false";
}

void TestSettingsFile::BadFileIsRefusedAndChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    CFilesRig rig;
    if (bytes != "missing") {
        rig.Write("bad.json", bytes);
    }
    rig.Show(FactoryValues());
    Child<QLineEdit>(rig.Window, "ctRatioEdit")->setText("77");  // typed, not yet taken
    const QStringList before = rig.Screen();
    const QStringList fieldsBefore =
        ScreenOf({rig.Window.Fields().Settings, rig.Window.Fields().StartModeSelection});
    QVERIFY(!rig.Files->OpenSettingsFile(rig.Path("bad.json")));
    QCOMPARE(rig.FileDialogs.Messages.size(), 1);
    const QString message = rig.FileDialogs.Messages.first();
    QVERIFY2(message.contains(QDir::toNativeSeparators(rig.Path("bad.json"))), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("窗口中的值没有改变")));
    QCOMPARE(rig.Screen(), before);
    QCOMPARE(ScreenOf({rig.Window.Fields().Settings, rig.Window.Fields().StartModeSelection}),
             fieldsBefore);
    QVERIFY(rig.Files->CurrentPath().isEmpty());
}

void TestSettingsFile::RandomInputChangesNothingUnlessUsable() {
    QRandomGenerator random(1312);
    int accepted = 0;
    // The loader alone, many times: no crash, and what it accepts the write would accept.
    for (int k = 0; k < 4000; ++k) {
        QByteArray bytes;
        if (k % 2 == 0) {
            bytes.resize(random.bounded(400));
            for (char& byte : bytes) {
                byte = static_cast<char>(random.bounded(256));
            }
        } else {
            bytes = RandomDocument(random);
        }
        QString reason;
        const auto file = CSettingsFile::Parse(bytes, &reason);
        QVERIFY(file.has_value() == reason.isEmpty());
        if (file) {
            ++accepted;
            QVERIFY(!RefuseValues(file->Values));
        }
    }
    QVERIFY(accepted > 0);
    // Through the window: a refused file leaves the screen as it was, a usable one shows its
    // values.
    CFilesRig rig;
    for (int k = 0; k < 300; ++k) {
        rig.Show(FactoryValues());
        const QStringList before = rig.Screen();
        QByteArray bytes = RandomDocument(random);
        if (k % 3 == 0) {
            bytes[random.bounded(bytes.size())] = static_cast<char>(random.bounded(256));
        }
        rig.Write("random.json", bytes);
        const auto file = CSettingsFile::Parse(bytes, nullptr);
        const bool opened = rig.Files->OpenSettingsFile(rig.Path("random.json"));
        QCOMPARE(opened, file.has_value());
        QCOMPARE(rig.Screen(), opened ? ScreenOf(file->Values) : before);
    }
}

void TestSettingsFile::SavingRefusesWhatTheWriteWouldRefuse() {
    CFilesRig rig;
    rig.Show(DistinctValues());
    Child<QLineEdit>(rig.Window, "ctRatioEdit")->setText("0");
    rig.FileDialogs.SaveAnswer = rig.Path("s.json");
    rig.Trigger("actionSaveSettingsFile");
    QCOMPARE(rig.FileDialogs.SaveAsked, 0);
    QCOMPARE(rig.FileDialogs.Messages.size(), 1);
    QVERIFY(rig.FileDialogs.Messages.first().contains(QStringLiteral("CT超过范围")));
    // An integer field that holds no number: the window's own refusal, and no file.
    Child<QLineEdit>(rig.Window, "ctRatioEdit")->setText("50");
    Child<QLineEdit>(rig.Window, "breakingCurrentEdit")->setText("x");
    rig.Trigger("actionSaveSettingsFile");
    QCOMPARE(rig.Dialogs.Messages,
             QStringList{QStringLiteral("交流接触器允许分断电流：请输入一个整数。")});
    QCOMPARE(rig.FileDialogs.SaveAsked, 0);
    QVERIFY(!QFile::exists(rig.Path("s.json")));
}

void TestSettingsFile::UnknownKeysAreKept() {
    CFilesRig rig;
    QJsonObject root = Document(DistinctValues());
    root.insert("panel", QJsonObject{{"rack", "R3"}, {"feeders", QJsonArray{1, 2}}});
    QJsonObject settings = root.value("settings").toObject();
    settings.insert("futureSetting", "7.5");
    root.insert("settings", settings);
    QJsonObject protections = root.value("protections").toObject();
    protections.insert("futureProtection", true);
    root.insert("protections", protections);
    root.insert("writes", QJsonArray{QJsonObject{{"writtenAt", "2024-05-06T07:08:09+08:00"},
                                                 {"port", "COM1"},
                                                 {"address", 7},
                                                 {"baudRate", 4800},
                                                 {"by", "张工"}},
                                     "not a record"});
    rig.Write("in.json", Bytes(root));
    QVERIFY(rig.Files->OpenSettingsFile(rig.Path("in.json")));
    rig.FileDialogs.SaveAnswer = rig.Path("out.json");
    rig.Trigger("actionSaveSettingsFile");
    const QJsonObject saved = QJsonDocument::fromJson(rig.Read("out.json")).object();
    QCOMPARE(saved.value("panel"), root.value("panel"));
    QCOMPARE(saved.value("settings").toObject().value("futureSetting"), QJsonValue("7.5"));
    QCOMPARE(saved.value("protections").toObject().value("futureProtection"), QJsonValue(true));
    QCOMPARE(saved.value("writes"), root.value("writes"));
    const auto reopened = CSettingsFile::Load(rig.Path("out.json"), nullptr);
    QVERIFY(reopened);
    QCOMPARE(reopened->Writes().size(), 1);
    QCOMPARE(reopened->Writes().first().Line.Address, 7);
}

void TestSettingsFile::MenuRecentFilesAndDrops() {
    QTemporaryDir storeDir;
    QSettings store(storeDir.filePath("user.ini"), QSettings::IniFormat);
    {
        CFilesRig rig(&store);
        // "文件" comes first, with the usual shortcuts.
        QMenu* fileMenu = rig.Window.menuBar()->actions().first()->menu();
        QVERIFY(fileMenu != nullptr);
        QCOMPARE(fileMenu->title(), QStringLiteral("文件"));
        QCOMPARE(Child<QAction>(rig.Window, "actionOpenSettingsFile")->shortcut(),
                 QKeySequence(QKeySequence::Open));
        QCOMPARE(Child<QAction>(rig.Window, "actionSaveSettingsFile")->shortcut(),
                 QKeySequence(QKeySequence::Save));
        for (QAction* action : fileMenu->actions()) {
            QVERIFY(action->isSeparator() || !action->text().isEmpty());
        }

        rig.Write("a.json", Bytes(Document(DistinctValues())));
        SettingsValues other = DistinctValues();
        other.Protection.CtRatio = "7";
        rig.Write("b.json", Bytes(Document(other)));
        QVERIFY(rig.Files->OpenSettingsFile(rig.Path("a.json")));
        QVERIFY(rig.Files->OpenSettingsFile(rig.Path("b.json")));
        QCOMPARE(rig.Files->RecentFiles(), (QStringList{rig.Path("b.json"), rig.Path("a.json")}));
        rig.Trigger("recentFileAction2");
        QCOMPARE(rig.Screen(), ScreenOf(DistinctValues()));

        // A file dropped on the window (here on an edit field) opens; its path is not typed.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(rig.Path("b.json"))});
        QWidget* target = Child<QLineEdit>(rig.Window, "ctRatioEdit");
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QTRY_COMPARE(rig.Screen(), ScreenOf(other));
        QCOMPARE(rig.Files->RecentFiles().first(), rig.Path("b.json"));
    }
    // The list outlives the run; a file that is gone leaves it when it fails to open.
    CFilesRig again(&store);
    QCOMPARE(again.Files->RecentFiles().size(), 2);
    const QString gone = again.Files->RecentFiles().last();
    QVERIFY(!QFile::exists(gone));  // the first rig's folder went with it
    again.Trigger("recentFileAction2");
    QCOMPARE(again.FileDialogs.Messages.size(), 1);
    QCOMPARE(again.Files->RecentFiles().size(), 1);
}

QTEST_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
