// The TCP port against a gateway played in the test: a QTcpServer on loopback, on its own
// thread, that refuses, answers, never answers, or closes in the middle of its reply; with the
// RTU frames carried as they are and as Modbus TCP. Expected frames come from the independent
// vectors; ADUs are written out by hand.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <atomic>
#include <future>
#include <thread>

#include "modbus/ReceivingClock.h"
#include "network/TcpPort.h"
#include "support/Vectors.h"

using mp::test::VectorFrame;

namespace {

using Bytes = std::vector<uint8_t>;

enum class Peer { Refuses, Answers, NeverAnswers, ClosesMidReply };

QByteArray Q(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

const Bytes kCurrentsPdu{0x01, 0x03, 0x06, 0x04, 0xD2, 0x00, 0x00, 0xFF, 0xFF};

QByteArray Adu(uint16_t transaction, const Bytes& unitAndPdu) {
    QByteArray adu;
    adu.append(static_cast<char>(transaction >> 8));
    adu.append(static_cast<char>(transaction & 0xFF));
    adu.append(2, '\0');
    adu.append(static_cast<char>(unitAndPdu.size() >> 8));
    adu.append(static_cast<char>(unitAndPdu.size() & 0xFF));
    return adu + Q(unitAndPdu);
}

// A gateway on loopback serving one connection on its own thread, in Qt's blocking calls.
class CGatewayPeer {
public:
    CGatewayPeer(Peer behaviour, bool mbap) : Behaviour_(behaviour), Mbap_(mbap) {
        std::promise<quint16> listening;
        std::future<quint16> port = listening.get_future();
        Thread_ = std::thread([this, &listening] { Serve(listening); });
        Port_ = port.get();
    }
    ~CGatewayPeer() {
        Stop_ = true;
        Thread_.join();
    }
    quint16 Port() const { return Port_; }
    QByteArray Heard() const {
        std::lock_guard<std::mutex> guard(Mutex_);
        return Heard_;
    }

private:
    void Serve(std::promise<quint16>& listening) {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        const quint16 port = server.serverPort();
        if (Behaviour_ == Peer::Refuses) {
            server.close();  // the port is free again: a connection to it is refused
            listening.set_value(port);
            return;
        }
        listening.set_value(port);
        if (!server.waitForNewConnection(5000)) {
            return;
        }
        std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
        QByteArray request;
        while (!Stop_ && request.size() < (Mbap_ ? 12 : 8)) {
            if (socket->waitForReadyRead(20)) {
                request += socket->readAll();
            }
        }
        {
            std::lock_guard<std::mutex> guard(Mutex_);
            Heard_ = request;
        }
        QByteArray reply = Q(VectorFrame("response", 1, "phase currents 1234, 0, 65535"));
        if (Mbap_ && request.size() >= 2) {
            const uint16_t transaction = static_cast<uint16_t>(
                static_cast<uint8_t>(request[0]) << 8 | static_cast<uint8_t>(request[1]));
            // A late reply to an earlier request first, of the same shape.
            reply =
                Adu(static_cast<uint16_t>(transaction - 1), {0x01, 0x03, 0x06, 0, 1, 0, 2, 0, 3}) +
                Adu(transaction, kCurrentsPdu);
        }
        if (Behaviour_ == Peer::Answers) {
            socket->write(reply);
        } else if (Behaviour_ == Peer::ClosesMidReply) {
            socket->write(reply.left(reply.size() - 4));
            socket->waitForBytesWritten(1000);
            socket->disconnectFromHost();
            if (socket->state() != QAbstractSocket::UnconnectedState) {
                socket->waitForDisconnected(1000);
            }
            return;
        }
        socket->waitForBytesWritten(1000);
        while (!Stop_) {
            socket->waitForReadyRead(20);
        }
    }

    Peer Behaviour_;
    bool Mbap_;
    std::thread Thread_;
    std::atomic<bool> Stop_{false};
    quint16 Port_ = 0;
    mutable std::mutex Mutex_;
    QByteArray Heard_;
};

}  // namespace

class TestTcpPort : public QObject {
    Q_OBJECT

private slots:
    void exchange_data();
    void exchange();
    void connectionNeverMadeGivesUpAtTheClose();
};

void TestTcpPort::exchange_data() {
    QTest::addColumn<int>("peer");
    QTest::addColumn<bool>("mbap");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QByteArray>("heard");     // what the gateway received
    QTest::addColumn<QByteArray>("received");  // what the port hands up
    QTest::addColumn<int>("lost");
    QTest::addColumn<QString>("error");

    const QByteArray request = Q(VectorFrame("request", 1, "phase currents"));
    const QByteArray reply = Q(VectorFrame("response", 1, "phase currents 1234, 0, 65535"));
    const QByteArray requestAdu = Adu(1, {0x01, 0x03, 0x01, 0x06, 0x00, 0x03});

    for (const bool mbap : {false, true}) {
        const char* framing = mbap ? "Modbus TCP" : "RTU over TCP";
        const QByteArray heard = mbap ? requestAdu : request;
        QTest::addRow("%s: refused", framing) << int(Peer::Refuses) << mbap << false << QByteArray()
                                              << QByteArray() << 0 << QStringLiteral("连接被拒绝");
        QTest::addRow("%s: answers", framing)
            << int(Peer::Answers) << mbap << true << heard << reply << 0 << QString();
        QTest::addRow("%s: never answers", framing)
            << int(Peer::NeverAnswers) << mbap << true << heard << QByteArray() << 0 << QString();
        // The half of a reply that came is no frame: it goes with the closed connection.
        QTest::addRow("%s: closes mid-reply", framing)
            << int(Peer::ClosesMidReply) << mbap << true << heard << QByteArray() << 1
            << QStringLiteral("网关关闭了连接");
    }
}

void TestTcpPort::exchange() {
    QFETCH(int, peer);
    QFETCH(bool, mbap);
    QFETCH(bool, opens);
    QFETCH(QByteArray, heard);
    QFETCH(QByteArray, received);
    QFETCH(int, lost);
    QFETCH(QString, error);

    CGatewayPeer gateway(static_cast<Peer>(peer), mbap);
    mp::LineEndpoint endpoint;
    endpoint.Type = mp::LineEndpoint::Kind::Tcp;
    endpoint.Host = "127.0.0.1";
    endpoint.TcpPort = gateway.Port();
    endpoint.TcpFraming = mbap ? mp::LineEndpoint::Framing::Mbap : mp::LineEndpoint::Framing::Rtu;
    endpoint.ConnectTimeoutMs = 2000;
    mp::CTcpPort port(endpoint);
    mp::CReceivingClock clock(port);
    int lostCount = 0;
    port.SetLostHandler([&](const std::string&) { ++lostCount; });

    QCOMPARE(port.OpenPort({"gateway", 9600, mp::kParityNone}), opens);
    const QString label = QStringLiteral("127.0.0.1:%1").arg(gateway.Port());
    if (opens) {
        const Bytes bytes = VectorFrame("request", 1, "phase currents");
        port.WriteBytes(bytes);
        // Long enough for every reply on loopback; a peer that never answers must not hold
        // the wait beyond it.
        QElapsedTimer took;
        took.start();
        QByteArray got;
        while (took.elapsed() < 600) {
            clock.Sleep(50);
            const Bytes waiting = port.ReadAllWaiting();
            got += Q(waiting);
        }
        QVERIFY(took.elapsed() < 1500);
        QCOMPARE(got, received);
        QCOMPARE(gateway.Heard(), heard);
        // Whatever is asked of the port afterwards, the loss is said once.
        port.WaitingCount();
        port.Receive(10);
        port.WriteBytes(bytes);
        QCOMPARE(lostCount, lost);
        QCOMPARE(port.IsPortOpen(), lost == 0);
    }
    if (!error.isEmpty()) {
        const QString message = QString::fromStdString(port.LastError());
        QVERIFY2(message.contains(label) && message.contains(error), qPrintable(message));
    }
}

// A gateway that is off, or a route that drops packets: the connection is never made. A
// listening socket whose queue is full (nothing is ever accepted) drops the handshake so.
// The program closing (EndWaits) makes the port give up within half a second, not at the end
// of its 3 s timeout.
void TestTcpPort::connectionNeverMadeGivesUpAtTheClose() {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    QVERIFY(::listen(listener, 0) == 0);
    std::vector<int> queued;
    for (int k = 0; k < 4; ++k) {
        queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(queued.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    QTest::qWait(200);

    mp::LineEndpoint endpoint;
    endpoint.Type = mp::LineEndpoint::Kind::Tcp;
    endpoint.Host = "127.0.0.1";
    endpoint.TcpPort = ntohs(address.sin_port);
    endpoint.ConnectTimeoutMs = 3000;
    mp::CTcpPort port(endpoint);
    QElapsedTimer took;
    took.start();
    auto opened = std::async(std::launch::async, [&port] {
        return port.OpenPort({"gateway", 9600, mp::kParityNone});
    });
    QTest::qWait(700);
    port.EndWaits();
    const qint64 ended = took.elapsed();
    QVERIFY(!opened.get());
    QVERIFY2(took.elapsed() - ended < 600, qPrintable(QString::number(took.elapsed() - ended)));
    for (int socket : queued) {
        ::close(socket);
    }
    ::close(listener);
}

QTEST_GUILESS_MAIN(TestTcpPort)
#include "TestTcpPort.moc"
