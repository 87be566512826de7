#pragma once
// Serves simulated devices as an Ethernet gateway would: a TCP server on 127.0.0.1 in front
// of a simulated serial line at a fixed baud rate. With Rtu framing the bytes cross as they
// are (the reply's bytes go out as they come off the serial side); with Mbap framing requests
// come as Modbus TCP ADUs, go to the line as RTU frames, and a reply whose CRC holds goes back
// as an ADU with the request's transaction id (a reply with a bad CRC is dropped, as a gateway
// drops it). Several clients may connect; their requests are served one at a time, in the
// order they came, each once the line is free. POSIX only.

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "simulator/SimulatedBus.h"
#include "simulator/SimulatedDevice.h"

namespace mp {

class CTcpServer {
public:
    enum class Framing { Rtu, Mbap };

    // `baud` is the gateway's serial side: the wire timing of every request and reply.
    CTcpServer(CSimulatedDevice& device, Framing framing, int baud);
    ~CTcpServer();
    CTcpServer(const CTcpServer&) = delete;
    CTcpServer& operator=(const CTcpServer&) = delete;

    // Listens on 127.0.0.1 at `port` (0: a free port the system picks). False on failure,
    // with the reason in LastError().
    bool Listen(uint16_t port);
    void Close();
    uint16_t Port() const { return Port_; }
    const std::string& LastError() const { return LastError_; }
    size_t ClientCount() const { return Clients_.size(); }

    void SetFaults(const SimFaults& faults) { Bus_.SetFaults(faults); }
    void SetDeviceFaults(const CSimulatedDevice& device, const SimFaults& faults) {
        Bus_.SetDeviceFaults(device, faults);
    }
    void SetTrace(CSimulatedBus::TraceFn trace) { Bus_.SetTrace(std::move(trace)); }
    // Another device on the serial side; it must outlive the server.
    void AddDevice(CSimulatedDevice& device) { Bus_.AddDevice(device); }

    // Serves until `stop` becomes true (checked at least every 50 ms).
    void Run(const std::atomic<bool>& stop);
    // One round: takes new clients and their requests in, puts the next request on the line
    // when it is free and sends the reply bytes that are due, waiting up to `timeoutMs`.
    void Serve(int timeoutMs);

    // Receive buffer of one client at most; a client that sends more without a whole ADU
    // is cut off.
    static constexpr size_t kClientBufferCapacity = 4096;

private:
    struct Client {
        int Fd = -1;
        unsigned Id = 0;
        std::vector<uint8_t> In;
    };
    struct Request {
        unsigned Client = 0;
        uint16_t Transaction = 0;
        std::vector<uint8_t> Rtu;
    };

    void Accept();
    bool TakeInput(Client& client);  // false: the client is gone
    void Drop(unsigned client);
    void StartNext(CSimulatedBus::Time now);
    void DeliverDue(CSimulatedBus::Time now);
    void SendTo(unsigned client, const std::vector<uint8_t>& bytes);

    Framing Framing_;
    int Baud_;
    CSimulatedBus Bus_;
    int Listen_ = -1;
    uint16_t Port_ = 0;
    std::string LastError_;
    std::vector<Client> Clients_;
    unsigned NextClient_ = 1;
    std::deque<Request> Waiting_;
    // The request on the line: its client and transaction, the reply bytes gathered, and when
    // the line is free again if no reply comes.
    bool Busy_ = false;
    Request Current_;
    std::vector<uint8_t> Reply_;
    CSimulatedBus::Time FreeAt_{};
};

}  // namespace mp
