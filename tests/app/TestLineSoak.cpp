// A long run of the polling path on the virtual clock, through the real I/O worker driven step
// by step: start sequences and poll ticks against the simulated device while the line's faults
// change every few ticks (silence, late replies, split replies, stray bytes, bad CRCs, noise,
// the adapter pulled out and put back). No crash, no value decoded from another read, the
// worker never stuck, and what the path keeps stays bounded.

#include <QFile>
#include <QtTest>
#include <random>

#include "app/IoWorker.h"
#include "monitoring/PollingCycle.h"
#include "support/DeviceRig.h"
#include "support/WrongValues.h"

namespace mp::test {
namespace {

constexpr int kTicks = 30000;
constexpr uint32_t kReopenMs = 2000;  // a lost port is tried again this often

enum class Fault { None, Silent, Late, Split, Stray, BadCrc, Noise, Unplugged, Count };

// Resident memory of this process in kB, 0 where it cannot be told.
long ResidentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

class CSoak {
public:
    CSoak()
        : Port_(Device_, Clock_),
          Link_(Port_, Clock_),
          Worker_(Link_, Window_),
          Random_(0x534F414B) {
        Device_.SetLiveMotion(false);
        Port_.OpenPort({"COM3", 9600, kParityNone});
        Settings_.CtRatio = "1";
        Live_.Currents.fill("0.0000");
        Wrong_ = std::make_unique<CWrongValues>(Device_, Live_, Settings_);
        Window_.OnShow = [this] {
            const QStringList fields = Wrong_->Of(Live_, Settings_);
            if (!fields.isEmpty() && FirstWrong_.isEmpty()) {
                FirstWrong_ = QStringLiteral("tick %1, fault %2: %3")
                                  .arg(Ticks_)
                                  .arg(int(Fault_))
                                  .arg(fields.join(", "));
            }
            WrongShows_ += fields.isEmpty() ? 0 : 1;
        };
        Worker_.SetTick([this](CDeviceContext& ctx) {
            RunPollTick(ctx, &Settings_, &Live_);
            ++Ticks_;
        });
        // Noise on the line while a reply is awaited.
        Link_.SetTrace([this](bool outgoing, const std::vector<uint8_t>&) {
            if (outgoing && Fault_ == Fault::Noise && Between(0, 2) == 0) {
                Port_.InjectInput(Bytes(Between(1, 40)));
            }
        });
        // The controller's recovery: tried again every 2 s with the same settings.
        Port_.SetLostHandler([this](const std::string&) {
            ++Losses_;
            Reopen();
        });
    }

    // Runs until `ticks` more poll ticks have run; false when the worker stopped making
    // progress (no tick for a minute of line time while polling).
    bool Run(int ticks) {
        const int until = Ticks_ + ticks;
        int lastTicks = Ticks_;
        uint64_t lastProgress = Clock_.Elapsed();
        while (Ticks_ < until) {
            if (Ticks_ >= NextSwitch_) {
                Switch();
            }
            if (Ticks_ >= NextStart_) {
                NextStart_ = Ticks_ + Between(300, 700);
                Worker_.Post([this](CDeviceContext& ctx) {
                    RunStartSequence(ctx, &Settings_, &Live_, {}, {});
                });
            }
            if (!Worker_.RunOnce()) {
                Clock_.Advance(10);
            }
            if (Ticks_ != lastTicks) {
                lastTicks = Ticks_;
                lastProgress = Clock_.Elapsed();
            } else if (Clock_.Elapsed() - lastProgress > 60000) {
                return false;
            }
        }
        return true;
    }

    // The faults end: the line as it should be.
    void Heal() {
        Fault_ = Fault::None;
        NextSwitch_ = std::numeric_limits<int>::max();
        Port_.SetFaults({});
        Port_.SetUnplugged(false);
    }

    CVirtualClock& Clock() { return Clock_; }
    CSimulatedDevice& Device() { return Device_; }
    CSimulatedPort& Port() { return Port_; }
    CModbusTransaction& Link() { return Link_; }
    CIoWorker& Worker() { return Worker_; }
    const LiveValues& Live() const { return Live_; }
    int Ticks() const { return Ticks_; }
    int WrongShows() const { return WrongShows_; }
    QString FirstWrong() const { return FirstWrong_; }
    int Losses() const { return Losses_; }
    int FaultsSeen() const { return FaultsSeen_; }

private:
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(Random_);
    }
    std::vector<uint8_t> Bytes(int count) {
        std::vector<uint8_t> bytes(static_cast<size_t>(count));
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(Between(0, 255));
        }
        return bytes;
    }

    void Reopen() {
        Worker_.PostAfter(kReopenMs, [this](CDeviceContext& ctx) {
            if (ctx.Link.Port().OpenPort({"COM3", 9600, kParityNone})) {
                ctx.Link.Port().DiscardInput();
            } else {
                Reopen();
            }
        });
    }

    void Switch() {
        NextSwitch_ = Ticks_ + Between(2, 6);
        Port_.SetUnplugged(false);
        Fault_ = static_cast<Fault>(Between(0, static_cast<int>(Fault::Count) - 1));
        FaultsSeen_ |= 1 << static_cast<int>(Fault_);
        SimFaults faults;
        switch (Fault_) {
            case Fault::Silent:
                faults.Silent = true;
                break;
            case Fault::Late:
                faults.ReplyDelayMs = static_cast<uint32_t>(Between(0, 1500));
                break;
            case Fault::Split:
                faults.SplitPieces = Between(2, 6);
                faults.PieceGapMs = static_cast<uint32_t>(Between(0, 80));
                break;
            case Fault::Stray:
                faults.StrayBytes = Bytes(Between(1, 5));
                break;
            case Fault::BadCrc:
                faults.CorruptCrc = true;
                break;
            case Fault::Unplugged:
                Port_.SetUnplugged(true);
                break;
            case Fault::None:
            case Fault::Noise:
            case Fault::Count:
                break;
        }
        Port_.SetFaults(faults);
    }

    CVirtualClock Clock_{1000};
    CSimulatedDevice Device_;
    CSimulatedPort Port_;
    CModbusTransaction Link_;
    CImmediateWindow Window_;
    CIoWorker Worker_;
    std::mt19937 Random_;
    ProtectionSettings Settings_;
    LiveValues Live_;
    std::unique_ptr<CWrongValues> Wrong_;
    Fault Fault_ = Fault::None;
    int Ticks_ = 0;
    int NextSwitch_ = 3;
    int NextStart_ = 0;
    int WrongShows_ = 0;
    QString FirstWrong_;
    int Losses_ = 0;
    int FaultsSeen_ = 0;
};

}  // namespace

class TestLineSoak : public QObject {
    Q_OBJECT
private slots:
    void pollingUnderChangingFaults() {
        CSoak soak;
        QElapsedTimer took;
        took.start();
        soak.Worker().StartPollTimer();
        QVERIFY2(soak.Run(kTicks / 5), "the worker stopped polling");
        const long residentAfterWarmUp = ResidentKb();
        QVERIFY2(soak.Run(kTicks - kTicks / 5), "the worker stopped polling");
        const long residentAtEnd = ResidentKb();
        qInfo(
            "%d ticks, %llu s of line time, %d port losses, in %lld ms; resident %ld kB after "
            "%d ticks, %ld kB at the end",
            soak.Ticks(), static_cast<unsigned long long>(soak.Clock().Elapsed() / 1000),
            soak.Losses(), took.elapsed(), residentAfterWarmUp, kTicks / 5, residentAtEnd);

        QVERIFY2(soak.WrongShows() == 0, qPrintable(soak.FirstWrong()));
        QCOMPARE(soak.FaultsSeen(), (1 << static_cast<int>(Fault::Count)) - 1);
        QVERIFY(soak.Losses() > 100);
        // Bounded: the line's logs at their capacity, the owed replies few, memory flat.
        QVERIFY(soak.Port().Sent().size() <= soak.Port().SentCapacity());
        QVERIFY(soak.Device().Requests().size() <= soak.Device().RequestLogCapacity());
        QVERIFY(soak.Link().OwedReplies() <= 16);
        if (residentAfterWarmUp > 0) {
            QVERIFY2(
                residentAtEnd - residentAfterWarmUp < 512,
                qPrintable(QStringLiteral("%1 kB more").arg(residentAtEnd - residentAfterWarmUp)));
        }

        // The faults over, the line is back and every value fresh and right within a few
        // ticks; stopped, the worker is idle.
        soak.Heal();
        QVERIFY(soak.Run(6));
        QVERIFY(soak.Port().IsPortOpen());
        QVERIFY(!soak.Live().Freshness.AnyStale());
        QCOMPARE(QString::fromStdString(soak.Live().Freshness.LinkText()),
                 QStringLiteral("通讯正常"));
        QCOMPARE(QString::fromStdString(soak.Live().Voltages[1]), QStringLiteral("380.50"));
        soak.Worker().StopPollTimer();
        while (soak.Worker().RunOnce()) {
        }
        soak.Clock().Advance(5000);
        QVERIFY(!soak.Worker().RunOnce());
        QVERIFY(soak.Worker().IsIdle());
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestLineSoak)
#include "TestLineSoak.moc"
