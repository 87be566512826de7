#pragma once
// Whether each group of live values on screen is fresh or stale. A live read that finds no
// reply leaves its values as they were and marks them stale, with the time of the first read
// that missed and the reason; the next good read of the group takes the mark away. The reads
// without a reply in a row give the state of the link.

#include <array>
#include <cstdint>
#include <string>

namespace mp {

enum class LiveGroup : uint8_t { Currents, Voltages, Inputs, Outputs, StatusLamps };
constexpr size_t kLiveGroupCount = 5;

enum class ReadFailure : uint8_t {
    NoReply,     // sent, but no reply of the device was found
    PortClosed,  // nothing could be sent
    BadCrc,      // the reply came whole, but its CRC does not hold
    Exception,   // the device refused the read with an exception
    WrongReply,  // the device answered another request: it has fallen behind
};

// "设备无应答", "串口未打开", "应答CRC校验错误", ...: a marked text (language/Text.h), shown
// through mp::Tr.
const char* ReadFailureText(ReadFailure reason);

struct Staleness {
    bool Stale = false;
    int64_t SinceMs = 0;  // wall-clock time, ms since 1970, of the first read that missed
    ReadFailure Reason = ReadFailure::NoReply;  // why the latest read missed
};

class CLiveFreshness {
public:
    // A read of the group found its reply: its values are fresh.
    void MarkRead(LiveGroup group);
    // A read of the group found none at `nowMs` (wall clock): its values are stale since the
    // first such read.
    void MarkMissed(LiveGroup group, ReadFailure reason, int64_t nowMs);

    // Another line or device is used from now on: the link state starts again (LinkText() ""
    // until the next read, no misses in a row); the values keep their stale marks.
    void StartLine();
    // Some live read has found its reply since the line was last started.
    bool ReadOnThisLine() const { return ReadOnThisLine_; }

    const Staleness& Of(LiveGroup group) const { return Groups_[static_cast<size_t>(group)]; }
    bool AnyStale() const;
    // Live reads without a reply since the last one with a reply.
    int MissedInRow() const { return MissedInRow_; }
    ReadFailure LastFailure() const { return LastFailure_; }
    // Some live read has found its reply.
    bool EverRead() const { return EverRead_; }

    // "设备无应答 (连续 3 次)" while reads miss; "部分读取失败：电流 (设备无应答)" while some
    // group's latest read missed though a later read of another group answered; "通讯正常"
    // when every group's latest read answered; "" before any. In the operator's language.
    std::string LinkText() const;

private:
    std::array<Staleness, kLiveGroupCount> Groups_{};
    int MissedInRow_ = 0;
    ReadFailure LastFailure_ = ReadFailure::NoReply;
    bool EverRead_ = false;
    bool ReadOnThisLine_ = false;
};

}  // namespace mp
