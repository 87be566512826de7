// The plant's round time on one line: 30 relays polled by the line's scheduler on the
// simulated line with its wire timing and a virtual clock, against the wire limit for the same
// bytes (characters of 11 bits at the line's rate, plus the 3.5-character silence between
// frames), at 19200 and 9600 baud, with every relay answering and with one silent.
// Run by hand (build/.../tests/benchmark/plant-benchmark [rounds]), never by ctest.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "plant/PlantRig.h"

using namespace mp;
using namespace mp::test;

namespace {

constexpr int kRelays = 30;
// One visit: five requests of 8 characters, replies of 11 (currents), 11 (voltages),
// 6 (inputs), 6 (outputs) and 7 (status) characters, and a silence after each frame.
constexpr double kVisitCharacters = 5 * 8 + (11 + 11 + 6 + 6 + 7) + 10 * 3.5;

double WireLimitMs(int baud, int relaysVisited) {
    return relaysVisited * kVisitCharacters * 11.0 * 1000.0 / baud;
}

// The simulated relay's turnaround before each reply (not part of the wire limit).
constexpr double kTurnaroundMsPerVisit = 5 * 5.0;

struct Figures {
    double MeanMs = 0;
    uint32_t MaxMs = 0;
};

Figures Run(int baud, bool oneSilent, int rounds) {
    CPlantLineRig rig(kRelays, baud);
    if (oneSilent) {
        SimFaults silent;
        silent.Silent = true;
        rig.Faulty.Plan[17] = silent;
    }
    rig.RunRounds(static_cast<uint64_t>(rounds) + 1);
    // Round 1 also reads every relay's rated data once.
    std::vector<uint32_t> ms(rig.RoundMs.begin() + 1, rig.RoundMs.end());
    Figures f;
    f.MeanMs = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    f.MaxMs = *std::max_element(ms.begin(), ms.end());
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 16;
    std::printf("%d relays on one line, %d rounds after the first\n\n", kRelays, rounds);
    std::printf(
        "| baud | relays | round (mean) | round (max) | wire limit | mean / limit | "
        "mean / (limit + turnaround) |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (int baud : {19200, 9600}) {
        const double limit = WireLimitMs(baud, kRelays);
        const Figures all = Run(baud, false, rounds);
        const Figures silent = Run(baud, true, rounds);
        const double turnaround = kRelays * kTurnaroundMsPerVisit;
        std::printf("| %d | 30 answering | %.0f ms | %u ms | %.0f ms | %.2f | %.2f |\n", baud,
                    all.MeanMs, all.MaxMs, limit, all.MeanMs / limit,
                    all.MeanMs / (limit + turnaround));
        std::printf("| %d | 29 answering, 1 silent | %.0f ms | %u ms (+%u) | | | |\n", baud,
                    silent.MeanMs, silent.MaxMs, silent.MaxMs - all.MaxMs);
    }
    return 0;
}
