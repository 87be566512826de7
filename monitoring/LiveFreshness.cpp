#include "monitoring/LiveFreshness.h"

#include <algorithm>

namespace mp {

const char* ReadFailureText(ReadFailure reason) {
    switch (reason) {
        case ReadFailure::PortClosed:
            return "串口未打开";
        case ReadFailure::NoReply:
            break;
    }
    return "设备无应答";
}

void CLiveFreshness::MarkRead(LiveGroup group) {
    Groups_[static_cast<size_t>(group)] = Staleness{};
    MissedInRow_ = 0;
    EverRead_ = true;
}

void CLiveFreshness::MarkMissed(LiveGroup group, ReadFailure reason, int64_t nowMs) {
    Staleness& staleness = Groups_[static_cast<size_t>(group)];
    if (!staleness.Stale) {
        staleness.Stale = true;
        staleness.SinceMs = nowMs;
    }
    staleness.Reason = reason;
    // Saturates: a line dead for years still counts up without overflowing.
    MissedInRow_ = std::min(MissedInRow_ + 1, 999999);
    LastFailure_ = reason;
}

bool CLiveFreshness::AnyStale() const {
    return std::any_of(Groups_.begin(), Groups_.end(),
                       [](const Staleness& staleness) { return staleness.Stale; });
}

std::string CLiveFreshness::LinkText() const {
    if (MissedInRow_ > 0) {
        return std::string(ReadFailureText(LastFailure_)) + " (连续 " +
               std::to_string(MissedInRow_) + " 次)";
    }
    return EverRead_ ? "通讯正常" : "";
}

}  // namespace mp
