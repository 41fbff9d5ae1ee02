#pragma once

#include "sales/sales_rig.h"
#include "sim/register_state.h"

namespace ptk::testing {

// The register's state in the EKLZ access mode as the EKLZ tests start from: an EKLZ activated
// on 10.01.2013 that holds shifts 1 to 30 (the last one closed) and three documents of shifts 12
// and 13 under КПК 5 to 7; the register's clock on 07.05.2013; each operation working 2 s.
inline void setUpEklz(sim::RegisterState& state) {
    state.mode.set(sim::ModeEklz);
    state.clock.set({2013, 5, 7, 9, 5, 0}, 0);
    state.shift.lastClosed = 30;
    auto& eklz = state.eklz;
    eklz.activated = true;
    eklz.activationNumber = 1;
    eklz.activationsLeft = 49;
    eklz.firstShift = 1;
    eklz.activatedOn = {2013, 1, 10, 9, 0, 0};
    eklz.operationUs = 2'000'000;
    eklz.controlTape = {
        {5, {2013, 2, 3, 10, 0, 0}, 12, 3, 0, 111},
        {6, {2013, 2, 3, 11, 30, 0}, 12, 4, 2, 50},
        {7, {2013, 3, 1, 12, 0, 0}, 13, 1, 0, 1000},
    };
    eklz.lastKpk = 7;
}

// The simulated register set up by setUpEklz, with its commands recorded.
struct EklzRig : SalesRig {
    EklzRig() { setUpEklz(state()); }
};

}  // namespace ptk::testing
