#include "monitoring/LiveFreshness.h"

#include <algorithm>

#include "language/Text.h"

namespace mp {

const char* ReadFailureText(ReadFailure reason) {
    switch (reason) {
        case ReadFailure::PortClosed:
            return QT_TRANSLATE_NOOP("MotorProtector", "串口未打开");
        case ReadFailure::BadCrc:
            return QT_TRANSLATE_NOOP("MotorProtector", "应答CRC校验错误");
        case ReadFailure::Exception:
            return QT_TRANSLATE_NOOP("MotorProtector", "设备异常应答");
        case ReadFailure::WrongReply:
            return QT_TRANSLATE_NOOP("MotorProtector", "应答与请求不符");
        case ReadFailure::NoReply:
            break;
    }
    return QT_TRANSLATE_NOOP("MotorProtector", "设备无应答");
}

void CLiveFreshness::MarkRead(LiveGroup group) {
    Groups_[static_cast<size_t>(group)] = Staleness{};
    MissedInRow_ = 0;
    EverRead_ = true;
    ReadOnThisLine_ = true;
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

void CLiveFreshness::StartLine() {
    MissedInRow_ = 0;
    LastFailure_ = ReadFailure::NoReply;
    ReadOnThisLine_ = false;
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
    if (!ReadOnThisLine_) {
        return {};
    }
    static const char* const kGroupNames[kLiveGroupCount] = {
        QT_TRANSLATE_NOOP("MotorProtector", "电流"), QT_TRANSLATE_NOOP("MotorProtector", "电压"),
        QT_TRANSLATE_NOOP("MotorProtector", "输入"), QT_TRANSLATE_NOOP("MotorProtector", "输出"),
        QT_TRANSLATE_NOOP("MotorProtector", "状态")};
    std::string failed;
    for (size_t g = 0; g < kLiveGroupCount; ++g) {
        if (Groups_[g].Stale) {
            failed += (failed.empty() ? "" : ", ") +
                      FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1 (%2)")),
                             {Tr(kGroupNames[g]), Tr(ReadFailureText(Groups_[g].Reason))});
        }
    }
    if (!failed.empty()) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "部分读取失败：%1")), {failed});
    }
    return Tr(QT_TRANSLATE_NOOP("MotorProtector", "通讯正常"));
}

}  // namespace mp
