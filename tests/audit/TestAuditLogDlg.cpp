// The audit log's viewer: which entries each filter keeps, the change condensed, and the CSV
// of the rows shown.

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "audit/AuditLogDlg.h"
#include "audit/AuditView.h"
#include "dialogs/DialogService.h"

using namespace mp;

namespace {

class CSaveAnswer : public IDialogService {
public:
    void Inform(QWidget*, const QString& text) override { Messages << text; }
    bool AskYesNo(QWidget*, const QString&) override { return true; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return SavePath;
    }
    std::optional<QString> EditText(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    QString SavePath;
    QStringList Messages;
};

AuditEntry Entry(const QString& tag, const QString& operation, const QString& outcome,
                 const QString& detail = {}) {
    AuditEntry e;
    e.TimeMs = 1796700000000;
    e.User = QStringLiteral("op");
    e.Host = QStringLiteral("eng-pc");
    e.Tag = tag;
    e.Line = QStringLiteral("L1");
    e.Address = 3;
    e.Operation = operation;
    e.Outcome = outcome;
    e.Detail = detail;
    return e;
}

template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    if (child == nullptr) {
        qFatal("no widget %s", name);
    }
    return child;
}

void Choose(QComboBox* combo, const QString& value) {
    const int at = combo->findData(value);
    QVERIFY2(at >= 0, qPrintable(value));
    combo->setCurrentIndex(at);
}

}  // namespace

class TestAuditLogDlg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(Folder_.isValid());
        Path_ = Folder_.filePath(QStringLiteral("plant-audit.jsonl"));
        const CAuditLog log(Path_);
        QString reason;
        QVERIFY(log.Append(Entry("M-1", "write-settings", "confirmed"), &reason));
        QVERIFY(log.Append(Entry("M-2", "close-a", "not-answering"), &reason));
        QVERIFY(
            log.Append(Entry("M-1", "reset", "confirmed", "from the panel, \"urgent\""), &reason));
        QVERIFY(log.Append(Entry("", "write-settings", "not-confirmed", "not held: 额定电流"),
                           &reason));
        // A line torn by a crash, which the viewer leaves out and counts.
        QFile file(Path_);
        QVERIFY(file.open(QIODevice::Append));
        file.write("{\"time\":\"2026-");
    }

    void filterKeepsTheEntriesAsked_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("shown");  // "tag/operation", newest first
        QTest::newRow("everything")
            << ""
            << ""
            << ""
            << ""
            << QStringList{"/write-settings", "M-1/reset", "M-2/close-a", "M-1/write-settings"};
        QTest::newRow("one feeder") << ""
                                    << "M-1"
                                    << ""
                                    << "" << QStringList{"M-1/reset", "M-1/write-settings"};
        QTest::newRow("one operation")
            << ""
            << ""
            << "write-settings"
            << "" << QStringList{"/write-settings", "M-1/write-settings"};
        QTest::newRow("outcome and feeder")
            << ""
            << "M-1"
            << ""
            << "confirmed" << QStringList{"M-1/reset", "M-1/write-settings"};
        QTest::newRow("text in the detail, any case") << "URGENT"
                                                      << ""
                                                      << ""
                                                      << "" << QStringList{"M-1/reset"};
        QTest::newRow("text in Chinese") << "额定电流"
                                         << ""
                                         << ""
                                         << "" << QStringList{"/write-settings"};
        QTest::newRow("nothing matches") << "M-1"
                                         << "M-2"
                                         << ""
                                         << "" << QStringList{};
    }
    void filterKeepsTheEntriesAsked() {
        QFETCH(QString, text);
        QFETCH(QString, tag);
        QFETCH(QString, operation);
        QFETCH(QString, outcome);
        QFETCH(QStringList, shown);
        CSaveAnswer dialogs;
        CAuditLogDlg dialog(Path_, dialogs);
        Child<QLineEdit>(dialog, "auditTextFilter")->setText(text);
        Choose(Child<QComboBox>(dialog, "auditTagFilter"), tag);
        Choose(Child<QComboBox>(dialog, "auditOperationFilter"), operation);
        Choose(Child<QComboBox>(dialog, "auditOutcomeFilter"), outcome);
        QStringList rows;
        for (const QStringList& row : dialog.ShownRows()) {
            rows << row[kAuditTag] + "/" + row[kAuditOperation];
        }
        QCOMPARE(rows, shown);
    }

    void changeIsCondensed_data() {
        QTest::addColumn<QJsonObject>("before");
        QTest::addColumn<QJsonObject>("after");
        QTest::addColumn<QString>("text");
        const QJsonObject read{
            {"readAt", "2026-12-08T06:00:00.000Z"},
            {"registers", QJsonObject{{"0x0150", 1}, {"0x0151", 5}, {"0x0152", 9}}}};
        const QJsonObject held{{"registers", QJsonObject{{"0x0150", 200}, {"0x0151", 5}}}};
        QTest::newRow("only what differs, no read time")
            << read << held << "0x0150 1→200, 0x0152 9→";
        QTest::newRow("nothing before")
            << QJsonObject{} << QJsonObject{{"outputA", "closed"}, {"reset", "open"}}
            << "outputA=closed, reset=open";
        QTest::newRow("the same on both sides") << held << held << "";
        QTest::newRow("nothing read") << QJsonObject{} << QJsonObject{} << "";
        QJsonObject many;
        for (int k = 0; k < 9; ++k) {
            many[QStringLiteral("k%1").arg(k)] = k;
        }
        QTest::newRow("long lists counted")
            << QJsonObject{} << many << "k0=0, k1=1, k2=2, k3=3, k4=4, k5=5, … (+3)";
    }
    void changeIsCondensed() {
        QFETCH(QJsonObject, before);
        QFETCH(QJsonObject, after);
        QFETCH(QString, text);
        QCOMPARE(AuditChangeText(before, after), text);
    }

    // The CSV holds the rows shown, as shown: a byte-order mark, the heading, quoted fields.
    void csvHoldsTheRowsShown() {
        CSaveAnswer dialogs;
        dialogs.SavePath = Folder_.filePath(QStringLiteral("audit.csv"));
        CAuditLogDlg dialog(Path_, dialogs);
        Choose(Child<QComboBox>(dialog, "auditTagFilter"), QStringLiteral("M-1"));
        dialog.ExportCsv();
        QVERIFY(dialogs.Messages.isEmpty());
        QFile file(dialogs.SavePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4);  // heading, two rows, the empty rest after the last CR LF
        QCOMPARE(lines[0],
                 QStringLiteral("时间,用户,计算机,位号,线路,地址,操作,结果,前 → 后,说明"));
        const QString time = dialog.ShownRows()[0][kAuditTime];
        QCOMPARE(lines[1], time + QStringLiteral(",op,eng-pc,M-1,L1,3,reset,confirmed,,"
                                                 "\"from the panel, \"\"urgent\"\"\""));
        QVERIFY(lines[2].contains(QStringLiteral(",M-1,L1,3,write-settings,confirmed,")));
        QCOMPARE(lines[3], QString());
    }

private:
    QTemporaryDir Folder_;
    QString Path_;
};

QTEST_MAIN(TestAuditLogDlg)
#include "TestAuditLogDlg.moc"
