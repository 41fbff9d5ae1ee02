#pragma once

#include <string>

namespace ptk::platform {

// A pseudo-terminal pair owned by this object: the master end stays with us, the slave end is
// the device another program opens as its serial port. Optionally a symbolic link (for example
// "./COM9") points at the slave for as long as the object lives. POSIX only.
class PseudoTerminal {
public:
    PseudoTerminal();  // check isOpen()
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isOpen() const { return masterFd_ >= 0; }
    int masterFd() const { return masterFd_; }
    const std::string& slavePath() const { return slavePath_; }
    const std::string& error() const { return error_; }

    // Makes linkPath a symbolic link to the slave, replacing an existing link of that name; the
    // link is removed again by the destructor.
    bool linkAs(const std::string& linkPath);

private:
    int masterFd_ = -1;
    int slaveKeepAliveFd_ = -1;  // keeps the slave from hanging up between its users' opens
    std::string slavePath_;
    std::string linkPath_;
    std::string error_;
};

}  // namespace ptk::platform
