// A pseudo-terminal that stands in for a serial cable: whatever one side writes, the other reads,
// byte for byte.

#include "platform/pseudo_terminal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace ptk::platform {
namespace {

std::string lastErrorText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

void closeIfOpen(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The link is remembered absolutely: the working directory may change before we remove it.
std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    std::array<char, 4096> cwd{};
    if (::getcwd(cwd.data(), cwd.size()) == nullptr) return path;
    return std::string(cwd.data()) + "/" + path;
}

bool linkPointsAt(const std::string& linkPath, const std::string& target) {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink(linkPath.c_str(), buffer.data(), buffer.size() - 1);
    return length >= 0 &&
           target == std::string_view(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (masterFd_ < 0) {
        error_ = lastErrorText("posix_openpt");
        return;
    }
    std::array<char, 128> slaveName{};
    if (::grantpt(masterFd_) != 0) {
        error_ = lastErrorText("grantpt");
    } else if (::unlockpt(masterFd_) != 0) {
        error_ = lastErrorText("unlockpt");
    } else if (::ptsname_r(masterFd_, slaveName.data(), slaveName.size()) != 0) {
        error_ = lastErrorText("ptsname");
    } else {
        slavePath_ = slaveName.data();
        slaveKeepAliveFd_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slaveKeepAliveFd_ < 0) error_ = lastErrorText("open of the slave");
    }
    if (error_.empty()) {
        // The line discipline sits on the slave and its settings serve both directions: raw
        // mode there means no byte is translated, echoed or taken as a signal either way.
        termios tio{};
        if (::tcgetattr(slaveKeepAliveFd_, &tio) != 0) {
            error_ = lastErrorText("tcgetattr");
        } else {
            ::cfmakeraw(&tio);
            if (::tcsetattr(slaveKeepAliveFd_, TCSANOW, &tio) != 0)
                error_ = lastErrorText("tcsetattr");
        }
    }
    if (!error_.empty()) {
        closeIfOpen(slaveKeepAliveFd_);
        closeIfOpen(masterFd_);
    }
}

PseudoTerminal::~PseudoTerminal() {
    // Only our own link goes: another simulator may have taken the name over meanwhile.
    if (!linkPath_.empty() && linkPointsAt(linkPath_, slavePath_)) ::unlink(linkPath_.c_str());
    closeIfOpen(slaveKeepAliveFd_);
    closeIfOpen(masterFd_);
}

bool PseudoTerminal::linkAs(const std::string& linkPath) {
    if (!isOpen()) {
        error_ = "the pseudo-terminal is not open";
        return false;
    }
    struct stat info {};
    if (::lstat(linkPath.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
        error_ = linkPath + " exists and is not a symbolic link";
        return false;
    }
    // A new link under a temporary name, then renamed over the old one: whoever opens the name
    // meanwhile finds either the old link or the new one, never nothing.
    const std::string temporary = linkPath + ".new-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(slavePath_.c_str(), temporary.c_str()) != 0) {
        error_ = lastErrorText("symlink");
        return false;
    }
    if (::rename(temporary.c_str(), linkPath.c_str()) != 0) {
        error_ = lastErrorText("rename");
        ::unlink(temporary.c_str());
        return false;
    }
    const std::string absoluteLink = absolutePath(linkPath);
    if (!linkPath_.empty() && linkPath_ != absoluteLink && linkPointsAt(linkPath_, slavePath_)) {
        ::unlink(linkPath_.c_str());
    }
    linkPath_ = absoluteLink;
    return true;
}

}  // namespace ptk::platform
