// The decoder of exchanges: every operation's request and reply, read in this device's terms,
// over the independently computed frames where they exist.

#include <QtTest>

#include "diagnostics/ExchangeDecoder.h"
#include "support/DeviceRig.h"
#include "support/MarkingTranslator.h"
#include "support/Vectors.h"

Q_DECLARE_METATYPE(mp::ExchangeRecord)
Q_DECLARE_METATYPE(mp::ExchangeOutcome)

using namespace mp;
using namespace mp::test;

namespace {

ExchangeRecord Read(const std::vector<uint8_t>& request, int replyLength,
                    const std::vector<uint8_t>& reply, int position) {
    ExchangeRecord r;
    r.Request = request;
    r.ReplyLength = replyLength;
    r.Reply = reply;
    r.Answered = true;
    r.Position = position;
    return r;
}

std::vector<uint8_t> Request(const char* what) {
    return VectorFrame(QStringLiteral("request"), 1, QString::fromUtf8(what));
}
std::vector<uint8_t> Response(const char* what) {
    return VectorFrame(QStringLiteral("response"), 1, QString::fromUtf8(what));
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

class TestExchangeDecoder : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void operationOfEveryRequest_data();
    void operationOfEveryRequest();
};

void TestExchangeDecoder::decode_data() {
    QTest::addColumn<ExchangeRecord>("record");
    QTest::addColumn<int>("ctRatio");
    QTest::addColumn<ExchangeOutcome>("outcome");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("text");

    const auto currents = Request("phase currents");
    QTest::newRow("currents, CT ratio 50")
        << Read(currents, 11, WithCrc({1, 3, 6, 0x01, 0x2B, 0x01, 0x29, 0x01, 0x2E}), 0) << 50
        << ExchangeOutcome::Good << "0x0106-0x0108"
        << "读A/B/C相电流: 14.95 / 14.85 / 15.10 A";
    QTest::newRow("currents, vector reply, ratio unknown")
        << Read(currents, 11, Response("phase currents 1234, 0, 65535"), 0) << 0
        << ExchangeOutcome::Good << "0x0106-0x0108"
        << "读A/B/C相电流: 原始值 1234 / 0 / 65535";
    QTest::newRow("currents after stray bytes")
        << Read(currents, 11, Join({0x00, 0xFF}, Response("phase currents 1234, 0, 65535")), 2) << 0
        << ExchangeOutcome::Good << "0x0106-0x0108"
        << "读A/B/C相电流: 原始值 1234 / 0 / 65535 (应答前有 2 个多余字节)";
    QTest::newRow("voltages") << Read(Request("phase voltages"), 11,
                                      Response("phase voltages 2200, 3805, 65535"), 0)
                              << 0 << ExchangeOutcome::Good << "0x0103-0x0105"
                              << "读A/B/C相电压: 220.0 / 380.5 / 6553.5 V";
    QTest::newRow("digital inputs")
        << Read(Request("digital inputs"), 6, Response("digital inputs 0xA5"), 0) << 0
        << ExchangeOutcome::Good << "输入 0x0000"
        << "开关量输入 0xA5";
    QTest::newRow("output states")
        << Read(Request("output states"), 6, Response("output states 0x05"), 0) << 0
        << ExchangeOutcome::Good << "线圈 0x0000"
        << "输出状态 0x05: A 合, B 分, 复位 合";
    QTest::newRow("status") << Read(Request("status register"), 7,
                                    Response("status register 0x0080"), 0)
                            << 0 << ExchangeOutcome::Good << "0x011B"
                            << "状态寄存器 0x0080";
    QTest::newRow("event count") << Read(Request("event count"), 7, Response("event count 3"), 0)
                                 << 0 << ExchangeOutcome::Good << "0x0124"
                                 << "事件条数 3";
    QTest::newRow("event codes") << Read(Request("event codes 1-4"), 9,
                                         WithCrc({1, 3, 4, 0x01, 0x02, 0x03, 0x04}), 0)
                                 << 0 << ExchangeOutcome::Good << "0x0120-0x0121"
                                 << "事件代码: 01 02 03 04";
    QTest::newRow("device address")
        << Read(Request("device address"), 7, WithCrc({1, 3, 2, 0, 5}), 0) << 0
        << ExchangeOutcome::Good << "0x0150"
        << "设备地址 5";
    QTest::newRow("baud code") << Read(Request("device baud code"), 7, WithCrc({1, 3, 2, 0, 3}), 0)
                               << 0 << ExchangeOutcome::Good << "0x0151"
                               << "波特率代码 3 (9600)";
    QTest::newRow("scan read") << Read(ReadFrame(12, 0x0150, 2), 9,
                                       WithCrc({12, 3, 4, 0, 12, 0, 4}), 0)
                               << 0 << ExchangeOutcome::Good << "0x0150-0x0151"
                               << "设备地址 12, 波特率代码 4 (19200)";
    QTest::newRow("exception") << Read(Request("phase currents"), 11,
                                       Response("exception: illegal data address on function 03"),
                                       -1)
                               << 0 << ExchangeOutcome::Exception << "0x0106-0x0108"
                               << "读A/B/C相电流: 异常应答 02 非法数据地址";
    auto spoilt = Response("event count 3");
    spoilt.back() ^= 0xFF;
    QTest::newRow("bad CRC") << Read(Request("event count"), 7, spoilt, -1) << 0
                             << ExchangeOutcome::BadCrc << "0x0124"
                             << "读事件条数: CRC错误";
    QTest::newRow("no reply") << Read(Request("settings block A"), 37, {}, -1) << 0
                              << ExchangeOutcome::NoReply << "0x0150-0x015F"
                              << "读定值 A段: 无应答";
    // The event count's reply in the currents' read: the device answers an earlier request, and
    // nothing is taken (it was shown as a bad CRC of the currents).
    QTest::newRow("another request's reply")
        << Read(Request("phase currents"), 11, Response("event count 3"), -1) << 0
        << ExchangeOutcome::Invalid << "0x0106-0x0108"
        << "读A/B/C相电流: 应答与请求不符（设备在应答另一个请求）";
    QTest::newRow("noise") << Read(Request("settings block B"), 13, {0x11, 0x22, 0x33}, -1) << 0
                           << ExchangeOutcome::Invalid << "0x0154-0x0157"
                           << "读定值 B段: 无效应答 (3 字节)";
    ExchangeRecord late = Read(Request("status register"), 7, Response("event count 3"), -1);
    late.LateBytes = 7;
    QTest::newRow("late reply in the input") << late << 0 << ExchangeOutcome::NoReply << "0x011B"
                                             << "读状态寄存器: 无应答 (迟到的应答已丢弃 (7 字节))";

    ExchangeRecord write;
    write.Request = WriteFrame(1, 0x5453, {0x00, 0x32});
    QTest::newRow("CT ratio write") << write << 0 << ExchangeOutcome::Sent << "0x5453"
                                    << "写定值 0x5453: 电流变比 50";
    write.Request = WriteFrame(1, 0x5450, {0x00, 0x05, 0x00, 0x04});
    QTest::newRow("address change") << write << 0 << ExchangeOutcome::Sent << "0x5450-0x5451"
                                    << "写通讯参数: 地址 5, 波特率代码 4 (19200)";
    write.Request = WriteFrame(1, 0x5457, {0x01, 0x7C, 0x00, 0x96, 0x00, 0x0A});
    QTest::newRow("ratings") << write << 0 << ExchangeOutcome::Sent << "0x5457-0x5459"
                             << "写定值 0x5457: 额定电压 380 V, 额定电流 15.0 A, 起动时间 10";
    write.Request = Request("close output A");
    QTest::newRow("close A") << write << 0 << ExchangeOutcome::Sent << "线圈 0x0000"
                             << "闭合输出A";
    write.Request = Request("reset output");
    QTest::newRow("reset") << write << 0 << ExchangeOutcome::Sent << "线圈 0x0002"
                           << "复位输出";
    write.Request = WithCrc({1, 0x12, 0xA5, 0x5A, 0x27, 0x10, 0x11, 0x26, 0xAC, 0x03, 0x27, 0x10,
                             0xFE, 0x27, 0x74, 0x00});
    QTest::newRow("current calibration")
        << write << 0 << ExchangeOutcome::Sent << ""
        << "电流校准帧 A相 a=0.9900 b=3, B相 a=1.0000 b=-2, C相 a=1.0100 b=0";
    write.Request = WithCrc({1, 0x12, 0x5A, 0xA5, 0x4E, 0x20, 0x0C, 0x00, 0x64, 0x00, 0x05});
    QTest::newRow("PWM") << write << 0 << ExchangeOutcome::Sent << ""
                         << "PWM输出帧 a=100 b=5";

    ExchangeRecord dropped;
    dropped.Type = ExchangeRecord::Kind::LateDiscard;
    dropped.Dropped = 11;
    QTest::newRow("late reply dropped") << dropped << 0 << ExchangeOutcome::Discarded << ""
                                        << "迟到的应答已丢弃 (11 字节)";
}

void TestExchangeDecoder::decode() {
    QFETCH(QString, text);
    QFETCH(QString, range);
    QFETCH(ExchangeOutcome, outcome);
    QFETCH(ExchangeRecord, record);
    QFETCH(int, ctRatio);
    DecodeContext context;
    context.CtRatio = ctRatio;
    const ExchangeSummary s = CExchangeDecoder::Decode(record, context);
    QCOMPARE(s.Outcome, outcome);
    QCOMPARE(QString::fromStdString(s.Range), range);
    QCOMPARE(QString::fromStdString(s.Text), text);

    // In another language every part is translated, the parts fit together as before, and
    // the operation stays the key it is counted by.
    const CMarkingTranslator english;
    const ExchangeSummary e = CExchangeDecoder::Decode(record, context);
    const QString mark = QString::fromUtf8(CMarkingTranslator::kMark);
    QCOMPARE(e.Operation, s.Operation);
    QVERIFY(QString::fromStdString(e.Text).startsWith(mark));
    QCOMPARE(QString::fromStdString(e.Text).remove(mark), text);
    if (range.contains(QChar(0x7EBF)) || range.contains(QChar(0x8F93))) {  // 线圈, 输入
        QVERIFY(QString::fromStdString(e.Range).startsWith(mark));
    }
    QCOMPARE(QString::fromStdString(e.Range).remove(mark), range);
}

void TestExchangeDecoder::operationOfEveryRequest_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("operation");
    const char* const rows[][2] = {
        {"phase currents", "读A/B/C相电流"},    {"phase voltages", "读A/B/C相电压"},
        {"digital inputs", "读开关量输入"},     {"output states", "读输出状态"},
        {"status register", "读状态寄存器"},    {"settings block A", "读定值 A段"},
        {"settings block B", "读定值 B段"},     {"settings block C", "读定值 C段"},
        {"start mode read-back", "读起动方式"}, {"event count", "读事件条数"},
        {"event codes 1-8", "读事件代码"},      {"stored coefficients", "读校准系数"},
        {"device address", "读设备地址"},       {"device baud code", "读波特率代码"},
        {"close output A", "闭合输出A"},        {"open output A", "断开输出A"},
        {"close output B", "闭合输出B"},        {"open output B", "断开输出B"},
        {"reset output", "复位输出"},
    };
    for (const auto& row : rows) {
        for (int address : {1, 5, 12, 247}) {
            QTest::addRow("%s @%d", row[0], address)
                << QString::fromUtf8(row[0]) + '\t' + QString::number(address)
                << QString::fromUtf8(row[1]);
        }
    }
}

void TestExchangeDecoder::operationOfEveryRequest() {
    QFETCH(QString, what);
    QFETCH(QString, operation);
    const QStringList parts = what.split('\t');
    const auto frame = VectorFrame(QStringLiteral("request"), parts[1].toInt(), parts[0]);
    QCOMPARE(QString::fromStdString(CExchangeDecoder::OperationName(frame)), operation);
    {
        const CMarkingTranslator english;
        QCOMPARE(QString::fromStdString(CExchangeDecoder::OperationName(frame)),
                 QStringLiteral("EN:") + operation);
        QCOMPARE(QString::fromStdString(CExchangeDecoder::OperationKey(frame)), operation);
    }
    // A request that got nothing back says so, under its operation's name.
    ExchangeRecord silent = Read(frame, frame[1] == 0x05 ? 0 : 7, {}, -1);
    if (silent.ReplyLength > 0) {
        QCOMPARE(QString::fromStdString(CExchangeDecoder::Decode(silent).Text),
                 operation + QStringLiteral(": 无应答"));
    }
}

QTEST_GUILESS_MAIN(TestExchangeDecoder)
#include "TestExchangeDecoder.moc"
