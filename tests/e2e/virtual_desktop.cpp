#include "virtual_desktop.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

namespace ptk::e2e {

using namespace std::chrono_literals;

bool installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

VirtualDesktop::VirtualDesktop(const std::filesystem::path& directory)
    : log_(directory / "xvfb.log") {
    // -displayfd writes the display number the server took, so parallel tests never collide.
    server_ =
        std::make_unique<ChildProcess>("/usr/bin/Xvfb",
                                       std::vector<std::string>{"-displayfd", "1", "-screen", "0",
                                                                "1024x768x24", "-nolisten", "tcp"},
                                       directory, log_);
    // The log also takes the server's complaints about displays it tried and found taken; the
    // number is the line of digits alone.
    for (int i = 0; i < 200 && display_.empty() && server_->running(); ++i) {
        std::istringstream lines(readFile(log_));
        for (std::string line; display_.empty() && std::getline(lines, line);) {
            const bool digitsOnly =
                !line.empty() && line.find_first_not_of("0123456789") == std::string::npos;
            if (digitsOnly && lines.good()) display_ = ":" + line;
        }
        std::this_thread::sleep_for(50ms);
    }
}

std::string VirtualDesktop::xdotool(const std::string& arguments) const {
    const std::string command =
        "DISPLAY=" + display_ + " timeout 20 xdotool " + arguments + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return {};
    char line[256] = {};
    if (std::fgets(line, sizeof line, pipe.get()) == nullptr) return {};
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string VirtualDesktop::window(const std::string& caption) const {
    return xdotool("search --sync --onlyvisible --name '" + caption + "'");
}

void VirtualDesktop::clickAt(const std::string& window, double x, double y) const {
    // "Window 123\n  Position: ...\n  Geometry: 220x121": the size is on the third line.
    const std::string command = "DISPLAY=" + display_ + " timeout 20 xdotool getwindowgeometry " +
                                window + " 2>/dev/null | sed -n 's/.*Geometry: //p'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    int width = 0;
    int height = 0;
    if (pipe && std::fscanf(pipe.get(), "%dx%d", &width, &height) != 2) return;
    std::ostringstream arguments;
    arguments << "mousemove --window " << window << " " << static_cast<int>(width * x) << " "
              << static_cast<int>(height * y) << " click 1";
    xdotool(arguments.str());
}

}  // namespace ptk::e2e
