#include "plant/LineScheduler.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>

#include "events/EventRecords.h"
#include "line/IoWorker.h"
#include "monitoring/LiveReads.h"
#include "settings/SettingsRead.h"

namespace mp {
namespace {

int64_t SystemMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A positive number as the settings block gives it ("50", "15.0"); nothing for anything else.
std::optional<double> PositiveNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value > 0.0)) {
        return std::nullopt;
    }
    return value;
}

// The reply of the link's last read may still come: nothing else may be sent to the relay
// until it has come or its time is over.
bool ReplyOwed(CModbusTransaction& link) {
    const ReplyVerdict verdict = link.LastVerdict();
    return verdict == ReplyVerdict::NoReply || verdict == ReplyVerdict::Foreign;
}

}  // namespace

struct CLineScheduler::Entry {
    Relay Config;
    // Worker side.
    int Misses = 0;    // visits in a row without a reply
    int SkipLeft = 0;  // rounds still skipped
    bool NeedRated = true;
    // The status byte of the last events read: an alarm changes it, and the events are read
    // again (none yet: read at first contact).
    std::optional<uint8_t> EventsAtStatus;
    std::optional<double> ReadCtRatio;
    std::optional<double> ReadRatedCurrent;
    bool NeedSettings = true;
    uint32_t SettingsReadAt = 0;  // line clock ms of the last whole settings read
    // Window side, read by the worker.
    std::atomic<bool> WindowOpen{false};
};

struct CLineScheduler::State : std::enable_shared_from_this<CLineScheduler::State> {
    int Line = 0;
    int Baud = 9600;
    std::vector<std::unique_ptr<Entry>> Relays;

    // Worker side: where the round stands.
    size_t Next = 0;
    bool RoundOpen = false;
    uint32_t RoundStart = 0;

    std::atomic<bool> Stopped{true};
    std::atomic<bool> Restarted{false};
    std::atomic<uint64_t> Generation{0};
    std::atomic<uint64_t> Rounds{0};
    std::atomic<uint32_t> LastRoundMs{0};
    std::atomic<uint32_t> SettingsEveryMs{0};

    // Window side.
    SampleFn OnSample;
    RoundFn OnRound;

    std::mutex WallMutex;
    WallClock Wall = &SystemMs;

    int64_t WallNow() {
        std::lock_guard<std::mutex> guard(WallMutex);
        return Wall ? Wall() : SystemMs();
    }
};

CLineScheduler::CLineScheduler(CIoWorker& worker, int lineIndex, int baudRate,
                               std::vector<Relay> relays)
    : State_(std::make_shared<State>()), Worker_(worker) {
    State_->Line = lineIndex;
    State_->Baud = baudRate;
    for (const Relay& relay : relays) {
        auto entry = std::make_unique<Entry>();
        entry->Config = relay;
        State_->Relays.push_back(std::move(entry));
    }
}

CLineScheduler::~CLineScheduler() {
    Stop();
}

void CLineScheduler::SetSampleHandler(SampleFn handler) {
    State_->OnSample = std::move(handler);
}

void CLineScheduler::SetRoundHandler(RoundFn handler) {
    State_->OnRound = std::move(handler);
}

void CLineScheduler::SetWallClock(WallClock clock) {
    std::lock_guard<std::mutex> guard(State_->WallMutex);
    State_->Wall = std::move(clock);
}

void CLineScheduler::SetSettingsRead(uint32_t everyMs) {
    State_->SettingsEveryMs.store(everyMs);
}

void CLineScheduler::Start() {
    if (State_->Relays.empty() || !State_->Stopped.load()) {
        return;
    }
    ++State_->Generation;
    State_->Restarted.store(true);
    State_->Stopped.store(false);
    std::shared_ptr<State> state = State_;
    Worker_.SetTick([state](CDeviceContext& ctx) { Visit(*state, ctx); });
    Worker_.SetPollPeriod(0);
    Worker_.StartPollTimerUnless(State_->Stopped);
}

void CLineScheduler::Stop() {
    State_->Stopped.store(true);
    Worker_.StopPollTimer();
}

bool CLineScheduler::Running() const {
    return !State_->Stopped.load();
}

void CLineScheduler::SetWindowOpen(uint8_t address, bool open) {
    for (auto& entry : State_->Relays) {
        if (entry->Config.Address == address) {
            entry->WindowOpen.store(open);
        }
    }
}

int CLineScheduler::LineIndex() const {
    return State_->Line;
}

uint64_t CLineScheduler::Rounds() const {
    return State_->Rounds.load();
}

uint32_t CLineScheduler::LastRoundMs() const {
    return State_->LastRoundMs.load();
}

void CLineScheduler::Tick(CDeviceContext& ctx) {
    Visit(*State_, ctx);
}

void CLineScheduler::EndRound(State& state, CDeviceContext& ctx, uint32_t now) {
    state.Next = 0;
    if (!state.RoundOpen) {
        return;
    }
    state.RoundOpen = false;
    const uint32_t ms = now - state.RoundStart;
    const uint64_t round = ++state.Rounds;
    state.LastRoundMs.store(ms);
    std::shared_ptr<State> s = state.shared_from_this();
    const uint64_t generation = state.Generation.load();
    // Dropped on the window side once the scheduler was stopped (or went) meanwhile.
    ctx.Post([s, generation, round, ms] {
        if (!s->Stopped.load() && s->Generation.load() == generation && s->OnRound) {
            s->OnRound(round, ms);
        }
    });
}

void CLineScheduler::Visit(State& state, CDeviceContext& ctx) {
    // The scheduler's own stop and the program's close both end the visit.
    CDeviceContext visit(ctx.Link, ctx.Window, ctx.Timer, &state.Stopped, ctx.CloseFlag());
    if (visit.Stopped() || state.Relays.empty()) {
        return;
    }
    if (state.Restarted.exchange(false)) {
        state.Next = 0;
        state.RoundOpen = false;
    }
    if (!ctx.Link.Port().IsPortOpen()) {
        // The line is down: its owner stops the poll when told; until then no busy loop.
        ctx.Sleep(kClosedPortPauseMs);
        return;
    }
    // The next relay due in this round; a skipped relay counts one round off its back-off.
    // When every relay is backed off, rounds pass without exchanges until one is due.
    Entry* due = nullptr;
    while (due == nullptr) {
        if (state.Next == 0 && !state.RoundOpen) {
            state.RoundOpen = true;
            state.RoundStart = ctx.Link.Clock().TickCount();
        }
        Entry& entry = *state.Relays[state.Next];
        if (entry.WindowOpen.load()) {
            entry.SkipLeft = std::min(entry.SkipLeft, kWindowOpenBackOffRounds);
        }
        if (entry.SkipLeft > 0) {
            --entry.SkipLeft;
            if (++state.Next == state.Relays.size()) {
                // The round ends here: the next one starts with the next tick, so that a
                // round's end is seen between two ticks.
                EndRound(state, ctx, ctx.Link.Clock().TickCount());
                return;
            }
            continue;
        }
        due = &entry;
    }
    if (due == nullptr) {
        return;
    }

    FeederSample sample;
    sample.Line = state.Line;
    sample.Address = due->Config.Address;
    CModbusTransaction& link = ctx.Link;
    const uint8_t previous = link.SlaveAddress();
    link.SetSlaveAddress(due->Config.Address);
    link.SetFastReplyEnd(true, state.Baud);
    const bool whole = ReadRelay(*due, visit, sample, state.SettingsEveryMs.load());
    // The relay windows on this line keep the fixed waits and their own address.
    link.SetFastReplyEnd(false, state.Baud);
    link.SetSlaveAddress(previous);
    if (!whole) {
        // Stopped: a visit cut short says nothing about the relay, and nothing is shown.
        return;
    }

    if (++state.Next == state.Relays.size()) {
        EndRound(state, ctx, link.Clock().TickCount());
    }
    sample.Tick = link.Clock().TickCount();
    sample.TimeMs = state.WallNow();
    std::shared_ptr<State> s = state.shared_from_this();
    const uint64_t generation = state.Generation.load();
    ctx.Post([s, generation, sample] {
        if (!s->Stopped.load() && s->Generation.load() == generation && s->OnSample) {
            s->OnSample(sample);
        }
    });
}

bool CLineScheduler::ReadRelay(Entry& relay, CDeviceContext& visit, FeederSample& sample,
                               uint32_t settingsEveryMs) {
    CModbusTransaction& link = visit.Link;
    // A read whose reply is owed makes the next frame to the relay wait for it (up to 3 s):
    // such a read ends the visit, so a relay that falls silent costs the line one wait.
    bool go = true;
    auto read = [&](auto fetch, auto& into) {
        if (!go) {
            return;
        }
        if (visit.Stopped()) {
            go = false;
            return;
        }
        into = fetch(visit);
        if (!into && ReplyOwed(link)) {
            go = false;
        }
    };
    read(FetchPhaseCurrents, sample.Currents);
    read(FetchPhaseVoltages, sample.Voltages);
    read(FetchDigitalInputs, sample.Inputs);
    read(FetchOutputStates, sample.Outputs);
    read(FetchStatusLamps, sample.Status);
    if (visit.Stopped()) {
        return false;
    }
    sample.Answered =
        sample.Currents || sample.Voltages || sample.Inputs || sample.Outputs || sample.Status;

    if (sample.Answered) {
        if (relay.Misses > 0) {
            // Back from silence: it may have been set anew meanwhile.
            relay.NeedRated = true;
            relay.NeedSettings = true;
        }
        relay.Misses = 0;
        relay.SkipLeft = 0;
        const bool fromPlant = relay.Config.CtRatio && relay.Config.RatedCurrent;
        if (relay.NeedRated && !fromPlant && !visit.Stopped()) {
            if (const std::optional<SettingsBlockA> block = FetchSettingsBlockA(visit)) {
                relay.ReadCtRatio = PositiveNumber(block->CtRatio);
                relay.ReadRatedCurrent = PositiveNumber(block->RatedCurrent);
                relay.NeedRated = false;
            }
        }
        const bool statusChanged =
            sample.Status &&
            (!relay.EventsAtStatus || *relay.EventsAtStatus != sample.Status->LowByte);
        if (statusChanged && !visit.Stopped()) {
            sample.Events = FetchEventRecords(visit);
            if (sample.Events) {
                relay.EventsAtStatus = sample.Status->LowByte;
            }
        }
        const uint32_t now = visit.Link.Clock().TickCount();
        const bool settingsDue =
            settingsEveryMs > 0 &&
            (relay.NeedSettings || now - relay.SettingsReadAt >= settingsEveryMs);
        if (settingsDue && !visit.Stopped()) {
            sample.Settings = FetchProtectionSettings(visit);
            if (sample.Settings) {
                relay.NeedSettings = false;
                relay.SettingsReadAt = now;
            }
        }
    } else {
        relay.Misses = std::min(relay.Misses + 1, 8);
        relay.SkipLeft = std::min((1 << relay.Misses) - 1, kMaxBackOffRounds);
        if (relay.WindowOpen.load()) {
            relay.SkipLeft = std::min(relay.SkipLeft, kWindowOpenBackOffRounds);
        }
    }
    sample.CtRatio = relay.Config.CtRatio ? relay.Config.CtRatio : relay.ReadCtRatio;
    sample.RatedCurrent =
        relay.Config.RatedCurrent ? relay.Config.RatedCurrent : relay.ReadRatedCurrent;
    sample.BackOffRounds = relay.SkipLeft;
    return true;
}

}  // namespace mp
