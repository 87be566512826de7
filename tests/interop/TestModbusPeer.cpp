// The tool polling a Modbus RTU device of another making: the libmodbus peer (modbus-peer) on
// a pseudo-terminal, answering every request D ms after it takes it up, one at a time, so that
// requests sent meanwhile queue. Through the real serial port, the I/O worker and the poll
// tick, in real time: every field and every monitor row holds what the peer holds for that
// read, or nothing; a read that answered shows exactly the peer's values. Through an Ethernet
// gateway too: the tool's TCP port against the libmodbus Modbus TCP server, and RTU over TCP
// against the libmodbus RTU device behind a byte relay (socket to pseudo-terminal) that plays
// the gateway.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <thread>

#include "diagnostics/ExchangeLog.h"
#include "diagnostics/ExchangeRecorder.h"
#include "interop/PeerRegisters.h"
#include "line/IoWorker.h"
#include "modbus/ReceivingClock.h"
#include "monitoring/LiveDecoders.h"
#include "monitoring/LiveReads.h"
#include "monitoring/PollingCycle.h"
#include "network/TcpPort.h"
#include "serial/SerialPort.h"
#include "support/ImmediateWindow.h"
#include "support/WrongMonitorRows.h"
#include "support/WrongValues.h"

namespace mp::test {
namespace {

// The peer's values in a simulated device, to tell right values from wrong ones and to say
// what the peer answers to a request. A standard device answers a read of one coil or one
// input with that bit alone.
void HoldPeerValues(CSimulatedDevice& device) {
    device.SetLiveMotion(false);
    for (const MpPeerRegister& r : kMpPeerRegisters) {
        device.SetRegister(r.Address, r.Value);
    }
    device.SetCoils(MP_PEER_COILS & 1);
    device.SetInputs(MP_PEER_INPUTS & 1);
}

// A gateway of the simplest kind: a TCP server on loopback whose one connection's bytes go to a
// pseudo-terminal as they are, and back. Runs on its own thread while it lives.
class CByteRelay {
public:
    explicit CByteRelay(const QString& ptyPath) {
        Pty_ = ::open(ptyPath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios line{};
        if (Pty_ >= 0 && tcgetattr(Pty_, &line) == 0) {
            cfmakeraw(&line);
            line.c_cflag |= CLOCAL | CREAD;
            cfsetispeed(&line, B9600);
            cfsetospeed(&line, B9600);
            tcsetattr(Pty_, TCSANOW, &line);
        }
        Listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (Pty_ < 0 || Listen_ < 0 ||
            ::bind(Listen_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(Listen_, 1) != 0 ||
            ::getsockname(Listen_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        Port_ = ntohs(address.sin_port);
        Thread_ = std::thread([this] { Run(); });
    }
    ~CByteRelay() {
        Stop_ = true;
        if (Thread_.joinable()) {
            Thread_.join();
        }
        for (int fd : {Client_, Listen_, Pty_}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    quint16 Port() const { return Port_; }

private:
    void Run() {
        char buffer[512];
        while (!Stop_) {
            pollfd fds[2] = {{Client_ >= 0 ? Client_ : Listen_, POLLIN, 0}, {Pty_, POLLIN, 0}};
            if (::poll(fds, 2, 20) <= 0) {
                continue;
            }
            if (Client_ < 0 && (fds[0].revents & POLLIN) != 0) {
                Client_ = ::accept(Listen_, nullptr, nullptr);
                continue;
            }
            if (Client_ >= 0 && (fds[0].revents & POLLIN) != 0) {
                const ssize_t n = ::recv(Client_, buffer, sizeof buffer, 0);
                if (n > 0) {
                    (void)!::write(Pty_, buffer, static_cast<size_t>(n));
                }
            }
            if ((fds[1].revents & POLLIN) != 0) {
                const ssize_t n = ::read(Pty_, buffer, sizeof buffer);
                if (n > 0 && Client_ >= 0) {
                    (void)!::send(Client_, buffer, static_cast<size_t>(n), MSG_NOSIGNAL);
                }
            }
        }
    }

    int Pty_ = -1;
    int Listen_ = -1;
    int Client_ = -1;
    quint16 Port_ = 0;
    std::atomic<bool> Stop_{false};
    std::thread Thread_;
};

}  // namespace

class TestModbusPeer : public QObject {
    Q_OBJECT
private slots:
    // The five live reads through the tool's TCP port, with each framing, against a peer
    // that answers at once or D ms late: every read that answers gives the peer's own values
    // for that read; a late reply is never taken for a later read's.
    void readsThroughAGateway_data() {
        QTest::addColumn<bool>("mbap");
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("allAnswer");
        QTest::newRow("Modbus TCP, libmodbus TCP server") << true << 0 << true;
        QTest::newRow("Modbus TCP, libmodbus TCP server, D = 250 ms") << true << 250 << false;
        QTest::newRow("RTU over TCP, libmodbus RTU behind a relay") << false << 0 << true;
        QTest::newRow("RTU over TCP, libmodbus RTU behind a relay, D = 250 ms")
            << false << 250 << false;
    }
    void readsThroughAGateway() {
        QFETCH(bool, mbap);
        QFETCH(int, delay);
        QFETCH(bool, allAnswer);
        QProcess peer;
        QStringList args{QString::number(delay)};
        if (mbap) {
            args << QStringLiteral("tcp");
        }
        peer.start(QStringLiteral(MP_MODBUS_PEER), args);
        QVERIFY2(peer.waitForStarted(5000), qPrintable(peer.errorString()));
        QVERIFY2(peer.waitForReadyRead(5000), peer.readAllStandardError().constData());
        const QString where = QString::fromLocal8Bit(peer.readLine()).trimmed();
        std::unique_ptr<CByteRelay> relay;
        LineEndpoint endpoint;
        endpoint.Type = LineEndpoint::Kind::Tcp;
        endpoint.Host = "127.0.0.1";
        if (mbap) {
            endpoint.TcpFraming = LineEndpoint::Framing::Mbap;
            endpoint.TcpPort = static_cast<uint16_t>(where.section(':', 1).toUInt());
        } else {
            relay = std::make_unique<CByteRelay>(where);
            QVERIFY(relay->Port() != 0);
            endpoint.TcpFraming = LineEndpoint::Framing::Rtu;
            endpoint.TcpPort = relay->Port();
        }
        CTcpPort port(endpoint);
        CReceivingClock clock(port);
        CModbusTransaction link(port, clock);
        CImmediateWindow window;
        CDeviceContext ctx(link, window, window);
        QVERIFY2(link.OpenLine({"gateway", 9600, kParityNone}), port.LastError().c_str());
        link.SetSlaveAddress(MP_PEER_SLAVE);

        const std::array<uint16_t, 3> currents{1456, 1467, 1478};
        const std::array<uint16_t, 3> voltages{2311, 2322, 2333};
        QStringList faults;
        int answered = 0;
        for (int round = 1; round <= 2; ++round) {
            auto check = [&](bool read, bool right, const char* name) {
                answered += read;
                if (read && !right) {
                    faults << QStringLiteral("round %1: %2 not the peer's")
                                  .arg(round)
                                  .arg(QString::fromLatin1(name));
                }
            };
            const auto c = FetchPhaseCurrents(ctx);
            check(c.has_value(), c && c->Counts == currents, "currents");
            const auto v = FetchPhaseVoltages(ctx);
            check(v.has_value(), v && v->Tenths == voltages, "voltages");
            const auto i = FetchDigitalInputs(ctx);
            check(i.has_value(), i && i->Bits == (MP_PEER_INPUTS & 1), "inputs");
            const auto o = FetchOutputStates(ctx);
            check(o.has_value(), o && o->Bits == (MP_PEER_COILS & 1), "outputs");
            const auto s = FetchStatusLamps(ctx);
            check(s.has_value(), s && s->LowByte == 0x96, "status");
        }
        port.ClosePort();
        relay.reset();
        peer.terminate();
        peer.waitForFinished(5000);
        qInfo("%s, D = %d ms: %d of 10 reads answered", mbap ? "Modbus TCP" : "RTU over TCP", delay,
              answered);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        if (allAnswer) {
            QCOMPARE(answered, 10);
        }
    }

    void pollsAPeerThatQueues_data() {
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("ticks");
        QTest::newRow("D = 0 ms") << 0 << 4;
        QTest::newRow("D = 250 ms") << 250 << 3;
        QTest::newRow("D = 700 ms") << 700 << 3;
        QTest::newRow("D = 1100 ms") << 1100 << 2;
        QTest::newRow("D = 1800 ms") << 1800 << 2;
    }
    void pollsAPeerThatQueues() {
        QFETCH(int, delay);
        QFETCH(int, ticks);
        QProcess peer;
        peer.start(QStringLiteral(MP_MODBUS_PEER), {QString::number(delay)});
        QVERIFY2(peer.waitForStarted(5000), qPrintable(peer.errorString()));
        QVERIFY2(peer.waitForReadyRead(5000), peer.readAllStandardError().constData());
        const QString path = QString::fromLocal8Bit(peer.readLine()).trimmed();

        CSimulatedDevice reference;
        HoldPeerValues(reference);
        CSerialPort port;
        CReceivingClock clock(port);
        CModbusTransaction link(port, clock);
        CExchangeLog log;
        CExchangeRecorder recorder(log);
        link.SetObserver(&recorder);
        CImmediateWindow window;
        CIoWorker worker(link, window);
        QVERIFY2(port.OpenPort({path.toStdString(), 9600, kParityNone}), port.LastError().c_str());

        ProtectionSettings settings;
        settings.CtRatio = "1";
        LiveValues live;
        const CWrongValues wrong(reference, live, settings);
        LiveValues right;
        DecodePhaseCurrents(
            right, settings.CtRatio,
            {reference.Register(0x0106), reference.Register(0x0107), reference.Register(0x0108)});
        DecodePhaseVoltages(right, {reference.Register(0x0103), reference.Register(0x0104),
                                    reference.Register(0x0105)});
        DecodeDigitalInputs(right, reference.Inputs());
        DecodeOutputStates(right, reference.Coils());

        QStringList faults;
        int ticksRun = 0;
        int answered = 0;
        QStringList lengths;
        worker.SetTick([&](CDeviceContext& ctx) {
            QElapsedTimer took;
            took.start();
            const PollTickResult result = RunPollTick(ctx, &settings, &live);
            lengths << QString::number(took.elapsed());
            ++ticksRun;
            answered +=
                result.Currents + result.Outputs + result.Inputs + result.Voltages + result.Status;
            const QStringList fields = wrong.Of(live, settings);
            if (!fields.isEmpty()) {
                faults << QStringLiteral("tick %1: %2").arg(ticksRun).arg(fields.join(", "));
            }
            auto same = [&](bool read, bool equal, const char* name) {
                if (read && !equal) {
                    faults << QStringLiteral("tick %1: %2 answered but not the peer's")
                                  .arg(ticksRun)
                                  .arg(QString::fromLatin1(name));
                }
            };
            same(result.Currents, live.Currents == right.Currents, "currents");
            same(result.Voltages, live.Voltages == right.Voltages, "voltages");
            same(result.Inputs, live.Inputs == right.Inputs, "inputs");
            same(result.Outputs, live.Outputs == right.Outputs, "outputs");
            same(result.Status, live.StatusLamps == std::optional<uint8_t>(0x96), "status");
        });
        worker.StartPollTimer();
        QElapsedTimer budget;
        budget.start();
        while (ticksRun < ticks && budget.elapsed() < 30000) {
            if (!worker.RunOnce()) {
                clock.Sleep(10);
            }
        }
        worker.StopPollTimer();
        link.SetObserver(nullptr);
        port.ClosePort();
        peer.terminate();
        peer.waitForFinished(5000);

        faults << WrongMonitorRows(log, reference);
        qInfo("libmodbus peer, D = %d ms: %d ticks of %s ms, %d of %d reads answered", delay,
              ticksRun, qPrintable(lengths.join(QStringLiteral(", "))), answered, 5 * ticksRun);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 6).join(QStringLiteral("; "))));
        QCOMPARE(ticksRun, ticks);
        if (delay < 200) {
            QCOMPARE(answered, 5 * ticks);  // every read answers in its wait
        }
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestModbusPeer)
#include "TestModbusPeer.moc"
