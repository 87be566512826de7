#pragma once
// A COMTRADE record (IEEE C37.111-2013) of polled samples: the configuration file (.cfg) and
// the data file (.dat), ASCII or 16-bit binary. Plain C++: the caller writes the two texts.
//
// How the relay's samples are mapped:
// - Analog channels 1-6: IA IB IC in A, UA UB UC in V, the values as the relay reported them
//   (primary values, PS "P"); the currents' primary/secondary ratio is the CT ratio, the
//   voltages' 1/1. Each channel is stored as an integer x with value = a·x + b, b = 0 and a a
//   whole multiple of 0.01 chosen so the channel's largest magnitude fits in ±32767 (the
//   relay reports 0.01 A and 0.1 V steps, so a = 0.01 keeps every value exact up to 327.67).
//   The same integers are used in ASCII and binary files. A read without reply is a missing
//   value: an empty field in ASCII, -32768 (0x8000) in binary, outside min/max.
// - Digital channels 7-17: DI1-DI8, then the outputs OUT_A, OUT_B, OUT_RESET (1 closed/on,
//   normal state 0). A read without reply is written as 0 (the format has no missing mark for
//   a status channel); the analog channels show which ticks got no reply.
// - Time: the relay is polled, not sampled at a fixed rate, so nrates = 0 and "0,N" follow,
//   and each sample carries its own time stamp: the milliseconds since the first sample, with
//   timemult = 1000 (the stamp's unit in the file is the microsecond of the dates'
//   hh:mm:ss.ssssss). The first date is the first sample, the second the trigger (the start
//   of a motor start; the first sample of a trend). Dates are the computer's local time;
//   time_code and local_code give its offset from UTC. The computer's clock is not known to
//   be synchronised to a time source, so tmq_code is F (time not reliable), leapsec 0.
// - Names: station_name and rec_dev_id must not hold commas (they become spaces) and are cut
//   to 64 characters; the .cfg is UTF-8, as the 2013 revision allows.

#include <cstdint>
#include <string>
#include <vector>

#include "trend/TrendSample.h"

namespace mp {

enum class ComtradeFormat { Ascii, Binary };

struct ComtradeHeader {
    std::string Station;       // station_name: the plant, or "地址 N"
    std::string Device;        // rec_dev_id: the feeder's tag, or "地址 N"
    double CtRatio = 1.0;      // primary/secondary of the current channels
    double Frequency = 50;     // lf, Hz
    int UtcOffsetMinutes = 0;  // local time − UTC of the dates
    int64_t TriggerMs = -1;    // ms since the epoch; -1: the first sample
};

struct ComtradeFiles {
    std::string Cfg;
    std::string Dat;  // bytes for binary
};

// The channel ids, analog first, as the .cfg names them.
const std::vector<std::string>& ComtradeAnalogIds();
const std::vector<std::string>& ComtradeDigitalIds();

// The scaling factor a of a channel whose largest magnitude is `largest`.
double ComtradeScale(double largest);

// The two files of `samples` (oldest first, at least one).
ComtradeFiles MakeComtrade(const std::vector<TrendSample>& samples, const ComtradeHeader& header,
                           ComtradeFormat format);

}  // namespace mp
