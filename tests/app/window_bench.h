#pragma once

#include <QAction>
#include <QCoreApplication>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Main.h"
#include "app/windows.h"
#include "platform/memory_line.h"
#include "sim/engine_line_peer.h"
#include "sim/register_engine.h"
#include "support/scratch_directory.h"
#include "ui/qt_front_end.h"
#include "ui/recording_alerts.h"

namespace ptk::testing {

// The program's real windows and Qt front end over the in-memory line, with the simulated
// register on the far end in virtual time. The working directory is a scratch directory holding
// the settings files (COM9 at 115200 baud, password 7301, unless a test writes others) and a
// link ./COM9, so that the settings window lists the port.
class WindowBench {
public:
    static constexpr int kPort = 8;  // COM9

    WindowBench() {
        previousDirectory_ = std::filesystem::current_path();
        std::filesystem::current_path(directory.path());
        // Where no link can be made (Windows), the system's port list names COM9: the Wine
        // prefix of the tests maps it.
        std::error_code noLinkHere;
        std::filesystem::create_symlink("/dev/null", directory.path() / "COM9", noLinkHere);
        directory.write("num_port.ini", "COM9\n");
        directory.write("baude_fr.ini", "CBR_115200\n");
        directory.write("pass_fr.ini", "7301\n");
        frontEnd.useAlerts(&alerts);
        engine.setCommandObserver([this](const sim::CommandRecord& r) {
            records.push_back(r);
            if (duringCommand) duringCommand(r);
        });
    }
    ~WindowBench() {
        windows.reset();
        std::filesystem::current_path(previousDirectory_);
    }
    WindowBench(const WindowBench&) = delete;
    WindowBench& operator=(const WindowBench&) = delete;

    // Makes all windows, as program start does, without showing any.
    void start() { windows = std::make_unique<ui::Windows>(session, frontEnd, SettingsFiles{}); }
    // Program start and the first activation of the main window.
    void startAndConnect() {
        start();
        main().FormActivate();
    }

    ui::Tfm_MainFr& main() { return *windows->fm_MainFr; }
    sim::RegisterState& state() { return engine.state(); }

    // The codes as they arrived at the register.
    std::vector<std::uint8_t> receivedCodes() const {
        std::vector<std::uint8_t> codes;
        for (const auto& record : records) codes.push_back(record.receivedCode);
        return codes;
    }

    ScratchDirectory directory;
    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    sim::RegisterEngine engine;
    sim::EngineLinePeer peer{engine, line};
    platform::MemoryLineOpener opener{line, kPort};
    ui::QtFrontEnd frontEnd;
    RecordingAlerts alerts;
    Session session{frontEnd, clock, opener};
    std::vector<sim::CommandRecord> records;
    // Called inside each transaction, when the register carries the command out.
    std::function<void(const sim::CommandRecord&)> duringCommand;
    std::unique_ptr<ui::Windows> windows;

private:
    std::filesystem::path previousDirectory_;
};

}  // namespace ptk::testing
