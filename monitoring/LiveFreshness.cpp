#include "monitoring/LiveFreshness.h"

#include <algorithm>

#include "language/Text.h"

namespace mp {

const char* ReadFailureText(ReadFailure reason) {
    switch (reason) {
        case ReadFailure::PortClosed:
            return QT_TRANSLATE_NOOP("MotorProtector", "串口未打开");
        case ReadFailure::NoReply:
            break;
    }
    return QT_TRANSLATE_NOOP("MotorProtector", "设备无应答");
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
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1 (连续 %2 次)")),
                      {Tr(ReadFailureText(LastFailure_)), std::to_string(MissedInRow_)});
    }
    return EverRead_ ? Tr(QT_TRANSLATE_NOOP("MotorProtector", "通讯正常")) : std::string();
}

}  // namespace mp
