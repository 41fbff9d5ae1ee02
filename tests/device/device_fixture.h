#pragma once

#include <cstdint>
#include <vector>

#include "sim/register_engine.h"
#include "support/sim_fixture.h"

namespace ptk::testing {

// The device commands against the simulated register, with the commands it carried out (or
// refused) recorded in order.
class DeviceTest : public SimFixture {
protected:
    void SetUp() override {
        engine.setCommandObserver([this](const sim::CommandRecord& r) { records.push_back(r); });
    }
    // The codes as they arrived at the register, before it undid a code shift.
    std::vector<std::uint8_t> receivedCodes() const {
        std::vector<std::uint8_t> codes;
        for (const auto& record : records) codes.push_back(record.receivedCode);
        return codes;
    }
    // The codes of the commands as the register read them.
    std::vector<std::uint8_t> codes() const {
        std::vector<std::uint8_t> all;
        for (const auto& record : records) all.push_back(record.code);
        return all;
    }
    std::vector<sim::CommandRecord> records;
};

}  // namespace ptk::testing
