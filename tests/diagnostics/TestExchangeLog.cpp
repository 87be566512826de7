// The exchange log: what the transaction reports becomes records and counters under every
// fault the simulated line can make, and the log keeps only the newest records.

#include <QtTest>

#include "diagnostics/ExchangeDecoder.h"
#include "diagnostics/ExchangeLog.h"
#include "diagnostics/ExchangeRecorder.h"
#include "modbus/RequestBuilder.h"
#include "support/DeviceRig.h"
#include "support/MarkingTranslator.h"

using namespace mp;
using namespace mp::test;

class TestExchangeLog : public QObject {
    Q_OBJECT
private slots:
    void countsUnderFaults_data();
    void countsUnderFaults();
    void lateReplyIsDroppedAndCounted();
    void writesAreCountedAsSent();
    void keepsTheNewest_data();
    void keepsTheNewest();
    void clearAndResetCounters();
    void nothingIsReportedWithoutObserver();
    void countsByOperationInAnyLanguage();
};

void TestExchangeLog::countsUnderFaults_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("good");
    QTest::addColumn<int>("noReply");
    QTest::addColumn<int>("badCrc");
    QTest::addColumn<int>("exceptions");
    QTest::addColumn<int>("stray");
    QTest::addColumn<QString>("lastText");
    QTest::addColumn<bool>("fast");
    // Three reads of the event count, then one of a register the device does not have.
    QTest::newRow("clean line") << 0 << 3 << 0 << 0 << 1 << 0
                                << "读寄存器 0x0300: 异常应答 02 非法数据地址" << false;
    QTest::newRow("silence") << 1 << 0 << 4 << 0 << 0 << 0 << "读寄存器 0x0300: 无应答" << false;
    QTest::newRow("bad CRC") << 2 << 0 << 0 << 3 << 0 << 0 << "读寄存器 0x0300: 无效应答 (5 字节)"
                             << false;
    QTest::newRow("stray bytes") << 3 << 3 << 0 << 0 << 1 << 6
                                 << "读寄存器 0x0300: 异常应答 02 非法数据地址" << false;
    // Fast refresh ends each wait at the reply: every good read was logged as no reply.
    QTest::newRow("clean line, fast refresh")
        << 0 << 3 << 0 << 0 << 1 << 0 << "读寄存器 0x0300: 异常应答 02 非法数据地址" << true;
    QTest::newRow("bad CRC, fast refresh")
        << 2 << 0 << 0 << 3 << 0 << 0 << "读寄存器 0x0300: 无效应答 (5 字节)" << true;
}

void TestExchangeLog::countsUnderFaults() {
    QFETCH(int, stray);
    QFETCH(int, exceptions);
    QFETCH(int, badCrc);
    QFETCH(int, noReply);
    QFETCH(int, good);
    QFETCH(int, fault);
    QFETCH(QString, lastText);
    QFETCH(bool, fast);
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    rig.Link.SetFastReplyEnd(fast, 9600);
    SimFaults faults;
    faults.Silent = fault == 1;
    faults.CorruptCrc = fault == 2;
    if (fault == 3) {
        faults.StrayBytes = {0x00, 0xFF};
    }
    rig.Port.SetFaults(faults);
    rig.Device.SetRegister(0x0124, 3 << 8);
    for (int k = 0; k < 3; ++k) {
        rig.Link.ReadSequence(0x03, 0x0124, 1, 300);
    }
    rig.Link.ReadSequence(0x03, 0x0300, 1, 300);
    rig.Link.SetObserver(nullptr);

    const ExchangeCounters c = log.Counters();
    QCOMPARE(c.Requests, 4u);
    QCOMPARE(static_cast<int>(c.GoodReplies), good);
    QCOMPARE(static_cast<int>(c.NoReply), noReply);
    QCOMPARE(static_cast<int>(c.BadCrc), badCrc);
    QCOMPARE(static_cast<int>(c.Exceptions), exceptions);
    QCOMPARE(static_cast<int>(c.StrayBytes), stray);
    QCOMPARE(c.PerOperation.at("读事件条数").Asked, 3u);
    QCOMPARE(static_cast<int>(c.PerOperation.at("读事件条数").Good), good);

    const std::vector<ExchangeRecord> records = log.Since(0);
    QCOMPARE(records.size(), size_t{4});
    // The reply time is the fixed wait, measured on the link's clock; with fast refresh the
    // time the reply took (request and reply on the wire at 9600, and the device's turn).
    QVERIFY2(fast && fault != 2 ? records[0].ReplyMs < 300u : records[0].ReplyMs == 300u,
             qPrintable(QString::number(records[0].ReplyMs)));
    if (fault != 1) {
        const QString first =
            fault == 2 ? QStringLiteral("读事件条数") : QStringLiteral("事件条数 3");
        QCOMPARE(
            QString::fromStdString(CExchangeDecoder::Decode(records[0]).Text).left(first.size()),
            first);
    }
    QCOMPARE(QString::fromStdString(CExchangeDecoder::Decode(records[3]).Text), lastText);
}

void TestExchangeLog::lateReplyIsDroppedAndCounted() {
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    SimFaults faults;
    faults.ReplyDelayMs = 400;
    rig.Port.SetFaults(faults);
    rig.Link.ReadSequence(0x03, 0x0106, 3, 200);  // missed: owed
    rig.Port.SetFaults({});
    rig.Link.ReadSequence(0x03, 0x0106, 3, 200);  // waits the late reply out first

    const ExchangeCounters c = log.Counters();
    QCOMPARE(c.Requests, 2u);
    QCOMPARE(c.NoReply, 1u);
    QCOMPARE(c.GoodReplies, 1u);
    QCOMPARE(c.LateBytes, 11u);
    const std::vector<ExchangeRecord> records = log.Since(0);
    QCOMPARE(records.size(), size_t{3});
    QCOMPARE(QString::fromStdString(CExchangeDecoder::Decode(records[1]).Text),
             QStringLiteral("迟到的应答已丢弃 (11 字节)"));
    QCOMPARE(CExchangeDecoder::Decode(records[2]).Outcome, ExchangeOutcome::Good);
}

void TestExchangeLog::writesAreCountedAsSent() {
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    const uint8_t data[] = {0x00, 0x32};
    rig.Link.WriteSequence(BuildWriteRegisters(rig.Link.Tx(), 1, 0x5453, data, 1), 100);
    // The write's reply waits in the input and is dropped before the next request.
    rig.Link.ReadSequence(0x03, 0x0124, 1, 300);
    const std::vector<ExchangeRecord> records = log.Since(0);
    QCOMPARE(records.size(), size_t{3});
    QCOMPARE(QString::fromStdString(CExchangeDecoder::Decode(records[0]).Text),
             QStringLiteral("写定值 0x5453: 电流变比 50"));
    QCOMPARE(records[1].Type, ExchangeRecord::Kind::StrayDiscard);
    QCOMPARE(records[1].Dropped, size_t{8});
    const ExchangeCounters c = log.Counters();
    QCOMPARE(c.Requests, 2u);
    QCOMPARE(c.GoodReplies, 1u);
    QCOMPARE(c.PerOperation.count("写定值 0x5453"), size_t{0});
}

void TestExchangeLog::keepsTheNewest_data() {
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("added");
    QTest::newRow("under") << 10 << 7;
    QTest::newRow("exactly") << 10 << 10;
    QTest::newRow("over") << 10 << 25;
    QTest::newRow("one") << 1 << 3;
    QTest::newRow("zero means one") << 0 << 3;
    QTest::newRow("default") << -1 << 10005;
}

void TestExchangeLog::keepsTheNewest() {
    QFETCH(int, capacity);
    QFETCH(int, added);
    CExchangeLog log(capacity < 0 ? CExchangeLog::kDefaultCapacity : static_cast<size_t>(capacity));
    const size_t kept = std::min<size_t>(added, std::max<size_t>(log.Capacity(), 1));
    for (int k = 0; k < added; ++k) {
        ExchangeRecord r;
        r.Request = ReadFrame(1, 0x0124, 1);
        r.ReplyLength = 7;
        log.Add(r);
    }
    QCOMPARE(log.Size(), kept);
    const std::vector<ExchangeRecord> all = log.Since(0);
    QCOMPARE(all.size(), kept);
    QCOMPARE(all.back().Sequence, static_cast<uint64_t>(added));
    QCOMPARE(all.front().Sequence, static_cast<uint64_t>(added) - kept + 1);
    // Counters count every record, kept or not.
    QCOMPARE(log.Counters().Requests, static_cast<uint64_t>(added));
    QCOMPARE(log.Since(static_cast<uint64_t>(added) - 1).size(), size_t{1});
    // A smaller capacity drops the oldest at once.
    log.SetCapacity(2);
    QCOMPARE(log.Size(), std::min<size_t>(kept, 2));
    QCOMPARE(log.Since(0).back().Sequence, static_cast<uint64_t>(added));
}

void TestExchangeLog::clearAndResetCounters() {
    CExchangeLog log;
    ExchangeRecord r;
    r.Request = ReadFrame(1, 0x0124, 1);
    r.ReplyLength = 7;
    r.Answered = true;
    log.Add(r);
    log.ResetCounters();
    QCOMPARE(log.Counters().Requests, 0u);
    QCOMPARE(log.Size(), size_t{1});
    log.Add(r);
    log.Clear();
    QCOMPARE(log.Size(), size_t{0});
    QCOMPARE(log.Counters().NoReply, 0u);
    // Numbers go on, so a reader that has seen the old ones misses nothing new.
    log.Add(r);
    QCOMPARE(log.Since(2).size(), size_t{1});
}

void TestExchangeLog::nothingIsReportedWithoutObserver() {
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    rig.Link.SetObserver(nullptr);
    rig.Link.ReadSequence(0x03, 0x0124, 1, 300);
    QCOMPARE(log.Size(), size_t{0});
    // The frames and waits are those of a link without an observer.
    QCOMPARE(rig.Clock.Sleeps(), std::vector<uint32_t>{300});
}

void TestExchangeLog::countsByOperationInAnyLanguage() {
    CDeviceRig rig;
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    rig.Link.SetObserver(&recorder);
    rig.Link.ReadSequence(0x03, 0x0124, 1, 300);
    {
        // A switch in the middle of a run: the reads still add up under one operation.
        const CMarkingTranslator english;
        rig.Link.ReadSequence(0x03, 0x0124, 1, 300);
    }
    rig.Link.SetObserver(nullptr);
    const ExchangeCounters c = log.Counters();
    QCOMPARE(c.PerOperation.size(), size_t{1});
    QCOMPARE(c.PerOperation.at("读事件条数").Asked, 2u);
    // The operation is named in the language of the time it is shown.
    const std::vector<uint8_t>& request = c.PerOperation.at("读事件条数").Request;
    QCOMPARE(QString::fromStdString(CExchangeDecoder::OperationName(request)),
             QStringLiteral("读事件条数"));
    const CMarkingTranslator english;
    QCOMPARE(QString::fromStdString(CExchangeDecoder::OperationName(request)),
             QStringLiteral("EN:读事件条数"));
}

QTEST_GUILESS_MAIN(TestExchangeLog)
#include "TestExchangeLog.moc"
