#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "e2e_support.h"

namespace ptk::e2e {

// True when the program can be found on the PATH.
bool installed(const char* program);

// An X server of our own, on the display number it picks itself, with xdotool to type and click
// on it the way an inspector would.
class VirtualDesktop {
public:
    explicit VirtualDesktop(const std::filesystem::path& directory);

    // Empty when the server did not start.
    const std::string& display() const { return display_; }
    // Runs xdotool with the arguments on this display; the first line it printed.
    std::string xdotool(const std::string& arguments) const;
    // The id of the visible window with this caption, waiting for it to appear; empty when none
    // appeared.
    std::string window(const std::string& caption) const;
    // Clicks at a point given in fractions of the window's width and height.
    void clickAt(const std::string& window, double x, double y) const;

private:
    std::filesystem::path log_;
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
};

}  // namespace ptk::e2e
