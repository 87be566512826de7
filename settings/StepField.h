#pragma once
// The six settings that have an up/down control beside their field.

namespace mp {

enum class StepField {
    LockedRotorMultiple,   // step 0.1, 1.0 .. 10.0
    LockedRotorTime,       // step 0.1, 0.1 .. 25.5
    DefiniteTimeMultiple,  // step 0.1, 1.0 .. 6.0
    DefiniteTimeTime,      // step 1, 1 .. 255
    UnbalancePercent,      // step 1, 20 .. 100
    UnbalanceTime,         // step 0.1, 0.1 .. 25.5
};

}  // namespace mp
