#pragma once
// The poll of one line: every relay on it visited in turn on the line's I/O worker, one relay
// per tick, the ticks back to back. A visit sets the link's slave address, ends each read as
// soon as its whole reply is there (fast reply end, the 3.5-character silence kept) and reads
// the five live groups; the relay windows' own jobs run between two ticks with the fixed waits.
//
// A relay whose read gets no reply is not read further in that round (its reply may still
// come, and nothing is sent to it meanwhile), and a visit without any reply skips the relay
// for 1, 3, then 7 rounds (at most every 8th round) until one good reply brings it back to
// every round: a silent relay costs the line one wait now and then, not one per relay read. A relay
// whose window is open is never skipped for more than one round.
//
// Each visit's FeederSample is handed to the window thread. Start, Stop, SetWindowOpen and the
// handlers are called on the window thread; the visits run on the worker.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "plant/FeederSample.h"

namespace mp {

class CIoWorker;
class CDeviceContext;

class CLineScheduler {
public:
    struct Relay {
        uint8_t Address = 1;
        // The feeder's rated data from the plant; what is absent is read from the relay.
        std::optional<double> CtRatio;
        std::optional<double> RatedCurrent;
    };
    // Rounds skipped after 1, 2, 3 and more visits in a row without a reply.
    static constexpr int kMaxBackOffRounds = 7;
    // Rounds skipped at most while the relay's window is open.
    static constexpr int kWindowOpenBackOffRounds = 1;
    // How long a tick pauses while the line's port is not open, instead of spinning.
    static constexpr uint32_t kClosedPortPauseMs = 100;

    using SampleFn = std::function<void(const FeederSample&)>;
    // A round ended: its number (from 1) and how long it took on the line's clock (ms).
    using RoundFn = std::function<void(uint64_t round, uint32_t ms)>;
    // Wall time in ms since the epoch, for the samples' TimeMs.
    using WallClock = std::function<int64_t()>;

    // `lineIndex` is the line's index in the plant, `baudRate` the rate of its serial side
    // (it sets the silence kept after an early reply end).
    CLineScheduler(CIoWorker& worker, int lineIndex, int baudRate, std::vector<Relay> relays);
    ~CLineScheduler();
    CLineScheduler(const CLineScheduler&) = delete;
    CLineScheduler& operator=(const CLineScheduler&) = delete;

    void SetSampleHandler(SampleFn handler);
    void SetRoundHandler(RoundFn handler);
    void SetWallClock(WallClock clock);
    // Also reads each relay's whole protection settings: at first contact, when it answers
    // again after silence, and then every `everyMs` of the line's clock (0: never, the
    // default; the overview has no use for them and its rounds stay short).
    void SetSettingsRead(uint32_t everyMs);

    // Starts the poll (again after Stop). Nothing happens without relays.
    void Start();
    // Stops the poll: a visit under way ends before its next exchange, and no sample of this
    // scheduler reaches the window until the next Start.
    void Stop();
    bool Running() const;

    // The relay's window is open (or closed again): it is visited at least every 2nd round.
    void SetWindowOpen(uint8_t address, bool open);

    int LineIndex() const;
    // Rounds completed since construction, and the last one's duration (any thread).
    uint64_t Rounds() const;
    uint32_t LastRoundMs() const;

    // One tick: visits the next relay due. Runs on the worker (public for tests that drive
    // the worker themselves).
    void Tick(CDeviceContext& ctx);

private:
    struct State;
    struct Entry;
    static void Visit(State& state, CDeviceContext& ctx);
    // Reads the relay's live groups into `sample`; true when the visit was not stopped.
    static bool ReadRelay(Entry& relay, CDeviceContext& visit, FeederSample& sample,
                          uint32_t settingsEveryMs);
    static void EndRound(State& state, CDeviceContext& ctx, uint32_t now);
    std::shared_ptr<State> State_;
    CIoWorker& Worker_;
};

}  // namespace mp
