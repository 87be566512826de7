#pragma once
// One relay: a slave address on a line, with what may be done with it now (its operation
// state and pending work) and the values the tool holds of it. Its operations run on the
// worker of the line it sits on; the relay itself lives on the window thread.

#include <cstdint>

#include "relay/OperationState.h"
#include "relay/RelayAudit.h"
#include "relay/RelayValues.h"

namespace mp {

class CRelay {
public:
    explicit CRelay(uint8_t address = 1) : Address_(address) {}

    uint8_t Address() const { return Address_; }
    // The device answers at another address from now on (a confirmed change, or another
    // device chosen on the same line).
    void SetAddress(uint8_t address) { Address_ = address; }

    COperationState& Operation() { return Operation_; }
    const COperationState& Operation() const { return Operation_; }

    RelayValues& Values() { return Values_; }
    const RelayValues& Values() const { return Values_; }

    // Where the changes made to the relay are logged.
    CRelayAudit& Audit() { return Audit_; }
    const CRelayAudit& Audit() const { return Audit_; }

private:
    uint8_t Address_;
    COperationState Operation_;
    RelayValues Values_;
    CRelayAudit Audit_;
};

}  // namespace mp
