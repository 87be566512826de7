#pragma once
// What the event record window shows: the summary line and the texts of events 1 to 8, with
// the codes they came from, the device they were read from and when.

#include <array>
#include <cstdint>
#include <string>

namespace mp {

struct EventRecordTexts {
    std::string Summary;                // "告警条数"
    std::array<std::string, 8> Events;  // "事件记录1" .. "事件记录8"
    int Count = 0;                      // events 1 to Count have a code (0 to 8)
    std::array<int, 8> Codes{};         // fault code of each event
    int Address = 0;                    // device address the events were read from
    int64_t ReadAtMs = 0;               // when they were read, ms since 1970 UTC; 0 unknown
};

}  // namespace mp
