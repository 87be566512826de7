// Fault texts, the summary line and the reads of the stored alarm events.

#include <QtTest>

#include "events/EventRecords.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ImmediateWindow.h"
#include "support/Vectors.h"

using namespace mp;
using Bytes = std::vector<uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

// A line on which the device's replies stop arriving from a given request on.
class CCuttingPort : public IPort {
public:
    CCuttingPort(IPort& line, int answeredRequests) : Line_(line), Answered_(answeredRequests) {}
    bool OpenPort(const PortSettings& settings) override { return Line_.OpenPort(settings); }
    void ClosePort() override { Line_.ClosePort(); }
    bool IsPortOpen() const override { return Line_.IsPortOpen(); }
    bool Reconfigure(const PortSettings& settings) override { return Line_.Reconfigure(settings); }
    std::string LastError() const override { return Line_.LastError(); }
    void DiscardInput() override { Line_.DiscardInput(); }
    void WriteBytes(const std::vector<uint8_t>& bytes) override {
        ++Written_;
        Line_.WriteBytes(bytes);
    }
    int16_t WaitingCount() override { return Cut() ? 0 : Line_.WaitingCount(); }
    std::vector<uint8_t> ReadAllWaiting() override {
        std::vector<uint8_t> bytes = Line_.ReadAllWaiting();
        return Cut() ? std::vector<uint8_t>{} : bytes;
    }

private:
    bool Cut() const { return Written_ > Answered_; }
    IPort& Line_;
    int Answered_;
    int Written_ = 0;
};

struct Rig {
    explicit Rig(int answeredRequests = 1000) : cutting(simulated, answeredRequests) {
        cutting.OpenPort({"SIM", 9600, kParityNone});
    }
    CVirtualClock clock;
    CSimulatedDevice device;
    CSimulatedPort simulated{device, clock};
    CCuttingPort cutting;
    CModbusTransaction link{cutting, clock};
    test::CImmediateWindow window;
    CDeviceContext ctx{link, window, window};

    void StoreEvents(int count, const std::array<uint8_t, 8>& codes, uint8_t countLo = 0) {
        device.SetRegister(0x0124, static_cast<uint16_t>(count << 8 | countLo));
        for (int r = 0; r < 4; ++r) {
            device.SetRegister(static_cast<uint16_t>(0x0120 + r),
                               static_cast<uint16_t>(codes[2 * r] << 8 | codes[2 * r + 1]));
        }
    }

    EventRecordTexts Read() {
        std::optional<EventRecordTexts> shown;
        ReadEventRecords(ctx, [&](EventRecordTexts texts) { shown = std::move(texts); });
        if (!shown) {
            qFatal("the event read posted nothing");
        }
        return *shown;
    }

    std::vector<Bytes> Requests() const {
        std::vector<Bytes> frames;
        for (const auto& sent : simulated.Sent()) {
            frames.push_back(sent.Bytes);
        }
        return frames;
    }
};

QStringList Texts(const EventRecordTexts& texts) {
    QStringList list;
    for (const std::string& text : texts.Events) {
        list << QString::fromStdString(text);
    }
    return list;
}

const std::array<uint8_t, 8> kAllCodes{1, 5, 12, 17, 15, 9, 14, 3};

}  // namespace

class TestEventRecords : public QObject {
    Q_OBJECT
private slots:
    void FaultText_data();
    void FaultText();
    void EventCountText_data();
    void EventCountText();
    void ReadByCount_data();
    void ReadByCount();
    void CountLowByteHasNoInfluence();
    void CountReadFails();
    void CodeReadFails();
};

void TestEventRecords::FaultText_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "";
    QTest::newRow("1") << 1 << "C1接触器吸合失败(E01)";
    QTest::newRow("2") << 2 << "C2接触器吸合失败(E02)";
    QTest::newRow("3") << 3 << "接触器未断开(E03)";
    QTest::newRow("4") << 4 << "启动超时(E04)";
    QTest::newRow("5") << 5 << "短路故障(E05)";
    QTest::newRow("6") << 6 << "堵转故障(E06)";
    QTest::newRow("7") << 7 << "缺相保护(E07)";
    QTest::newRow("8") << 8 << "三相不平衡故障(E08)";
    QTest::newRow("9") << 9 << "定时限过载保护(E09)";
    QTest::newRow("10") << 10 << "反时限过载保护(E10)";
    QTest::newRow("11") << 11 << "外部故障(E11)";
    QTest::newRow("12") << 12 << "";
    QTest::newRow("13") << 13 << "运行过程中断路器断开故障(E13)";
    QTest::newRow("14") << 14 << "EEPROM 出错(E14)";
    QTest::newRow("15") << 15 << "";
    QTest::newRow("16") << 16 << "过压(E16)";
    QTest::newRow("17") << 17 << "欠压(E17)";
    QTest::newRow("18") << 18 << "";
    QTest::newRow("255") << 255 << "";
    QTest::newRow("-1") << -1 << "";
}

void TestEventRecords::FaultText() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(mp::FaultText(code)), text);
}

void TestEventRecords::EventCountText_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "无告警信息";
    QTest::newRow("1") << 1 << "有1条告警信息";
    QTest::newRow("5") << 5 << "有5条告警信息";
    QTest::newRow("8") << 8 << "有8条告警信息";
    QTest::newRow("9") << 9 << "";
    QTest::newRow("255") << 255 << "";
}

void TestEventRecords::EventCountText() {
    QFETCH(int, n);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(mp::EventCountText(n)), text);
}

void TestEventRecords::ReadByCount_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("codeRequest");  // "" when only the count is read
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("events");
    const QString e1 = "C1接触器吸合失败(E01)", e5 = "短路故障(E05)", e17 = "欠压(E17)",
                  e9 = "定时限过载保护(E09)", e14 = "EEPROM 出错(E14)", e3 = "接触器未断开(E03)";
    QTest::newRow("none") << 1 << 0 << ""
                          << "无告警信息" << QStringList(8, QString());
    QTest::newRow("one") << 1 << 1 << "event codes 1-2"
                         << "有1条告警信息" << QStringList{e1, "", "", "", "", "", "", ""};
    QTest::newRow("two") << 1 << 2 << "event codes 1-2"
                         << "有2条告警信息" << QStringList{e1, e5, "", "", "", "", "", ""};
    // Code 12 counts as an event but has no text.
    QTest::newRow("three") << 1 << 3 << "event codes 1-4"
                           << "有3条告警信息" << QStringList{e1, e5, "", "", "", "", "", ""};
    QTest::newRow("five at 5") << 5 << 5 << "event codes 1-6"
                               << "有5条告警信息" << QStringList{e1, e5, "", e17, "", "", "", ""};
    QTest::newRow("eight at 247") << 247 << 8 << "event codes 1-8"
                                  << "有8条告警信息"
                                  << QStringList{e1, e5, "", e17, "", e9, e14, e3};
    QTest::newRow("nine") << 1 << 9 << ""
                          << "" << QStringList(8, QString());
    QTest::newRow("255") << 12 << 255 << ""
                         << "" << QStringList(8, QString());
}

void TestEventRecords::ReadByCount() {
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(QString, codeRequest);
    QFETCH(QString, summary);
    QFETCH(QStringList, events);
    Rig rig;
    rig.device.SetAddress(static_cast<uint8_t>(address));
    rig.link.SetSlaveAddress(static_cast<uint8_t>(address));
    rig.StoreEvents(count, kAllCodes);

    const EventRecordTexts texts = rig.Read();
    std::vector<Bytes> expected{test::VectorFrame("request", address, "event count")};
    if (!codeRequest.isEmpty()) {
        expected.push_back(test::VectorFrame("request", address, codeRequest));
    }
    QCOMPARE(rig.Requests(), expected);
    QCOMPARE(QString::fromStdString(texts.Summary), summary);
    QCOMPARE(Texts(texts), events);
}

void TestEventRecords::CountLowByteHasNoInfluence() {
    Rig rig;
    rig.StoreEvents(2, kAllCodes, 0xFF);
    const EventRecordTexts texts = rig.Read();
    QCOMPARE(QString::fromStdString(texts.Summary), QStringLiteral("有2条告警信息"));
    QCOMPARE(rig.Requests().back(), test::VectorFrame("request", 1, "event codes 1-2"));
}

void TestEventRecords::CountReadFails() {
    Rig rig(0);
    rig.StoreEvents(4, kAllCodes);
    const EventRecordTexts texts = rig.Read();
    QCOMPARE(rig.Requests().size(), size_t{1});
    QCOMPARE(QString::fromStdString(texts.Summary), QStringLiteral("无告警信息"));
    QCOMPARE(Texts(texts), QStringList(8, QString()));
}

void TestEventRecords::CodeReadFails() {
    Rig rig(1);
    rig.StoreEvents(4, kAllCodes);
    const EventRecordTexts texts = rig.Read();
    QCOMPARE(rig.Requests().size(), size_t{2});
    QCOMPARE(QString::fromStdString(texts.Summary), QStringLiteral("有4条告警信息"));
    QCOMPARE(Texts(texts), QStringList(8, QString()));
}

QTEST_GUILESS_MAIN(TestEventRecords)
#include "TestEventRecords.moc"
