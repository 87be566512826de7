#pragma once
// What the event record window shows: the summary line and the texts of events 1 to 8.

#include <array>
#include <string>

namespace mp {

struct EventRecordTexts {
    std::string Summary;               // "告警条数"
    std::array<std::string, 8> Events; // "事件记录1" .. "事件记录8"
};

}  // namespace mp
