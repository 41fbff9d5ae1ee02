#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fiscal_memory/emergency_report.h"
#include "support/sim_fixture.h"

namespace ptk::testing {

// The simulated register for the emergency report: every command it carried out recorded with
// its time and answer, and a hook called inside each transaction (the stop button pressed while
// an exchange runs).
struct EmergencyRig : SimRig {
    EmergencyRig() {
        engine.setCommandObserver([this](const sim::CommandRecord& record) {
            records.push_back(record);
            if (duringCommand) duringCommand(record);
        });
    }

    // How the register will print the report.
    void plan(std::uint64_t printUs, std::uint8_t flagsAtEnd = 0, std::uint8_t modeAtEnd = 0x05) {
        state().emergencyReport = {printUs, flagsAtEnd, modeAtEnd};
    }

    std::vector<std::uint8_t> codes() const {
        std::vector<std::uint8_t> codes;
        for (const auto& record : records) codes.push_back(record.code);
        return codes;
    }
    std::size_t count(std::uint8_t code) const {
        std::size_t n = 0;
        for (const auto& record : records) n += record.code == code ? 1 : 0;
        return n;
    }
    bool tapeHas(const std::string& line) const {
        for (const auto& printed : engine.state().tape.lines()) {
            if (printed == line) return true;
        }
        return false;
    }

    // The watch never asks more often than once per interval plus the exchange: every status
    // request is carried out at least the interval after the command before it.
    void expectWatchPace() const {
        for (std::size_t i = 1; i < records.size(); ++i) {
            if (records[i].code != 0x45) continue;
            EXPECT_GE(records[i].atUs - records[i - 1].atUs,
                      std::uint64_t{fiscal_memory::kWatchIntervalMs} * 1000)
                << "status request " << i;
        }
    }

    std::vector<sim::CommandRecord> records;
    std::function<void(const sim::CommandRecord&)> duringCommand;
};

// Stands for the emergency report's window, the owner of the watch's boxes.
inline const int kEmergencyWindowToken = 0;
inline const OwnerHandle kEmergencyWindow{&kEmergencyWindowToken};

// Pauses of the watch in virtual time, with a hook at each (the stop button pressed while the
// watch waits), and the moments at which the watch took a stop.
struct VirtualWatcher final : fiscal_memory::EmergencyReportWatcher {
    explicit VirtualWatcher(EmergencyRig& rig) : rig(rig) {}

    bool pause(std::uint32_t ms) override {
        ++pauses;
        rig.clock.sleepMs(ms);
        if (atPause) atPause(pauses);
        return !quitAtPause || pauses < quitAtPause;
    }
    void stopTaken() override {
        stopsTaken.push_back(rig.records.size());
        if (atStopTaken) atStopTaken();
    }
    OwnerHandle boxOwner() const override { return kEmergencyWindow; }

    EmergencyRig& rig;
    int pauses = 0;
    int quitAtPause = 0;  // the pause that finds the program quitting; 0: never
    std::function<void(int pause)> atPause;
    std::function<void()> atStopTaken;
    std::vector<std::size_t> stopsTaken;  // the number of commands carried out at each
};

}  // namespace ptk::testing
