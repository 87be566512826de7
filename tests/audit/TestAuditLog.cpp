// The audit log: whole lines only, also after a writer killed mid-way; refused before
// anything when it cannot be written; its entries read back as written.

#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "audit/AuditLog.h"

using namespace mp;

namespace {

AuditEntry Entry(int n) {
    AuditEntry e;
    e.TimeMs = 1796700000000 + n;
    e.User = QStringLiteral("op");
    e.Host = QStringLiteral("eng-pc");
    e.Tag = QStringLiteral("M-%1").arg(n);
    e.Line = QStringLiteral("L1");
    e.Address = n % 247 + 1;
    e.Operation = QStringLiteral("write-settings");
    e.Before = {{QStringLiteral("ratedCurrent"), QStringLiteral("15.0")}};
    e.After = {{QStringLiteral("ratedCurrent"), QStringLiteral("20.0")}};
    e.Outcome = QStringLiteral("confirmed");
    e.Detail = QStringLiteral("写入 %1").arg(n);
    return e;
}

}  // namespace

class TestAuditLog : public QObject {
    Q_OBJECT
private slots:
    void WholeLines_data();
    void WholeLines();
    void KilledWriterLeavesWholeLines();
    void Unwritable_data();
    void Unwritable();
};

void TestAuditLog::WholeLines_data() {
    QTest::addColumn<QByteArray>("before");  // the file as a crash or another hand left it
    QTest::addColumn<int>("kept");           // entries of it read back
    QTest::addColumn<int>("skipped");
    QTest::newRow("new file") << QByteArray() << 0 << 0;
    QTest::newRow("torn last line")
        << QByteArray(R"({"time":"2026-12-08T03:20:00.000Z","oper)") << 0 << 1;
    QTest::newRow("a foreign line") << QByteArray("not json\n") << 0 << 1;
}

void TestAuditLog::WholeLines() {
    QFETCH(QByteArray, before);
    QFETCH(int, kept);
    QFETCH(int, skipped);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plant/audit.jsonl"));
    QDir().mkpath(dir.filePath(QStringLiteral("plant")));
    QFile seed(path);
    QVERIFY(seed.open(QIODevice::WriteOnly));
    seed.write(before);
    seed.close();

    const CAuditLog log(path);
    QString reason;
    QVERIFY(log.CanAppend(&reason));
    QVERIFY2(log.Append(Entry(1), &reason), qPrintable(reason));
    QVERIFY(log.Append(Entry(2), &reason));
    int bad = -1;
    const QVector<AuditEntry> read = CAuditLog::Read(path, &bad);
    QCOMPARE(read.size(), kept + 2);
    QCOMPARE(bad, skipped);
    QCOMPARE(read.last().ToJson(), Entry(2).ToJson());
    QCOMPARE(read.last().Detail, QStringLiteral("写入 2"));
}

void TestAuditLog::KilledWriterLeavesWholeLines() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("audit.jsonl"));
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        const CAuditLog log(path);
        QString reason;
        for (int n = 0;; ++n) {
            log.Append(Entry(n), &reason);
        }
    }
    QTest::qWait(150);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    int bad = -1;
    const int written = CAuditLog::Read(path, &bad).size();
    QVERIFY(written > 0);
    QVERIFY(bad <= 1);
    QString reason;
    QVERIFY(CAuditLog(path).Append(Entry(-1), &reason));
    const QVector<AuditEntry> after = CAuditLog::Read(path, &bad);
    QCOMPARE(after.size(), written + 1);
    QVERIFY(bad <= 1);
    for (int n = 0; n < written; ++n) {
        QCOMPARE(after[n].Tag, QStringLiteral("M-%1").arg(n));
    }
}

void TestAuditLog::Unwritable_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("opens");  // a disk full is found only at the write
    QTest::newRow("folder is a file") << QStringLiteral("/etc/hostname/audit.jsonl") << false;
    QTest::newRow("no such place") << QStringLiteral("/proc/audit.jsonl") << false;
    QTest::newRow("disk full") << QStringLiteral("/dev/full") << true;
}

void TestAuditLog::Unwritable() {
    QFETCH(QString, path);
    QFETCH(bool, opens);
    const CAuditLog log(path);
    QString reason;
    QCOMPARE(log.CanAppend(&reason), opens);
    QCOMPARE(log.Append(Entry(1), &reason), false);
    QVERIFY(reason.contains(path) || reason.contains(QStringLiteral("/etc/hostname")));
}

QTEST_GUILESS_MAIN(TestAuditLog)
#include "TestAuditLog.moc"
